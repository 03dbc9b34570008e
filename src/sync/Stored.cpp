#include "sync/Stored.h"

namespace syncing {

DataFile::SyncRow rowOf(const Record& record) { return rowOf(record, encode(record)); }

DataFile::SyncRow rowOf(const Record& record, const QByteArray& body) {
    DataFile::SyncRow row;
    row.origin = record.id.origin;
    row.seq = qint64(record.id.seq);
    row.time = qint64(record.time);
    row.kind = int(record.kind);
    row.day = record.day;
    row.body = body;
    return row;
}

std::optional<Record> recordOf(const DataFile::SyncRow& row) { return decode(row.body, row.origin); }

std::vector<Record> recordsOf(const std::vector<DataFile::SyncRow>& rows) {
    std::vector<Record> records;
    records.reserve(rows.size());
    for (const DataFile::SyncRow& row : rows)
        if (auto record = recordOf(row)) records.push_back(std::move(*record));
    return records;
}

DayContent contentOf(const DayRecord& day) {
    DayContent content;
    content.temp = day.temp;
    content.memo = day.memo;
    content.schedule = day.schedule;
    content.condition = day.condition;
    content.diary = day.diary;
    content.love = day.love;
    content.guest = day.guest;
    content.excluded = day.excluded;
    return content;
}

DayRecord dayOf(const QDate& date, const DayContent& content) {
    DayRecord day;
    day.date = date;
    day.temp = content.temp;
    day.memo = content.memo;
    day.schedule = content.schedule;
    day.condition = content.condition;
    day.diary = content.diary;
    day.love = content.love;
    day.guest = content.guest;
    day.excluded = content.excluded;
    return day;
}

}  // namespace syncing
