#pragma once

#include "data/DataFile.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// Copies of the whole diary taken with SQLite's online backup API from the live connection, in a "backups"
// folder beside the data file (owner-only), named by the date and time they were made and why.
namespace transfer {

enum class BackupReason { Save, Purge, Import, Restore, Manual };

struct Backup {
    QString path;
    QDateTime made;
    BackupReason reason = BackupReason::Manual;
};

// The folder beside the data file.
QString backupFolderBeside(const QString& dataPath);

// "selvane-20240503-101500-import.mdb"; and back (nothing for a name that is not one of ours).
QString backupFileName(const QDateTime& made, BackupReason reason);
std::optional<Backup> parseBackup(const QString& path);
// Ours in folder, newest first.
std::vector<Backup> listBackups(const QString& folder);
// Why it was made, as the restore list shows it.
QString reasonText(BackupReason reason);

// Makes a backup into folder (made owner-only when missing; what killed backups left there is removed first),
// in rollback-journal mode whatever the diary's: its path, or why not (no file is left behind then).
Result<QString> makeBackup(DataFile& db, const QString& folder, BackupReason reason, const QDateTime& now,
                           const DataFile::Progress& progress = {});

// Which backups to delete (indexes into made, newest first): kept are all of the last 7 days that have one,
// the newest of each of the last 12 months (this month included), any dated after today, and newestGood.
std::vector<size_t> backupsToDelete(const std::vector<QDateTime>& made, const QDate& today, int newestGood);

// True when folder holds a backup made on day for that reason.
bool backupMadeOn(const QString& folder, const QDate& day, BackupReason reason);

// Opens a backup sealed like a locked diary as a diary in memory, for reading: with the key of the open diary
// when it fits, otherwise (ask true) with a passphrase asked for it. Nothing when the file is not sealed, or
// (ask false) when it needs a passphrase; throws PgError with the reason when it is sealed but does not open.
using SealedReader = std::function<std::unique_ptr<DataFile>(DataFile& diary, const QString& path, bool ask)>;

// Deletes what backupsToDelete says, never the newest backup that passes the integrity check: a sealed one
// counts when sealed opens it with the diary's key (asked for none). Returns how many went.
int rotateBackups(DataFile& db, const QString& folder, const QDate& today, const SealedReader& sealed);

// Removes what killed backups left half-written in folder (".selvane.mdb-backup.XXXXXX", and a sealed
// backup's ".selvane-...mdb.XXXXXX"), once no writer holds them; no other file. Returns how many went.
int removeStaleBackups(const QString& folder);

// The backup of the diary at dataPath, from the window or the command line: into folder, or (folder empty)
// into the backups folder beside the diary, which is then rotated. Its path, or why there is none.
Result<QString> backUp(DataFile& db, const QString& dataPath, const QString& folder, BackupReason reason,
                       const QDateTime& now, const DataFile::Progress& progress, const SealedReader& sealed);

// The restore: reads the backup into memory (in rollback-journal mode), checks it, backs up the diary as it
// is into folder, then replaces the diary by it in one step; the diary keeps its mode (a locked diary stays
// locked). sealed opens a sealed backup. Why not, when the diary is unchanged.
Result<void> restoreBackup(DataFile& db, const QString& backupPath, const QString& folder,
                           const QDateTime& now, const DataFile::Progress& progress = {},
                           const SealedReader& sealed = {});

}  // namespace transfer
