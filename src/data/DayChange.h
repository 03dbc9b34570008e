#pragma once

#include "data/DayRecord.h"

// Telling what changed in a day, when the window saves a day that another program changed after it was shown.
namespace daychange {

// The dayfield bits of the fields in which two records of a day differ.
unsigned differing(const DayRecord& a, const DayRecord& b);

// The fields she edited that another program changed since the day was shown (shown: as the window showed it,
// found: as the file holds it now) to something other than what she typed. Her temperature text is read as
// the data file reads it; one that is no number conflicts with any change.
unsigned conflicts(const DayEntry& entry, const DayRecord& shown, const DayRecord& found);

}  // namespace daychange
