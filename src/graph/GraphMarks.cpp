#include "graph/GraphMarks.h"

#include <algorithm>

namespace graph {

std::vector<Band> menstruationBands(const graph::Graph& graph) {
    std::vector<Band> bands;
    const int count = static_cast<int>(graph.points.size());
    for (int i = 0; i < count; ++i) {
        if (!graph.points[i].menstruation) continue;
        if (!bands.empty() && bands.back().last == i - 1)
            bands.back().last = i;
        else
            bands.push_back({i, i});
    }
    return bands;
}

std::vector<Coverline> coverlines(const std::vector<history::Cycle>& cycles, const QDate& firstShown,
                                  const graph::Graph& graph) {
    std::vector<Coverline> lines;
    const int count = static_cast<int>(graph.points.size());
    auto index = [&firstShown](const QDate& day) { return static_cast<int>(firstShown.daysTo(day)); };
    for (const history::Cycle& cycle : cycles) {
        if (!cycle.coverline || !cycle.coverlineFrom || !cycle.shiftDay) continue;
        // The running cycle reaches to the last day shown.
        const int end = cycle.length ? index(cycle.start) + *cycle.length - 1 : count - 1;
        Coverline line;
        line.first = std::max(index(*cycle.coverlineFrom), 0);
        line.last = std::min(end, count - 1);
        if (line.first > line.last) continue;
        line.celsius = *cycle.coverline;
        const int higher = index(cycle.start) + *cycle.shiftDay - 1;
        if (higher >= 0 && higher < count) {
            line.firstHigher = higher;
            line.firstHigherValue = graph.points[higher].value;
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace graph
