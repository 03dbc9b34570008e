#include "ui/vault/PassphraseCommand.h"

#include "data/Recovery.h"
#include "platform/core/Paths.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "ui/vault/PassphrasePrompt.h"
#include "vault/LockedDiary.h"
#include "vault/RecoveryCarrier.h"

#include <QApplication>
#include <QFile>

namespace vaultui {
namespace {

using Action = vault::PassphraseChoice::Action;

void inform(const Services& services, QWidget* parent, const QString& text) {
    services.dialogs->message(parent, text, kAppTitle, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
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
        services.dialogs->message(parent,
                                  QStringLiteral("%1個のバックアップを削除できませんでした。").arg(kept),
                                  QStringLiteral("ｴﾗｰ"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

// The edits kept from a session that ended without the closing questions follow the new key; she is told
// when they cannot.
void carryKeptEdits(const vault::RecoveryCarrier& kept, const vault::LockedStore* after,
                    const Services& services, QWidget* parent) {
    const QString error = kept.carry(after);
    if (error.isEmpty()) return;
    services.dialogs->message(parent, vault::kEditsNotCarried + u'\r' + error, QStringLiteral("ｴﾗｰ"),
                              Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

// Makes the key of a new passphrase, which takes a moment on purpose.
struct Busy {
    Busy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

QString backupsFolder(const Services& services) {
    return paths::inFolder(services.appFolder, QStringLiteral("backups"));
}

bool changePassphrase(Module1& module, const Services& services, PassphrasePrompt& prompt, QWidget* parent,
                      const vault::Refusal& refusal) {
    if (!module.Db) return false;
    vault::LockedStore* store = vault::lockedStore(module.Db.get());
    std::optional<vault::PassphraseChoice> choice = prompt.askChoice(parent, store != nullptr);
    if (!choice) return false;
    try {
        if (store) {
            bool fits = false;
            {
                Busy busy;
                fits = store->fits(choice->current);
            }
            if (!fits) {
                services.dialogs->message(parent, vault::kWrongPassphrase, kAppTitle,
                                          Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
                return false;
            }
        }
        const vault::RecoveryCarrier kept(paths::inFolder(services.appFolder, recovery::kFileName), store);
        switch (choice->action) {
            case Action::Set: {
                std::unique_ptr<DataFile> locked;
                {
                    Busy busy;
                    locked = vault::lockDiary(paths::inFolder(services.appFolder, kDataFileName),
                                              choice->next, vault::kDefaultCost, refusal);
                }
                module.Db = std::move(locked);
                carryKeptEdits(kept, vault::lockedStore(module.Db.get()), services, parent);
                inform(services, parent,
                       QStringLiteral("パスワードを設定しました。日記は暗号化して保存されます。"));
                offerToDeletePlainCopies(services, parent);
                return true;
            }
            case Action::Change: {
                {
                    Busy busy;
                    QSqlDatabase db = module.Db->connection();
                    store->changeKey(db, vault::newKey(choice->next, vault::kDefaultCost));
                }
                carryKeptEdits(kept, store, services, parent);
                inform(services, parent, QStringLiteral("パスワードを変更しました。"));
                offerToDeletePlainCopies(services, parent);
                return true;
            }
            case Action::Remove: {
                module.Db = vault::unlockForGood(*module.Db);
                carryKeptEdits(kept, nullptr, services, parent);
                inform(services, parent,
                       QStringLiteral("パスワードを解除しました。日記は暗号化せずに保存されます。"));
                return true;
            }
        }
    } catch (const PgError& error) {
        // A conversion undone has put the plain file back anew: the open diary follows it there.
        const QString path = paths::inFolder(services.appFolder, kDataFileName);
        if (!store && !vault::isLockedFile(path)) {
            try {
                module.Db = DataFile::open(path);
            } catch (const PgError&) {
            }
        }
        services.dialogs->message(
            parent, QStringLiteral("パスワードの設定を変えられませんでした。\r") + error.description(),
            QStringLiteral("ｴﾗｰ"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    }
    return false;
}

}  // namespace vaultui
