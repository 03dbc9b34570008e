#pragma once

#include "data/DataFile.h"

#include <vector>

namespace transfer {

// What an import would do to her diary: days that are new, days identical to hers, and days where the file
// and she differ. For the different ones she keeps hers or takes the file's.
struct ImportPlan {
    std::vector<DayRecord> fresh;
    std::vector<std::pair<qint64, DayRecord>> different;  // her row, the file's day
    qint64 identical = 0;
    DataFile::Stamp made;  // the state of her diary the plan was made from
};

// Compares the file's days with hers (the row the main window shows for each day).
ImportPlan planImport(DataFile& db, const std::vector<DayRecord>& days);

// Writes the plan in one transaction; the different days only when takeFile. Nothing has changed unless the
// result is Written: progress cancelled, or another program changed her diary since the plan was made (then
// make a new plan: writing this one could add a day twice).
DataFile::ImportResult applyImport(DataFile& db, const ImportPlan& plan, bool takeFile,
                                   const DataFile::Progress& progress = {});

// Two days read the same in the main window (a Null text reads as empty, a Null flag as not set), and carry
// the same mark.
bool sameDay(const StoredRow& hers, const DayRecord& file);

}  // namespace transfer
