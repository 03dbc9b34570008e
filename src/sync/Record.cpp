#include "sync/Record.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QRandomGenerator>

namespace syncing {
namespace {

// Keys of the CBOR map: small numbers, so that a record stays small.
enum Key : int {
    kKind = 0,
    kSeq = 1,
    kTime = 2,
    kDay = 3,
    kReplaces = 4,
    kTemp = 5,
    kMemo = 6,
    kSchedule = 7,
    kCondition = 8,
    kDiary = 9,
    kFlags = 10,
    kRead = 11,
    kName = 12,
};
enum Flag : int { kLove = 1, kGuest = 2, kExcluded = 4 };
constexpr qsizetype kIdSize = 16;

}  // namespace

QByteArray encode(const Record& record) {
    QCborMap map;
    map[kKind] = int(record.kind);
    map[kSeq] = qint64(record.id.seq);
    map[kTime] = qint64(record.time);
    if (record.day.isValid()) map[kDay] = record.day.toJulianDay();
    if (!record.replaces.empty()) {
        QCborArray replaces;
        for (const VersionId& id : record.replaces) replaces.append(QCborArray{id.origin, qint64(id.seq)});
        map[kReplaces] = replaces;
    }
    if (record.kind == Record::Kind::Set) {
        const DayContent& c = record.content;
        if (c.temp) map[kTemp] = *c.temp;
        if (!c.memo.isEmpty()) map[kMemo] = c.memo;
        if (!c.schedule.isEmpty()) map[kSchedule] = c.schedule;
        if (!c.condition.isEmpty()) map[kCondition] = c.condition;
        if (!c.diary.isEmpty()) map[kDiary] = c.diary;
        map[kFlags] = (c.love ? kLove : 0) | (c.guest ? kGuest : 0) | (c.excluded ? kExcluded : 0);
    }
    if (!record.read.empty()) {
        QCborMap read;
        for (const auto& [origin, seq] : record.read) read[QCborValue(origin)] = qint64(seq);
        map[kRead] = read;
    }
    if (!record.name.isEmpty()) map[kName] = record.name;
    return map.toCborValue().toCbor();
}

std::optional<Record> decode(QByteArrayView bytes, const ComputerId& origin) {
    QCborParserError error;
    const QCborValue value = QCborValue::fromCbor(bytes.toByteArray(), &error);
    if (error.error != QCborError::NoError || !value.isMap()) return std::nullopt;
    Record record;
    record.id.origin = origin;
    qint64 kind = 0;
    bool hasDay = false;
    DayContent& c = record.content;
    // One pass over the map: a merge decodes every record it reads.
    const QCborMap map = value.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QCborValue item = it.value();
        switch (it.key().toInteger(-1)) {
            case kKind:
                kind = item.toInteger();
                break;
            case kSeq:
                record.id.seq = quint64(item.toInteger());
                break;
            case kTime:
                record.time = quint64(item.toInteger());
                break;
            case kDay:
                record.day = QDate::fromJulianDay(item.toInteger());
                hasDay = true;
                break;
            case kReplaces:
                for (const auto& entry : item.toArray()) {
                    const QCborArray pair = entry.toArray();
                    const QByteArray id = pair.at(0).toByteArray();
                    if (pair.size() != 2 || id.size() != kIdSize) return std::nullopt;
                    record.replaces.push_back({id, quint64(pair.at(1).toInteger())});
                }
                break;
            case kTemp:
                c.temp = item.toDouble();
                break;
            case kMemo:
                c.memo = item.toString();
                break;
            case kSchedule:
                c.schedule = item.toString();
                break;
            case kCondition:
                c.condition = item.toString();
                break;
            case kDiary:
                c.diary = item.toString();
                break;
            case kFlags: {
                const qint64 flags = item.toInteger();
                c.love = flags & kLove;
                c.guest = flags & kGuest;
                c.excluded = flags & kExcluded;
                break;
            }
            case kRead: {
                const QCborMap read = item.toMap();
                for (auto at = read.cbegin(); at != read.cend(); ++at) {
                    const QByteArray id = at.key().toByteArray();
                    if (id.size() != kIdSize) return std::nullopt;
                    record.read[id] = quint64(at.value().toInteger());
                }
                break;
            }
            case kName:
                record.name = item.toString();
                break;
            default:
                break;  // a later version's field: passed over
        }
    }
    if (kind < int(Record::Kind::Set) || kind > int(Record::Kind::Name) || record.id.seq == 0)
        return std::nullopt;
    record.kind = Record::Kind(kind);
    if (!hasDay) record.day = {};
    const bool needsDay = record.kind == Record::Kind::Set || record.kind == Record::Kind::Remove ||
                          record.kind == Record::Kind::Purge;
    if (needsDay && !record.day.isValid()) return std::nullopt;
    if (record.kind != Record::Kind::Set) record.content = {};
    return record;
}

QString idText(const ComputerId& id) { return QString::fromLatin1(id.toHex()); }

std::optional<ComputerId> idFromText(QStringView text) {
    if (text.size() != 2 * kIdSize) return std::nullopt;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return std::nullopt;
    return QByteArray::fromHex(text.toLatin1());
}

ComputerId newComputerId() {
    ComputerId id(kIdSize, Qt::Uninitialized);
    QRandomGenerator::system()->generate(id.begin(), id.end());
    return id;
}

}  // namespace syncing
