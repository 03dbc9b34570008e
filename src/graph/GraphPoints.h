#pragma once

#include "list/ListRows.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// What the graph shows, taken from the list's grid texts: the title's two days and one point per day,
// oldest first.
namespace graph {

inline constexpr int kPoints = listview::kDays;  // one point per listed day

// A grid text by row (1 = the newest day .. 180 = the oldest) and column, as the list window holds it.
using CellText = std::function<QString(int row, int column)>;

struct Point {
    QString valueText;  // the value as handed to the chart: its shortest decimal text
    double value = 0;
    QString label;              // month/day
    bool reading = false;       // the day has a temperature of its own (not drawn at the average)
    bool menstruation = false;  // the list marks the day as a menstruation day
};

struct Graph {
    QString firstDay;           // year/month/day of the oldest row, texts as the grid holds them
    QString lastDay;            // the same of the newest row
    std::vector<Point> points;  // kPoints, oldest first
};

// Days without a temperature (empty or "0") are drawn at the average temperature.
Graph fromGrid(const CellText& cell, float averageTemp);

}  // namespace graph
