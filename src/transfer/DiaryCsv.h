#pragma once

#include "data/DataFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The two whole-diary files: Selvane's own CSV and the CSV that the phone app drip imports.
namespace transfer {

enum class CsvFormat { Selvane, Drip };

// Selvane CSV: UTF-8 with a byte-order mark, this header, CRLF line ends; and the column of the readings she
// marked as disturbed (0/1) last, written only when at least one day is marked, so that every other diary's
// export stays as it always was.
inline const QStringList kSelvaneColumns = {"date",     "temperature", "condition",    "medication",
                                            "schedule", "diary",       "menstruation", "intercourse"};
inline const QString kExcludedColumn = QStringLiteral("excluded");
// drip's CSV as written here: no byte-order mark, LF line ends; drip's other notes in their columns.
inline const QStringList kDripColumns = {
    "date",           "temperature.value", "temperature.exclude", "temperature.note",
    "bleeding.value", "bleeding.exclude",  "sex.partner",         "sex.note",
    "pain.note",      "mood.note",         "note.value"};

// Every column drip's own export writes; a drip file may hold any of them, in any order.
const QStringList& dripKnownColumns();

// The file's first bytes and its header line; marks: the Selvane CSV has the column of the marks.
QByteArray csvStart(CsvFormat format, bool marks = false);
// Appends one row of Selvane CSV, exactly as stored (with its line end); marks: with the column of the marks.
void appendCsvRow(QByteArray& out, const StoredRow& row, bool marks = false);
// Appends one line of drip's CSV: the cells of kDripColumns, written so that drip reads them as they are.
void appendDripRow(QByteArray& out, const QStringList& cells);

// The temperature as written: a plain decimal with a point, as short as reads back to the same number.
QString temperatureText(double value);

}  // namespace transfer
