#include "history/CycleTexts.h"

#include "platform/core/JaText.h"

namespace history {

namespace {

const QString kNone = QStringLiteral("－");

QString days(double value) { return QString::number(value, 'f', 1) + QStringLiteral("日"); }
QString days(int value) { return QString::number(value) + QStringLiteral("日"); }

QString celsius(double value) { return QString::number(value, 'f', 2); }

}  // namespace

CycleRow rowTexts(const Cycle& cycle) {
    CycleRow row;
    row.start = jatext::slashDate(cycle.start);
    row.length = cycle.length ? days(*cycle.length) : QStringLiteral("継続中");
    row.bleeding = days(cycle.bleedingDays);
    row.shift = cycle.shiftDay ? QString::number(*cycle.shiftDay) + QStringLiteral("日目") : kNone;
    row.coverline = cycle.coverline ? celsius(*cycle.coverline) + QStringLiteral("℃") : kNone;
    if (cycle.length && !cycle.counted()) {
        row.flag = QStringLiteral("対象外");
        row.flagWhy =
            *cycle.length < forecast::kShortestCounted
                ? QStringLiteral("%1日より短い周期は統計に入れません。").arg(forecast::kShortestCounted)
                : QStringLiteral("%1日より長い周期は統計に入れません（記録が抜けているのかもしれません）。")
                      .arg(forecast::kLongestCounted);
    }
    return row;
}

QStringList figureCaptions() {
    return {QStringLiteral("周期の数"),
            QStringLiteral("平均"),
            QStringLiteral("中央値"),
            QStringLiteral("最短"),
            QStringLiteral("最長"),
            QStringLiteral("標準偏差"),
            QStringLiteral("月経の日数（平均）"),
            QStringLiteral("高温期の日数（平均）")};
}

QStringList figureTexts(const Summary& summary) {
    return {QString::number(summary.cycles) + QStringLiteral("周期"),
            days(summary.mean),
            days(summary.median),
            days(summary.shortest),
            days(summary.longest),
            days(summary.deviation),
            days(summary.meanBleedingDays),
            summary.meanDaysAfterShift ? days(*summary.meanDaysAfterShift) : kNone};
}

QString csvLine(const Cycle& cycle) {
    const QString none;
    return cycle.start.toString(Qt::ISODate) + u',' + (cycle.length ? QString::number(*cycle.length) : none) +
           u',' + QString::number(cycle.bleedingDays) + u',' +
           (cycle.shiftDay ? QString::number(*cycle.shiftDay) : none) + u',' +
           (cycle.coverline ? celsius(*cycle.coverline) : none);
}

}  // namespace history
