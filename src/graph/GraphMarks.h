#pragma once

#include "graph/GraphPoints.h"
#include "history/Cycles.h"

#include <optional>
#include <vector>

// What the graph's options draw over the curve, by point index (0 = the oldest day shown).
namespace graph {

// A run of menstruation days, first..last inclusive.
struct Band {
    int first = 0;
    int last = 0;
};

// A cycle's coverline from the first of the six readings that set it to the cycle's last day (both cut to
// the days shown), and its first higher reading when that day is shown.
struct Coverline {
    int first = 0;
    int last = 0;
    double celsius = 0;
    std::optional<int> firstHigher;
    double firstHigherValue = 0;
};

std::vector<Band> menstruationBands(const graph::Graph& graph);

// The coverlines of the cycles with a shift, for the graph whose oldest point is firstShown.
std::vector<Coverline> coverlines(const std::vector<history::Cycle>& cycles, const QDate& firstShown,
                                  const graph::Graph& graph);

}  // namespace graph
