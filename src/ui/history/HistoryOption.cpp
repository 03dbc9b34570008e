#include "ui/history/HistoryOption.h"

#include "data/SettingsStore.h"

namespace historyui {

bool optionIsOn(const SettingsStore& settings) {
    return settings.get(kOptionSection, settingkeys::kKey) == QLatin1String("1");
}

void storeOption(SettingsStore& settings, bool on) {
    settings.save(kOptionSection, settingkeys::kKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString rangeText(const history::HistoryCycle& cycle) {
    return QStringLiteral("記録から：%1～%2日（直近%3周期の中央値）")
        .arg(cycle.shortest)
        .arg(cycle.longest)
        .arg(cycle.cycles);
}

}  // namespace historyui
