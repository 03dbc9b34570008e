#pragma once

#include <sqlite3.h>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

// SQLite's own interface as the data file's code uses it beside Qt's driver: the handle behind a connection,
// statements finalized and connections closed on every path. Only the files of src/data include this.
namespace data {

// The engine's handle of an open Qt connection; null when it is none of SQLite's.
sqlite3* handleOf(const QSqlDatabase& db);

// The connection's last error as the engine words it.
QString errorOf(sqlite3* db);
[[noreturn]] void raise(sqlite3* db);

// Runs a statement that returns no row; throws PgError when the engine refuses it.
void exec(sqlite3* db, const char* sql);

// A prepared statement finalized on every path.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql);  // throws PgError when the engine refuses it
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    // One step of a statement that returns no row; resets it for the next use.
    void run();

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// A connection of our own, closed on every path.
struct Connection {
    sqlite3* db = nullptr;
    Connection() = default;
    ~Connection() { sqlite3_close(db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    QString error() const { return errorOf(db); }
};

// The rows of a query, each as texts (Null as an empty one); false when the engine refuses it.
bool rows(sqlite3* db, const char* sql, std::vector<QStringList>* out);

}  // namespace data
