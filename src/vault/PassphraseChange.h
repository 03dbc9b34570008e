#pragma once

#include "vault/LockedStore.h"
#include "vault/Passphrase.h"

#include <memory>

namespace vault {

// Told when the kept edits could not follow the new key (before why).
inline const QString kEditsNotCarried =
    QStringLiteral("保存されずに終了した編集を新しい設定で書き直せませんでした。");

// What followed a change of the passphrase.
struct PassphraseChanged {
    // Edits kept from a session that ended without the closing questions were there to follow the new key.
    bool keptEdits = false;
    // Whether they did: why not, when they could not (the passphrase is changed all the same).
    Result<void> carried;
};

// The change of the passphrase, from the window or the command line, once the current one is proven (the
// diary was opened with it, or it fits): a passphrase set on the open plain diary (Set), a new one for the
// locked diary (Change), or none, the diary plain again (Remove), each in one atomic step read back before it
// counts; the edits kept in the recovery file at recoveryPath follow the new key. db is the open diary, and
// afterwards the diary as it now is (also after a failed locking that put the plain file back anew). Why not,
// when the file is as it was.
Result<PassphraseChanged> changePassphrase(std::unique_ptr<DataFile>& db, const QString& dataPath,
                                           const QString& recoveryPath, PassphraseChoice::Action action,
                                           const Secret& next, const Refusal& refusal);

}  // namespace vault
