#include "sync/Recorder.h"

#include "sync/Stored.h"

#include <set>

namespace syncing {

DayOutcome outcomeOf(DataFile& file, const QDate& day) {
    return resolve(recordsOf(file.syncRecordsOn(day)),
                   recordsOf(file.syncRecordsOfKind(int(Record::Kind::Purge))));
}

Recorder::Recorder(DataFile& file, ComputerId self, std::function<qint64()> nowMs)
    : self_(std::move(self)),
      clock_(clockOf(file), std::move(nowMs)),
      seq_(quint64(file.lastSyncSeq(self_))) {}

Record Recorder::next(Record::Kind kind, const QDate& day, bool joining) {
    Record record;
    record.kind = kind;
    record.id = {self_, ++seq_};
    record.time = joining ? 0 : clock_.tick();
    record.day = day;
    return record;
}

void Recorder::store(DataFile& file, const Record& record) {
    file.addSyncRecord(rowOf(record));
    noteClock(file);
}

void Recorder::noteClock(DataFile& file) {
    file.setSyncState(kClockState, QByteArray::number(clock_.last()));
}

quint64 Recorder::clockOf(DataFile& file) {
    const QByteArray noted = file.syncState(kClockState);
    return noted.isEmpty() ? quint64(file.lastSyncTime()) : noted.toULongLong();
}

bool Recorder::follow(DataFile& file, const QDate& day, bool joining) {
    file.followed(day);
    std::optional<DayRecord> row = file.load(day);
    if (row) row->excluded = !file.excludedDays(day, day).empty();
    const DayOutcome now = outcomeOf(file, day);
    const bool held = now.winner && now.winner->kind == Record::Kind::Set;
    if (row ? held && now.winner->content == contentOf(*row) : !held) return false;
    Record record = next(row ? Record::Kind::Set : Record::Kind::Remove, day, joining && !now.winner);
    if (row) record.content = contentOf(*row);
    if (now.winner) record.replaces.push_back(now.winner->id);
    store(file, record);
    return true;
}

void Recorder::daysChanged(DataFile& file, const std::vector<QDate>& days) {
    std::set<QDate> done;
    for (const QDate& day : days)
        if (done.insert(day).second) follow(file, day, false);
    if (alongside) alongside(file);
}

void Recorder::purged(DataFile& file, const QDate& through) {
    store(file, next(Record::Kind::Purge, through));
    if (alongside) alongside(file);
}

void Recorder::replaced(DataFile& file) {
    reconcile(file);
    if (alongside) alongside(file);
}

int Recorder::reconcile(DataFile& file) {
    std::set<QDate> days;
    file.forEachRow([&days](const StoredRow& row) {
        const QDate day = QDate::fromString(row.date, Qt::ISODate);
        if (day.isValid()) days.insert(day);
        return true;
    });
    for (const QDate& day : file.syncDays()) days.insert(day);
    int written = 0;
    for (const QDate& day : days) written += follow(file, day, true) ? 1 : 0;
    file.followedAll();  // and the dates that are no day at all
    return written;
}

int Recorder::reconcile(DataFile& file, const std::vector<QDate>& days) {
    int written = 0;
    for (const QDate& day : days) written += follow(file, day, true) ? 1 : 0;
    return written;
}

void Recorder::choose(DataFile& file, const QDate& day, const std::optional<DayContent>& content) {
    const DayOutcome now = outcomeOf(file, day);
    Record record = next(content ? Record::Kind::Set : Record::Kind::Remove, day);
    if (content) record.content = *content;
    if (now.winner) record.replaces.push_back(now.winner->id);
    for (const Record& other : now.conflicts) record.replaces.push_back(other.id);
    store(file, record);
    file.putDay(day, content ? std::optional<DayRecord>(dayOf(day, *content)) : std::nullopt);
    file.followed(day);
}

void Recorder::recordRead(DataFile& file, const std::map<ComputerId, quint64>& read) {
    Record record = next(Record::Kind::Read, {});
    record.read = read;
    store(file, record);
}

void Recorder::recordName(DataFile& file, const QString& name) {
    Record record = next(Record::Kind::Name, {});
    record.name = name;
    store(file, record);
}

}  // namespace syncing
