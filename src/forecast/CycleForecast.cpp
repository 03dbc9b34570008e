#include "forecast/CycleForecast.h"

#include "forecast/CycleRules.h"
#include "platform/core/JaText.h"

#include <cmath>

namespace forecast {

DayRange fertileWindow(int cycle) {
    const double half = cycle / 2.0;
    return {static_cast<qint64>(std::ceil(half - 2)), static_cast<qint64>(std::floor(half + 3))};
}

bool inFertileWindow(int cycle, qint64 dayIndex) {
    const DayRange window = fertileWindow(cycle);
    return window.first <= dayIndex && dayIndex <= window.last;
}

Outlook outlook(const QDate& periodStart, const CycleLength& cycleLength) {
    const int cycle = cycleLength.days();
    const DayRange window = fertileWindow(cycle);
    return {periodStart.addDays(cycle), periodStart.addDays(window.first), periodStart.addDays(window.last)};
}

bool PeriodStartWalk::take(const QDate& day) {
    if (start_ && !samePeriod(day, *start_)) return false;
    start_ = day;
    return true;
}

Texts forecastTexts(const std::optional<QDate>& periodStart, const QDate& selected,
                    const CycleLength& cycleLength) {
    if (!periodStart) return {kNoForecast, kOrdinary};
    const Outlook expected = outlook(*periodStart, cycleLength);
    Texts texts;
    if (selected >= expected.nextPeriod)
        texts.nextPeriod = kNoForecast;
    else
        texts.nextPeriod = QStringLiteral("次回月経予定日は") +
                           jatext::kanjiDateWithWeekday(expected.nextPeriod) + QStringLiteral("です");
    texts.dayState =
        selected >= expected.fertileFirst && selected <= expected.fertileLast ? kFertile : kOrdinary;
    return texts;
}

}  // namespace forecast
