#pragma once

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

// The cycles that have days within first..last, newest first, as known on `last`.
std::vector<Cycle> cyclesCovering(DataFile& file, const QDate& first, const QDate& last);

// Every cycle in the file, oldest first (reads the whole file).
std::vector<Cycle> allCycles(DataFile& file);

// The days as cycles see them, oldest first, from records given newest first (as the data file's range
// gives them).
std::vector<DayMark> marksOf(const std::vector<DayRecord>& newestFirst);

}  // namespace history
