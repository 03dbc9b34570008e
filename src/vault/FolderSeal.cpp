#include "vault/FolderSeal.h"

#include "platform/core/AtomicFile.h"
#include "sync/FolderSalt.h"

#include <fcntl.h>
#include <sodium.h>
#include <unistd.h>
#include <zlib.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtEndian>
#include <cerrno>
#include <cstring>

namespace vault {
namespace {

// The salt file, little-endian: mark, version, key derivation, cost, salt, then a known text sealed with the
// key (a nonce, the sealed text, bytes 0-35 as associated data), and a CRC-32 of everything before it.
constexpr unsigned char kMark[8] = {'S', 'E', 'L', 'V', 'S', 'A', 'L', 'T'};
constexpr quint16 kVersion = 1;
constexpr unsigned char kArgon2id = crypto_pwhash_ALG_ARGON2ID13;
constexpr char kKnownText[] = "Selvane sync folder key";
constexpr int kVersionAt = 8;
constexpr int kAlgorithmAt = 10;
constexpr int kPassesAt = 12;
constexpr int kMemoryAt = 16;
constexpr int kSaltAt = 20;
constexpr int kNonceAt = 36;
constexpr int kNonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr int kTagSize = crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr int kCheckAt = kNonceAt + kNonceSize;
constexpr int kCheckSize = int(sizeof kKnownText) - 1 + kTagSize;
constexpr int kSumAt = kCheckAt + kCheckSize;
constexpr int kSaltFileSize = kSumAt + 4;
// Costs beyond these are no salt file of ours: they would only make the program hang or run out of memory.
constexpr quint32 kMostPasses = 64;
constexpr quint32 kMostMemoryKiB = 1024 * 1024;

unsigned char* bytes(QByteArray& array) { return reinterpret_cast<unsigned char*>(array.data()); }
const unsigned char* bytes(QByteArrayView view) {
    return reinterpret_cast<const unsigned char*>(view.data());
}

quint32 checksum(QByteArrayView data) { return quint32(crc32_z(0, bytes(data), size_t(data.size()))); }

Failure failed(const QString& what) { return Failure{what, 0}; }

Failure failedWith(const QString& what, int error) {
    return Failure{what + QStringLiteral("\r") + QString::fromLocal8Bit(strerror(error)), 0};
}

class FolderSealer : public syncing::Sealer {
  public:
    FolderSealer(Secret key, const Salt& salt) : key_(std::move(key)), salt_(salt) {}
    const Salt& salt() const { return salt_; }

    QByteArray seal(QByteArrayView body, const syncing::ComputerId& origin) const override {
        QByteArray out(kNonceSize + body.size() + kTagSize, Qt::Uninitialized);
        randombytes_buf(bytes(out), kNonceSize);
        unsigned long long size = 0;
        crypto_aead_xchacha20poly1305_ietf_encrypt(bytes(out) + kNonceSize, &size, bytes(body),
                                                   size_t(body.size()), bytes(origin), size_t(origin.size()),
                                                   nullptr, bytes(out), key_.data());
        return out;
    }

    std::optional<QByteArray> open(QByteArrayView sealed, const syncing::ComputerId& origin) const override {
        if (sealed.size() < kNonceSize + kTagSize) return std::nullopt;
        QByteArray out(sealed.size() - kNonceSize - kTagSize, Qt::Uninitialized);
        unsigned long long size = 0;
        if (crypto_aead_xchacha20poly1305_ietf_decrypt(
                bytes(out), &size, nullptr, bytes(sealed) + kNonceSize, size_t(sealed.size() - kNonceSize),
                bytes(origin), size_t(origin.size()), bytes(sealed), key_.data()) != 0)
            return std::nullopt;
        return out;
    }

  private:
    Secret key_;
    Salt salt_;  // the salt file's when the key was made: another one means the folder was sealed anew
};

// A new salt file for the key: its salt and cost, and the known text sealed with it.
QByteArray saltFile(const Key& key) {
    QByteArray file(kSaltFileSize, '\0');
    unsigned char* p = bytes(file);
    std::memcpy(p, kMark, sizeof kMark);
    qToLittleEndian<quint16>(kVersion, p + kVersionAt);
    p[kAlgorithmAt] = kArgon2id;
    qToLittleEndian<quint32>(key.cost.passes, p + kPassesAt);
    qToLittleEndian<quint32>(key.cost.memoryKiB, p + kMemoryAt);
    std::memcpy(p + kSaltAt, key.salt.data(), key.salt.size());
    randombytes_buf(p + kNonceAt, kNonceSize);
    unsigned long long size = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        p + kCheckAt, &size, reinterpret_cast<const unsigned char*>(kKnownText), sizeof kKnownText - 1, p,
        kNonceAt, nullptr, p + kNonceAt, key.cipher.data());
    qToLittleEndian<quint32>(checksum(QByteArrayView(file).first(kSumAt)), p + kSumAt);
    return file;
}

// Whether the key opens the known text of the salt file.
bool opensCheck(const Key& key, QByteArrayView file) {
    unsigned char text[sizeof kKnownText - 1];
    unsigned long long size = 0;
    const unsigned char* p = bytes(file);
    return crypto_aead_xchacha20poly1305_ietf_decrypt(text, &size, nullptr, p + kCheckAt, kCheckSize, p,
                                                      kNonceAt, p + kNonceAt, key.cipher.data()) == 0 &&
           std::memcmp(text, kKnownText, sizeof text) == 0;
}

enum class SaltFault { None, Damaged, Newer };

SaltFault inspect(QByteArrayView file, KdfCost* cost, Salt* salt) {
    if (file.size() < kVersionAt + 2 + 4 || std::memcmp(file.data(), kMark, sizeof kMark) != 0)
        return SaltFault::Damaged;
    const unsigned char* p = bytes(file);
    if (checksum(file.chopped(4)) != qFromLittleEndian<quint32>(p + file.size() - 4))
        return SaltFault::Damaged;
    if (qFromLittleEndian<quint16>(p + kVersionAt) != kVersion) return SaltFault::Newer;
    if (file.size() != kSaltFileSize) return SaltFault::Damaged;
    if (p[kAlgorithmAt] != kArgon2id) return SaltFault::Newer;
    cost->passes = qFromLittleEndian<quint32>(p + kPassesAt);
    cost->memoryKiB = qFromLittleEndian<quint32>(p + kMemoryAt);
    if (cost->passes < kCheapestCost.passes || cost->passes > kMostPasses ||
        cost->memoryKiB < kCheapestCost.memoryKiB || cost->memoryKiB > kMostMemoryKiB)
        return SaltFault::Damaged;
    std::memcpy(salt->data(), p + kSaltAt, salt->size());
    return SaltFault::None;
}

// Writes the salt file unless there is one: false (and nothing left behind) when another computer's is
// there already, a failure when it could not be written.
Result<bool> create(const QString& path, const QByteArray& file) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) return false;
    if (fd < 0) return failedWith(QStringLiteral("同期ﾌｫﾙﾀﾞを暗号化できません。"), errno);
    qsizetype at = 0;
    int error = 0;
    while (at < file.size() && error == 0) {
        const ssize_t written = ::write(fd, file.constData() + at, size_t(file.size() - at));
        if (written > 0)
            at += written;
        else if (written < 0 && errno != EINTR)
            error = errno;
        else if (written == 0)
            error = ENOSPC;
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && !syncFolder(QFileInfo(path).path())) error = EIO;
    if (error == 0) return true;
    // A salt file cut short would seal the folder for good with a key nobody can make: it goes again.
    ::unlink(name.constData());
    return failedWith(QStringLiteral("同期ﾌｫﾙﾀﾞを暗号化できません。"), error);
}

// The salt file as it is; another computer on this one may be writing it this very moment, so one that is
// not whole yet is read again a few times before it counts as damaged.
Result<QByteArray> readSaltFile(const QString& path, KdfCost* cost, Salt* salt) {
    SaltFault fault = SaltFault::Damaged;
    QByteArray file;
    for (int tries = 0; tries < 20 && fault == SaltFault::Damaged; ++tries) {
        if (tries > 0) QThread::msleep(50);
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return failed(QStringLiteral("同期ﾌｫﾙﾀﾞの鍵のﾌｧｲﾙを読めません：") + path + u'\r' +
                          in.errorString());
        file = in.read(kSaltFileSize + 1024);
        fault = inspect(file, cost, salt);
    }
    if (fault == SaltFault::Newer)
        return failed(QStringLiteral("同期ﾌｫﾙﾀﾞは新しい版のSelvaneで暗号化されています。"));
    if (fault == SaltFault::Damaged)
        return failed(QStringLiteral("同期ﾌｫﾙﾀﾞの鍵のﾌｧｲﾙが壊れています：") + path);
    return file;
}

std::unique_ptr<syncing::Sealer> sealer(Key key) {
    const Salt salt = key.salt;
    return std::unique_ptr<syncing::Sealer>(std::make_unique<FolderSealer>(std::move(key.cipher), salt));
}

Result<std::unique_ptr<syncing::Sealer>> openSeal(const QString& path, const Secret& passphrase,
                                                  const KdfCost& cost) {
    if (!QFileInfo::exists(path)) {
        if (!QDir().mkpath(QFileInfo(path).path()))
            return failed(QStringLiteral("同期ﾌｫﾙﾀﾞに書き込めません。"));
        Key key = newKey(passphrase, cost);
        const Result<bool> made = create(path, saltFile(key));
        if (!made) return made.failure();
        if (made.value()) return sealer(std::move(key));
    }
    // Sealed already, or another computer was first: its salt it is.
    KdfCost given;
    Salt salt{};
    const Result<QByteArray> file = readSaltFile(path, &given, &salt);
    if (!file) return file.failure();
    Key key = deriveKey(passphrase, given, salt);
    if (!opensCheck(key, file.value())) return failed(kOtherFolderPassphrase);
    return sealer(std::move(key));
}

}  // namespace

bool folderSealed(const QString& folder) { return syncing::isSealed(folder); }

Result<std::unique_ptr<syncing::Sealer>> openFolderSeal(const QString& folder, const Secret& passphrase,
                                                        const KdfCost& cost) {
    if (!QFileInfo(folder).isDir()) return failed(QStringLiteral("同期ﾌｫﾙﾀﾞが見つかりません。"));
    try {
        return openSeal(syncing::saltPath(folder), passphrase, cost);
    } catch (const PgError& error) {  // no memory for the key
        return Failure::of(error);
    }
}

Result<std::unique_ptr<syncing::Sealer>> resealFolder(const QString& folder, const Secret& passphrase,
                                                      const KdfCost& cost) {
    if (!QFileInfo(folder).isDir()) return failed(QStringLiteral("同期ﾌｫﾙﾀﾞが見つかりません。"));
    const QString path = syncing::saltPath(folder);
    if (!QDir().mkpath(QFileInfo(path).path())) return failed(QStringLiteral("同期ﾌｫﾙﾀﾞに書き込めません。"));
    try {
        Key key = newKey(passphrase, cost);
        const QString error = AtomicFile::replace(path, saltFile(key));
        if (!error.isEmpty()) return failed(QStringLiteral("同期ﾌｫﾙﾀﾞを暗号化できません。\r") + error);
        return sealer(std::move(key));
    } catch (const PgError& error) {
        return Failure::of(error);
    }
}

bool sealStillFits(const QString& folder, const syncing::Sealer& sealer) {
    const auto* ours = dynamic_cast<const FolderSealer*>(&sealer);
    if (!ours) return false;
    // One look, no waiting: a salt file that cannot be read now (the folder away, a copy half-synced) tells
    // nothing, and the key is kept; only another whole salt means the folder was sealed anew.
    QFile in(syncing::saltPath(folder));
    KdfCost cost;
    Salt salt{};
    if (!in.open(QIODevice::ReadOnly) ||
        inspect(in.read(kSaltFileSize + 1024), &cost, &salt) != SaltFault::None)
        return true;
    return salt == ours->salt();
}

}  // namespace vault
