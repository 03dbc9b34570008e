#include "transfer/ImportPlan.h"

#include "transfer/DayIndex.h"

namespace transfer {

bool sameDay(const StoredRow& hers, const DayRecord& file) {
    // QString compares a null text equal to an empty one.
    return hers.temp == file.temp && hers.memo == file.memo && hers.schedule == file.schedule &&
           hers.condition == file.condition && hers.diary == file.diary &&
           hers.love.value_or(false) == file.love && hers.guest.value_or(false) == file.guest &&
           hers.excluded == file.excluded;
}

ImportPlan planImport(DataFile& db, const std::vector<DayRecord>& days) {
    ImportPlan plan;
    plan.made = db.stamp();  // before the rows are read: a change meanwhile makes the plan stale, never lost
    std::vector<bool> matched(days.size(), false);
    if (db.recordCount() > 0) {
        DayIndex index;  // day -> position in days, from 1
        for (size_t i = 0; i < days.size(); ++i) index[days[i].date] = int(i + 1);
        db.forEachRow([&](const StoredRow& row) {
            const int at = index.find(QDate::fromString(row.date, Qt::ISODate)) - 1;
            if (at < 0 || matched[size_t(at)]) return true;  // only the first row of a day counts
            matched[size_t(at)] = true;
            const DayRecord& file = days[size_t(at)];
            if (sameDay(row, file))
                ++plan.identical;
            else
                plan.different.emplace_back(row.row, file);
            return true;
        });
    }
    for (size_t i = 0; i < days.size(); ++i)
        if (!matched[i]) plan.fresh.push_back(days[i]);  // her texts are shared, not copied
    return plan;
}

DataFile::ImportResult applyImport(DataFile& db, const ImportPlan& plan, bool takeFile,
                                   const DataFile::Progress& progress) {
    static const std::vector<std::pair<qint64, DayRecord>> none;
    return db.importRecords(plan.fresh, takeFile ? plan.different : none, progress, plan.made);
}

}  // namespace transfer
