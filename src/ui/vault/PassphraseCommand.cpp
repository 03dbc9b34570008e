#include "ui/vault/PassphraseCommand.h"

#include "data/Recovery.h"
#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "ui/vault/PassphrasePrompt.h"
#include "vault/LockedDiary.h"
#include "vault/PassphraseChange.h"

#include <QApplication>
#include <QFile>

namespace vaultui {
namespace {

using Action = vault::PassphraseChoice::Action;

const QString kErrorTitle = QStringLiteral("ｴﾗｰ");

void inform(const Services& services, QWidget* parent, const QString& text) {
    services.dialogs->message(parent, text, kAppTitle, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

void warn(const Services& services, QWidget* parent, const QString& text, const QString& title) {
    services.dialogs->message(parent, text, title, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

void offerToDeletePlainCopies(const Services& services, QWidget* parent) {
    const QStringList copies = vault::plainCopies(backupsFolder(services));
    if (copies.isEmpty()) return;
    const QString question = QStringLiteral(
                                 "暗号化されていない以前のバックアップが%1個あります。\r"
                                 "そこから日記が読まれるおそれがあります。削除しますか？")
                                 .arg(copies.size());
    if (!services.dialogs->askYesNo(parent, question, kAppTitle)) return;
    int kept = 0;
    for (const QString& copy : copies) kept += !QFile::remove(copy);
    if (kept > 0)
        warn(services, parent, QStringLiteral("%1個のバックアップを削除できませんでした。").arg(kept),
             kErrorTitle);
}

// Makes the key of a new passphrase, which takes a moment on purpose.
struct Busy {
    Busy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QApplication::restoreOverrideCursor(); }
};

QString doneText(Action action) {
    switch (action) {
        case Action::Set:
            return QStringLiteral("パスワードを設定しました。日記は暗号化して保存されます。");
        case Action::Change:
            return QStringLiteral("パスワードを変更しました。");
        case Action::Remove:
            break;
    }
    return QStringLiteral("パスワードを解除しました。日記は暗号化せずに保存されます。");
}

}  // namespace

QString backupsFolder(const Services& services) {
    return paths::inFolder(services.appFolder, QStringLiteral("backups"));
}

bool changePassphrase(Module1& module, const Services& services, PassphrasePrompt& prompt, QWidget* parent,
                      const vault::Refusal& refusal,
                      const std::function<void(const vault::Secret*)>& changed) {
    if (!module.Db) return false;
    const vault::LockedStore* store = vault::lockedStore(module.Db.get());
    std::optional<vault::PassphraseChoice> choice = prompt.askChoice(parent, store != nullptr);
    if (!choice) return false;
    const QString failed = QStringLiteral("パスワードの設定を変えられませんでした。\r");
    if (store) {
        const Result<bool> fits = [&] {
            Busy busy;
            return attempt([&] { return store->fits(choice->current); });
        }();
        if (!fits) {
            warn(services, parent, failed + fits.message(), kErrorTitle);
            return false;
        }
        if (!fits.value()) {
            warn(services, parent, vault::kWrongPassphrase, kAppTitle);
            return false;
        }
    }
    const Result<vault::PassphraseChanged> done = [&] {
        std::optional<Busy> busy;
        if (choice->action != Action::Remove) busy.emplace();
        return vault::changePassphrase(module.Db, paths::inFolder(services.appFolder, kDataFileName),
                                       paths::inFolder(services.appFolder, recovery::kFileName),
                                       choice->action, choice->next, refusal);
    }();
    if (!done) {
        warn(services, parent, failed + done.message(), kErrorTitle);
        return false;
    }
    if (changed) changed(choice->action == Action::Remove ? nullptr : &choice->next);
    // The edits kept from a session that ended without the closing questions follow the new key; she is told
    // when they cannot.
    if (!done->carried)
        warn(services, parent, vault::kEditsNotCarried + u'\r' + done->carried.message(), kErrorTitle);
    inform(services, parent, doneText(choice->action));
    if (choice->action != Action::Remove) offerToDeletePlainCopies(services, parent);
    return true;
}

}  // namespace vaultui
