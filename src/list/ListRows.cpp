#include "list/ListRows.h"

#include "platform/core/JaText.h"

namespace listview {

QDate firstDay(const QDate& selected) { return selected.addDays(-kDays); }

QString temperatureText(const std::optional<double>& temp) {
    if (!temp || *temp == 0) return QString();
    return QString::number(*temp, 'f', 2);
}

namespace {

void writeRecord(Row& row, const DayRecord& record) {
    row[Temp] = temperatureText(record.temp);
    row[Condition] = record.condition;
    row[Mark] = record.guest ? kMenstruation : QString();
    row[Love] = record.love ? kIntercourse : QString();
    row[Memo] = record.memo;
    row[Schedule] = record.schedule;
}

}  // namespace

Table buildRows(const std::vector<DayRecord>& newestFirst, const QDate& selected) {
    Table rows(kDays);
    auto record = newestFirst.begin();
    for (int i = 0; i < kDays; ++i) {
        const QDate day = selected.addDays(-i);
        Row& row = rows[i];
        row[Year] = QString::number(day.year());
        row[Month] = QString::number(day.month());
        row[Day] = QString::number(day.day());
        row[Weekday] = jatext::weekdayShort(day);
        while (record != newestFirst.end() && record->date > day) ++record;
        if (record != newestFirst.end() && record->date == day) {
            writeRecord(row, *record);
            ++record;
        }
    }
    return rows;
}

}  // namespace listview
