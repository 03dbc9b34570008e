#pragma once

#include "session/Module1.h"
#include "transfer/Backups.h"

class QWidget;

// The main window's commands for the whole diary. Every question goes through the dialogs seam; each command
// reports its own failures and leaves the diary as it was on any of them.
namespace transferui {

// Writes the whole diary to Selvane's CSV or drip's, as she chooses in the file dialog (a locked diary after
// a warning that the file is not sealed).
void exportAll(const Services& services, QWidget* parent, DataFile* db);
// Reads a CSV file, shows what it would change and, after a backup, writes it. True when the diary changed.
bool importFile(const Services& services, QWidget* parent, DataFile* db);
// Lists the backups and replaces the diary by the one she chooses, after backing it up; sealed opens the
// sealed ones. True when done.
bool restoreBackup(const Services& services, QWidget* parent, DataFile* db,
                   const transfer::SealedReader& sealed = {});
// A backup before a purge: true when made; a failure is shown and the purge must not go on.
bool backupBeforePurge(const Services& services, QWidget* parent, DataFile* db);
// After a save: the first save of a day makes a backup. A failure never undoes the save; it is told once per
// run (reported keeps count).
void backupAfterSave(const Services& services, QWidget* parent, DataFile* db, bool* reported);

}  // namespace transferui
