#pragma once

#include "cli/DiaryAccess.h"
#include "transfer/DiaryCsv.h"

#include <QDateTime>

// The whole-diary commands over the data file at dataPath, as the command line runs them (and the tests, in
// their own process): each reports in Japanese on err and gives the exit status.
namespace cli {

// today: the days after it are plans (drip takes their notes only).
Exit exportCommand(const QString& dataPath, const QString& file, transfer::CsvFormat format, QTextStream& err,
                   const QDate& today = QDate::currentDate(), const DiaryAccess& access = {});
// replace: what to do with days that differ from hers; without it she keeps hers.
Exit importCommand(const QString& dataPath, const QString& file, bool replace, QTextStream& err,
                   const QDateTime& now = QDateTime::currentDateTime(), const DiaryAccess& access = {});
// folder: where the copy goes; empty means the backups folder beside the data file (then rotated).
Exit backupCommand(const QString& dataPath, const QString& folder, QTextStream& err,
                   const QDateTime& now = QDateTime::currentDateTime(), const DiaryAccess& access = {});
Exit restoreCommand(const QString& dataPath, const QString& backupFile, QTextStream& err,
                    const QDateTime& now = QDateTime::currentDateTime(), const DiaryAccess& access = {});
// Integrity, days recorded, first and last day, on out.
Exit checkCommand(const QString& dataPath, QTextStream& out, QTextStream& err,
                  const DiaryAccess& access = {});

// The summary of an import: "新しい日：3日　同じ日：1日　違う日：2日".
QString importSummary(qint64 fresh, qint64 identical, qint64 different);

}  // namespace cli
