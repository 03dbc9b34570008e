#include "sync/SyncSettings.h"

#include "data/SettingsStore.h"

#include <QSysInfo>

namespace syncing {
namespace {

const QString kFolderSection = QStringLiteral("SYNC_FOLDER");
const QString kNameSection = QStringLiteral("SYNC_NAME");
const QString kIdSection = QStringLiteral("SYNC_ID");

}  // namespace

Settings readSettings(SettingsStore& store) {
    Settings settings;
    settings.folder = store.get(kFolderSection, settingkeys::kKey);
    settings.name = store.get(kNameSection, settingkeys::kKey);
    if (settings.name.isEmpty()) settings.name = QSysInfo::machineHostName();
    const std::optional<ComputerId> id = idFromText(store.get(kIdSection, settingkeys::kKey));
    settings.id = id ? *id : newComputerId();
    if (!id) store.save(kIdSection, settingkeys::kKey, idText(settings.id));
    return settings;
}

void setFolder(SettingsStore& store, const QString& folder) {
    const Settings now = readSettings(store);
    if (store.get(kNameSection, settingkeys::kKey).isEmpty())
        store.save(kNameSection, settingkeys::kKey, now.name);
    store.save(kFolderSection, settingkeys::kKey, folder);
}

}  // namespace syncing
