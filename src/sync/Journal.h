#pragma once

#include "sync/Record.h"

#include <QByteArray>
#include <vector>

// A computer's journal file in the sync folder: a header, then framed records, each a length, a CRC-32 of its
// body and the body (a record, sealed when the folder is). Only its owner appends to it, a whole frame at a
// time, so a reader meets at most a torn or half-synced last frame: that one is left until it is whole.
namespace syncing {

inline constexpr qsizetype kJournalHeaderSize = 36;
inline constexpr quint16 kJournalVersion = 1;
// No frame of ours is this long; a larger length is a damaged journal.
inline constexpr quint32 kLongestFrame = 16 * 1024 * 1024;

struct JournalHeader {
    quint16 version = kJournalVersion;
    bool sealed = false;
    quint32 generation = 0;  // counts the times its owner rewrote it shorter
    ComputerId origin;
};

QByteArray headerBytes(const JournalHeader& header);

enum class HeaderFault { None, NotAJournal, Damaged, NewerVersion };
// The header at the file's start; a fault for a file that is not a whole journal header of this version.
HeaderFault readHeader(QByteArrayView file, JournalHeader* header);

// One frame for the body.
QByteArray frame(QByteArrayView body);

// The frames of file from offset on (offset: after the header, or where the last read ended).
struct FrameScan {
    std::vector<QByteArray> bodies;
    qsizetype end = 0;  // after the last whole frame: where the next read starts
    int damaged = 0;    // frames whose checksum does not match (skipped), or an impossible length (the rest)
};
FrameScan scanFrames(QByteArrayView file, qsizetype offset);
// Where the journal's last whole frame ends (0: not even its header is whole; the file's end when a length is
// impossible). An append that was cut short (killed, the disk full) leaves more: its owner cuts it off before
// appending again, or readers would take the next frames for the rest of the torn one.
qsizetype wholeFramesEnd(QByteArrayView file);

}  // namespace syncing
