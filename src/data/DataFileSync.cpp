// The tables that keep her diary in step with her other computers: every record of the sync journals known
// here, how far each other computer's journal has been read, and a few values of the sync's own. Every
// statement runs inside a transaction someone else began (a change's, or transact's).
#include "data/DataFile.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "platform/core/PgError.h"

namespace {

using data::Statement;

QByteArray iso(const QDate& day) { return day.toString(Qt::ISODate).toLatin1(); }

void bindBlob(sqlite3_stmt* stmt, int index, const QByteArray& bytes) {
    sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

QByteArray blobColumn(sqlite3_stmt* stmt, int column) {
    return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                      sqlite3_column_bytes(stmt, column));
}

const char* const kRowColumns = "SELECT ORIGIN, SEQ, TIME, KIND, DAY, BODY FROM SYNC_RECORD";

std::vector<DataFile::SyncRow> rowsOf(sqlite3* db, Statement& query) {
    std::vector<DataFile::SyncRow> rows;
    int step;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        DataFile::SyncRow row;
        row.origin = blobColumn(query.get(), 0);
        row.seq = sqlite3_column_int64(query.get(), 1);
        row.time = sqlite3_column_int64(query.get(), 2);
        row.kind = sqlite3_column_int(query.get(), 3);
        if (sqlite3_column_type(query.get(), 4) != SQLITE_NULL)
            row.day = QDate::fromString(
                QString::fromLatin1(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 4))),
                Qt::ISODate);
        row.body = blobColumn(query.get(), 5);
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) data::raise(db);
    return rows;
}

}  // namespace

bool DataFile::addSyncRecord(const SyncRow& row) { return addSyncRecords({row}).front(); }

std::vector<bool> DataFile::addSyncRecords(const std::vector<SyncRow>& rows) {
    sqlite3* db = handle();
    Statement insert(db,
                     "INSERT OR IGNORE INTO SYNC_RECORD (ORIGIN, SEQ, TIME, KIND, DAY, BODY)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    std::vector<bool> added;
    added.reserve(rows.size());
    for (const SyncRow& row : rows) {
        bindBlob(insert.get(), 1, row.origin);
        sqlite3_bind_int64(insert.get(), 2, row.seq);
        sqlite3_bind_int64(insert.get(), 3, row.time);
        sqlite3_bind_int(insert.get(), 4, row.kind);
        const QByteArray day = iso(row.day);
        if (row.day.isValid())
            sqlite3_bind_text(insert.get(), 5, day.constData(), int(day.size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(insert.get(), 5);
        bindBlob(insert.get(), 6, row.body);
        insert.run();
        added.push_back(sqlite3_changes(db) > 0);
    }
    return added;
}

void DataFile::removeSyncRecord(const QByteArray& origin, qint64 seq) {
    Statement remove(handle(), "DELETE FROM SYNC_RECORD WHERE ORIGIN = ?1 AND SEQ = ?2");
    bindBlob(remove.get(), 1, origin);
    sqlite3_bind_int64(remove.get(), 2, seq);
    remove.run();
}

void DataFile::setSyncBody(const QByteArray& origin, qint64 seq, const QByteArray& body) {
    Statement update(handle(), "UPDATE SYNC_RECORD SET BODY = ?3 WHERE ORIGIN = ?1 AND SEQ = ?2");
    bindBlob(update.get(), 1, origin);
    sqlite3_bind_int64(update.get(), 2, seq);
    bindBlob(update.get(), 3, body);
    update.run();
}

std::vector<DataFile::SyncRow> DataFile::syncRecordsOn(const QDate& day) {
    if (!hasSyncTables()) return {};
    sqlite3* db = handle();
    Statement query(db, (QByteArray(kRowColumns) + " WHERE DAY = ?1 AND KIND IN (1, 2)").constData());
    const QByteArray text = iso(day);
    sqlite3_bind_text(query.get(), 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    return rowsOf(db, query);
}

std::map<QDate, std::vector<DataFile::SyncRow>> DataFile::syncRecordsOn(const std::set<QDate>& days) {
    std::map<QDate, std::vector<SyncRow>> found;
    if (!hasSyncTables()) return found;
    sqlite3* db = handle();
    // Many days: one pass over every day's records beats a look-up for each.
    if (days.size() > 64) {
        Statement query(db, (QByteArray(kRowColumns) + " WHERE KIND IN (1, 2)").constData());
        for (SyncRow& row : rowsOf(db, query))
            if (days.count(row.day)) found[row.day].push_back(std::move(row));
        return found;
    }
    Statement query(db, (QByteArray(kRowColumns) + " WHERE DAY = ?1 AND KIND IN (1, 2)").constData());
    for (const QDate& day : days) {
        const QByteArray text = iso(day);
        sqlite3_bind_text(query.get(), 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        found[day] = rowsOf(db, query);
        sqlite3_reset(query.get());
    }
    return found;
}

std::vector<DataFile::SyncRow> DataFile::syncRecordsOfKind(int kind) {
    if (!hasSyncTables()) return {};
    sqlite3* db = handle();
    // The kinds beyond a day's (purges, words of how far read, names) have an index of their own.
    Statement query(
        db, (QByteArray(kRowColumns) + (kind >= 3 ? " WHERE KIND = ?1 AND KIND >= 3" : " WHERE KIND = ?1"))
                .constData());
    sqlite3_bind_int(query.get(), 1, kind);
    return rowsOf(db, query);
}

std::vector<DataFile::SyncRow> DataFile::syncRecordsAfter(const QByteArray& origin, qint64 seq) {
    if (!hasSyncTables()) return {};
    sqlite3* db = handle();
    Statement query(db,
                    (QByteArray(kRowColumns) + " WHERE ORIGIN = ?1 AND SEQ > ?2 ORDER BY SEQ").constData());
    bindBlob(query.get(), 1, origin);
    sqlite3_bind_int64(query.get(), 2, seq);
    return rowsOf(db, query);
}

qint64 DataFile::lastSyncSeq(const QByteArray& origin) {
    if (!hasSyncTables()) return 0;
    Statement query(handle(), "SELECT MAX(SEQ) FROM SYNC_RECORD WHERE ORIGIN = ?1");
    bindBlob(query.get(), 1, origin);
    return sqlite3_step(query.get()) == SQLITE_ROW ? sqlite3_column_int64(query.get(), 0) : 0;
}

std::vector<QDate> DataFile::dirtyDays() {
    if (!hasSyncTables()) return {};
    sqlite3* db = handle();
    Statement query(db, "SELECT DAY FROM SYNC_DIRTY WHERE typeof(DAY) = 'text'");
    std::vector<QDate> days;
    int step;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        const QDate day = QDate::fromString(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0))),
            Qt::ISODate);
        if (day.isValid()) days.push_back(day);
    }
    if (step != SQLITE_DONE) data::raise(db);
    return days;
}

void DataFile::followed(const QDate& day) {
    Statement remove(handle(), "DELETE FROM SYNC_DIRTY WHERE DAY = ?1");
    const QByteArray text = iso(day);
    sqlite3_bind_text(remove.get(), 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    remove.run();
}

void DataFile::followed(const std::vector<QDate>& days) {
    Statement remove(handle(), "DELETE FROM SYNC_DIRTY WHERE DAY = ?1");
    for (const QDate& day : days) {
        const QByteArray text = iso(day);
        sqlite3_bind_text(remove.get(), 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        remove.run();
    }
}

void DataFile::followedAll() { Statement(handle(), "DELETE FROM SYNC_DIRTY").run(); }

qint64 DataFile::lastSyncTime() {
    if (!hasSyncTables()) return 0;
    Statement query(handle(), "SELECT MAX(TIME) FROM SYNC_RECORD");
    return sqlite3_step(query.get()) == SQLITE_ROW ? sqlite3_column_int64(query.get(), 0) : 0;
}

std::vector<QDate> DataFile::syncDays(bool severalOnly) {
    if (!hasSyncTables()) return {};
    sqlite3* db = handle();
    Statement query(db, severalOnly
                            ? "SELECT DAY FROM SYNC_RECORD WHERE KIND IN (1, 2) GROUP BY DAY"
                              " HAVING COUNT(*) > 1 ORDER BY DAY"
                            : "SELECT DISTINCT DAY FROM SYNC_RECORD WHERE KIND IN (1, 2) ORDER BY DAY");
    std::vector<QDate> days;
    int step;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW)
        days.push_back(QDate::fromString(
            QString::fromLatin1(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0))),
            Qt::ISODate));
    if (step != SQLITE_DONE) data::raise(db);
    return days;
}

QByteArray DataFile::syncState(const QString& name) {
    if (!hasSyncTables()) return {};
    Statement query(handle(), "SELECT VALUE FROM SYNC_STATE WHERE NAME = ?1");
    const QByteArray key = name.toUtf8();
    sqlite3_bind_text(query.get(), 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    return sqlite3_step(query.get()) == SQLITE_ROW ? blobColumn(query.get(), 0) : QByteArray();
}

void DataFile::setSyncState(const QString& name, const QByteArray& value) {
    Statement query(handle(), "INSERT OR REPLACE INTO SYNC_STATE (NAME, VALUE) VALUES (?1, ?2)");
    const QByteArray key = name.toUtf8();
    sqlite3_bind_text(query.get(), 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    bindBlob(query.get(), 2, value);
    query.run();
}

std::map<QByteArray, DataFile::SyncPosition> DataFile::syncPositions() {
    if (!hasSyncTables()) return {};
    sqlite3* db = handle();
    Statement query(db, "SELECT ORIGIN, GENERATION, OFFSET FROM SYNC_READ");
    std::map<QByteArray, SyncPosition> positions;
    int step;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW)
        positions[blobColumn(query.get(), 0)] = {sqlite3_column_int64(query.get(), 1),
                                                 sqlite3_column_int64(query.get(), 2)};
    if (step != SQLITE_DONE) data::raise(db);
    return positions;
}

void DataFile::setSyncPosition(const QByteArray& origin, const SyncPosition& position) {
    Statement query(handle(),
                    "INSERT OR REPLACE INTO SYNC_READ (ORIGIN, GENERATION, OFFSET) VALUES (?1, ?2, ?3)");
    bindBlob(query.get(), 1, origin);
    sqlite3_bind_int64(query.get(), 2, position.generation);
    sqlite3_bind_int64(query.get(), 3, position.offset);
    query.run();
}

void DataFile::clearSyncPositions() { Statement(handle(), "DELETE FROM SYNC_READ").run(); }

bool DataFile::hasSyncTables() {
    if (!syncTables_) syncTables_ = schema::versionOf(handle()) >= schema::kSyncSince;
    return syncTables_;
}
