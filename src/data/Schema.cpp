#include "data/Schema.h"

#include "platform/core/Paths.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace schema {
namespace {

// Dates are whole days as ISO text, so comparisons and ORDER BY on DAT_DATE are plain text comparisons.
// STRICT makes the engine refuse a temperature that is not a number.
const char* const kStatements[] = {
    "CREATE TABLE DATA_FIL ("
    " DAT_DATE TEXT NOT NULL CHECK (DAT_DATE GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'),"
    " TEMP REAL,"
    " Memo TEXT,"
    " SCHEDULE TEXT,"
    " CONDITION TEXT,"
    " DIARY TEXT,"
    " LOVE INTEGER CHECK (LOVE IN (0, 1)),"
    " GUEST INTEGER CHECK (GUEST IN (0, 1))"
    ") STRICT",
    "CREATE INDEX DATA_FIL_DATE ON DATA_FIL (DAT_DATE)",
    // The forecast reads the newest menstruation days first; this keeps it independent of the file's size.
    "CREATE INDEX DATA_FIL_GUEST_DATE ON DATA_FIL (DAT_DATE) WHERE GUEST = 1",
};

}  // namespace

bool createEmptyDataFile(const QString& path, QString* reason) {
    auto fail = [&](const QString& why) {
        if (reason) *reason = why;
        return false;
    };
    if (paths::occupied(path)) return fail(QStringLiteral("already exists"));
    {
        // Create the file owner-only before the engine writes anything into it.
        QFile file(path);
        if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return fail(file.errorString());
    }
    const QString connection = QStringLiteral("schema-") + QUuid::createUuid().toString();
    bool ok = true;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            ok = false;
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            for (const char* statement : kStatements) {
                if (!query.exec(QString::fromLatin1(statement))) {
                    ok = false;
                    error = query.lastError().text();
                    break;
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok) {
        QFile::remove(path);
        return fail(error);
    }
    return true;
}

}  // namespace schema
