#pragma once

#include "data/DayRecord.h"

#include <QString>
#include <optional>

// Her unsaved edits, kept in a small owner-only file beside the data file when a session ends without the
// closing questions (a terminating signal, a lost display), until the next start asks her what to do with
// them. Nothing goes into the diary without her consent.
namespace recovery {

inline const QString kFileName = QStringLiteral("selvane.recovery");

// Replaces the file at path (a small JSON object) in one checked step, readable by its owner only; empty on
// success, else why.
QString write(const QString& path, const DayEntry& entry);
// The entry in the file at path; nothing when it cannot be read or is not such a file.
std::optional<DayEntry> read(const QString& path);

}  // namespace recovery
