#include "ui/history/HistoryOption.h"

#include "data/SettingsStore.h"

namespace historyoption {

bool isOn(const SettingsStore& settings) {
    return settings.get(kSection, settingkeys::kKey) == QLatin1String("1");
}

void store(SettingsStore& settings, bool on) {
    settings.save(kSection, settingkeys::kKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString rangeText(const history::HistoryCycle& cycle) {
    return QStringLiteral("記録から：%1～%2日（直近%3周期の中央値）")
        .arg(cycle.shortest)
        .arg(cycle.longest)
        .arg(cycle.cycles);
}

}  // namespace historyoption
