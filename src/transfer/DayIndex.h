#pragma once

#include <QDate>
#include <vector>

namespace transfer {

// A number for each day of the years 1 to 9999 (0 where none was set), for a million days at a time: a plain
// table is many times faster than a hash here and costs 15 MB at most.
class DayIndex {
  public:
    int& operator[](const QDate& day) {
        const qint64 at = day.toJulianDay() - first();
        if (slots_.empty()) slots_.assign(size_t(QDate(9999, 12, 31).toJulianDay() - first() + 1), 0);
        return slots_[size_t(at)];
    }
    // 0 for a day outside the table or never set.
    int find(const QDate& day) const {
        const qint64 at = day.isValid() ? day.toJulianDay() - first() : -1;
        return at >= 0 && size_t(at) < slots_.size() ? slots_[size_t(at)] : 0;
    }

  private:
    static qint64 first() { return QDate(1, 1, 1).toJulianDay(); }
    std::vector<int> slots_;
};

}  // namespace transfer
