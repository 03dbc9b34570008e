#pragma once

#include "data/DayRecord.h"

#include <QDate>
#include <QString>
#include <QStringList>

// One day between her diary and drip: what the drip export writes of a day, and where drip's notes go in her
// diary and come back from. The columns are kDripColumns (DiaryCsv.h).
namespace transfer {

// drip has one note for a day: condition, medication and schedule go into it as labelled lines before the
// diary, and come back out of it on import; any other note is the day's diary. A diary that itself reads as
// such lines is framed by empty ones, so that it comes back as the same diary.
struct NoteParts {
    QString condition;
    QString medication;
    QString schedule;
    QString diary;
};
QString joinNote(const NoteParts& parts);
NoteParts splitNote(const QString& note);

// drip's notes beside its note.value. On import they follow the diary in a section of their own, a marker
// line and a labelled line each; the export puts that section back into their columns.
struct DripNotes {
    QString temperature;  // temperature.note
    QString sex;          // sex.note
    QString pain;         // pain.note
    QString mood;         // mood.note
    bool isEmpty() const {
        return temperature.isEmpty() && sex.isEmpty() && pain.isEmpty() && mood.isEmpty();
    }
};
QString withDripNotes(const QString& diary, const DripNotes& notes);
// The diary before the section withDripNotes wrote at its end, and the notes in it; the diary as it is, and
// no notes, when it does not end in exactly such a section.
struct DiaryAndNotes {
    QString diary;
    DripNotes notes;
};
DiaryAndNotes takeDripNotes(const QString& diary);

// The line the drip export writes for a day. drip refuses a whole file for a day after today with anything
// but a note, and a temperature without its reading; a line with only its date would wipe what drip holds
// for that day (with its replacing import).
struct DripLine {
    QStringList cells;         // in the order of kDripColumns; empty: no line, drip would keep nothing
    bool futureMarks = false;  // a day after today: its temperature and marks left out, its note kept
    bool implausible = false;  // a temperature outside the plausible range: written as no reading
};
DripLine dripLine(const StoredRow& row, const QDate& day, const QDate& today);

}  // namespace transfer
