#pragma once

#include "forecast/CycleLength.h"

#include <QDate>
#include <QString>
#include <optional>

// The cycle forecast: the expected start of the next menstruation and whether a day is fertile.
namespace forecast {

inline const QString kNoForecast = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
inline const QString kFertile = QStringLiteral("妊娠可能日");
inline const QString kOrdinary = QStringLiteral("通常日");

// The fertile window: cycle/2 - 2 <= dayIndex <= cycle/2 + 3 in real numbers, as whole days counted from the
// period's first day (day 0).
struct DayRange {
    qint64 first = 0;
    qint64 last = 0;
};
DayRange fertileWindow(int cycle);
bool inFertileWindow(int cycle, qint64 dayIndex);

// Finds the first day of the newest run of menstruation days, fed the days newest first: days of one period
// (samePeriod) belong to one run, a longer gap ends it. take() tells when to stop reading, so the walk reads
// only the days of the latest run plus one.
class PeriodStartWalk {
  public:
    bool take(const QDate& day);
    const std::optional<QDate>& start() const { return start_; }

  private:
    std::optional<QDate> start_;
};

struct Texts {
    QString nextPeriod;  // the next-period panel
    QString dayState;    // the fertile/ordinary panel
};

// What the forecast expects of the cycle that began on periodStart: the next period's first day and the
// fertile days. Throws the cycle length's PgError for a setting that gives no number.
struct Outlook {
    QDate nextPeriod;
    QDate fertileFirst;
    QDate fertileLast;
};
Outlook outlook(const QDate& periodStart, const CycleLength& cycleLength);

// Both panel texts for the selected day. The cycle's number is needed only when a period start exists (a
// cycle setting that gives none throws PgError TypeMismatch / Overflow then).
Texts forecastTexts(const std::optional<QDate>& periodStart, const QDate& selected,
                    const CycleLength& cycleLength);

}  // namespace forecast
