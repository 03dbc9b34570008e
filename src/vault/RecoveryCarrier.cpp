#include "vault/RecoveryCarrier.h"

#include "platform/core/AtomicFile.h"
#include "vault/LockedStore.h"

#include <QFile>
#include <cstring>

namespace vault {

RecoveryCarrier::RecoveryCarrier(QString path, const LockedStore* before) : path_(std::move(path)) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) return;
    if (looksLocked(bytes)) {
        held_ = before && before->unsealCopy(bytes, &plain_) == Fault::None;
        return;
    }
    plain_ = DiaryImage(bytes.size());
    std::memcpy(plain_.data(), bytes.constData(), size_t(bytes.size()));
    held_ = true;
}

Result<void> RecoveryCarrier::carry(const LockedStore* after) const {
    if (!held_) return {};
    const QString error =
        after ? after->writeSealedCopy(path_, plain_.view())
              : AtomicFile::replace(path_, QByteArray::fromRawData(plain_.view().data(), plain_.size()));
    if (!error.isEmpty()) return Failure{error};
    return {};
}

}  // namespace vault
