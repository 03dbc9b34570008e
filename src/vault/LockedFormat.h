#pragma once

#include "vault/Secret.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>

// The locked file: a small header, then the whole diary sealed with a key made from her passphrase.
// docs/locked-file.md describes the bytes.
namespace vault {

// What turning a passphrase into a key costs (Argon2id): passes over the memory, and the memory in KiB.
struct KdfCost {
    quint32 passes = 0;
    quint32 memoryKiB = 0;
};
// Tuned so that unlocking takes about a quarter of a second on a computer of today.
inline constexpr KdfCost kDefaultCost{4, 128 * 1024};
// The least the file accepts; for tests, which need many keys quickly.
inline constexpr KdfCost kCheapestCost{1, 8};

using Salt = std::array<unsigned char, 16>;

// What is wrong with a locked file, as far as it can be told.
enum class Fault {
    None,
    NotLocked,        // a plain data file (or no file)
    Damaged,          // a checksum does not match: damaged on disk or cut short
    UnknownVersion,   // made by a newer program
    WrongPassphrase,  // the key made from the passphrase is not the file's
    Changed,          // the checksums match but the sealed body is not what the key sealed
    Older,            // an older file of the same diary put back in place of the one written last
};

struct Header {
    quint16 version = 0;
    KdfCost cost;
    Salt salt{};
    quint64 generation = 0;  // counts the saves, so an older file can be told from the newest
};

// The key made from one passphrase and salt: one part seals the diary, the other proves the passphrase.
struct Key {
    Secret cipher;
    Secret check;
    KdfCost cost;
    Salt salt{};
};

// Throws PgError when the memory the cost asks for is not there.
Key deriveKey(const Secret& passphrase, const KdfCost& cost, const Salt& salt);
Key newKey(const Secret& passphrase, const KdfCost& cost);  // with a fresh random salt

inline constexpr qsizetype kHeaderSize = 104;

// Whether the file starts with the locked file's mark, or with one damaged in a byte or two.
bool looksLocked(QByteArrayView start);
// The header's fields, without any check of the body; false when start is no locked file's header.
bool readHeader(QByteArrayView start, Header* header);
// What can be checked without the passphrase: the mark, the version, the checksums, the cost.
Fault inspect(QByteArrayView file, Header* header = nullptr);
// Whether the key was made from the passphrase the file was sealed with.
bool keyFits(const Key& key, QByteArrayView file);
// The size of the diary sealed in an inspected file.
qsizetype plainSize(QByteArrayView file);
// Decrypts the diary into out (plainSize bytes); false when the body is not what the key sealed.
bool unseal(const Key& key, QByteArrayView file, unsigned char* out);
// The whole file for the diary's bytes, sealed with the key as the given generation.
QByteArray seal(const Key& key, quint64 generation, QByteArrayView plain);
// The same into out, whose memory is reused when it is large enough (a save every few seconds need not
// fault in megabytes of fresh pages each time).
void sealInto(QByteArray& out, const Key& key, quint64 generation, QByteArrayView plain);

}  // namespace vault
