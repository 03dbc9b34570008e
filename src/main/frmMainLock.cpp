// The locked diary in the main window: the Settings menu's passphrase and lock-time items, and what the
// window does around a lock.
#include "data/Recovery.h"
#include "main/EditGuard.h"
#include "main/frmMain.h"

#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "settings/SettingPrompt.h"
#include "vault/LockedDiary.h"
#include "vault/Passphrase.h"
#include "ui/vault/LockController.h"
#include "ui/vault/PassphraseCommand.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>

namespace {

const settingentry::Prompt& lockTimePrompt() {
    static const settingentry::Prompt prompt{
        QStringLiteral("パスワードを設定した日記は、操作のないまま何分たったらロックしますか？\r"
                       "（1～60分。0 にするとロックしません）"),
        vault::kLockTimeSection, QString::number(vault::kDefaultLockMinutes), 0, vault::kMostLockMinutes};
    return prompt;
}

}  // namespace

void frmMain::buildLock() {
    mnuSetPartitionLock = mnuSet->addSeparator();
    mnuSetPartitionLock->setObjectName(QStringLiteral("mnuSetPartitionLock"));
    mnuSetPassphrase = mnuSet->addAction(QStringLiteral("ﾊﾟｽﾜｰﾄﾞの設定(&P)..."));
    mnuSetPassphrase->setObjectName(QStringLiteral("mnuSetPassphrase"));
    mnuSetLockTime = mnuSet->addAction(QStringLiteral("自動ﾛｯｸの設定(&L)..."));
    mnuSetLockTime->setObjectName(QStringLiteral("mnuSetLockTime"));
    connect(mnuSetPassphrase, &QAction::triggered, this, &frmMain::mnuSetPassphrase_Click);
    connect(mnuSetLockTime, &QAction::triggered, this, &frmMain::mnuSetLockTime_Click);

    LockController::Window window;
    window.widget = this;
    window.hasEdits = [this] { return m_.DataChanged; };
    window.saveEdits = [this] { SaveDayRecord(); };
    window.keepEdits = [this] {
        const QString path = paths::inFolder(services_.appFolder, recovery::kFileName);
        const QString error = EditGuard::write(m_, path, entryFromControls());
        if (!error.isEmpty())
            services_.dialogs->message(this, QStringLiteral("編集を取っておけませんでした。\r") + error,
                                       QStringLiteral("ｴﾗｰ"), Dialogs::Icon::Exclamation,
                                       Dialogs::Buttons::Ok);
    };
    window.clear = [this] {
        // Nothing of the diary stays in the controls while it is locked.
        for (QLineEdit* field : {txtTemp, txtCondition, txtMemo, txtSchedule}) field->clear();
        rtbDiary->clear();
        chkMens->setChecked(false);
        chkSex->setChecked(false);
        setPanelText(4, QString());
        setPanelText(5, QString());
        setPanelText(2, settingentry::cyclePanelText(m_.CycleDays));  // nothing of her records either
        m_.DataChanged = false;
    };
    window.restore = [this] {
        MonthView1->setSelectedDate(m_.SelectedDate);
        offerRecoveredEdits();  // edits kept at a lock that went unanswered
        LoadDayRecord();
        showCycleInUse();
        UpdateCycleForecast();
        m_.DataChanged = false;
    };
    lock_ = new LockController(m_, services_, paths::inFolder(services_.appFolder, kDataFileName),
                               std::move(window), this);
}

void frmMain::mnuSetPassphrase_Click() {
    if (passphrasecommand::run(m_, services_, this, lock_->refusal())) lock_->follow();
}

void frmMain::mnuSetLockTime_Click() {
    services_.dialogs->trapped(this, [this] {
        if (settingentry::askAndStore(*services_.dialogs, *services_.settings, this, lockTimePrompt()))
            lock_->follow();
    });
}

bool frmMain::followChangedLockedFile() {
    const vault::LockedStore* store = vault::lockedStore(m_.Db.get());
    if (!store || !store->changedOnDisk()) return true;
    const QString question = QStringLiteral(
        "日記のﾌｧｲﾙがほかのﾌﾟﾛｸﾞﾗﾑで書き換えられています。\r書き換えられた日記を読み込みますか？\r"
        "（編集中の内容は画面に残り、そのあと保存します）");
    return services_.dialogs->askYesNo(this, question, kAppTitle) && lock_->reopenChanged();
}
