#include "history/CycleHistory.h"

#include "data/DataFile.h"
#include "platform/core/JaText.h"

#include <algorithm>

namespace history {

namespace {

// Walks the menstruation days back from `through` and gives the start of the oldest period wanted: `enough`
// is told each period start found, newest first, and how many have been found with it.
std::optional<QDate> oldestStartWanted(DataFile& file, const QDate& through,
                                       const std::function<bool(const QDate&, int)>& enough) {
    std::optional<QDate> newer;  // the last day read: a period start once an older day lies beyond the gap
    std::optional<QDate> oldest;
    int found = 0;
    bool done = false;
    file.forEachMenstruationDay(
        [&](const QDate& day) {
            if (newer && !forecast::samePeriod(day, *newer)) {
                oldest = newer;
                if (enough(*newer, ++found)) {
                    done = true;
                    return false;
                }
            }
            newer = day;
            return true;
        },
        through);
    if (!done && newer) oldest = newer;  // the file's first period
    return oldest;
}

std::vector<Cycle> cyclesFrom(DataFile& file, const std::optional<QDate>& first, const QDate& last) {
    if (!first) return {};
    std::vector<Cycle> cycles = splitCycles(marksOf(file.cycleDays(*first, last)));
    std::reverse(cycles.begin(), cycles.end());
    return cycles;
}

}  // namespace

std::vector<DayMark> marksOf(const std::vector<DayRecord>& records) {
    std::vector<DayMark> marks;
    marks.reserve(records.size());
    for (const DayRecord& record : records)
        marks.push_back({record.date, record.guest, record.temp, record.excluded});
    // Oldest first; the rows of one day keep the file's order, so a day's first row stays first.
    std::stable_sort(marks.begin(), marks.end(),
                     [](const DayMark& a, const DayMark& b) { return a.day < b.day; });
    return marks;
}

std::vector<Cycle> latestCycles(DataFile& file, const QDate& through, int count) {
    if (count <= 0) return {};
    const auto first =
        oldestStartWanted(file, through, [count](const QDate&, int found) { return found >= count; });
    std::vector<Cycle> cycles = cyclesFrom(file, first, through);
    if (static_cast<int>(cycles.size()) > count) cycles.resize(count);
    return cycles;
}

std::vector<Cycle> cyclesCovering(DataFile& file, const QDate& first, const QDate& last) {
    const auto start =
        oldestStartWanted(file, last, [&first](const QDate& start, int) { return start <= first; });
    return cyclesFrom(file, start, last);
}

std::optional<HistoryCycle> forecastCycle(DataFile& file) { return forecastBasis(file).cycle; }

ForecastBasis forecastBasis(DataFile& file) {
    const std::vector<Cycle> latest = latestCycles(file, kNewestDay, kForecastLookBack);
    ForecastBasis basis{historyCycle(latest), 0};
    for (const Cycle& cycle : latest) basis.counted += cycle.counted();
    return basis;
}

std::vector<Cycle> allCycles(DataFile& file) {
    std::vector<DayMark> marks;
    file.forEachRow([&marks](const StoredRow& row) {
        DayMark mark;
        mark.day = jatext::readIsoDate(row.date);
        mark.menstruation = row.guest.value_or(false);
        mark.temp = row.temp;
        mark.excluded = row.excluded;
        marks.push_back(mark);
        return true;
    });
    return splitCycles(marks);
}

}  // namespace history
