#include "ui/recovery/KeptEdits.h"

#include "data/Recovery.h"
#include "vault/LockedDiary.h"

#include <QFile>

namespace recoveryui {

QString keep(DataFile* diary, const QString& path, const DayEntry& entry) {
    if (const vault::LockedStore* locked = vault::lockedStore(diary))
        return locked->writeSealedCopy(path, recovery::encode(entry));
    return recovery::write(path, entry);
}

std::optional<DayEntry> readKept(const QString& path, DataFile* diary) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (!vault::looksLocked(bytes)) return recovery::decode(bytes);
    vault::Image plain;
    const vault::LockedStore* locked = vault::lockedStore(diary);
    if (!locked || locked->unsealCopy(bytes, &plain) != vault::Fault::None) return std::nullopt;
    return recovery::decode(plain.view().toByteArray());
}

}  // namespace recoveryui
