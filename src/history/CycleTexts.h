#pragma once

#include "forecast/CycleLength.h"
#include "history/CycleStats.h"
#include "history/Cycles.h"

#include <QString>
#include <QStringList>

// How her cycles read: the rows and figures of the cycle window, and the lines of the cycles' CSV.
namespace history {

// One cycle as a row of the cycle window.
struct CycleRow {
    QString start;     // "2024/05/01"
    QString length;    // "28日", or "継続中" for the cycle still running
    QString bleeding;  // "5日"
    QString shift;  // "体温の上昇あり：高温期 14日", "体温の上昇なし"; the running cycle's so far
    QString shiftWhen;  // "16日目に体温が上がりました（ｶﾊﾞｰﾗｲﾝ 36.45℃）", for the shift's tooltip
    QString coverline;  // "36.45℃", or "－"
    QString flag;       // "対象外：15日より短い" for a cycle left out of the figures, else empty
    QString flagWhy;    // why it is left out, for the flag's tooltip
};
CycleRow rowTexts(const Cycle& cycle);

// The forecast of the cycle window, as the main window's panels count it: the next period and the fertile
// days of the cycle that began on periodStart (nothing: no period recorded), with the cycle counted with.
// "次回月経予定日：2024/03/29(金)　妊娠可能日：2024/03/13(水)～2024/03/18(月)（周期設定 28日）". Throws the
// cycle length's PgError for a setting that gives no number.
QString outlookText(const std::optional<QDate>& periodStart, const forecast::CycleLength& cycle,
                    bool fromRecords, const QDate& today);

// The figures' captions, and each figure's text in the same order.
QStringList figureCaptions();
QStringList figureTexts(const Summary& summary);

// The CSV of her cycles: the header line and one line per cycle (without the line end).
inline const QString kCsvHeader = QStringLiteral("start,length,bleeding_days,shift_day,coverline");
QString csvLine(const Cycle& cycle);

}  // namespace history
