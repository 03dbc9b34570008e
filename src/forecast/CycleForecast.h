#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The cycle forecast: the expected start of the next menstruation and whether a day is fertile.
namespace forecast {

inline const QString kNoForecast = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
inline const QString kFertile = QStringLiteral("妊娠可能日");
inline const QString kOrdinary = QStringLiteral("通常日");

// The fertile window: cycle/2 - 2 <= dayIndex <= cycle/2 + 3 in real numbers.
bool inFertileWindow(int cycle, qint64 dayIndex);

// Finds the first day of the newest run of menstruation days, fed the days newest first: days at most
// 2 days apart belong to one run, a gap of 3 or more days ends it. take() tells when to stop reading,
// so the walk reads only the days of the latest run plus one.
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

// Both panel texts for the selected day. cycleDays is the setting as stored; it is read as a whole number
// only when a period start exists (throws PgError TypeMismatch / Overflow then).
Texts forecastTexts(const std::optional<QDate>& periodStart, const QDate& selected, const QString& cycleDays);

}  // namespace forecast
