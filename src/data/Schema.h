#pragma once

#include <QString>

namespace schema {

// Makes an empty data file with the table DATA_FIL and its indexes at path, readable by its owner only.
// Refuses (returns false, with a reason) when anything already exists at path: a diary is never replaced.
bool createEmptyDataFile(const QString& path, QString* reason = nullptr);

}  // namespace schema
