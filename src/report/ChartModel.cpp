#include "report/ChartModel.h"

#include "forecast/CycleRules.h"
#include "platform/core/JaText.h"

#include <QHash>
#include <algorithm>

namespace report {
namespace {

bool isReading(const std::optional<double>& temp) { return temp && forecast::isPlausibleReading(*temp); }

}  // namespace

QString ChartModel::dateRange() const {
    if (days.empty()) return {};
    return jatext::slashDate(days.front().date) + QStringLiteral(" ～ ") +
           jatext::slashDate(days.back().date);
}

QString ChartModel::title() const { return QStringLiteral("基礎体温表　") + dateRange(); }

std::vector<history::Cycle> chosenCycles(const std::vector<history::Cycle>& newestFirst,
                                         const CycleChoice& choice) {
    std::vector<history::Cycle> chosen;
    int complete = 0;
    for (const history::Cycle& cycle : newestFirst) {
        if (!cycle.length) {
            if (choice.running) chosen.push_back(cycle);
        } else if (complete < choice.complete) {
            chosen.push_back(cycle);
            ++complete;
        }
    }
    return chosen;
}

ChartModel buildChart(const std::vector<history::Cycle>& newestFirst, const std::vector<DayRecord>& records,
                      const QDate& through) {
    ChartModel chart;
    if (newestFirst.empty()) return chart;
    // A day's first record in the file's order is the one the diary shows.
    QHash<QDate, const DayRecord*> byDay;
    QDate lastRecorded;
    for (const DayRecord& record : records) {
        if (!record.date.isValid() || record.date > through) continue;
        if (!byDay.contains(record.date)) byDay.insert(record.date, &record);
        if (!lastRecorded.isValid() || record.date > lastRecorded) lastRecorded = record.date;
    }
    for (size_t i = newestFirst.size(); i-- > 0;) {  // oldest first
        const history::Cycle& cycle = newestFirst[i];
        QDate end = cycle.length ? cycle.start.addDays(*cycle.length - 1)
                                 : std::min(std::max(lastRecorded, cycle.start), through);
        ChartCycle shown;
        shown.start = cycle.start;
        shown.first = static_cast<int>(chart.days.size());
        const int cycleIndex = static_cast<int>(chart.cycles.size());
        for (QDate day = cycle.start; day <= end; day = day.addDays(1)) {
            ChartDay entry;
            entry.date = day;
            entry.cycle = cycleIndex;
            entry.cycleDay = static_cast<int>(cycle.start.daysTo(day)) + 1;
            if (const DayRecord* record = byDay.value(day)) {
                if (isReading(record->temp)) entry.temp = record->temp;
                entry.excluded = entry.temp && record->excluded;
                entry.menstruation = record->guest;
                entry.intercourse = record->love;
                entry.medication = record->memo;
                entry.condition = record->condition;
            }
            chart.days.push_back(entry);
        }
        shown.last = static_cast<int>(chart.days.size()) - 1;
        if (cycle.coverline && cycle.coverlineFrom && cycle.shiftDay) {
            shown.coverline = cycle.coverline;
            shown.coverlineFrom = shown.first + static_cast<int>(cycle.start.daysTo(*cycle.coverlineFrom));
            shown.firstHigher = shown.first + *cycle.shiftDay - 1;
        }
        chart.cycles.push_back(shown);
    }
    return chart;
}

}  // namespace report
