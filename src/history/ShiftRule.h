#pragma once

#include <QDate>
#include <optional>
#include <vector>

// The temperature shift of one cycle by the "three over six" rule.
namespace history {

// One day's basal body temperature, in °C as she typed it.
struct Reading {
    QDate day;
    double celsius = 0;
};

struct Shift {
    enum class Kind {
        Regular,       // three readings above the coverline, the third at least 0.2 °C above it
        FourthNeeded,  // the third less than 0.2 above: a fourth above the coverline completed it
        OneLeftOut,    // the second or third fell to or below the coverline: left out, the fourth 0.2 above
    };
    Kind kind = Kind::Regular;
    int firstHigher = 0;         // index into the readings of the first higher reading
    int completedBy = 0;         // index of the reading that completed the shift
    std::optional<int> leftOut;  // index of the reading left out (OneLeftOut)
    double coverline = 0;        // °C, a multiple of 0.05
};

// The readings before the first higher one that set the coverline.
inline constexpr int kReadingsBeforeShift = 6;

// Readings are rounded to the nearest 0.05 °C before they are compared.
double roundedReading(double celsius);

// The first shift in one cycle's readings, given in day order with only the days that have a temperature
// (a day without one is simply absent, never counted as low). The coverline is the highest of the six
// readings before the first higher reading. Only one exception is allowed per shift.
std::optional<Shift> findShift(const std::vector<Reading>& readings);

}  // namespace history
