#pragma once

#include "vault/LockedStore.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// Opening a locked diary, and turning a diary locked or plain in one atomic step each.
namespace vault {

inline const QString kWrongPassphrase = QStringLiteral("パスワードが違います。");
// A sealed copy whose passphrase is not the open diary's, where none may be asked.
inline const QString kOtherPassphrase = QStringLiteral("別のパスワードで暗号化されています。");

// What she is told for each fault of a locked file that cannot be opened.
QString faultText(Fault fault);

// Whether the file at path is a locked diary (or was one before it was damaged).
bool isLockedFile(const QString& path);

struct Unlocked {
    Fault fault = Fault::None;
    std::unique_ptr<DataFile> file;  // the open diary when fault is None
};

// Opens an inspected locked file with the passphrase. An older file than the one remembered as written last
// is refused before any key is made. Nothing is written, but for a diary that an earlier version locked with
// a passphrase of bytes that are no text: it is sealed again at once with the key of the bytes themselves.
Unlocked unlock(const QString& path, LockedFile file, const Secret& passphrase,
                const std::optional<Written>& remembered, Refusal refusal);

// The same for a front end that asks once: the open diary, or why not: a fault of the file or the passphrase
// in her words (number 0), or the error that kept it from opening.
Result<std::unique_ptr<DataFile>> openLocked(const QString& path, LockedFile file, const Secret& passphrase);

// A copy sealed like the locked file (a backup), opened as a diary in memory for reading: with the key of
// held when it is the copy's, otherwise with a passphrase from ask (when given). Nothing for a file that is
// not sealed; throws PgError with the reason when it does not open.
std::unique_ptr<DataFile> openSealedCopy(const QString& path, const LockedStore* held,
                                         const std::function<std::optional<Secret>()>& ask);

// The open diary's store when it is a locked one.
LockedStore* lockedStore(DataFile* file);

// A plain diary becomes a locked one: the file is replaced in one step, then read back and compared before it
// counts (the plain bytes are put back if not). The plain bytes are never written anywhere else. A read-only
// file is refused. Throws PgError; the plain file is then as it was.
std::unique_ptr<DataFile> lockDiary(const QString& path, const Secret& passphrase, const KdfCost& cost,
                                    Refusal refusal);
// The locked diary held open becomes a plain file again, checked the same way. Throws PgError; the locked
// file is then as it was.
std::unique_ptr<DataFile> unlockForGood(DataFile& held);

// Plain copies of a diary in a folder (backups made before it was locked), which would still give it away.
QStringList plainCopies(const QString& folder);

}  // namespace vault
