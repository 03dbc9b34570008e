#include "settings/SettingEntry.h"

#include "data/SettingsStore.h"
#include "platform/core/JaText.h"

namespace settingentry {

const Prompt& temperaturePrompt() {
    static const Prompt prompt{QStringLiteral("平均体温を設定して下さい。"), settingkeys::kTempSection,
                               settingkeys::kTempDefault, 34, 40};
    return prompt;
}

const Prompt& cyclePrompt() {
    // No fallback: with nothing stored the box opens empty, although the forecast counts 28 days.
    static const Prompt prompt{QStringLiteral("月経周期を設定して下さい。"), settingkeys::kCycleSection,
                               QString(), 10, 60};
    return prompt;
}

Check check(const QString& entry, const Prompt& prompt) {
    if (entry.isEmpty()) return {Verdict::Cancelled, {}};
    const auto value = jatext::readDecimal(entry);
    if (!value) return {Verdict::NotANumber, {}};
    const qint16 whole = jatext::roundToWhole(*value);
    if (whole < prompt.lowest || whole > prompt.highest) return {Verdict::OutOfRange, {}};
    return {Verdict::Accepted, jatext::narrow(entry)};
}

QString cyclePanelText(const QString& cycleDays) {
    return QStringLiteral("月経周期：　") + cycleDays + QStringLiteral("日");
}

QString temperaturePanelText(float averageTemp) {
    return QStringLiteral("平均体温：　") + jatext::shortestText(averageTemp) + QStringLiteral("℃");
}

}  // namespace settingentry
