// The locked diary: unlocking a 36,500-day diary against a bare program that makes the same Argon2id key and
// decrypts the same bytes, and a durable save of one day against a bare durable write of the same number of
// bytes (temporary file, sync, rename, sync of the folder). The work is the key and the disk; the program's
// own share on top must be small.
#include "BenchSupport.h"
#include "vault/LockedDiary.h"

#include <fcntl.h>
#include <sodium.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace {

const QDate kLastDay(3000, 12, 31);
const QString kPassphrase = QStringLiteral("bench-passphrase");

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bare unlock: read the file, make the key, decrypt the body. Nothing else.
void bareUnlock(const QString& path) {
    const QByteArray file = contents(path);
    const auto* p = reinterpret_cast<const unsigned char*>(file.constData());
    unsigned char master[32];
    unsigned char key[32];
    const QByteArray passphrase = kPassphrase.toUtf8();
    if (crypto_pwhash(master, sizeof master, passphrase.constData(), passphrase.size(), p + 20,
                      vault::kDefaultCost.passes, size_t(vault::kDefaultCost.memoryKiB) * 1024,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        std::abort();
    crypto_kdf_derive_from_key(key, sizeof key, 1, "SelvLock", master);
    const qsizetype body = file.size() - vault::kHeaderSize - 4;
    std::vector<unsigned char> plain(static_cast<size_t>(body));
    unsigned long long size = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &size, nullptr, p + vault::kHeaderSize,
                                                   (unsigned long long)body, p, vault::kHeaderSize, p + 76,
                                                   key) != 0)
        std::abort();
}

// The bare durable write of bytes: temporary file beside the target, sync, rename, sync of the folder.
void bareWrite(const QString& folder, const QByteArray& bytes) {
    const QByteArray temp = QFile::encodeName(folder + "/.bare.tmp");
    const QByteArray target = QFile::encodeName(folder + "/bare.bin");
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0)
        std::abort();
    ::close(fd);
    if (::rename(temp.constData(), target.constData()) != 0) std::abort();
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (sodium_init() < 0) return 1;
    // Measured where the diary lives: beside the program, on a real disk.
    QTemporaryDir dir(QDir::currentPath() + "/bench-vault-XXXXXX");
    const QString path = dir.filePath("selvane.mdb");
    bench::makeDataFile(path, 36500, kLastDay.toString(Qt::ISODate));
    vault::lockDiary(path, vault::Secret::fromText(kPassphrase), vault::kDefaultCost, {}).reset();

    const std::vector<double> unlocking = bench::interleavedMedianMicros(
        9, {[&] { bareUnlock(path); },
            [&] {
                auto opened = vault::unlock(path, vault::readLockedFile(path),
                                            vault::Secret::fromText(kPassphrase), std::nullopt, {});
                if (!opened.file) std::abort();
            }});
    bench::report(QStringLiteral("unlock 36,500 days vs bare key + decrypt"), unlocking[1] / 1000,
                  unlocking[0] / 1000, QStringLiteral("ms"), 1.2);

    auto opened = vault::unlock(path, vault::readLockedFile(path), vault::Secret::fromText(kPassphrase),
                                std::nullopt, {});
    const QByteArray sealed = contents(path);
    int step = 0;
    const std::vector<double> saving =
        bench::interleavedMedianMicros(41, {[&] { bareWrite(dir.path(), sealed); },
                                            [&] {
                                                DayEntry entry;
                                                entry.date = kLastDay;
                                                entry.tempText = QString::number(36.0 + (step++ % 10) / 10.0);
                                                entry.diary = QStringLiteral("今日の日記");
                                                opened.file->write(entry, opened.file->findRow(entry.date));
                                            }});
    bench::report(QStringLiteral("locked save, 36,500 days vs bare write"), saving[1] / 1000,
                  saving[0] / 1000, QStringLiteral("ms"), 1.5);
    return 0;
}
