#include "forecast/CycleForecast.h"

#include "forecast/CycleRules.h"
#include "platform/core/JaText.h"

namespace forecast {

bool inFertileWindow(int cycle, qint64 dayIndex) {
    const double half = cycle / 2.0;
    const double index = static_cast<double>(dayIndex);
    return half - 2 <= index && index <= half + 3;
}

bool PeriodStartWalk::take(const QDate& day) {
    if (start_ && !samePeriod(day, *start_)) return false;
    start_ = day;
    return true;
}

Texts forecastTexts(const std::optional<QDate>& periodStart, const QDate& selected,
                    const CycleLength& cycleLength) {
    if (!periodStart) return {kNoForecast, kOrdinary};
    const int cycle = cycleLength.days();
    const qint64 dayIndex = periodStart->daysTo(selected);
    Texts texts;
    if (dayIndex >= cycle)
        texts.nextPeriod = kNoForecast;
    else
        texts.nextPeriod = QStringLiteral("次回月経予定日は") +
                           jatext::kanjiDateWithWeekday(periodStart->addDays(cycle)) + QStringLiteral("です");
    texts.dayState = inFertileWindow(cycle, dayIndex) ? kFertile : kOrdinary;
    return texts;
}

}  // namespace forecast
