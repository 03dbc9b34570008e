#pragma once

class QApplication;
class QFont;

namespace appsetup {

// Japanese everywhere whatever the machine's locale: default locale, Qt's own Japanese texts for the
// standard buttons (はい/いいえ), and a CJK font standing in for the Japanese system font.
void prepareFonts();                    // before any widget exists
void applyJapanese(QApplication& app);  // after the application object exists

// The font family that stands in for "ＭＳ Ｐゴシック", and that font at a size in points.
const char* japaneseFontFamily();
QFont japaneseFont(double points, bool bold = false);

}  // namespace appsetup
