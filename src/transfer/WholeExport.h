#pragma once

#include "data/DataFile.h"
#include "transfer/DiaryCsv.h"

#include <QString>

// Writing the whole diary to a CSV file in one step: a temporary file beside the target, every write and the
// flush checked, then renamed over it. The file is for its owner alone.
namespace transfer {

// The export: the days written, or why the file at path is as it was (cancelled when progress asked to stop).
Result<qint64> exportDiary(DataFile& db, const QString& path, CsvFormat format,
                           const DataFile::Progress& progress = {});

// Said before a locked diary is written out: the export is in plain text.
inline const QString kNotSealedWarning =
    QStringLiteral("書き出すﾌｧｲﾙは暗号化されません。\rﾌｧｲﾙを手にした人は誰でも日記を読めるようになります。");

// A path that must never be written over by an export: the data file itself.
bool isDataFile(const QString& path, const QString& dataPath);
// Where an export may not go: a folder, or the data file itself.
bool refusedTarget(const QString& path, const QString& dataPath);

}  // namespace transfer
