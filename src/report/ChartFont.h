#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The font the chart is set in: "Selvane Chart JP", derived at build time from Noto Sans CJK JP so that the
// PDF's text layer reads as the text shown (tools/derive_chart_font.py), and found as the help document is,
// beside the program; an installed program also looks in its share folder.
namespace report {

inline const QString kChartFamily = QStringLiteral("Selvane Chart JP");
// What the chart is set in when the derived font is nowhere to be found: it prints the same, though a search
// in the PDF may miss a few ideographs.
inline const QString kFallbackFamily = QStringLiteral("Noto Sans CJK JP");

// The folders the font is looked for in: the program's own, then ../share/selvane beside it.
QStringList chartFontFolders(const QString& programFolder);

// The family to set the chart in. The first call registers the derived font from the first of folders that
// holds both weights (the program's folders when none are given); later calls answer as the first did.
QString chartFontFamily(const QStringList& folders = {});

// Draws the characters of text that no font of the chart has (an emoji, say) as one "〓" each, the mark
// Japanese print uses for a missing character, instead of the font's empty box. drawable tells whether a
// character has a glyph; a character with its combining marks, variation selectors and joined emoji counts
// as one.
inline const QString kStandIn = QStringLiteral("〓");
QString printable(const QString& text, const std::function<bool(char32_t)>& drawable);

}  // namespace report
