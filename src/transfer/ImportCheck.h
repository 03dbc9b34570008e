#pragma once

#include "data/DataFile.h"
#include "transfer/DiaryCsv.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Reading a whole-diary file and checking every line of it before anything is written: the first bad line
// refuses the whole file.
namespace importcheck {

struct Result {
    bool ok = false;
    bool cancelled = false;
    std::vector<DayRecord> days;  // in the file's order
    diarycsv::Format format = diarycsv::Format::Selvane;
    QString encoding;
    int badLine = 0;  // the first bad line, counted from 1
    QString problem;  // what is wrong with it
    // Days whose temperature lies outside the plausible range: imported all the same (the entry takes any
    // number, and her own export must read back), and counted for the summary.
    qint64 implausible = 0;

    // "12行目：…" for messages.
    QString lineProblem() const;
};

// "30～45℃ の範囲にない体温：2日" when there are such days, else nothing.
QString implausibleText(qint64 days);

// progress(done, total) counts bytes of text read; returning false cancels.
Result check(const QByteArray& bytes, const DataFile::Progress& progress = {});

}  // namespace importcheck
