#pragma once

#include "sync/Record.h"

#include <QString>

class SettingsStore;

// Where her diary is kept in step, as the settings file keeps it: [SYNC_FOLDER], [SYNC_NAME] and this
// computer's own id [SYNC_ID] (made at the first use; the settings are per user, so a diary copied to another
// computer is recorded under that computer's id).
namespace syncing {

struct Settings {
    QString folder;  // empty: the sync is off
    QString name;    // this computer, as the others show it
    ComputerId id;   // none while the sync is off
};

// The settings as stored; a missing name is the host name, a missing id is made and stored (only while the
// sync is on).
Settings readSettings(SettingsStore& store);
// Sets the folder (empty: off), and the name where none is stored yet.
void setFolder(SettingsStore& store, const QString& folder);
void setName(SettingsStore& store, const QString& name);
// Why the folder cannot keep her diary in step (missing; the diary's own folder, one inside it or one holding
// it), or empty.
QString unusableFolder(const QString& folder, const QString& diaryFolder);

}  // namespace syncing
