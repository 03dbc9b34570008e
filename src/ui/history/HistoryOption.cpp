#include "ui/history/HistoryOption.h"

#include "data/SettingsStore.h"
#include "forecast/CycleRules.h"

namespace historyui {

bool optionIsOn(const SettingsStore& settings) {
    return settings.get(kOptionSection, settingkeys::kKey) == QLatin1String("1");
}

void storeOption(SettingsStore& settings, bool on) {
    settings.save(kOptionSection, settingkeys::kKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString rangeText(const history::HistoryCycle& cycle) {
    return QStringLiteral("直近%1周期：%2～%3日（中央値%4日）")
        .arg(cycle.cycles)
        .arg(cycle.shortest)
        .arg(cycle.longest)
        .arg(cycle.days);
}

QString tooFewText(int counted) {
    return QStringLiteral(
               "記録から周期を計算するには、統計に入る周期（%1の終わった周期）が%2つ以上必要です。")
               .arg(forecast::countedLengthsText())
               .arg(history::kFewestForFigures) +
           (counted ? QStringLiteral("今は%1つなので、").arg(counted)
                    : QStringLiteral("今はまだないので、")) +
           QStringLiteral("周期設定を使っています。");
}

}  // namespace historyui
