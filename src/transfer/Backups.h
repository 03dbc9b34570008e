#pragma once

#include "data/DataFile.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// Copies of the whole diary taken with SQLite's online backup API from the live connection, in a "backups"
// folder beside the data file (owner-only), named by the date and time they were made and why.
namespace backups {

enum class Reason { Save, Purge, Import, Restore, Manual };

struct Entry {
    QString path;
    QDateTime made;
    Reason reason = Reason::Manual;
};

// The folder beside the data file.
QString folderBeside(const QString& dataPath);

// "selvane-20240503-101500-import.mdb"; and back (nothing for a name that is not one of ours).
QString fileName(const QDateTime& made, Reason reason);
std::optional<Entry> parse(const QString& path);
// Ours in folder, newest first.
std::vector<Entry> list(const QString& folder);
// Why it was made, as the restore list shows it.
QString reasonText(Reason reason);

// Makes a backup into folder (made owner-only when missing; what killed backups left there is removed first),
// in rollback-journal mode whatever the diary's. Returns its path, or throws PgError with the reason; on
// failure no file is left behind.
QString make(DataFile& db, const QString& folder, Reason reason, const QDateTime& now,
             const DataFile::Progress& progress = {});

// Which backups to delete (indexes into made, newest first): kept are all of the last 7 days that have one,
// the newest of each of the last 12 months (this month included), any dated after today, and newestGood.
std::vector<size_t> toDelete(const std::vector<QDateTime>& made, const QDate& today, int newestGood);

// True when folder holds a backup made on day for that reason.
bool madeOn(const QString& folder, const QDate& day, Reason reason);

// Opens a backup sealed like a locked diary as a diary in memory, for reading: with the key of the open diary
// when it fits, otherwise (ask true) with a passphrase asked for it. Nothing when the file is not sealed, or
// (ask false) when it needs a passphrase; throws PgError with the reason when it is sealed but does not open.
using SealedReader = std::function<std::unique_ptr<DataFile>(DataFile& diary, const QString& path, bool ask)>;

// Deletes what toDelete says, never the newest backup that passes the integrity check: a sealed one counts
// when sealed opens it with the diary's key (asked for none). Returns how many went.
int rotate(DataFile& db, const QString& folder, const QDate& today, const SealedReader& sealed);

// Removes what killed backups left half-written in folder (".selvane.mdb-backup.XXXXXX", and a sealed
// backup's ".selvane-...mdb.XXXXXX"), once no writer holds them; no other file. Returns how many went.
int removeStale(const QString& folder);

// Reads the backup into memory (in rollback-journal mode), checks it, backs up the diary as it is, then
// replaces the diary by it in one step; the diary keeps its mode (a locked diary stays locked). sealed opens
// a sealed backup. Throws PgError with the reason; the diary is unchanged then.
void restore(DataFile& db, const QString& backupPath, const QString& folder, const QDateTime& now,
             const DataFile::Progress& progress = {}, const SealedReader& sealed = {});

}  // namespace backups
