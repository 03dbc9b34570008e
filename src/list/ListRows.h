#pragma once

#include "data/DayRecord.h"

#include <QDate>
#include <QString>
#include <array>
#include <vector>

// The texts of the list's day rows: one row per calendar day, newest first, ten cells each.
namespace listview {

inline constexpr int kDays = 180;
inline constexpr int kColumns = 10;

enum Column { Year, Month, Day, Weekday, Temp, Condition, Mark, Love, Memo, Schedule };

using Row = std::array<QString, kColumns>;
using Table = std::vector<Row>;

inline const QString kMenstruation = QStringLiteral("●");
inline const QString kIntercourse = QStringLiteral("◎");
inline const QString kFertile = QStringLiteral("★");

// The day the header names first: one day older than the oldest row.
QDate firstDay(const QDate& selected);

// The 180 rows ending on selected, from records in the order the file returns them (newest first).
// Records later than a row's day are passed over before that row, so a record dated after the selected
// day, or a second record of one day, costs only itself and never hides an older row.
Table buildRows(const std::vector<DayRecord>& newestFirst, const QDate& selected);

// The temperature as the list shows it: "#0.00", empty for none or 0.
QString temperatureText(const std::optional<double>& temp);

}  // namespace listview
