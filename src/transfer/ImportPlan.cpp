#include "transfer/ImportPlan.h"

#include "transfer/DayIndex.h"
#include "transfer/DiaryCsv.h"

#include <algorithm>

namespace transfer {

DayRecord recordOf(const StoredRow& row) {
    DayRecord record;
    record.date = QDate::fromString(row.date, Qt::ISODate);
    record.temp = row.temp;
    record.memo = row.memo;
    record.schedule = row.schedule;
    record.condition = row.condition;
    record.diary = row.diary;
    record.love = row.love.value_or(false);
    record.guest = row.guest.value_or(false);
    record.excluded = row.excluded;
    return record;
}

QStringList differingFields(const DayRecord& hers, const DayRecord& file) {
    auto none = [] { return QStringLiteral("（なし）"); };
    auto text = [&none](const QString& value) {
        constexpr qsizetype kLongest = 30;
        QString flat = value.simplified();
        if (flat.isEmpty()) return none();
        return flat.size() > kLongest ? flat.left(kLongest - 1) + QStringLiteral("…") : flat;
    };
    auto temp = [&none](const std::optional<double>& value) {
        return value ? temperatureText(*value) : none();
    };
    auto flag = [](bool value) { return value ? QStringLiteral("あり") : QStringLiteral("なし"); };
    QStringList lines;
    auto add = [&lines](const char* name, const QString& mine, const QString& theirs) {
        lines.append(QString::fromUtf8(name) + u'\t' + mine + u'\t' + theirs);
    };
    if (hers.temp != file.temp) add("基礎体温", temp(hers.temp), temp(file.temp));
    if (hers.excluded != file.excluded) add("体温の除外", flag(hers.excluded), flag(file.excluded));
    if (hers.condition != file.condition) add("体調", text(hers.condition), text(file.condition));
    if (hers.guest != file.guest) add("月経", flag(hers.guest), flag(file.guest));
    if (hers.love != file.love) add("SEX", flag(hers.love), flag(file.love));
    if (hers.memo != file.memo) add("服薬など", text(hers.memo), text(file.memo));
    if (hers.schedule != file.schedule) add("ｽｹｼﾞｭｰﾙ", text(hers.schedule), text(file.schedule));
    if (hers.diary != file.diary) add("日記", text(hers.diary), text(file.diary));
    return lines;
}

ImportChoice ImportChoice::all(const ImportPlan& plan, bool takeFile) {
    return {std::vector<bool>(plan.different.size(), takeFile)};
}

qint64 ImportChoice::taken() const { return std::count(takeFile.begin(), takeFile.end(), true); }

bool sameDay(const StoredRow& hers, const DayRecord& file) {
    // QString compares a null text equal to an empty one.
    return hers.temp == file.temp && hers.memo == file.memo && hers.schedule == file.schedule &&
           hers.condition == file.condition && hers.diary == file.diary &&
           hers.love.value_or(false) == file.love && hers.guest.value_or(false) == file.guest &&
           hers.excluded == file.excluded;
}

ImportPlan planImport(DataFile& db, const std::vector<DayRecord>& days, bool marks) {
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
            DayRecord file = days[size_t(at)];
            if (!marks) file.excluded = row.excluded;
            if (sameDay(row, file))
                ++plan.identical;
            else
                plan.different.push_back({row.row, recordOf(row), file});
            return true;
        });
    }
    for (size_t i = 0; i < days.size(); ++i)
        if (!matched[i]) plan.fresh.push_back(days[i]);  // her texts are shared, not copied
    return plan;
}

DataFile::ImportResult applyImport(DataFile& db, const ImportPlan& plan, const ImportChoice& choice,
                                   const DataFile::Progress& progress) {
    std::vector<std::pair<qint64, DayRecord>> taken;
    for (size_t i = 0; i < plan.different.size(); ++i)
        if (i < choice.takeFile.size() && choice.takeFile[i])
            taken.emplace_back(plan.different[i].row, plan.different[i].file);
    return db.importRecords(plan.fresh, taken, progress, plan.made);
}

DataFile::ImportResult applyImport(DataFile& db, const ImportPlan& plan, bool takeFile,
                                   const DataFile::Progress& progress) {
    return applyImport(db, plan, ImportChoice::all(plan, takeFile), progress);
}

}  // namespace transfer
