#pragma once

#include "platform/core/Result.h"
#include "sync/Folder.h"
#include "vault/LockedFormat.h"

#include <memory>

// A locked diary's sync folder, sealed: every journal's frames are sealed with a key made from her passphrase
// and the folder's salt (Argon2id, at the cost written beside the salt), so the folder holds no plaintext.
// The salt file (SYNC_FOLDER/Selvane/salt) is made once, by whichever computer seals the folder first; it
// also holds a known text sealed with the key, so that a wrong passphrase is told before anything is merged.
namespace vault {

inline const QString kOtherFolderPassphrase = QStringLiteral("同期ﾌｫﾙﾀﾞは別のﾊﾟｽﾜｰﾄﾞで暗号化されています。");

// Whether the folder is sealed (a salt is there): a computer then syncs only with the folder's passphrase.
bool folderSealed(const QString& folder);

// The folder's sealer for the passphrase. A folder that is not sealed yet is sealed now: its salt made with
// an exclusive create at the given cost (tests pass a cheap one); when another computer made one at the same
// time, its salt is used. Fails with kOtherFolderPassphrase (number 0) when the passphrase is not the
// folder's, or with why the salt could not be made or read (a damaged salt file is never replaced: the
// journals sealed with it would be lost). Session borrows the sealer; keep it alive as long as the session.
Result<std::unique_ptr<syncing::Sealer>> openFolderSeal(const QString& folder, const Secret& passphrase,
                                                        const KdfCost& cost = kDefaultCost);

// Her passphrase changed on this computer: the folder is sealed anew with it (a new salt file, in one step).
// This computer's journal is written whole again with the new key at its next flush; the other computers
// find their key no longer fits and ask for the new passphrase, and write theirs anew too.
Result<std::unique_ptr<syncing::Sealer>> resealFolder(const QString& folder, const Secret& passphrase,
                                                      const KdfCost& cost = kDefaultCost);
// Whether the folder is still sealed with the sealer's key: false only when a whole salt file of another key
// is there (a salt file that cannot be read now says nothing).
bool sealStillFits(const QString& folder, const syncing::Sealer& sealer);

}  // namespace vault
