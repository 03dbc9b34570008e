#include "data/Sqlite.h"

#include "platform/core/PgError.h"
#include "platform/core/SystemText.h"

#include <QSqlDriver>
#include <QVariant>

namespace data {

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.data());
}

QString errorOf(sqlite3* db) { return systemtext::inJapanese(QString::fromUtf8(sqlite3_errmsg(db))); }

void raise(sqlite3* db) { throw PgError::engine(errorOf(db)); }

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) raise(db);
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) raise(db);
}

void Statement::run() {
    if (sqlite3_step(stmt_) != SQLITE_DONE) raise(db_);
    sqlite3_reset(stmt_);
}

bool rows(sqlite3* db, const char* sql, std::vector<QStringList>* out) {
    out->clear();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) return false;
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            row.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i))));
        out->push_back(row);
    }
    sqlite3_finalize(stmt);
    return step == SQLITE_DONE;
}

}  // namespace data
