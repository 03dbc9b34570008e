#include "vault/LockedDiary.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"
#include "vault/Passphrase.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cstring>

namespace vault {
namespace {

const QByteArray kPlainMark("SQLite format 3\0", 16);

// Written without a copy of the plain bytes in ordinary memory.
QString writeWhole(const QString& path, QByteArrayView bytes) {
    AtomicFile out(path);
    if (out.open() && out.write(bytes.data(), bytes.size()) && out.commit()) return QString();
    return out.errorString();
}

bool sameBytes(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size()) return false;
    char chunk[64 * 1024];
    for (qsizetype at = 0; at < bytes.size();) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got <= 0 || std::memcmp(chunk, bytes.data() + at, size_t(got)) != 0) return false;
        at += got;
    }
    return true;
}

// The key a passphrase makes for a file, and whether it is the one of the form earlier versions made of it.
struct PassphraseKey {
    Key key;
    bool earlier = false;
};

// Unseals the file with the key the passphrase makes; a passphrase that is no text also with the key that
// versions before this one made of it.
Fault unsealWith(const Secret& passphrase, const LockedFile& file, Image* plain, PassphraseKey* made) {
    made->key = deriveKey(passphrase, file.header.cost, file.header.salt);
    const Fault fault = unsealWhole(made->key, file.bytes, plain);
    const std::optional<Secret> before =
        fault == Fault::WrongPassphrase ? earlierForm(passphrase) : std::nullopt;
    if (!before) return fault;
    Key older = deriveKey(*before, file.header.cost, file.header.salt);
    const Fault olderFault = unsealWhole(older, file.bytes, plain);
    if (olderFault == Fault::WrongPassphrase) return fault;
    *made = {std::move(older), true};
    return olderFault;
}

// Her choice of a read-only file is respected, although a rename could replace it: a file she may not write,
// or one that nobody may (which a user with every right could otherwise replace).
void checkNotReadOnly(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) return;  // no file: reading it says so
    if (::access(name.constData(), W_OK) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw PgError::engine(QStringLiteral("データファイルに書き込めません。読み取り専用です。"));
}

}  // namespace

QString faultText(Fault fault) {
    switch (fault) {
        case Fault::WrongPassphrase:
            return kWrongPassphrase;
        case Fault::Damaged:
            return QStringLiteral(
                "データファイルが壊れています（途中で切れているか、中身が傷んでいます）。\r"
                "このファイルは開けません。バックアップから戻して下さい。");
        case Fault::UnknownVersion:
            return standardErrorText(PgError::NewerFile);  // the same words for the diary inside
        case Fault::Changed:
            return QStringLiteral(
                "データファイルがほかのプログラムによって書き換えられています。\r安全のため、このファイルは開"
                "きません。");
        case Fault::Older:
            return QStringLiteral(
                "データファイルが以前の古いファイルに置き換えられています。\r安全のため、このファイルは開きま"
                "せん。");
        case Fault::None:
        case Fault::NotLocked:
            break;
    }
    return QString();
}

bool isLockedFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && looksLocked(file.read(8));
}

Unlocked unlock(const QString& path, LockedFile file, const Secret& passphrase,
                const std::optional<Written>& remembered, Refusal refusal) {
    if (file.fault != Fault::None) return {file.fault, nullptr};
    if (remembered && remembered->salt == file.header.salt && file.header.generation < remembered->generation)
        return {Fault::Older, nullptr};
    PassphraseKey made;
    Image plain;
    if (const Fault fault = unsealWith(passphrase, file, &plain, &made); fault != Fault::None)
        return {fault, nullptr};
    const KdfCost cost = file.header.cost;
    std::unique_ptr<DataFile> held;
    try {
        auto store = std::make_unique<LockedStore>(path, std::move(made.key), std::move(file),
                                                   std::move(refusal), std::move(plain));
        held = DataFile::openHeld(std::move(store));
    } catch (const PgError& error) {
        // Authentic, yet no diary that this version can read: a newer one's, or none that anything of ours
        // wrote.
        return {error.number() == PgError::NewerFile ? Fault::UnknownVersion : Fault::Damaged, nullptr};
    }
    if (made.earlier) {
        // Keyed by an earlier version on what it made of the bytes: from now on the bytes themselves open it
        // and no others. A diary that cannot be written (read-only) keeps its key until it can.
        try {
            checkNotReadOnly(path);
            lockedStore(held.get())->changeKey(held->image(), newKey(passphrase, cost));
        } catch (const PgError&) {
        }
    }
    return {Fault::None, std::move(held)};
}

Result<std::unique_ptr<DataFile>> openLocked(const QString& path, LockedFile file, const Secret& passphrase) {
    Result<Unlocked> opened =
        attempt([&] { return unlock(path, std::move(file), passphrase, std::nullopt, {}); });
    if (!opened) return opened.failure();
    if (opened->fault != Fault::None) return Failure{faultText(opened->fault)};
    return std::move(opened->file);
}

std::unique_ptr<DataFile> openSealedCopy(const QString& path, const LockedStore* held,
                                         const std::function<std::optional<Secret>()>& ask) {
    LockedFile file = readLockedFile(path);
    if (file.fault == Fault::NotLocked) return nullptr;
    if (file.fault != Fault::None) throw PgError::engine(faultText(file.fault));
    Image plain;
    Fault fault = held ? held->unsealCopy(file.bytes, &plain) : Fault::WrongPassphrase;
    if (fault == Fault::WrongPassphrase) {
        if (!ask) throw PgError::engine(kOtherPassphrase);
        const std::optional<Secret> passphrase = ask();
        if (!passphrase) throw PgError::engine(QStringLiteral("ﾊﾟｽﾜｰﾄﾞが入力されませんでした。"));
        PassphraseKey made;
        fault = unsealWith(*passphrase, file, &plain, &made);
    }
    if (fault == Fault::WrongPassphrase) throw PgError::engine(kWrongPassphrase);
    if (fault != Fault::None) throw PgError::engine(faultText(fault));
    try {
        return DataFile::openReadOnly(std::move(plain));
    } catch (const PgError& error) {
        if (error.number() == PgError::NewerFile) throw;
        throw PgError::engine(faultText(Fault::Damaged));  // authentic, yet no diary
    }
}

LockedStore* lockedStore(DataFile* file) {
    return file ? dynamic_cast<LockedStore*>(file->store()) : nullptr;
}

std::unique_ptr<DataFile> lockDiary(const QString& path, const Secret& passphrase, const KdfCost& cost,
                                    Refusal refusal) {
    checkNotReadOnly(path);
    Image plain = Image::readFile(path);
    Key key = newKey(passphrase, cost);
    LockedFile sealed;
    sealed.bytes = seal(key, 0, plain.view());
    // Opened from memory first: what is not a diary never replaces the file.
    auto store = std::make_unique<LockedStore>(path, std::move(key), std::move(sealed), std::move(refusal));
    LockedStore& locked = *store;
    std::unique_ptr<DataFile> held = DataFile::openHeld(std::move(store));
    locked.save(held->image());
    if (!locked.matchesDisk(held->image()) || held->image() != plain.view()) {
        writeWhole(path, plain.view());
        throw PgError::engine(
            QStringLiteral("暗号化したデータファイルを読み返せませんでした。元に戻しました。"));
    }
    return held;
}

std::unique_ptr<DataFile> unlockForGood(DataFile& held) {
    LockedStore* locked = lockedStore(&held);
    if (!locked) throw PgError::engine(QStringLiteral("データファイルは暗号化されていません。"));
    locked->checkWritable();
    const QString path = locked->path();
    const QByteArrayView plain = held.image();
    // A journal left from the plain days would be played into the new plain file.
    QFile::remove(path + QStringLiteral("-journal"));
    const QString error = writeWhole(path, plain);
    if (!error.isEmpty()) throw PgError::engine(error);
    std::unique_ptr<DataFile> file;
    try {
        if (sameBytes(path, plain)) file = DataFile::open(path);
    } catch (const PgError&) {
    }
    if (!file) {
        locked->save(plain);  // sealed again, as it was
        throw PgError::engine(
            QStringLiteral("復号したデータファイルを読み返せませんでした。元に戻しました。"));
    }
    return file;
}

QStringList plainCopies(const QString& folder) {
    QStringList copies;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly) && file.read(kPlainMark.size()) == kPlainMark)
            copies.append(info.filePath());
    }
    return copies;
}

}  // namespace vault
