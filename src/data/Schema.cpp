#include "data/Schema.h"

#include "data/Columns.h"
#include "data/Sqlite.h"
#include "platform/core/Paths.h"
#include "platform/core/PgError.h"
#include "platform/core/SystemText.h"

#include <QFile>
#include <vector>

namespace schema {
namespace {

// Dates are whole days as ISO text, so comparisons and ORDER BY on DAT_DATE are plain text comparisons.
// STRICT makes the engine refuse a temperature that is not a number.
QString tableDefinition() {
    QStringList parts;
    for (const data::Column& column : data::kColumns)
        parts.append(QStringLiteral(" %1 %2%3")
                         .arg(QLatin1String(column.name), QLatin1String(column.type),
                              QLatin1String(column.constraint)));
    return QStringLiteral("CREATE TABLE DATA_FIL (") + parts.join(u',') + QStringLiteral(") STRICT");
}

// The layout of version 0, as files made before the version was kept have it.
const char* const kIndexes[] = {
    "CREATE INDEX DATA_FIL_DATE ON DATA_FIL (DAT_DATE)",
    // The forecast reads the newest menstruation days first; this keeps it independent of the file's size.
    "CREATE INDEX DATA_FIL_GUEST_DATE ON DATA_FIL (DAT_DATE) WHERE GUEST = 1",
};

// The statements of each step, the step to version n at [n - 1]. A feature that keeps data of its own adds a
// step at the end that creates its tables (never a column in DATA_FIL), and raises kVersion with it. A step
// may meet what it makes already there (a file whose version another tool set back): it makes only what is
// missing.
const std::vector<std::vector<const char*>>& steps() {
    static const std::vector<std::vector<const char*>> all = {
        {},  // to 1: the version is kept in the file; nothing else changes
        // to 2: the days whose reading she marked as disturbed, by date, so that a mark stays when she
        // corrects the reading and goes with the day's records
        {"CREATE TABLE IF NOT EXISTS EXCLUDED (DAT_DATE TEXT PRIMARY KEY NOT NULL"
         " CHECK (DAT_DATE GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]')) STRICT, WITHOUT ROWID"},
        // to 3: the records that keep her other computers in step (every record of the sync journals known
        // here, how far each other computer's journal has been read, and a few values of the sync's own)
        {"CREATE TABLE IF NOT EXISTS SYNC_RECORD (ORIGIN BLOB NOT NULL, SEQ INTEGER NOT NULL, TIME INTEGER "
         "NOT NULL,"
         " KIND INTEGER NOT NULL, DAY TEXT, BODY BLOB NOT NULL, PRIMARY KEY (ORIGIN, SEQ)) STRICT",
         "CREATE INDEX IF NOT EXISTS SYNC_RECORD_DAY ON SYNC_RECORD (DAY) WHERE DAY IS NOT NULL",
         // the purges and names, which each day's outcome reads, found without reading every record
         "CREATE INDEX IF NOT EXISTS SYNC_RECORD_KIND ON SYNC_RECORD (KIND) WHERE KIND >= 3",
         "CREATE TABLE IF NOT EXISTS SYNC_READ (ORIGIN BLOB PRIMARY KEY, GENERATION INTEGER NOT NULL,"
         " OFFSET INTEGER NOT NULL) STRICT",
         "CREATE TABLE IF NOT EXISTS SYNC_STATE (NAME TEXT PRIMARY KEY, VALUE BLOB) STRICT",
         // the days changed by anyone (this program, another, an older version) that the records have not
         // followed yet: a start reconciles just those. Untyped and filled only with dates that are there,
         // so that no write of hers can fail on it.
         "CREATE TABLE IF NOT EXISTS SYNC_DIRTY (DAY PRIMARY KEY) WITHOUT ROWID",
         "CREATE TRIGGER IF NOT EXISTS SYNC_ADDED AFTER INSERT ON DATA_FIL BEGIN"
         " INSERT OR IGNORE INTO SYNC_DIRTY (DAY) SELECT NEW.DAT_DATE WHERE NEW.DAT_DATE IS NOT NULL; END",
         "CREATE TRIGGER IF NOT EXISTS SYNC_CHANGED AFTER UPDATE ON DATA_FIL BEGIN"
         " INSERT OR IGNORE INTO SYNC_DIRTY (DAY) SELECT NEW.DAT_DATE WHERE NEW.DAT_DATE IS NOT NULL;"
         " INSERT OR IGNORE INTO SYNC_DIRTY (DAY) SELECT OLD.DAT_DATE WHERE OLD.DAT_DATE IS NOT NULL; END",
         "CREATE TRIGGER IF NOT EXISTS SYNC_REMOVED AFTER DELETE ON DATA_FIL BEGIN"
         " INSERT OR IGNORE INTO SYNC_DIRTY (DAY) SELECT OLD.DAT_DATE WHERE OLD.DAT_DATE IS NOT NULL; END",
         "CREATE TRIGGER IF NOT EXISTS SYNC_MARKED AFTER INSERT ON EXCLUDED BEGIN"
         " INSERT OR IGNORE INTO SYNC_DIRTY (DAY) VALUES (NEW.DAT_DATE); END",
         "CREATE TRIGGER IF NOT EXISTS SYNC_UNMARKED AFTER DELETE ON EXCLUDED BEGIN"
         " INSERT OR IGNORE INTO SYNC_DIRTY (DAY) VALUES (OLD.DAT_DATE); END"},
    };
    return all;
}

}  // namespace

int versionOf(sqlite3* db) {
    data::Statement version(db, "PRAGMA user_version");
    if (sqlite3_step(version.get()) != SQLITE_ROW) data::raise(db);
    return sqlite3_column_int(version.get(), 0);
}

void upgrade(sqlite3* db, int from) {
    Q_ASSERT(int(steps().size()) == kVersion);
    for (int version = from; version < kVersion; ++version)
        for (const char* statement : steps()[size_t(version)]) data::exec(db, statement);
    // A pragma takes no parameter; the number is the program's own.
    data::exec(db, QByteArray("PRAGMA user_version = " + QByteArray::number(kVersion)).constData());
}

bool createEmptyDataFile(const QString& path, QString* reason) {
    auto fail = [&](const QString& why) {
        if (reason) *reason = why;
        return false;
    };
    if (paths::occupied(path)) return fail(systemtext::inJapanese(QStringLiteral("File exists")));
    {
        // Create the file owner-only before the engine writes anything into it.
        QFile file(path);
        if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return fail(systemtext::inJapanese(file.errorString()));
    }
    QString error;
    {
        data::Connection db;
        try {
            if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db.db, SQLITE_OPEN_READWRITE,
                                nullptr) != SQLITE_OK)
                data::raise(db.db);
            // Version 0's layout, then every step: a new file is made the way an old one is brought up to
            // date.
            data::exec(db.db, "BEGIN");
            data::exec(db.db, tableDefinition().toUtf8().constData());
            for (const char* index : kIndexes) data::exec(db.db, index);
            upgrade(db.db, 0);
            data::exec(db.db, "COMMIT");
        } catch (const PgError& failure) {
            error = failure.description();
        }
    }
    if (!error.isEmpty()) {
        QFile::remove(path);
        return fail(error);
    }
    return true;
}

}  // namespace schema
