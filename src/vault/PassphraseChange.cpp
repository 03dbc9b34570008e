#include "vault/PassphraseChange.h"

#include "platform/core/PgError.h"
#include "vault/LockedDiary.h"
#include "vault/RecoveryCarrier.h"

namespace vault {

Result<PassphraseChanged> changePassphrase(std::unique_ptr<DataFile>& db, const QString& dataPath,
                                           const QString& recoveryPath, PassphraseChoice::Action action,
                                           const Secret& next, const Refusal& refusal) {
    LockedStore* before = lockedStore(db.get());
    const RecoveryCarrier kept(recoveryPath, before);
    const Result<void> converted = attempt([&] {
        switch (action) {
            case PassphraseChoice::Action::Set:
                db = lockDiary(dataPath, next, kDefaultCost, refusal);
                break;
            case PassphraseChoice::Action::Change:
                if (!before) throw PgError::engine(QStringLiteral("データファイルは暗号化されていません。"));
                before->changeKey(db->image(), newKey(next, kDefaultCost));
                break;
            case PassphraseChoice::Action::Remove:
                db = unlockForGood(*db);
                break;
        }
    });
    if (!converted) {
        // A locking undone has put the plain file back anew: the open diary follows it there.
        if (!before && !isLockedFile(dataPath)) {
            if (Result<std::unique_ptr<DataFile>> plain = attempt([&] { return DataFile::open(dataPath); }))
                db = std::move(plain).value();
        }
        return converted.failure();
    }
    return PassphraseChanged{kept.holds(), kept.carry(lockedStore(db.get()))};
}

}  // namespace vault
