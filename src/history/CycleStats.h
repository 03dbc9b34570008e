#pragma once

#include "history/Cycles.h"

#include <optional>
#include <vector>

// Figures over her latest cycles. Only counted cycles take part; with fewer than three there are no figures.
namespace history {

inline constexpr int kFewestForFigures = 3;
// The history forecast uses the median of this many latest counted cycles.
inline constexpr int kForecastCycles = 6;

struct Summary {
    int cycles = 0;  // counted cycles the figures are over
    double mean = 0;
    double median = 0;
    int shortest = 0;
    int longest = 0;
    double deviation = 0;  // the sample standard deviation (n - 1)
    double meanBleedingDays = 0;
    std::optional<double> meanDaysAfterShift;  // over the cycles with a shift; nothing when none has one
};

// Figures over the latest `last` counted cycles; cycles come newest first.
std::optional<Summary> summarize(const std::vector<Cycle>& newestFirst, int last);

// The cycle length the history forecast uses: the median of the latest counted cycles, rounded to a whole day
// (a half rounds up), with their range. Nothing with too few counted cycles.
struct HistoryCycle {
    int days = 0;
    int shortest = 0;
    int longest = 0;
    int cycles = 0;
};
std::optional<HistoryCycle> historyCycle(const std::vector<Cycle>& newestFirst);

}  // namespace history
