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
};

// What a save writes: the temperature as a text (the entry's text or the average temperature's), which the
// data file converts to its number and refuses when it is not one.
struct DayEntry {
    QDate date;
    QString tempText;
    QString memo;
    QString schedule;
    QString condition;
    QString diary;
    bool love = false;
    bool guest = false;
};
