#include "ui/vault/VaultFeature.h"

#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "settings/SettingPrompt.h"
#include "ui/vault/LockController.h"
#include "ui/vault/PassphraseCommand.h"
#include "ui/vault/PassphrasePrompt.h"
#include "vault/LockedDiary.h"
#include "vault/Passphrase.h"

#include <QAction>

namespace vaultui {
namespace {

const settingentry::Prompt& lockTimePrompt() {
    static const settingentry::Prompt prompt{
        QStringLiteral("ﾊﾟｽﾜｰﾄﾞを設定した日記は、操作のないまま何分たったらﾛｯｸしますか？\r"
                       "（1～60分。0 にするとﾛｯｸしません）"),
        vault::kLockTimeSection, QString::number(vault::kDefaultLockMinutes), 0, vault::kMostLockMinutes};
    return prompt;
}

}  // namespace

VaultFeature::VaultFeature(session::FeatureHost& host)
    : Feature(host), ownPrompt_(std::make_unique<QtPassphrasePrompt>()), prompt_(ownPrompt_.get()) {
    using session::Menu;
    host.addMenuSeparator(Menu::Settings, "mnuSetPartitionLock");
    QAction* passphrase =
        host.addMenuItem(Menu::Settings, "mnuSetPassphrase", QStringLiteral("ﾊﾟｽﾜｰﾄﾞの設定(&P)..."));
    QAction* lockTime =
        host.addMenuItem(Menu::Settings, "mnuSetLockTime", QStringLiteral("自動ﾛｯｸの設定(&L)..."));
    connect(passphrase, &QAction::triggered, this, &VaultFeature::setPassphrase);
    connect(lockTime, &QAction::triggered, this, &VaultFeature::setLockTime);
    lock_ = new LockController(host, paths::inFolder(host.services().appFolder, kDataFileName), this);
    lock_->setPrompt(prompt_);
}

VaultFeature::~VaultFeature() = default;

void VaultFeature::setPrompt(PassphrasePrompt* prompt) {
    prompt_ = prompt;
    lock_->setPrompt(prompt);
}

std::function<std::optional<vault::Secret>(QWidget* parent)> VaultFeature::backupPassphrase() {
    return [this](QWidget* parent) -> std::optional<vault::Secret> {
        if (!prompt_) return std::nullopt;
        return prompt_->askBackup(parent);
    };
}

std::function<std::optional<vault::Secret>(QWidget* parent)> VaultFeature::folderPassphrase() {
    return [this](QWidget* parent) -> std::optional<vault::Secret> {
        if (!prompt_) return std::nullopt;
        return prompt_->askFolder(parent);
    };
}

// A locked diary opens with her passphrase or not at all.
bool VaultFeature::openAtStart() { return lock_->unlockAtStart(); }

void VaultFeature::setPassphrase() {
    if (prompt_ &&
        changePassphrase(host_.module(), host_.services(), *prompt_, host_.mainWindow(), lock_->refusal()))
        lock_->follow();
}

void VaultFeature::setLockTime() {
    const Services& services = host_.services();
    services.dialogs->trapped(host_.mainWindow(), [&] {
        if (settingentry::askAndStore(*services.dialogs, *services.settings, host_.mainWindow(),
                                      lockTimePrompt()))
            lock_->follow();
    });
}

// The locked file that another program rewrote since it was opened is offered for loading before a save, her
// edits staying on screen; false when the save cannot go on.
bool VaultFeature::beforeSave() {
    const vault::LockedStore* store = vault::lockedStore(host_.module().Db.get());
    if (!store || !store->changedOnDisk()) return true;
    const QString question = QStringLiteral(
        "日記のﾌｧｲﾙがほかのﾌﾟﾛｸﾞﾗﾑで書き換えられています。\r書き換えられた日記を読み込みますか？\r"
        "（編集中の内容は画面に残り、そのあと保存します）");
    return host_.services().dialogs->askYesNo(host_.mainWindow(), question, kAppTitle) &&
           lock_->reopenChanged();
}

}  // namespace vaultui
