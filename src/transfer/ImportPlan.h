#pragma once

#include "data/DataFile.h"

#include <vector>

namespace transfer {

// A day where the file and she differ: her row and what it holds (as the main window reads it), the file's.
struct DifferentDay {
    qint64 row = 0;
    DayRecord hers;
    DayRecord file;
};

// What an import would do to her diary: days that are new, days identical to hers, and days where the file
// and she differ. For each different one she keeps hers or takes the file's.
struct ImportPlan {
    std::vector<DayRecord> fresh;
    std::vector<DifferentDay> different;
    qint64 identical = 0;
    DataFile::Stamp made;  // the state of her diary the plan was made from
};

// Her choice for the days that differ, one for each in the plan's order: true to take the file's.
struct ImportChoice {
    std::vector<bool> takeFile;
    // The same for every day.
    static ImportChoice all(const ImportPlan& plan, bool takeFile);
    qint64 taken() const;
};

// Compares the file's days with hers (the row the main window shows for each day). marks: the file says which
// readings are marked; without, each of her days keeps its mark, also where she takes the file's.
ImportPlan planImport(DataFile& db, const std::vector<DayRecord>& days, bool marks = true);

// Writes the plan in one transaction: the new days, and the file's day where she chose it. Nothing has
// changed unless the result is Written: progress cancelled, or another program changed her diary since the
// plan was made (then make a new plan: writing this one could add a day twice).
DataFile::ImportResult applyImport(DataFile& db, const ImportPlan& plan, const ImportChoice& choice,
                                   const DataFile::Progress& progress = {});
// The same with one choice for every different day.
DataFile::ImportResult applyImport(DataFile& db, const ImportPlan& plan, bool takeFile,
                                   const DataFile::Progress& progress = {});

// Two days read the same in the main window (a Null text reads as empty, a Null flag as not set), and carry
// the same mark.
bool sameDay(const StoredRow& hers, const DayRecord& file);

// A stored row as the main window reads it: a Null text as empty, a Null flag as not set.
DayRecord recordOf(const StoredRow& row);

// What differs between her day and the file's, a line for each field named as the main window names it, the
// name, hers and the file's separated by tabs: "基礎体温\t36.6\t37.1". A long text is cut short.
QStringList differingFields(const DayRecord& hers, const DayRecord& file);

}  // namespace transfer
