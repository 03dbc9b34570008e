#pragma once

#include "data/DayRecord.h"
#include "history/Cycles.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

// The basal-temperature chart for her doctor (基礎体温表): her last cycles day by day, as a paper chart shows
// them. Pure: it is handed the cycles and the records.
namespace report {

inline constexpr int kFewestCycles = 1;
inline constexpr int kMostCycles = 3;
inline constexpr int kDefaultCycles = 3;

// The cycles the chart shows: her last `complete` finished cycles, and the one still running when asked.
struct CycleChoice {
    int complete = kDefaultCycles;
    bool running = false;
};
// How many of her latest cycles to read for the choice: the running one may be the newest.
inline int cyclesToRead(const CycleChoice& choice) { return choice.complete + 1; }
// The chosen cycles among her latest ones (both newest first).
std::vector<history::Cycle> chosenCycles(const std::vector<history::Cycle>& newestFirst,
                                         const CycleChoice& choice);

struct ChartDay {
    QDate date;
    int cycle = 0;               // index into the chart's cycles, oldest first
    int cycleDay = 1;            // 1 = the cycle's first day
    std::optional<double> temp;  // her reading; nothing when the day has none (or an impossible one)
    bool excluded = false;       // she marked the reading as disturbed: drawn hollow
    bool menstruation = false;
    bool intercourse = false;
    QString medication;
    QString condition;
};

struct ChartCycle {
    QDate start;
    int first = 0;  // index of its first and last day in the chart's days
    int last = 0;
    std::optional<double> coverline;
    std::optional<int> coverlineFrom;  // day index of the first of the six readings that set the coverline
    std::optional<int> firstHigher;    // day index of the first higher reading
};

struct ChartModel {
    std::vector<ChartDay> days;  // oldest first, one per calendar day
    std::vector<ChartCycle> cycles;
    QString name;  // printed only when she typed one

    // "2024/01/05 ～ 2024/03/31"
    QString dateRange() const;
    // "基礎体温表　2024/01/05 ～ 2024/03/31"
    QString title() const;
};

// The chart of the cycles (newest first, as history::latestCycles gives them) from the records of their days
// (newest first, as the data file's range gives them; a day's first record counts). A finished cycle runs to
// its last day; the running one to the last day with a record, never past through.
ChartModel buildChart(const std::vector<history::Cycle>& newestFirst, const std::vector<DayRecord>& records,
                      const QDate& through);

}  // namespace report
