#pragma once

#include "transfer/DiaryCsv.h"

#include <QDateTime>
#include <QString>
#include <QTextStream>
#include <optional>

// The whole-diary commands as the command line runs them, without a window: each reports in Japanese on err
// and returns the exit status (0 done, 1 a refused file, a failed check or a failed write).
namespace transfercommands {

enum Status { kDone = 0, kRefused = 1, kUsage = 2 };

int exportDiary(const QString& dataPath, const QString& file, diarycsv::Format format, QTextStream& err);
// replace: what to do with days that differ from hers; without it she keeps hers.
int importDiary(const QString& dataPath, const QString& file, bool replace, QTextStream& err,
                const QDateTime& now = QDateTime::currentDateTime());
// folder: where the copy goes; empty means the backups folder beside the data file (then rotated).
int backup(const QString& dataPath, const QString& folder, QTextStream& err,
           const QDateTime& now = QDateTime::currentDateTime());
int restore(const QString& dataPath, const QString& backupFile, QTextStream& err,
            const QDateTime& now = QDateTime::currentDateTime());
// Integrity, days recorded, first and last day, on out.
int check(const QString& dataPath, QTextStream& out, QTextStream& err);

// The summary of an import: "新しい日：3日　同じ日：1日　違う日：2日".
QString importSummary(qint64 fresh, qint64 identical, qint64 different);

}  // namespace transfercommands
