#pragma once

#include "sync/Record.h"

#include <vector>

// The merge rule for one day, over every version of it known here and the purges that reach it. It depends on
// nothing but that set, so every computer that has read the same records ends with the same day, whatever
// order they arrived in.
//
// - A version that another one names as replaced is history; the others are the day's heads.
// - A purge removes every version older than it (by the hybrid clock) of the days it reaches; a version made
//   later than the purge stays.
// - The latest head wins (by time, then computer id, then number); a head made at the same time as the winner
//   with other content is a conflict, kept to be shown to her.
namespace syncing {

struct DayOutcome {
    std::optional<Record> winner;   // nothing, or a Remove: the day has no row
    std::vector<Record> conflicts;  // one for each other content among the heads, the latest of each
};

// versions: the Set and Remove records of one day; purges: Purge records (those not reaching the day count
// for nothing).
DayOutcome resolve(const std::vector<Record>& versions, const std::vector<Record>& purges);

// Whether a is later than b in the order that decides the winner.
bool later(const Record& a, const Record& b);

}  // namespace syncing
