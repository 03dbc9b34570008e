#include "history/Cycles.h"

namespace history {

std::optional<int> Cycle::daysAfterShift() const {
    if (!length || !shiftDay) return std::nullopt;
    return *length - *shiftDay + 1;
}

namespace {

bool isReading(const std::optional<double>& temp) { return temp && forecast::isPlausibleReading(*temp); }

// A cycle being gathered: its days' readings and its period's days.
struct Gathering {
    Cycle cycle;
    std::vector<Reading> readings;

    void finish(std::vector<Cycle>& cycles, const std::optional<QDate>& next) {
        if (next) cycle.length = static_cast<int>(cycle.start.daysTo(*next));
        if (const auto shift = findShift(readings)) {
            cycle.shiftDay = static_cast<int>(cycle.start.daysTo(readings[shift->firstHigher].day)) + 1;
            cycle.coverline = shift->coverline;
            cycle.coverlineFrom = readings[shift->firstHigher - kReadingsBeforeShift].day;
        }
        cycles.push_back(cycle);
    }
};

}  // namespace

std::vector<Cycle> splitCycles(const std::vector<DayMark>& days) {
    std::vector<Cycle> cycles;
    std::optional<Gathering> current;
    QDate lastMenstruation;
    QDate previous;
    for (const DayMark& mark : days) {
        // A day's first row is the day, as the window shows it; a second row of it (written by another tool)
        // is neither a second reading nor a second period day.
        if (!mark.day.isValid() || mark.day == previous) continue;
        previous = mark.day;
        if (mark.menstruation) {
            const bool newPeriod =
                !lastMenstruation.isValid() || !forecast::samePeriod(lastMenstruation, mark.day);
            if (newPeriod) {
                if (current) current->finish(cycles, mark.day);
                current.emplace();
                current->cycle.start = mark.day;
            }
            // Every later menstruation day of the cycle is within the gap of the one before: its period's.
            if (mark.day != lastMenstruation) ++current->cycle.bleedingDays;
            lastMenstruation = mark.day;
        }
        // A disturbed reading says nothing of her cycle: neither a higher reading nor one of the six.
        if (current && isReading(mark.temp)) {
            if (mark.excluded)
                ++current->cycle.excludedReadings;
            else
                current->readings.push_back({mark.day, *mark.temp});
        }
    }
    if (current) current->finish(cycles, std::nullopt);
    return cycles;
}

}  // namespace history
