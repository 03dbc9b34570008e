#pragma once

#include "history/CycleStats.h"
#include "history/Cycles.h"

#include <QDate>
#include <functional>
#include <vector>

class DataFile;
struct DayRecord;

// Her cycles read from the data file. Each reads only the rows it needs, however long her history is: the
// menstruation days back to the oldest cycle asked for, then the days of those cycles.
namespace history {

// The latest `count` cycles that start on or before `through`, newest first, as known on that day (later
// records are not read; the newest has no length when it runs past it).
std::vector<Cycle> latestCycles(DataFile& file, const QDate& through, int count);
// The latest day a date in the file can have: `through` for "as known on the file's newest record".
inline const QDate kNewestDay(9999, 12, 31);

// The cycles that have days within first..last, newest first, as known on `last`.
std::vector<Cycle> cyclesCovering(DataFile& file, const QDate& first, const QDate& last);

// The cycle length of the history forecast: the median of the latest counted cycles among her latest
// kForecastLookBack cycles in the whole file (the forecast counts the newest period in the file, whatever day
// is selected). Nothing with too few counted cycles.
inline constexpr int kForecastLookBack = 12;
std::optional<HistoryCycle> forecastCycle(DataFile& file);
// The same, with how many of those latest cycles count (to say why there is none).
struct ForecastBasis {
    std::optional<HistoryCycle> cycle;
    int counted = 0;
};
ForecastBasis forecastBasis(DataFile& file);

// Every cycle in the file, oldest first (reads the whole file).
std::vector<Cycle> allCycles(DataFile& file);

// The days as cycles see them, oldest first, from records in either date order (the rows of one day in the
// file's order, as the data file gives them).
std::vector<DayMark> marksOf(const std::vector<DayRecord>& records);

}  // namespace history
