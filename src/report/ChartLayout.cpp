#include "report/ChartLayout.h"

#include <algorithm>

namespace report {
namespace {

constexpr double kMargin = 10;
constexpr double kTitleHeight = 9;
constexpr double kNamesWidth = 17;
// The rows' heights, in the order of Row; the grid lies between CycleDay and Menstruation.
constexpr double kHeights[] = {4, 4.5, 4.5, 4.5, 5, 5, 22, 22};
constexpr int kHeaderRows = 4;
// Between the rows above and below and the grid's edge lines: half a label's height and a little more.
constexpr double kGridMargin = 2.5;
constexpr double kLabelHeight = 4;

}  // namespace

std::vector<PageSpan> pagesOf(const ChartModel& chart, int mostDays) {
    std::vector<PageSpan> pages;
    PageSpan current;
    auto close = [&] {
        if (current.count > 0) pages.push_back(current);
        current = {current.first + current.count, 0};
    };
    for (const ChartCycle& cycle : chart.cycles) {
        int length = cycle.last - cycle.first + 1;
        if (current.count + length > mostDays) close();
        // A cycle longer than a page fills pages of its own.
        while (length > mostDays) {
            current.count = mostDays;
            close();
            length -= mostDays;
        }
        current.count += length;
    }
    close();
    return pages;
}

QString rowName(Row row) {
    switch (row) {
        case Row::Month:
            return {};
        case Row::Date:
            return QStringLiteral("日付");
        case Row::Weekday:
            return QStringLiteral("曜日");
        case Row::CycleDay:
            return QStringLiteral("周期日");
        case Row::Menstruation:
            return QStringLiteral("月経");
        case Row::Intercourse:
            return QStringLiteral("性交");
        case Row::Medication:
            return QStringLiteral("薬");
        case Row::Condition:
            break;
    }
    return QStringLiteral("体調");
}

PageGeometry geometryFor(int daysOnPage) {
    PageGeometry page;
    const double width = kPageWidth - 2 * kMargin;
    page.title = QRectF(kMargin, kMargin, width, kTitleHeight);
    const double top = kMargin + kTitleHeight;
    const double bottom = kPageHeight - kMargin;
    double header = 0;
    double below = 0;
    for (int i = 0; i < int(std::size(kHeights)); ++i) (i < kHeaderRows ? header : below) += kHeights[i];
    page.names = QRectF(kMargin, top, kNamesWidth, bottom - top);
    const double daysWidth = width - kNamesWidth;
    page.dayWidth = std::min(kWidestDay, daysWidth / std::max(daysOnPage, 1));
    page.days = QRectF(kMargin + kNamesWidth, top, page.dayWidth * std::max(daysOnPage, 1), bottom - top);
    page.grid = QRectF(page.days.left(), top + header + kGridMargin, page.days.width(),
                       bottom - top - header - below - 2 * kGridMargin);
    return page;
}

QRectF PageGeometry::row(Row which) const {
    const int index = static_cast<int>(which);
    double y = index < kHeaderRows ? days.top() : grid.bottom() + kGridMargin;
    for (int i = index < kHeaderRows ? 0 : kHeaderRows; i < index; ++i) y += kHeights[i];
    return QRectF(days.left(), y, days.width(), kHeights[index]);
}

QRectF PageGeometry::nameCell(Row which) const {
    const QRectF across = row(which);
    return QRectF(names.left(), across.top(), names.width(), across.height());
}

QRectF PageGeometry::labelBox(double celsius) const {
    return QRectF(names.left(), yOf(celsius) - kLabelHeight / 2, names.width() - 1, kLabelHeight);
}

double PageGeometry::yOf(double celsius) const {
    const double clipped = std::clamp(celsius, kLowestShown, kHighestShown);
    return grid.bottom() - (clipped - kLowestShown) / (kHighestShown - kLowestShown) * grid.height();
}

QString monthText(const ChartDay& day, bool firstOnPage) {
    if (!firstOnPage && day.date.day() != 1) return {};
    return QString::number(day.date.month()) + QStringLiteral("月");
}

QString shortened(const QString& text, int chars) {
    QString flat = text.simplified();
    if (chars <= 0) return {};
    if (flat.size() <= chars) return flat;
    QString kept = flat.left(chars - 1);
    if (!kept.isEmpty() && kept.back().isHighSurrogate()) kept.chop(1);
    return kept + QStringLiteral("︙");
}

}  // namespace report
