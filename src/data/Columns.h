#pragma once

#include "data/DayRecord.h"

#include <QString>
#include <QStringList>
#include <array>

// The columns of DATA_FIL, in the order every statement names them: the table's definition, the statements'
// column lists and their parameters, and the check of a backup's table are all made from this one list.
namespace data {

struct Column {
    const char* name;
    const char* type;
    const char* constraint;  // what follows the type in the table's definition
    const char* parameter;   // the named parameter of the window's statements
    unsigned field;          // the dayfield bit a save writes it for (0: the date, always named)
    bool herText;            // her text: bound as UTF-8 bytes and cast to text (see DataFile.cpp)
};

// The places of the columns in the list.
enum ColumnIndex { kDate, kTemp, kMemo, kSchedule, kCondition, kDiary, kLove, kGuest };

inline constexpr std::array<Column, 8> kColumns{{
    {"DAT_DATE", "TEXT", " NOT NULL CHECK (DAT_DATE GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]')",
     ":date", 0, false},
    {"TEMP", "REAL", "", ":temp", dayfield::Temp, false},
    {"Memo", "TEXT", "", ":memo", dayfield::Memo, true},
    {"SCHEDULE", "TEXT", "", ":schedule", dayfield::Schedule, true},
    {"CONDITION", "TEXT", "", ":condition", dayfield::Condition, true},
    {"DIARY", "TEXT", "", ":diary", dayfield::Diary, true},
    {"LOVE", "INTEGER", " CHECK (LOVE IN (0, 1))", ":love", dayfield::Love, false},
    {"GUEST", "INTEGER", " CHECK (GUEST IN (0, 1))", ":guest", dayfield::Guest, false},
}};

// "DAT_DATE, TEMP, Memo, SCHEDULE, CONDITION, DIARY, LOVE, GUEST".
inline QString columnNames() {
    QStringList all;
    for (const Column& column : kColumns) all.append(QLatin1String(column.name));
    return all.join(QStringLiteral(", "));
}

// The value a statement of the window gives the column: her texts cast from their UTF-8 bytes.
inline QString columnValue(const Column& column) {
    const QString parameter = QLatin1String(column.parameter);
    return column.herText ? QStringLiteral("CAST(%1 AS TEXT)").arg(parameter) : parameter;
}

}  // namespace data
