// The whole diary at once: every row in order, a bulk import in one transaction. These run on SQLite's own
// interface: a million rows pass through here.
#include "data/ChangeRecorder.h"
#include "data/Columns.h"
#include "data/DataFile.h"
#include "data/Sqlite.h"
#include "platform/core/JaText.h"
#include "platform/core/PgError.h"

#include <cstdio>
#include <cstring>

namespace {

using data::exec;
using data::raise;
using data::Statement;

QString textColumn(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) return QString();
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    const int size = sqlite3_column_bytes(stmt, column);
    // QString::fromUtf8 drops a leading byte-order mark, which here is a character of her text.
    qsizetype marked = 0;  // bytes of leading marks
    while (size - marked >= 3 && std::memcmp(bytes + marked, "\xEF\xBB\xBF", 3) == 0) marked += 3;
    if (marked == 0) return QString::fromUtf8(bytes, size);
    return QString(marked / 3, QChar(0xFEFF)) + QString::fromUtf8(bytes + marked, size - marked);
}

std::optional<bool> flagColumn(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_int64(stmt, column) == 1;
}

void bindText(sqlite3_stmt* stmt, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();  // an empty text is stored as the empty string, never as Null
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// The parameter of a column, counted from 1 in the order of the column list.
constexpr int parameter(data::ColumnIndex column) { return column + 1; }

// Binds DAT_DATE .. GUEST as parameters 1..8.
void bindRecord(sqlite3_stmt* stmt, const DayRecord& record) {
    // Formatted by hand: a format string costs more than the insert itself at a million rows.
    char date[16];
    const int length = std::snprintf(date, sizeof date, "%04d-%02d-%02d", record.date.year(),
                                     record.date.month(), record.date.day());
    sqlite3_bind_text(stmt, parameter(data::kDate), date, length, SQLITE_TRANSIENT);
    if (record.temp)
        sqlite3_bind_double(stmt, parameter(data::kTemp), *record.temp);
    else
        sqlite3_bind_null(stmt, parameter(data::kTemp));
    bindText(stmt, parameter(data::kMemo), record.memo);
    bindText(stmt, parameter(data::kSchedule), record.schedule);
    bindText(stmt, parameter(data::kCondition), record.condition);
    bindText(stmt, parameter(data::kDiary), record.diary);
    sqlite3_bind_int(stmt, parameter(data::kLove), record.love ? 1 : 0);
    sqlite3_bind_int(stmt, parameter(data::kGuest), record.guest ? 1 : 0);
}

// "UPDATE DATA_FIL SET DAT_DATE = ?1, TEMP = ?2, ...": the columns from first on, each its own parameter.
QByteArray setColumns(int first) {
    QStringList parts;
    for (int i = first; i < int(data::kColumns.size()); ++i)
        parts.append(QStringLiteral("%1 = ?%2")
                         .arg(QLatin1String(data::kColumns[size_t(i)].name))
                         .arg(parameter(data::ColumnIndex(i))));
    return parts.join(QStringLiteral(", ")).toUtf8();
}

constexpr qint64 kProgressEvery = 4096;
constexpr int kBusyWaitMs = 3000;     // as the connection is opened with
constexpr int kImportWaitMs = 60000;  // for the write lock of an import

}  // namespace

sqlite3* DataFile::handle() const {
    sqlite3* connection = data::handleOf(db());
    if (!connection) throw PgError::engine(QStringLiteral("データファイルが開かれていません。"));
    return connection;
}

qint64 DataFile::recordCount() {
    Statement count(handle(), "SELECT COUNT(*) FROM DATA_FIL");
    if (sqlite3_step(count.get()) != SQLITE_ROW) raise(handle());
    return sqlite3_column_int64(count.get(), 0);
}

void DataFile::forEachRow(const std::function<bool(const StoredRow&)>& visit) {
    sqlite3* db = handle();
    const QByteArray sql = "SELECT rowid, " + data::columnNames().toUtf8() + ", " + markColumn().toUtf8() +
                           " FROM DATA_FIL ORDER BY DAT_DATE, rowid";
    Statement query(db, sql.constData());
    sqlite3_stmt* stmt = query.get();
    StoredRow row;
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        // Column 0 is the rowid; the list follows it.
        row.row = sqlite3_column_int64(stmt, 0);
        row.date = textColumn(stmt, parameter(data::kDate));
        row.temp.reset();
        if (sqlite3_column_type(stmt, parameter(data::kTemp)) != SQLITE_NULL)
            row.temp = sqlite3_column_double(stmt, parameter(data::kTemp));
        row.memo = textColumn(stmt, parameter(data::kMemo));
        row.schedule = textColumn(stmt, parameter(data::kSchedule));
        row.condition = textColumn(stmt, parameter(data::kCondition));
        row.diary = textColumn(stmt, parameter(data::kDiary));
        row.love = flagColumn(stmt, parameter(data::kLove));
        row.guest = flagColumn(stmt, parameter(data::kGuest));
        row.excluded = sqlite3_column_int(stmt, parameter(data::kGuest) + 1) == 1;
        if (!visit(row)) return;
    }
    if (step != SQLITE_DONE) raise(db);
}

std::vector<DayRecord> DataFile::cycleDays(const QDate& first, const QDate& last) {
    // Straight on the engine: the cycle window reads several hundred days each time it opens.
    sqlite3* db = handle();
    const QByteArray sql = "SELECT DAT_DATE, TEMP, GUEST, " + markColumn().toUtf8() +
                           " FROM DATA_FIL WHERE DAT_DATE >= ?1 AND DAT_DATE <= ?2 ORDER BY DAT_DATE, rowid";
    Statement query(db, sql.constData());
    sqlite3_stmt* stmt = query.get();
    bindText(stmt, 1, first.toString(Qt::ISODate));
    bindText(stmt, 2, last.toString(Qt::ISODate));
    std::vector<DayRecord> days;
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        DayRecord day;
        day.date = jatext::readIsoDate(textColumn(stmt, 0));
        if (!day.date.isValid()) continue;
        if (sqlite3_column_type(stmt, 1) != SQLITE_NULL) day.temp = sqlite3_column_double(stmt, 1);
        day.guest = flagColumn(stmt, 2).value_or(false);
        day.excluded = sqlite3_column_int(stmt, 3) == 1;
        days.push_back(day);
    }
    if (step != SQLITE_DONE) raise(db);
    return days;
}

DataFile::Stamp DataFile::stamp() {
    sqlite3* db = handle();
    Statement version(db, "PRAGMA data_version");
    if (sqlite3_step(version.get()) != SQLITE_ROW) raise(db);
    return {sqlite3_column_int64(version.get(), 0), writes_};
}

DataFile::ImportResult DataFile::importRecords(const std::vector<DayRecord>& add,
                                               const std::vector<std::pair<qint64, DayRecord>>& replace,
                                               const Progress& progress,
                                               const std::optional<Stamp>& unchangedSince) {
    ensureStillInPlace();
    sqlite3* db = handle();
    // Another import may hold the file for a while: wait for it rather than fail at once.
    sqlite3_busy_timeout(db, kImportWaitMs);
    const int begun = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(db, kBusyWaitMs);
    if (begun != SQLITE_OK) raise(db);
    try {
        // The plan was made before the write lock: written only if nothing changed since.
        if (unchangedSince && stamp() != *unchangedSince) {
            exec(db, "ROLLBACK");
            return ImportResult::Changed;
        }
        bringUpToDate();
        const QByteArray insertSql = "INSERT INTO DATA_FIL (" + data::columnNames().toUtf8() +
                                     ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
        Statement insert(db, insertSql.constData());
        const QByteArray updateSql = "UPDATE DATA_FIL SET " + setColumns(data::kDate) + " WHERE rowid = ?9";
        Statement update(db, updateSql.constData());
        const qint64 total = qint64(add.size()) + qint64(replace.size());
        qint64 done = 0;
        auto advance = [&] {
            ++done;
            return !progress || done % kProgressEvery != 0 || progress(done, total);
        };
        marks_ = true;  // brought up to date: the table is there
        // Each day written takes the file's mark, set or not: a day that differs only in it is changed too.
        Statement mark(db, "INSERT OR IGNORE INTO EXCLUDED (DAT_DATE) VALUES (?1)");
        Statement unmark(db, "DELETE FROM EXCLUDED WHERE DAT_DATE = ?1");
        // With no mark in the file yet, an unmarked day has none to take away: a large import stays quick.
        Statement any(db, "SELECT EXISTS (SELECT 1 FROM EXCLUDED)");
        if (sqlite3_step(any.get()) != SQLITE_ROW) raise(db);
        const bool marked = sqlite3_column_int(any.get(), 0) == 1;
        auto markAs = [&](const DayRecord& record) {
            if (!record.excluded && !marked) return;
            Statement& statement = record.excluded ? mark : unmark;
            bindText(statement.get(), 1, record.date.toString(Qt::ISODate));
            statement.run();
        };
        bool going = true;
        for (size_t i = 0; going && i < add.size(); ++i) {
            bindRecord(insert.get(), add[i]);
            insert.run();
            markAs(add[i]);
            going = advance();
        }
        for (size_t i = 0; going && i < replace.size(); ++i) {
            bindRecord(update.get(), replace[i].second);
            sqlite3_bind_int64(update.get(), 9, replace[i].first);
            update.run();
            if (sqlite3_changes(db) == 0) {
                // The row went meanwhile: the day's first row takes it, or the day is added, never twice.
                const QByteArray byDaySql = "UPDATE DATA_FIL SET " + setColumns(data::kTemp) +
                                            " WHERE rowid = (SELECT rowid FROM DATA_FIL WHERE DAT_DATE = ?1"
                                            " ORDER BY rowid LIMIT 1)";
                Statement byDay(db, byDaySql.constData());
                bindRecord(byDay.get(), replace[i].second);
                byDay.run();
                if (sqlite3_changes(db) == 0) {
                    bindRecord(insert.get(), replace[i].second);
                    insert.run();
                }
            }
            markAs(replace[i].second);
            going = advance();
        }
        // The last word before the commit: a cancel here still changes nothing.
        if (!going || (progress && !progress(total, total))) {
            exec(db, "ROLLBACK");
            return ImportResult::Cancelled;
        }
        if (recorder_) {
            std::vector<QDate> days;
            days.reserve(add.size() + replace.size());
            for (const DayRecord& record : add) days.push_back(record.date);
            for (const auto& [row, record] : replace) days.push_back(record.date);
            recorder_->daysChanged(*this, days);
        }
        ++writes_;
        exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    persist();
    return ImportResult::Written;
}

std::vector<QDate> DataFile::putDays(const std::vector<std::pair<QDate, std::optional<DayRecord>>>& days) {
    std::vector<QDate> changed;
    if (days.size() <= 64) {
        for (const auto& [day, record] : days)
            if (putDay(day, record)) changed.push_back(day);
        return changed;
    }
    // Many days: the rows there are now, read in one pass (the first of each day, and how many it has).
    QDate first = days.front().first, last = first;
    for (const auto& [day, record] : days) {
        first = qMin(first, day);
        last = qMax(last, day);
    }
    std::map<QDate, std::pair<DayRecord, int>> held;
    for (DayRecord& row : range(first, last)) {
        auto [at, fresh] = held.try_emplace(row.date, row, 0);
        ++at->second.second;
    }
    sqlite3* db = handle();
    const QByteArray insertSql =
        "INSERT INTO DATA_FIL (" + data::columnNames().toUtf8() + ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
    Statement insert(db, insertSql.constData());
    for (const auto& [day, record] : days) {
        const auto at = held.find(day);
        if (at == held.end()) {
            if (!record) continue;
            // A day she has no row of: added as it is.
            DayRecord stored = *record;
            stored.date = day;
            bindRecord(insert.get(), stored);
            insert.run();
            if (stored.excluded) {
                marks_ = true;
                writeMark(day.toString(Qt::ISODate), true);
            }
            changed.push_back(day);
        } else if (!(at->second.second == 1 && record && at->second.first == *record)) {
            if (putDay(day, record)) changed.push_back(day);
        }
    }
    return changed;
}

bool DataFile::putDay(const QDate& day, const std::optional<DayRecord>& record) {
    const DayState now = dayState(day);
    sqlite3* db = handle();
    const QByteArray iso = day.toString(Qt::ISODate).toLatin1();
    Statement count(db, "SELECT COUNT(*) FROM DATA_FIL WHERE DAT_DATE = ?1");
    sqlite3_bind_text(count.get(), 1, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
    const qint64 rows = sqlite3_step(count.get()) == SQLITE_ROW ? sqlite3_column_int64(count.get(), 0) : 0;
    const bool marked = !excludedDays(day, day).empty();
    const bool marking = record && record->excluded;
    std::optional<DayRecord> held = now.record;
    if (held) held->excluded = marked;
    if (rows <= 1 && held == record) return false;
    if (marked != marking) {
        marks_ = true;
        writeMark(QString::fromLatin1(iso), marking);
    }
    // One row for the day, the first kept where there is one, so that its rowid stays.
    Statement others(db, "DELETE FROM DATA_FIL WHERE DAT_DATE = ?1 AND rowid <> ?2");
    sqlite3_bind_text(others.get(), 1, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(others.get(), 2, now.row.value_or(-1));
    others.run();
    if (!record) {
        if (now.row) {
            Statement remove(db, "DELETE FROM DATA_FIL WHERE rowid = ?1");
            sqlite3_bind_int64(remove.get(), 1, *now.row);
            remove.run();
        }
        return true;
    }
    DayRecord stored = *record;
    stored.date = day;
    if (now.row) {
        const QByteArray updateSql = "UPDATE DATA_FIL SET " + setColumns(data::kTemp) + " WHERE rowid = ?9";
        Statement update(db, updateSql.constData());
        bindRecord(update.get(), stored);
        sqlite3_bind_int64(update.get(), 9, *now.row);
        update.run();
    } else {
        const QByteArray insertSql = "INSERT INTO DATA_FIL (" + data::columnNames().toUtf8() +
                                     ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
        Statement insert(db, insertSql.constData());
        bindRecord(insert.get(), stored);
        insert.run();
    }
    return true;
}
