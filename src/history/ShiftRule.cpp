#include "history/ShiftRule.h"

#include <algorithm>
#include <cmath>

namespace history {

namespace {

constexpr int kMargin = 4;  // 0.2 °C in steps of 0.05

// Readings in whole steps of 0.05 °C, so that comparisons are exact.
int steps(double celsius) { return static_cast<int>(std::lround(celsius * 20.0)); }

std::optional<Shift> shiftFrom(const std::vector<int>& r, int i, int cover) {
    const int n = static_cast<int>(r.size());
    auto above = [&](int k) { return k < n && r[k] > cover; };
    auto wellAbove = [&](int k) { return k < n && r[k] >= cover + kMargin; };
    Shift shift;
    shift.firstHigher = i;
    shift.coverline = cover / 20.0;
    if (above(i + 1) && above(i + 2)) {
        if (wellAbove(i + 2)) {
            shift.kind = Shift::Kind::Regular;
            shift.completedBy = i + 2;
            return shift;
        }
        if (above(i + 3)) {
            shift.kind = Shift::Kind::FourthNeeded;
            shift.completedBy = i + 3;
            return shift;
        }
        return std::nullopt;
    }
    // Exactly one of the second and third readings fell back; the fourth must then be well above.
    const bool secondFell = i + 1 < n && !above(i + 1);
    const bool thirdFell = i + 2 < n && !above(i + 2);
    if (secondFell == thirdFell || !wellAbove(i + 3)) return std::nullopt;
    shift.kind = Shift::Kind::OneLeftOut;
    shift.leftOut = secondFell ? i + 1 : i + 2;
    shift.completedBy = i + 3;
    return shift;
}

}  // namespace

double roundedReading(double celsius) { return steps(celsius) / 20.0; }

std::optional<Shift> findShift(const std::vector<Reading>& readings) {
    std::vector<int> r;
    r.reserve(readings.size());
    for (const Reading& reading : readings) r.push_back(steps(reading.celsius));
    for (int i = kReadingsBeforeShift; i < static_cast<int>(r.size()); ++i) {
        const int cover = *std::max_element(r.begin() + i - kReadingsBeforeShift, r.begin() + i);
        if (r[i] <= cover) continue;
        if (auto shift = shiftFrom(r, i, cover)) return shift;
    }
    return std::nullopt;
}

}  // namespace history
