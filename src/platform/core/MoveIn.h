#pragma once

#include "platform/core/Result.h"

#include <QString>
#include <functional>

// Copying her diary from the folder of an earlier, portable Selvane into the installed program's data folder.
namespace movein {

inline const QString kRecoveryName = QStringLiteral("selvane.recovery");
inline const QString kBackupsName = QStringLiteral("backups");

// Checks a copied diary before it counts: SQLite's integrity check for a plain one, the header of a locked
// one.
using DiaryCheck = std::function<Result<void>(const QString& diaryPath)>;

// Copies the diary in from (with its backups/ and any recovery file) into to, which must hold no diary: each
// file owner-only in one step and read back against its source, the diary last and only after check passed on
// its copy. A backup whose name to/backups already holds is left where it was. Nothing in from is changed; on
// failure to is as it was too.
Result<void> copyDiary(const QString& from, const QString& to, const DiaryCheck& check);

}  // namespace movein
