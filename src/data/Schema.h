#pragma once

#include <QString>

struct sqlite3;

// What a data file holds: the table DATA_FIL and its indexes, and the version of that layout, kept in the
// file (PRAGMA user_version). Files made before the version was kept are version 0.
namespace schema {

// The version this program makes and writes. A file of a newer one is refused (PgError::NewerFile), before
// anything reads or writes it.
inline constexpr int kVersion = 3;
// The days whose reading she marked as disturbed (除外): a table of their own beside DATA_FIL, from
// version 2.
inline constexpr int kExcludedSince = 2;
// The records that keep her other computers in step (SYNC_RECORD, SYNC_READ, SYNC_STATE), from version 3.
inline constexpr int kSyncSince = 3;

// Makes an empty data file of this version with the table DATA_FIL and its indexes at path, readable by its
// owner only. Refuses (returns false, with a reason) when anything already exists at path: a diary is never
// replaced.
bool createEmptyDataFile(const QString& path, QString* reason = nullptr);

// The version of the open database: its user_version. Throws PgError.
int versionOf(sqlite3* db);
// Brings the open database from version `from` to kVersion inside the write transaction already begun on it,
// one step after the other (Schema.cpp lists them), and stamps it. Throws PgError; the transaction is then to
// be rolled back.
void upgrade(sqlite3* db, int from);

}  // namespace schema
