#pragma once

#include "list/ListRows.h"

#include <QString>
#include <Qt>
#include <array>
#include <vector>

// The list grid's measures and column set-up, as pure computations over the measured unit.
namespace listview {

// Column widths in units of the digit "0" at 12 points: 81 units in all.
inline constexpr std::array<int, listview::kColumns> kUnits = {5, 4, 4, 4, 6, 15, 4, 4, 15, 20};
inline constexpr int kGridLeft = 120;  // twips; the margin left and right of the grid

struct Widths {
    std::array<int, listview::kColumns> columns{};  // twips
    int grid = 0;                                   // twips: the columns plus room for the scroll bar
    int window = 0;                                 // twips: the grid with equal margins
};

// u is the width of the digit "0" at 12 points, in twips. Widths round to whole twips, halves to even.
Widths widthsFor(double u);

struct ColumnFormat {
    QString header;
    Qt::Alignment alignment;
};

inline const QString kFormatString =
    QStringLiteral("^年|^月|^日|^曜|^体温|<体調|^CD|^SEX|<服薬など|<ｽｹｼﾞｭｰﾙ");
// Each column's header and alignment from a format string: "^" centred, "<" left, ">" right.
std::vector<ColumnFormat> parseFormat(const QString& format);

struct Block {
    int first = 0;  // index into the table
    int count = 0;
};

// The merged blocks of a column: runs of equal, non-empty adjacent cells. A run of a later merged
// column never crosses a boundary of the earlier ones (a month merges only inside its year).
std::vector<Block> mergedBlocks(const listview::Table& rows, int column);

}  // namespace listview
