#include "vault/LockedFormat.h"

#include "platform/core/PgError.h"

#include <sodium.h>
#include <zlib.h>
#include <QtEndian>
#include <cstring>

namespace vault {
namespace {

constexpr unsigned char kMagic[8] = {'S', 'E', 'L', 'V', 'L', 'O', 'C', 'K'};
constexpr quint16 kVersion = 1;
constexpr unsigned char kArgon2id = crypto_pwhash_ALG_ARGON2ID13;
constexpr char kSubkeyContext[crypto_kdf_CONTEXTBYTES + 1] = "SelvLock";
// Costs above these are no file of ours; they would only make the program hang or run out of memory.
constexpr quint32 kMostPasses = 64;
constexpr quint32 kMostMemoryKiB = 1024 * 1024;

// Byte offsets in the header.
constexpr int kVersionAt = 8;
constexpr int kAlgorithmAt = 10;
constexpr int kPassesAt = 12;
constexpr int kMemoryAt = 16;
constexpr int kSaltAt = 20;
constexpr int kKeyCheckAt = 36;  // proves the passphrase over the bytes before it
constexpr int kGenerationAt = 68;
constexpr int kNonceAt = 76;
constexpr int kHeaderSumAt = 100;
static_assert(kHeaderSumAt + 4 == kHeaderSize);
constexpr qsizetype kTagSize = crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr qsizetype kTrailerSize = 4;

const unsigned char* bytes(QByteArrayView view) {
    return reinterpret_cast<const unsigned char*>(view.data());
}

quint32 checksum(const unsigned char* data, qsizetype size) {
    return quint32(crc32_z(0, data, size_t(size)));
}

void keyCheck(const Key& key, const unsigned char* header, unsigned char* out) {
    crypto_generichash(out, 32, header, kKeyCheckAt, key.check.data(), key.check.size());
}

qsizetype bodySize(QByteArrayView file) { return file.size() - kHeaderSize - kTrailerSize; }

}  // namespace

Key deriveKey(const Secret& passphrase, const KdfCost& cost, const Salt& salt) {
    initCrypto();
    static const unsigned char nothing = 0;
    Secret master(crypto_kdf_KEYBYTES);
    const unsigned char* typed = passphrase.empty() ? &nothing : passphrase.data();
    if (crypto_pwhash(master.data(), master.size(), reinterpret_cast<const char*>(typed), passphrase.size(),
                      salt.data(), cost.passes, size_t(cost.memoryKiB) * 1024,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw PgError::engine(QStringLiteral("パスワードから鍵を作るメモリが足りません。"));
    Key key;
    key.cipher = Secret(crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
    key.check = Secret(32);
    crypto_kdf_derive_from_key(key.cipher.data(), key.cipher.size(), 1, kSubkeyContext, master.data());
    crypto_kdf_derive_from_key(key.check.data(), key.check.size(), 2, kSubkeyContext, master.data());
    key.cost = cost;
    key.salt = salt;
    return key;
}

Key newKey(const Secret& passphrase, const KdfCost& cost) {
    initCrypto();
    Salt salt;
    randombytes_buf(salt.data(), salt.size());
    return deriveKey(passphrase, cost, salt);
}

bool looksLocked(QByteArrayView start) {
    if (start.size() < qsizetype(sizeof kMagic)) return false;
    int differing = 0;
    for (size_t i = 0; i < sizeof kMagic; ++i) differing += bytes(start)[i] != kMagic[i];
    return differing <= 2;
}

bool readHeader(QByteArrayView start, Header* header) {
    if (start.size() < kHeaderSize || !looksLocked(start)) return false;
    const unsigned char* p = bytes(start);
    header->version = qFromLittleEndian<quint16>(p + kVersionAt);
    header->cost.passes = qFromLittleEndian<quint32>(p + kPassesAt);
    header->cost.memoryKiB = qFromLittleEndian<quint32>(p + kMemoryAt);
    std::memcpy(header->salt.data(), p + kSaltAt, header->salt.size());
    header->generation = qFromLittleEndian<quint64>(p + kGenerationAt);
    return true;
}

Fault inspect(QByteArrayView file, Header* out) {
    if (!looksLocked(file)) return Fault::NotLocked;
    Header header;
    if (bodySize(file) < kTagSize || !readHeader(file, &header)) return Fault::Damaged;
    const unsigned char* p = bytes(file);
    const quint32 headerSum = qFromLittleEndian<quint32>(p + kHeaderSumAt);
    if (header.version != kVersion) {
        // A version field damaged in place still sums up once set back; a newer file's header does not.
        unsigned char mended[kHeaderSumAt];
        std::memcpy(mended, p, sizeof mended);
        qToLittleEndian<quint16>(kVersion, mended + kVersionAt);
        return checksum(mended, sizeof mended) == headerSum ? Fault::Damaged : Fault::UnknownVersion;
    }
    if (checksum(p, kHeaderSumAt) != headerSum) return Fault::Damaged;
    if (p[kAlgorithmAt] != kArgon2id) return Fault::UnknownVersion;
    const KdfCost& cost = header.cost;
    if (cost.passes < kCheapestCost.passes || cost.passes > kMostPasses ||
        cost.memoryKiB < kCheapestCost.memoryKiB || cost.memoryKiB > kMostMemoryKiB)
        return Fault::Damaged;
    const qsizetype body = bodySize(file);
    if (checksum(p + kHeaderSize, body) != qFromLittleEndian<quint32>(p + kHeaderSize + body))
        return Fault::Damaged;
    if (out) *out = header;
    return Fault::None;
}

bool keyFits(const Key& key, QByteArrayView file) {
    if (file.size() < kHeaderSize) return false;
    unsigned char expected[32];
    keyCheck(key, bytes(file), expected);
    return sodium_memcmp(expected, bytes(file) + kKeyCheckAt, sizeof expected) == 0;
}

qsizetype plainSize(QByteArrayView file) { return qMax<qsizetype>(0, bodySize(file) - kTagSize); }

bool unseal(const Key& key, QByteArrayView file, unsigned char* out) {
    const unsigned char* p = bytes(file);
    unsigned long long size = 0;
    return crypto_aead_xchacha20poly1305_ietf_decrypt(out, &size, nullptr, p + kHeaderSize,
                                                      (unsigned long long)bodySize(file), p, kHeaderSize,
                                                      p + kNonceAt, key.cipher.data()) == 0;
}

QByteArray seal(const Key& key, quint64 generation, QByteArrayView plain) {
    QByteArray file;
    sealInto(file, key, generation, plain);
    return file;
}

void sealInto(QByteArray& file, const Key& key, quint64 generation, QByteArrayView plain) {
    initCrypto();
    const qsizetype body = plain.size() + kTagSize;
    file.resize(kHeaderSize + body + kTrailerSize);
    auto* p = reinterpret_cast<unsigned char*>(file.data());
    std::memcpy(p, kMagic, sizeof kMagic);
    qToLittleEndian<quint16>(kVersion, p + kVersionAt);
    p[kAlgorithmAt] = kArgon2id;
    p[kAlgorithmAt + 1] = 0;
    qToLittleEndian<quint32>(key.cost.passes, p + kPassesAt);
    qToLittleEndian<quint32>(key.cost.memoryKiB, p + kMemoryAt);
    std::memcpy(p + kSaltAt, key.salt.data(), key.salt.size());
    keyCheck(key, p, p + kKeyCheckAt);
    qToLittleEndian<quint64>(generation, p + kGenerationAt);
    randombytes_buf(p + kNonceAt, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
    qToLittleEndian<quint32>(checksum(p, kHeaderSumAt), p + kHeaderSumAt);
    // The whole header is associated data: no field of it can change without the body failing to open.
    crypto_aead_xchacha20poly1305_ietf_encrypt(p + kHeaderSize, nullptr, bytes(plain),
                                               (unsigned long long)plain.size(), p, kHeaderSize, nullptr,
                                               p + kNonceAt, key.cipher.data());
    qToLittleEndian<quint32>(checksum(p + kHeaderSize, body), p + kHeaderSize + body);
}

}  // namespace vault
