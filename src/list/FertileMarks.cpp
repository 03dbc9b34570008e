#include "list/FertileMarks.h"

#include "forecast/CycleForecast.h"
#include "platform/core/JaText.h"
#include "platform/core/PgError.h"

#include <optional>

namespace listview {
namespace {

QDate dayOf(const Row& row) {
    const QDate day(jatext::readWholeNumber(row[Year]), jatext::readWholeNumber(row[Month]),
                    jatext::readWholeNumber(row[Day]));
    if (!day.isValid()) throw PgError(PgError::InvalidCall, QStringLiteral("日付が正しくありません。"));
    return day;
}

}  // namespace

void markFertileDays(Table& rows, const forecast::CycleLength& cycleLength) {
    std::optional<QDate> start;
    std::optional<qint16> cycle;
    bool armed = true;  // the next "●" day is a new start whatever came before
    bool gap = false;   // a day without "●" has been seen since the latest start
    for (auto index = rows.size(); index-- > 0;) {  // oldest first
        Row& row = rows[index];
        const QDate day = dayOf(row);
        if (row[Mark] != kMenstruation) {
            gap = true;
        } else if (armed) {
            start = day;
            armed = false;
            gap = false;
        } else if (gap && start && start->daysTo(day) >= 2) {
            start = day;
            gap = false;
        }
        if (!start) continue;
        if (!cycle) cycle = cycleLength.days();
        if (forecast::inFertileWindow(*cycle, start->daysTo(day))) {
            row[Mark] = kFertile;
            armed = true;
        }
    }
}

}  // namespace listview
