#include "history/CycleTexts.h"

#include "forecast/CycleForecast.h"
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
    row.coverline = cycle.coverline ? celsius(*cycle.coverline) + QStringLiteral("℃") : kNone;
    if (const auto after = cycle.daysAfterShift())
        row.shift = QStringLiteral("体温の上昇あり：高温期 %1日").arg(*after);
    else if (cycle.shiftDay)  // the running cycle: its high phase goes on
        row.shift = QStringLiteral("体温の上昇あり：%1日目から").arg(*cycle.shiftDay);
    else
        row.shift = cycle.length ? QStringLiteral("体温の上昇なし") : QStringLiteral("まだ体温の上昇なし");
    if (cycle.shiftDay)
        row.shiftWhen = QStringLiteral("%1日目に体温が上がりました（ｶﾊﾞｰﾗｲﾝ %2）")
                            .arg(*cycle.shiftDay)
                            .arg(row.coverline);
    else
        row.shiftWhen =
            QStringLiteral("体温の上昇（前の6日より高い体温が3日続くこと）は見つかりませんでした");
    // What she left out stays in sight: a shift found or missed without those readings.
    if (cycle.excludedReadings > 0) {
        row.shift += QStringLiteral("（除外 %1日）").arg(cycle.excludedReadings);
        row.shiftWhen += QStringLiteral("\n除外した体温（%1日）は使っていません").arg(cycle.excludedReadings);
    }
    if (cycle.length && !cycle.counted()) {
        const bool shorter = *cycle.length < forecast::kShortestCounted;
        row.flag = shorter ? QStringLiteral("対象外：%1日より短い").arg(forecast::kShortestCounted)
                           : QStringLiteral("対象外：%1日より長い").arg(forecast::kLongestCounted);
        row.flagWhy =
            shorter
                ? QStringLiteral("%1日より短い周期は統計に入れません。").arg(forecast::kShortestCounted)
                : QStringLiteral("%1日より長い周期は統計に入れません（記録が抜けているのかもしれません）。")
                      .arg(forecast::kLongestCounted);
    }
    return row;
}

QString outlookText(const std::optional<QDate>& periodStart, const forecast::CycleLength& cycle,
                    bool fromRecords, const QDate& today) {
    if (!periodStart)
        return QStringLiteral("月経の記録がないので、次回月経予定日と妊娠可能日はまだ出せません。");
    const forecast::Outlook expected = forecast::outlook(*periodStart, cycle);
    auto day = [](const QDate& date) {
        return jatext::slashDate(date) + u'(' + jatext::weekdayShort(date) + u')';
    };
    return QStringLiteral("次回月経予定日：") + day(expected.nextPeriod) +
           (today >= expected.nextPeriod ? QStringLiteral("（過ぎています）") : QString()) +
           QStringLiteral("　妊娠可能日：") + day(expected.fertileFirst) + QStringLiteral("～") +
           day(expected.fertileLast) +
           (fromRecords ? QStringLiteral("（記録から計算した周期 %1日）")
                        : QStringLiteral("（周期設定 %1日）"))
               .arg(cycle.days());
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
