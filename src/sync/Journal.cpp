#include "sync/Journal.h"

#include <zlib.h>
#include <QtEndian>
#include <cstring>
#include <utility>

namespace syncing {
namespace {

constexpr char kMagic[8] = {'S', 'E', 'L', 'V', 'J', 'R', 'N', 'L'};
constexpr int kVersionAt = 8;
constexpr int kFlagsAt = 10;
constexpr int kGenerationAt = 12;
constexpr int kOriginAt = 16;
constexpr int kSumAt = 32;
constexpr quint16 kSealed = 1;

quint32 crc(const char* data, qsizetype size) {
    return quint32(crc32_z(0, reinterpret_cast<const unsigned char*>(data), size_t(size)));
}

}  // namespace

QByteArray headerBytes(const JournalHeader& header) {
    QByteArray bytes(kJournalHeaderSize, '\0');
    char* p = bytes.data();
    std::memcpy(p, kMagic, sizeof kMagic);
    qToLittleEndian<quint16>(header.version, p + kVersionAt);
    qToLittleEndian<quint16>(header.sealed ? kSealed : 0, p + kFlagsAt);
    qToLittleEndian<quint32>(header.generation, p + kGenerationAt);
    std::memcpy(p + kOriginAt, header.origin.constData(), size_t(qMin<qsizetype>(header.origin.size(), 16)));
    qToLittleEndian<quint32>(crc(p, kSumAt), p + kSumAt);
    return bytes;
}

HeaderFault readHeader(QByteArrayView file, JournalHeader* header) {
    if (file.size() < kJournalHeaderSize || std::memcmp(file.data(), kMagic, sizeof kMagic) != 0)
        return HeaderFault::NotAJournal;
    const char* p = file.data();
    if (crc(p, kSumAt) != qFromLittleEndian<quint32>(p + kSumAt)) return HeaderFault::Damaged;
    header->version = qFromLittleEndian<quint16>(p + kVersionAt);
    if (header->version > kJournalVersion) return HeaderFault::NewerVersion;
    header->sealed = qFromLittleEndian<quint16>(p + kFlagsAt) & kSealed;
    header->generation = qFromLittleEndian<quint32>(p + kGenerationAt);
    header->origin = QByteArray(p + kOriginAt, 16);
    return HeaderFault::None;
}

QByteArray frame(QByteArrayView body) {
    QByteArray bytes(8 + body.size(), Qt::Uninitialized);
    qToLittleEndian<quint32>(quint32(body.size()), bytes.data());
    qToLittleEndian<quint32>(crc(body.data(), body.size()), bytes.data() + 4);
    std::memcpy(bytes.data() + 8, body.data(), size_t(body.size()));
    return bytes;
}

namespace {

// Walks the whole frames from offset, visit(at, length) for each; where the walk stopped, and whether it met
// an impossible length (nothing after it can be found again).
template <typename Visit>
std::pair<qsizetype, bool> walkFrames(QByteArrayView file, qsizetype offset, Visit visit) {
    qsizetype at = qMax(offset, kJournalHeaderSize);
    while (file.size() - at >= 8) {
        const quint32 length = qFromLittleEndian<quint32>(file.data() + at);
        if (length > kLongestFrame) return {file.size(), true};
        if (file.size() - at - 8 < qsizetype(length)) break;  // not whole yet
        visit(at, length);
        at += 8 + qsizetype(length);
    }
    return {at, false};
}

}  // namespace

FrameScan scanFrames(QByteArrayView file, qsizetype offset) {
    FrameScan scan;
    const auto [end, lost] = walkFrames(file, offset, [&](qsizetype at, quint32 length) {
        const char* body = file.data() + at + 8;
        if (crc(body, length) == qFromLittleEndian<quint32>(file.data() + at + 4))
            scan.bodies.emplace_back(body, qsizetype(length));
        else
            ++scan.damaged;
    });
    if (lost) ++scan.damaged;
    scan.end = end;
    return scan;
}

qsizetype wholeFramesEnd(QByteArrayView file) {
    if (file.size() < kJournalHeaderSize) return 0;
    return walkFrames(file, kJournalHeaderSize, [](qsizetype, quint32) {}).first;
}

}  // namespace syncing
