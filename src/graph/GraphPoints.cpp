#include "graph/GraphPoints.h"

#include "platform/core/JaText.h"

namespace graphpoints {
namespace {

using listrows::Day;
using listrows::Month;
using listrows::Temp;
using listrows::Year;

QString valueText(const QString& temp, float averageTemp) {
    if (temp.isEmpty() || temp == QLatin1String("0")) return jatext::shortestText(averageTemp);
    // The list writes only numbers here; anything else is drawn where an empty day is.
    const auto value = jatext::readDecimal(temp);
    return jatext::shortestText(value ? static_cast<float>(*value) : averageTemp);
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
        point.valueText = valueText(cell(row, Temp), averageTemp);
        point.value = point.valueText.toDouble();
        point.label = cell(row, Month) + QLatin1Char('/') + cell(row, Day);
        graph.points.push_back(point);
    }
    return graph;
}

}  // namespace graphpoints
