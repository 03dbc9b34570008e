#pragma once

#include "forecast/CycleRules.h"
#include "history/ShiftRule.h"

#include <QDate>
#include <optional>
#include <vector>

// Her cycles as her records show them: a cycle starts on the first day of a period and lasts until the next
// (the cycle rules are forecast/CycleRules.h).
namespace history {

// What one day of her records tells about cycles.
struct DayMark {
    QDate day;
    bool menstruation = false;
    std::optional<double> temp;
    // She marked the reading as disturbed (a fever, a short night, a late reading): no reading here.
    bool excluded = false;
};

struct Cycle {
    QDate start;
    std::optional<int> length;    // days until the next start; nothing for the cycle still running
    int bleedingDays = 0;         // menstruation days of its period
    std::optional<int> shiftDay;  // cycle day (1 = the start) of the first higher reading
    std::optional<double> coverline;
    std::optional<QDate> coverlineFrom;  // the day of the first of the six readings that set the coverline
    int excludedReadings = 0;            // readings she marked as disturbed, left out of the shift rule

    // Whether the cycle counts in the figures: finished, and neither too short nor too long.
    bool counted() const { return length && forecast::isCountedLength(*length); }
    // Days from the first higher reading to the cycle's last day, both counted; nothing without both.
    std::optional<int> daysAfterShift() const;
};

// The cycles in the days, oldest first. The days come in date order (several records of a day allowed); the
// last cycle runs to the last day given and has no length. Days before the first period belong to no cycle.
std::vector<Cycle> splitCycles(const std::vector<DayMark>& days);

}  // namespace history
