#pragma once

#include "data/DayRecord.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Her unsaved edits, kept in a small owner-only file beside the data file when a session ends without the
// closing questions (a terminating signal, a lost display), until the next start asks her what to do with
// them. Nothing goes into the diary without her consent.
namespace recovery {

inline const QString kFileName = QStringLiteral("selvane.recovery");

// The entry as the file's bytes (a small JSON object), and back: nothing for bytes that are not one.
QByteArray encode(const DayEntry& entry);
std::optional<DayEntry> decode(const QByteArray& bytes);

// Replaces the file at path (a small JSON object) in one checked step, readable by its owner only; empty on
// success, else why.
QString write(const QString& path, const DayEntry& entry);
// The entry in the file at path; nothing when it cannot be read or is not such a file.
std::optional<DayEntry> read(const QString& path);

}  // namespace recovery
