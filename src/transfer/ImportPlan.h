#pragma once

#include "data/DataFile.h"

#include <vector>

// What an import would do to her diary: days that are new, days identical to hers, and days where the file
// and she differ. For the different ones she keeps hers or takes the file's.
namespace importplan {

struct Plan {
    std::vector<DayRecord> fresh;
    std::vector<std::pair<qint64, DayRecord>> different;  // her row, the file's day
    qint64 identical = 0;
};

// Compares the file's days with hers (the row the main window shows for each day).
Plan make(DataFile& db, std::vector<DayRecord> days);

// Writes the plan in one transaction; the different days only when takeFile. False when progress cancelled:
// then nothing has changed.
bool apply(DataFile& db, const Plan& plan, bool takeFile, const DataFile::Progress& progress = {});

// Two days read the same in the main window (a Null text reads as empty, a Null flag as not set).
bool sameDay(const StoredRow& hers, const DayRecord& file);

}  // namespace importplan
