#pragma once

#include <QDate>
#include <QString>
#include <optional>

// One row of DATA_FIL: the record of one day. Text fields that hold Null read as empty text and a flag
// that holds Null reads as not set; a Null temperature reads as no temperature.
struct DayRecord {
    QDate date;
    std::optional<double> temp;
    QString memo;
    QString schedule;
    QString condition;
    QString diary;
    bool love = false;   // intercourse
    bool guest = false;  // menstruation
    // She marked the day's reading as disturbed (a fever, a short night): kept beside DATA_FIL, never used by
    // the shift rule. Read by the whole-diary and the cycles' statements only (not by load and dayState: a
    // save never writes it).
    bool excluded = false;
    bool operator==(const DayRecord&) const = default;
};

// The fields of a day that a save writes over its row; the others stay exactly as stored.
namespace dayfield {
enum : unsigned {
    Temp = 1,
    Memo = 2,
    Schedule = 4,
    Condition = 8,
    Diary = 16,
    Love = 32,
    Guest = 64,
    All = 127,
};
}  // namespace dayfield

// What a save writes: the temperature as a text (the entry's text or the average temperature's), which the
// data file converts to its number and refuses when it is not one. Over an existing row only the fields in
// `edited` are written, so that what she did not touch stays as it was read, byte for byte; a new row takes
// every field.
struct DayEntry {
    QDate date;
    QString tempText;
    QString memo;
    QString schedule;
    QString condition;
    QString diary;
    bool love = false;
    bool guest = false;
    unsigned edited = dayfield::All;
};

// A day as a save finds it: its first row and what that row holds (nothing for a day without a row).
struct DayState {
    std::optional<qint64> row;
    std::optional<DayRecord> record;
    bool operator==(const DayState&) const = default;
};

// A row exactly as the file holds it, for moving the whole diary: a Null text is a null QString, a Null
// temperature or flag holds nothing, and the date is the stored text.
struct StoredRow {
    qint64 row = 0;
    QString date;
    std::optional<double> temp;
    QString memo;
    QString schedule;
    QString condition;
    QString diary;
    std::optional<bool> love;
    std::optional<bool> guest;
    bool excluded = false;  // the day's reading is marked as disturbed
};
