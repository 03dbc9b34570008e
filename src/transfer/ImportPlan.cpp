#include "transfer/ImportPlan.h"

#include <QHash>

namespace importplan {

bool sameDay(const StoredRow& hers, const DayRecord& file) {
    // QString compares a null text equal to an empty one.
    return hers.temp == file.temp && hers.memo == file.memo && hers.schedule == file.schedule &&
           hers.condition == file.condition && hers.diary == file.diary &&
           hers.love.value_or(false) == file.love && hers.guest.value_or(false) == file.guest;
}

Plan make(DataFile& db, std::vector<DayRecord> days) {
    Plan plan;
    QHash<qint64, size_t> index;  // day -> position in days
    index.reserve(qsizetype(days.size()));
    for (size_t i = 0; i < days.size(); ++i) index.insert(days[i].date.toJulianDay(), i);
    std::vector<bool> matched(days.size(), false);
    db.forEachRow([&](const StoredRow& row) {
        const QDate day = QDate::fromString(row.date, Qt::ISODate);
        const auto it =
            index.constFind(day.isValid() ? day.toJulianDay() : std::numeric_limits<qint64>::min());
        if (it == index.cend() || matched[it.value()]) return true;  // only the first row of a day counts
        matched[it.value()] = true;
        const DayRecord& file = days[it.value()];
        if (sameDay(row, file))
            ++plan.identical;
        else
            plan.different.emplace_back(row.row, file);
        return true;
    });
    for (size_t i = 0; i < days.size(); ++i)
        if (!matched[i]) plan.fresh.push_back(std::move(days[i]));
    return plan;
}

bool apply(DataFile& db, const Plan& plan, bool takeFile, const DataFile::Progress& progress) {
    static const std::vector<std::pair<qint64, DayRecord>> none;
    return db.importRecords(plan.fresh, takeFile ? plan.different : none, progress);
}

}  // namespace importplan
