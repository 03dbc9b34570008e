#include "ui/transfer/TransferFeature.h"

#include "ui/transfer/TransferWindows.h"
#include "vault/LockedDiary.h"

#include <QAction>

namespace transferui {

TransferFeature::TransferFeature(session::FeatureHost& host) : Feature(host) {
    using session::Menu;
    host.addMenuSeparator(Menu::File, "mnuPartition3");
    QAction* exporting =
        host.addMenuItem(Menu::File, "mnuFileExportAll", QStringLiteral("全ﾃﾞｰﾀの書き出し(&E)..."));
    QAction* importing =
        host.addMenuItem(Menu::File, "mnuFileImport", QStringLiteral("ﾃﾞｰﾀの読み込み(&I)..."));
    QAction* restoring =
        host.addMenuItem(Menu::Settings, "mnuSetRestore", QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻す(&B)..."));
    connect(exporting, &QAction::triggered, this, &TransferFeature::exportAll);
    connect(importing, &QAction::triggered, this, &TransferFeature::importFile);
    connect(restoring, &QAction::triggered, this, &TransferFeature::restore);
}

void TransferFeature::exportAll() {
    transferui::exportAll(host_.services(), host_.mainWindow(), host_.module().Db.get());
}

void TransferFeature::importFile() {
    // Pending edits are offered for saving first, as when choosing another day: the import reloads the day.
    if (!host_.confirmSaveChanges()) return;
    if (transferui::importFile(host_.services(), host_.mainWindow(), host_.module().Db.get()))
        host_.diaryReplaced();
}

void TransferFeature::restore() {
    if (!host_.confirmSaveChanges()) return;
    // A sealed backup opens with the diary's key, or with the passphrase it was sealed with.
    const auto sealed = [this](DataFile& diary, const QString& path, bool ask) {
        std::function<std::optional<vault::Secret>()> asking;
        if (ask && backupPassphrase_) asking = [this] { return backupPassphrase_(host_.mainWindow()); };
        return vault::openSealedCopy(path, vault::lockedStore(&diary), asking);
    };
    if (transferui::restoreBackup(host_.services(), host_.mainWindow(), host_.module().Db.get(), sealed))
        host_.diaryReplaced();
}

bool TransferFeature::beforePurge() {
    return transferui::backupBeforePurge(host_.services(), host_.mainWindow(), host_.module().Db.get());
}

void TransferFeature::recordsChanged(session::Change change) {
    if (change == session::Change::DaySaved)
        transferui::backupAfterSave(host_.services(), host_.mainWindow(), host_.module().Db.get(),
                                    &backupFailureTold_);
}

}  // namespace transferui
