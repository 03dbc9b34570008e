#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <map>
#include <optional>
#include <vector>

// What one computer tells the others through its journal: a day set or removed, a purge, how far it has read
// the others, its name. Each record names the versions of the day it replaced, so that a change made after
// seeing another is told apart from one made at the same time.
namespace syncing {

// A computer's id: 16 random bytes, its journal's name in hex.
using ComputerId = QByteArray;

// One version of a day, or any record: the computer that made it and its number there (counted from 1).
struct VersionId {
    ComputerId origin;
    quint64 seq = 0;
    bool operator==(const VersionId&) const = default;
    bool operator<(const VersionId& other) const {
        return origin != other.origin ? origin < other.origin : seq < other.seq;
    }
};

// What a day holds, as the diary's row holds it (Null texts as empty ones).
struct DayContent {
    std::optional<double> temp;
    QString memo;
    QString schedule;
    QString condition;
    QString diary;
    bool love = false;
    bool guest = false;
    bool excluded = false;  // her reading marked as disturbed
    bool operator==(const DayContent&) const = default;
};

struct Record {
    enum class Kind { Set = 1, Remove = 2, Purge = 3, Read = 4, Name = 5 };
    Kind kind = Kind::Set;
    VersionId id;
    quint64 time = 0;  // the hybrid clock; 0 for the days a diary already held when it joined
    QDate day;         // Set, Remove: the day; Purge: every day up to and including it
    std::vector<VersionId> replaces;
    DayContent content;                  // Set
    std::map<ComputerId, quint64> read;  // Read: how far this computer has applied each other's records
    QString name;                        // Name: the computer's name as she gave it
    bool operator==(const Record&) const = default;
};

// A record as the bytes of a journal frame (CBOR), without its computer (the journal's owner); and back,
// nothing for bytes that are not one.
QByteArray encode(const Record& record);
std::optional<Record> decode(QByteArrayView bytes, const ComputerId& origin);

// The id as its journal's file name: 32 lowercase hex digits.
QString idText(const ComputerId& id);
std::optional<ComputerId> idFromText(QStringView text);
ComputerId newComputerId();

}  // namespace syncing
