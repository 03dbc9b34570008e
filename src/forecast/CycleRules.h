#pragma once

#include <QDate>
#include <QString>

// The rules of her cycle that the forecast, her own history and the import all count by, each written once.
namespace forecast {

// Menstruation days at most this many days apart (at most one unmarked day between them) belong to one
// period; a longer gap starts the next.
inline constexpr int kPeriodGap = 2;
inline bool samePeriod(const QDate& earlier, const QDate& later) {
    return earlier.daysTo(later) <= kPeriodGap;
}

// Cycles of these lengths count in the figures and the forecast from her records; others are shown, flagged.
inline constexpr int kShortestCounted = 15;
inline constexpr int kLongestCounted = 99;
inline bool isCountedLength(int days) { return days >= kShortestCounted && days <= kLongestCounted; }
// The counted lengths as the texts name them: "15～99日".
inline QString countedLengthsText() {
    return QStringLiteral("%1～%2日").arg(kShortestCounted).arg(kLongestCounted);
}

// Temperatures outside these bounds are no readings (a typing slip): the day counts as one without one.
inline constexpr double kLowestReading = 30.0;
inline constexpr double kHighestReading = 45.0;
inline bool isPlausibleReading(double celsius) {
    return celsius >= kLowestReading && celsius <= kHighestReading;
}
// The plausible range as the texts name it: "30～45℃".
inline QString plausibleReadingsText() {
    return QStringLiteral("%1～%2℃").arg(kLowestReading).arg(kHighestReading);
}

}  // namespace forecast
