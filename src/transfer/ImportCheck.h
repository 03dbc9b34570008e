#pragma once

#include "data/DataFile.h"
#include "transfer/DiaryCsv.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Reading a whole-diary file and checking every line of it before anything is written: the first bad line
// refuses the whole file.
namespace transfer {

// A whole-diary file as read and checked.
struct ImportFile {
    std::vector<DayRecord> days;  // in the file's order
    CsvFormat format = CsvFormat::Selvane;
    QString encoding;
    // Days whose temperature lies outside the plausible range: imported all the same (the entry takes any
    // number, and her own export must read back), and counted for the summary.
    qint64 implausible = 0;
    // drip's days that hold nothing Selvane keeps (only mucus, say): left out, and counted for the summary.
    qint64 nothingKept = 0;
    // The file says which readings are marked as disturbed (Selvane CSV's last column): without it, the
    // import leaves her marks as they are.
    bool marks = false;
};

// "30～45℃ の範囲にない体温：2日" when there are such days, else nothing.
QString implausibleText(qint64 days);
// What the summary says beside its counts of days: the lines above, for the counts that are not 0.
QStringList importNotes(const ImportFile& file);

// The file's days, or what is wrong with its first bad line ("12行目：…"; counted from 1). progress(done,
// total) counts bytes of text read; returning false cancels.
Result<ImportFile> checkImport(const QByteArray& bytes, const DataFile::Progress& progress = {});

}  // namespace transfer
