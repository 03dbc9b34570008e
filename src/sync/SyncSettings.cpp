#include "sync/SyncSettings.h"

#include "data/SettingsStore.h"

#include <QFileInfo>
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
    if (settings.folder.isEmpty()) return settings;  // off: nothing is written
    const std::optional<ComputerId> id = idFromText(store.get(kIdSection, settingkeys::kKey));
    settings.id = id ? *id : newComputerId();
    if (!id) store.save(kIdSection, settingkeys::kKey, idText(settings.id));
    return settings;
}

void setName(SettingsStore& store, const QString& name) {
    store.save(kNameSection, settingkeys::kKey, name.trimmed());
}

QString unusableFolder(const QString& folder, const QString& diaryFolder) {
    const QFileInfo info(folder);
    if (!info.isDir()) return QStringLiteral("ﾌｫﾙﾀﾞがありません。");
    const QString chosen = info.canonicalFilePath() + u'/';
    const QString diary = QFileInfo(diaryFolder).canonicalFilePath() + u'/';
    // Her sync program would carry the live diary file itself, which it can copy half-written.
    if (diary.startsWith(chosen) || chosen.startsWith(diary))
        return QStringLiteral("日記のﾌｧｲﾙがあるﾌｫﾙﾀﾞとその中のﾌｫﾙﾀﾞは、同期ﾌｫﾙﾀﾞにできません。");
    return {};
}

void setFolder(SettingsStore& store, const QString& folder) {
    const Settings now = readSettings(store);
    if (store.get(kNameSection, settingkeys::kKey).isEmpty())
        store.save(kNameSection, settingkeys::kKey, now.name);
    store.save(kFolderSection, settingkeys::kKey, folder);
}

}  // namespace syncing
