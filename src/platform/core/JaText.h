#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Texts of dates and numbers as the program writes and reads them, independent of the machine's locale.
namespace jatext {

// Full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space turned into their narrow forms.
QString narrow(const QString& text);

// A plain decimal number: surrounding spaces, an optional sign, digits with at most one decimal point.
// Full-width digits, sign and point count like narrow ones. Nothing else is a number.
std::optional<double> readDecimal(const QString& text);

// The whole-number reading of a setting text: rounded to nearest, halves to even, into 16 bits.
// Throws PgError TypeMismatch for a text that is not a number and Overflow when it does not fit.
qint16 readWholeNumber(const QString& text);
qint16 roundToWhole(double value);  // throws PgError Overflow

// The ordinary text-to-number conversion into a single-precision real; throws TypeMismatch / Overflow.
float readSingle(const QString& text);

// The shortest decimal text of a single-precision real, never with an exponent: 36.5 -> "36.5", 37 -> "37",
// 36500000 -> "36500000".
QString shortestText(float value);
// A stored temperature as the entry shows it: as a single-precision real where it fits one, otherwise (a
// value another program stored, 1e300 say) the double's own shortest decimal text, so that it still reads
// back.
QString storedNumberText(double value);

// The day a "2001-05-02" text names (the data file's form); an invalid date for any other text.
QDate readIsoDate(const QString& text);

// "2001/05/02": the date literal's inner part and the list's header texts.
QString slashDate(const QDate& day);
// "2001年05月02日"
QString kanjiDate(const QDate& day);
// "2001年03月29日 木曜日"
QString kanjiDateWithWeekday(const QDate& day);
// "20010502"
QString compactDate(const QDate& day);
// "日" .. "土" and "日曜日" .. "土曜日"; empty for an invalid date
QString weekdayShort(const QDate& day);
QString weekdayLong(const QDate& day);

}  // namespace jatext
