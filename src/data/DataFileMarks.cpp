// The readings she marked as disturbed (除外): one row per day in the table EXCLUDED, beside DATA_FIL, so
// that the specified table stays as it is. A file older than the table reads as one without marks.
#include "data/ChangeRecorder.h"
#include "data/DataFile.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "platform/core/JaText.h"

namespace {

QString iso(const QDate& day) { return day.toString(Qt::ISODate); }

void bindText(sqlite3_stmt* stmt, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

}  // namespace

bool DataFile::hasMarks() {
    if (!marks_) marks_ = schema::versionOf(handle()) >= schema::kExcludedSince;
    return marks_;
}

QString DataFile::markColumn() {
    return hasMarks()
               ? QStringLiteral("EXISTS (SELECT 1 FROM EXCLUDED WHERE EXCLUDED.DAT_DATE = DATA_FIL.DAT_DATE)")
               : QStringLiteral("0");
}

void DataFile::writeMark(const QString& isoDay, bool excluded) {
    data::Statement statement(handle(), excluded ? "INSERT OR IGNORE INTO EXCLUDED (DAT_DATE) VALUES (?1)"
                                                 : "DELETE FROM EXCLUDED WHERE DAT_DATE = ?1");
    bindText(statement.get(), 1, isoDay);
    statement.run();
}

void DataFile::setExcluded(const QDate& day, bool excluded) {
    ensureStillInPlace();
    sqlite3* db = handle();
    data::exec(db, "BEGIN IMMEDIATE");
    try {
        bringUpToDate();
        marks_ = true;
        ++writes_;
        writeMark(iso(day), excluded);
        if (recorder_) recorder_->daysChanged(*this, {day});
        data::exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    persist();
}

std::vector<QDate> DataFile::excludedDays(const QDate& first, const QDate& last) {
    if (!hasMarks()) return {};
    data::Statement query(
        handle(), "SELECT DAT_DATE FROM EXCLUDED WHERE DAT_DATE >= ?1 AND DAT_DATE <= ?2 ORDER BY DAT_DATE");
    bindText(query.get(), 1, iso(first));
    bindText(query.get(), 2, iso(last));
    std::vector<QDate> days;
    int step;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        const QDate day = jatext::readIsoDate(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0))));
        if (day.isValid()) days.push_back(day);
    }
    if (step != SQLITE_DONE) data::raise(handle());
    return days;
}

qint64 DataFile::excludedCount() {
    if (!hasMarks()) return 0;
    // A mark counts only for a day she has a record of.
    data::Statement count(handle(),
                          "SELECT COUNT(*) FROM EXCLUDED WHERE EXISTS"
                          " (SELECT 1 FROM DATA_FIL WHERE DATA_FIL.DAT_DATE = EXCLUDED.DAT_DATE)");
    if (sqlite3_step(count.get()) != SQLITE_ROW) data::raise(handle());
    return sqlite3_column_int64(count.get(), 0);
}
