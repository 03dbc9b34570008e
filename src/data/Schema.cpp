#include "data/Schema.h"

#include "data/Columns.h"
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
QString tableDefinition() {
    QStringList parts;
    for (const columns::Column& column : columns::kAll)
        parts.append(QStringLiteral(" %1 %2%3")
                         .arg(QLatin1String(column.name), QLatin1String(column.type),
                              QLatin1String(column.constraint)));
    return QStringLiteral("CREATE TABLE DATA_FIL (") + parts.join(u',') + QStringLiteral(") STRICT");
}

const char* const kIndexes[] = {
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
            QStringList statements{tableDefinition()};
            for (const char* index : kIndexes) statements.append(QLatin1String(index));
            for (const QString& statement : statements) {
                if (!query.exec(statement)) {
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
