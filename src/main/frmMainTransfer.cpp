// The main window's commands for the whole diary: export and import in the File menu, restore in the Settings
// menu, and the day's first backup after a save.
#include "main/frmMain.h"

#include "ui/transfer/TransferWindows.h"
#include "vault/LockedDiary.h"
#include "ui/vault/PassphrasePrompt.h"

#include <QAction>
#include <QMenu>

void frmMain::buildTransferMenus() {
    // After the specified items: in the File menu before 閉じる(&X), behind a separator.
    auto add = [](QMenu* menu, QAction* before, const char* name, const QString& caption) {
        auto* action = new QAction(caption, menu);
        action->setObjectName(QString::fromLatin1(name));
        menu->insertAction(before, action);
        return action;
    };
    mnuPartition3 = mnuFile->insertSeparator(mnuExit);
    mnuPartition3->setObjectName(QStringLiteral("mnuPartition3"));
    mnuFileExportAll = add(mnuFile, mnuExit, "mnuFileExportAll", QStringLiteral("全ﾃﾞｰﾀの書き出し(&E)..."));
    mnuFileImport = add(mnuFile, mnuExit, "mnuFileImport", QStringLiteral("ﾃﾞｰﾀの読み込み(&I)..."));
    mnuSetRestore = add(mnuSet, nullptr, "mnuSetRestore", QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻す(&B)..."));
    connect(mnuFileExportAll, &QAction::triggered, this, &frmMain::mnuFileExportAll_Click);
    connect(mnuFileImport, &QAction::triggered, this, &frmMain::mnuFileImport_Click);
    connect(mnuSetRestore, &QAction::triggered, this, &frmMain::mnuSetRestore_Click);
}

void frmMain::mnuFileExportAll_Click() { transferui::exportAll(services_, this, m_.Db.get()); }

void frmMain::mnuFileImport_Click() {
    // Pending edits are offered for saving first, as when choosing another day: the import reloads the day.
    if (!ConfirmSaveChanges()) return;
    if (transferui::importFile(services_, this, m_.Db.get())) showChangedDiary();
}

void frmMain::mnuSetRestore_Click() {
    if (!ConfirmSaveChanges()) return;
    // A sealed backup opens with the diary's key, or with the passphrase it was sealed with.
    const auto sealed = [this](DataFile& diary, const QString& path, bool ask) {
        PassphrasePrompt* prompt = services_.passphrases;
        std::function<std::optional<vault::Secret>()> asking;
        if (ask && prompt) asking = [this, prompt] { return prompt->askBackup(this); };
        return vault::openSealedCopy(path, vault::lockedStore(&diary), asking);
    };
    if (transferui::restoreBackup(services_, this, m_.Db.get(), sealed)) showChangedDiary();
}

void frmMain::showChangedDiary() {
    LoadDayRecord();
    refreshCycleInUse();
    UpdateCycleForecast();
}

void frmMain::backupAfterSave() {
    transferui::backupAfterSave(services_, this, m_.Db.get(), &backupFailureTold_);
}
