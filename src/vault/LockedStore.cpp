#include "vault/LockedStore.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cstring>

namespace vault {
namespace {

const QString kChangedText = QStringLiteral(
    "データファイルがほかのプログラムによって書き換えられています。\r上書きしないよう、保存を取りやめました"
    "。");
const QString kOlderText = QStringLiteral(
    "データファイルが以前の古いファイルに置き換えられています。\r上書きしないよう、保存を取りやめました。");

bool identify(int fd, FileIdentity* identity) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    identity->device = info.st_dev;
    identity->inode = info.st_ino;
    identity->size = info.st_size;
    identity->modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

}  // namespace

LockedFile readLockedFile(const QString& path) {
    LockedFile file;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return file;
    if (!identify(in.handle(), &file.identity)) return file;
    // The mark first: a plain diary is not read whole for nothing.
    if (!looksLocked(in.peek(8))) return file;
    file.bytes = in.readAll();
    file.fault = inspect(file.bytes, &file.header);
    return file;
}

Fault unsealWhole(const Key& key, QByteArrayView file, Image* plain) {
    if (!keyFits(key, file)) return Fault::WrongPassphrase;
    Image opened(plainSize(file));
    if (!unseal(key, file, opened.data())) return Fault::Changed;
    *plain = std::move(opened);
    return Fault::None;
}

LockedStore::LockedStore(QString path, Key key, LockedFile file, Refusal refusal, Image first)
    : path_(std::move(path)),
      key_(std::move(key)),
      file_(std::move(file.bytes)),
      generation_(file.header.generation),
      identity_(file.identity),
      refusal_(std::move(refusal)),
      first_(std::move(first)) {}

Image LockedStore::load() {
    if (!first_.data()) {
        first_ = Image(plainSize(file_));
        if (!unseal(key_, file_, first_.data())) {
            first_ = Image();
            throw PgError::engine(QStringLiteral("データファイルを復号できません。"));
        }
    }
    return std::move(first_);
}

void LockedStore::refuse(const QString& text) const {
    PgError error = PgError::engine(text);
    if (refusal_) {
        refusal_(text);
        error.markShown();
    }
    throw error;
}

void LockedStore::checkWritable() {
    const QByteArray name = QFile::encodeName(path_);
    QFile on(path_);
    FileIdentity identity;
    if (!on.open(QIODevice::ReadOnly) || !identify(on.handle(), &identity))
        throw PgError::engine(QStringLiteral("データファイルが見つかりません。移動または削除されました。"))
            .markAboutTheFile();
    // Her choice of a read-only file is respected, although a rename could replace it.
    if (::access(name.constData(), W_OK) != 0)
        throw PgError::engine(QStringLiteral("データファイルに書き込めません。読み取り専用です。"))
            .markAboutTheFile();
    if (isWritten(on, identity)) return;
    on.seek(0);
    Header header;
    if (readHeader(on.read(kHeaderSize), &header) && header.salt == key_.salt &&
        header.generation < generation_)
        refuse(kOlderText);
    refuse(kChangedText);
}

bool LockedStore::isWritten(QFile& on, const FileIdentity& identity) const {
    const QByteArrayView written(file_);
    if (identity != identity_ || identity.size != written.size() || written.size() < kHeaderSize)
        return false;
    on.seek(0);
    const QByteArray start = on.read(kHeaderSize);
    QByteArray end;
    if (on.seek(identity.size - 4)) end = on.read(4);
    return QByteArrayView(start) == written.first(kHeaderSize) && QByteArrayView(end) == written.last(4);
}

bool LockedStore::changedOnDisk() const {
    QFile on(path_);
    FileIdentity identity;
    if (!on.open(QIODevice::ReadOnly) || !identify(on.handle(), &identity)) return false;
    return !isWritten(on, identity);
}

std::unique_ptr<DataFile> LockedStore::reopen(LockedFile file, Refusal refusal) const {
    Image plain;
    if (file.fault != Fault::None || unsealWhole(key_, file.bytes, &plain) != Fault::None) return nullptr;
    // The same key in memory of its own: this store stays whole until the new one has opened.
    const auto copy = [](const Secret& secret) {
        Secret twin(secret.size());
        if (!secret.empty()) std::memcpy(twin.data(), secret.data(), secret.size());
        return twin;
    };
    Key key{copy(key_.cipher), copy(key_.check), key_.cost, key_.salt};
    return DataFile::openHeld(std::make_unique<LockedStore>(path_, std::move(key), std::move(file),
                                                            std::move(refusal), std::move(plain)));
}

void LockedStore::save(QByteArrayView plain) {
    AtomicFile::removeStale(path_);  // what a killed save left beside the file
    // What would not open as her diary is never sealed over the one she has.
    if (!Image::holdsDiary(plain))
        throw PgError::engine(QStringLiteral("日記を読み返せないので、保存を取りやめました。"));
    sealInto(spare_, key_, generation_ + 1, plain);
    AtomicFile out(path_);
    if (!out.open() || !out.write(spare_) || !out.commit()) throw PgError::engine(out.errorString());
    // What was just written, as the file system now names it.
    QFile on(path_);
    if (!on.open(QIODevice::ReadOnly) || !identify(on.handle(), &identity_)) identity_ = {};
    std::swap(file_, spare_);
    ++generation_;
}

void LockedStore::writeCopy(QByteArrayView diary, const QString& path) {
    const QString error = writeSealedCopy(path, diary);
    if (!error.isEmpty()) throw PgError::engine(error);
}

void LockedStore::changeKey(QByteArrayView diary, Key key) {
    checkWritable();
    std::swap(key_, key);
    bool written = false;
    try {
        save(diary);
        written = true;
        if (!matchesDisk(diary))
            throw PgError::engine(QStringLiteral("書き込んだデータファイルを読み返せません。"));
    } catch (const PgError&) {
        std::swap(key_, key);
        // The file holds the new key already: seal it again with the old one, the passphrase she still has.
        if (written) {
            try {
                save(diary);
            } catch (const PgError&) {
            }
        }
        throw;
    }
}

bool LockedStore::fits(const Secret& passphrase) const {
    return deriveKey(passphrase, key_.cost, key_.salt).check == key_.check;
}

bool LockedStore::matchesDisk(QByteArrayView memory) const {
    const LockedFile disk = readLockedFile(path_);
    if (disk.fault != Fault::None || !keyFits(key_, disk.bytes)) return false;
    Image plain(plainSize(disk.bytes));
    return plain.size() == memory.size() && unseal(key_, disk.bytes, plain.data()) &&
           std::memcmp(plain.data(), memory.data(), size_t(plain.size())) == 0;
}

QString LockedStore::writeSealedCopy(const QString& path, QByteArrayView plain) const {
    return AtomicFile::replace(path, seal(key_, generation_, plain));
}

Fault LockedStore::unsealCopy(QByteArrayView file, Image* plain) const {
    const Fault fault = inspect(file);
    return fault == Fault::None ? unsealWhole(key_, file, plain) : fault;
}

}  // namespace vault
