#include "graph/GraphScale.h"

#include "forecast/CycleRules.h"

#include <algorithm>
#include <cmath>

namespace graph {
namespace {

constexpr int kSpare = 1;          // tenths of a degree on each side
constexpr int kShortestSpan = 10;  // tenths: a flat curve is not blown up to fill the chart
// The label steps in tenths, finest first, and the most steps of each over the range.
constexpr int kSteps[] = {1, 2, 5, 10};
constexpr int kMostSteps = 20;

}  // namespace

ValueRange fitted(const graph::Graph& graph, int mostLabels) {
    std::optional<double> lowest;
    std::optional<double> highest;
    bool averageShown = false;
    double average = 0;
    for (const graph::Point& point : graph.points) {
        if (!point.reading) {
            averageShown = true;
            average = point.value;
            continue;
        }
        if (!forecast::isPlausibleReading(point.value)) continue;
        lowest = std::min(lowest.value_or(point.value), point.value);
        highest = std::max(highest.value_or(point.value), point.value);
    }
    if (!lowest) return kFixed;
    if (averageShown && forecast::isPlausibleReading(average)) {
        lowest = std::min(*lowest, average);
        highest = std::max(*highest, average);
    }
    // In tenths; the small allowance keeps 36.7 read as a float from landing on 36.8.
    int low = static_cast<int>(std::floor(*lowest * 10 + 1e-6)) - kSpare;
    int high = static_cast<int>(std::ceil(*highest * 10 - 1e-6)) + kSpare;
    if (high - low < kShortestSpan) {
        const int missing = kShortestSpan - (high - low);
        low -= missing / 2;
        high += missing - missing / 2;
    }
    const int span = high - low;
    ValueRange range{low / 10.0, high / 10.0, 0};
    for (int tenths : kSteps) {
        range.tick = tenths / 10.0;
        if (span <= tenths * kMostSteps && labelCount(range) <= mostLabels) break;
    }
    return range;
}

int labelCount(const ValueRange& range) {
    const double first = std::ceil(range.min / range.tick - 1e-6);
    const double last = std::floor(range.max / range.tick + 1e-6);
    return static_cast<int>(last - first) + 1;
}

}  // namespace graph
