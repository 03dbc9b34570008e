#pragma once

#include "graph/GraphPoints.h"

// The graph's value axis: the fixed 34.5-39.5 °C, or fitted to her readings in view.
namespace graph {

struct ValueRange {
    double min = 34.5;
    double max = 39.5;
    double tick = 0.5;  // °C between two labelled lines
};

inline constexpr ValueRange kFixed{};

// The axis around the points drawn: her readings (between 30 and 45 °C; anything else is a slip and may run
// off the axis) and the average temperature when some day is drawn at it, in whole 0.1 °C steps with 0.1 °C
// to spare on each side, and at least 1 °C tall; labelled each 0.1, 0.2, 0.5 or 1 °C, the finest step that
// a tall range and the room for mostLabels labels allow. With no reading in view, the fixed axis.
ValueRange fitted(const graph::Graph& graph, int mostLabels = 1000);
// How many labels the step puts between min and max: those on its whole multiples.
int labelCount(const ValueRange& range);

}  // namespace graph
