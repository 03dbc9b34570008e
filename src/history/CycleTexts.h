#pragma once

#include "history/CycleStats.h"
#include "history/Cycles.h"

#include <QString>
#include <QStringList>

// How her cycles read: the rows and figures of the cycle window, and the lines of the cycles' CSV.
namespace history {

// One cycle as a row of the cycle window.
struct CycleRow {
    QString start;      // "2024/05/01"
    QString length;     // "28日", or "継続中" for the cycle still running
    QString bleeding;   // "5日"
    QString shift;      // "15日目", or "－" when no shift was found
    QString coverline;  // "36.45℃", or "－"
    QString flag;       // "対象外" for a cycle left out of the figures, else empty
    QString flagWhy;    // why it is left out, for the flag's tooltip
};
CycleRow rowTexts(const Cycle& cycle);

// The figures' captions, and each figure's text in the same order.
QStringList figureCaptions();
QStringList figureTexts(const Summary& summary);

// The CSV of her cycles: the header line and one line per cycle (without the line end).
inline const QString kCsvHeader = QStringLiteral("start,length,bleeding_days,shift_day,coverline");
QString csvLine(const Cycle& cycle);

}  // namespace history
