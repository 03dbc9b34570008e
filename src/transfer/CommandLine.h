#pragma once

#include "transfer/Backups.h"
#include "transfer/DiaryCsv.h"

#include <QDateTime>
#include <QString>
#include <QTextStream>
#include <optional>

// The whole-diary commands as the command line runs them, without a window: each reports in Japanese on err
// and returns the exit status (0 done, 1 a refused file, a failed check or a failed write).
namespace transfercommands {

enum Status { kDone = 0, kRefused = 1, kUsage = 2 };

// What the command line hands the commands beyond the data file's path, for a locked diary.
struct Access {
    // Opens the diary (asking for its passphrase), or says why not on err and gives nothing; empty: the
    // plain file at the path.
    std::function<std::unique_ptr<DataFile>(const QString& dataPath, QTextStream& err)> open;
    backups::SealedReader sealed;  // opens a sealed backup (restore)
};

int exportDiary(const QString& dataPath, const QString& file, diarycsv::Format format, QTextStream& err,
                const Access& access = {});
// replace: what to do with days that differ from hers; without it she keeps hers.
int importDiary(const QString& dataPath, const QString& file, bool replace, QTextStream& err,
                const QDateTime& now = QDateTime::currentDateTime(), const Access& access = {});
// folder: where the copy goes; empty means the backups folder beside the data file (then rotated).
int backup(const QString& dataPath, const QString& folder, QTextStream& err,
           const QDateTime& now = QDateTime::currentDateTime(), const Access& access = {});
int restore(const QString& dataPath, const QString& backupFile, QTextStream& err,
            const QDateTime& now = QDateTime::currentDateTime(), const Access& access = {});
// Integrity, days recorded, first and last day, on out.
int check(const QString& dataPath, QTextStream& out, QTextStream& err, const Access& access = {});

// The summary of an import: "新しい日：3日　同じ日：1日　違う日：2日".
QString importSummary(qint64 fresh, qint64 identical, qint64 different);

}  // namespace transfercommands
