#pragma once

#include "data/DayRecord.h"

#include <QString>
#include <optional>

class DataFile;

// Her unsaved edits kept in the recovery file beside the diary (data/Recovery.h): sealed with the key of a
// locked diary, so that nothing of it reaches the disk in plain text, and plain beside a plain diary.
namespace recoveryui {

// Writes them to path in one step; empty on success, otherwise why not.
QString keep(DataFile* diary, const QString& path, const DayEntry& entry);
// The edits kept at path, opened as the diary opens them; nothing when they cannot be read.
std::optional<DayEntry> readKept(const QString& path, DataFile* diary);

}  // namespace recoveryui
