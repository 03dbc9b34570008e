#include "graph/GraphPoints.h"

#include "platform/core/JaText.h"

namespace graph {
namespace {

using listview::Day;
using listview::Mark;
using listview::Month;
using listview::Temp;
using listview::Year;

// The day's own reading, or nothing when it is drawn at the average.
std::optional<double> readingOf(const QString& temp) {
    if (temp.isEmpty() || temp == QLatin1String("0")) return std::nullopt;
    // The list writes only numbers here; anything else is drawn where an empty day is.
    return jatext::readDecimal(temp);
}

}  // namespace

Graph fromGrid(const CellText& cell, float averageTemp) {
    auto date = [&](int row) {
        return cell(row, Year) + QLatin1Char('/') + cell(row, Month) + QLatin1Char('/') + cell(row, Day);
    };
    Graph graph;
    graph.firstDay = date(kPoints);
    graph.lastDay = date(1);
    graph.points.reserve(kPoints);
    for (int i = 1; i <= kPoints; ++i) {
        const int row = kPoints + 1 - i;
        Point point;
        const auto reading = readingOf(cell(row, Temp));
        point.valueText = jatext::shortestText(reading ? static_cast<float>(*reading) : averageTemp);
        point.value = point.valueText.toDouble();
        point.reading = reading.has_value();
        point.label = cell(row, Month) + QLatin1Char('/') + cell(row, Day);
        point.menstruation = cell(row, Mark) == listview::kMenstruation;
        graph.points.push_back(point);
    }
    return graph;
}

}  // namespace graph
