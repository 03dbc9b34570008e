#pragma once

#include "data/DataFile.h"
#include "transfer/DiaryCsv.h"

#include <QString>

// Writing the whole diary to a CSV file in one step: a temporary file beside the target, every write and the
// flush checked, then renamed over it. The file is for its owner alone.
namespace transfer {

// What an export wrote, and what it left out so that the file reads back (and, for drip, is taken whole).
struct ExportSummary {
    qint64 days = 0;      // lines written, one a day
    qint64 repeated = 0;  // further rows of a day (written by another tool): only the one the window shows
    qint64 notADay = 0;   // rows whose date is no real day (2001-02-30)
    // drip only:
    qint64 nothingForDrip = 0;  // days drip would keep nothing of: no line
    qint64 futureMarks = 0;     // days after today: their temperature and marks left out
    qint64 implausible = 0;     // temperatures outside the plausible range: written as no reading
};

// "12日分を書き出しました。", or that it wrote no day.
QString exportedText(const ExportSummary& summary);
// One line for each kind of row or value left out.
QStringList leftOutTexts(const ExportSummary& summary);

// The export: what was written, or why the file at path is as it was (cancelled when progress asked to
// stop). today: the days after it are plans, which drip takes as notes only.
Result<ExportSummary> exportDiary(DataFile& db, const QString& path, CsvFormat format, const QDate& today,
                                  const DataFile::Progress& progress = {});

// Said before a locked diary is written out: the export is in plain text.
inline const QString kNotSealedWarning =
    QStringLiteral("書き出すﾌｧｲﾙは暗号化されません。\rﾌｧｲﾙを手にした人は誰でも日記を読めるようになります。");

// A path that must never be written over by an export, nor restored from: the data file itself, by any name.
bool isDataFile(const QString& path, const QString& dataPath);
// Where an export may not go: a folder, or the data file itself.
bool refusedTarget(const QString& path, const QString& dataPath);

}  // namespace transfer
