#pragma once

#include "forecast/CycleLength.h"
#include "list/ListRows.h"

namespace listview {

// Marks the expected fertile days of the table with "★" in the mark column. Scanning from the oldest
// row to the newest, it recognises each menstruation start among the "●" days and marks the days of the
// fertile window counted from the latest start. The cycle's number is needed only once a start has been
// found. A failure (a cycle setting that gives no whole number, a date cell that is no number) throws
// PgError; the marks written until then stay in the table.
void markFertileDays(Table& rows, const forecast::CycleLength& cycleLength);

}  // namespace listview
