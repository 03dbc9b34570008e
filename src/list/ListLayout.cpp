#include "list/ListLayout.h"

#include <cmath>

namespace listview {

namespace {
int wholeTwips(double value) { return static_cast<int>(std::nearbyint(value)); }  // halves to even
}  // namespace

Widths widthsFor(double u) {
    Widths widths;
    int sum = 0;
    for (int c = 0; c < listview::kColumns; ++c) {
        widths.columns[c] = wholeTwips(u * kUnits[c]);
        sum += widths.columns[c];
    }
    widths.grid = wholeTwips(sum + 2.7 * u);
    widths.window = widths.grid + 2 * kGridLeft;
    return widths;
}

std::vector<ColumnFormat> parseFormat(const QString& format) {
    std::vector<ColumnFormat> columns;
    for (const QString& part : format.split(QLatin1Char('|'))) {
        ColumnFormat column{part, Qt::AlignLeft | Qt::AlignVCenter};
        if (part.startsWith(QLatin1Char('^')) || part.startsWith(QLatin1Char('<')) ||
            part.startsWith(QLatin1Char('>'))) {
            const QChar mark = part.front();
            column.header = part.mid(1);
            if (mark == QLatin1Char('^')) column.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
            if (mark == QLatin1Char('>')) column.alignment = Qt::AlignRight | Qt::AlignVCenter;
        }
        columns.push_back(column);
    }
    return columns;
}

std::vector<Block> mergedBlocks(const listview::Table& rows, int column) {
    auto sameAbove = [&](size_t r) {
        for (int c = 0; c <= column; ++c)
            if (rows[r][c] != rows[r - 1][c]) return false;
        return !rows[r][column].isEmpty();
    };
    std::vector<Block> blocks;
    size_t first = 0;
    for (size_t r = 1; r <= rows.size(); ++r) {
        if (r < rows.size() && sameAbove(r)) continue;
        if (r - first > 1) blocks.push_back({static_cast<int>(first), static_cast<int>(r - first)});
        first = r;
    }
    return blocks;
}

}  // namespace listview
