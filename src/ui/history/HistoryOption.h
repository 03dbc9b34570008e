#pragma once

#include "history/CycleStats.h"

#include <QString>

class SettingsStore;

// The history forecast's option in the settings store: off unless she turned it on.
namespace historyui {

inline const QString kOptionSection = QStringLiteral("HISTORY_CYCLE");

// Only a stored "1" is on; a missing, damaged or foreign value is off.
bool optionIsOn(const SettingsStore& settings);
// Throws PgError when the store cannot be written.
void storeOption(SettingsStore& settings, bool on);

// What the cycle panel adds to the cycle from her records, and its tooltip with their range:
// "直近6周期：27～33日（中央値30日）".
inline const QString kMark = QStringLiteral("(記録)");
QString rangeText(const history::HistoryCycle& cycle);

// The menu item, and what it and the cycle panel say while the option is on but too few of her cycles count.
inline const QString kCaption = QStringLiteral("記録から周期を計算(&H)");
inline const QString kCaptionTooFew = QStringLiteral("記録から周期を計算(&H)（まだ周期が足りません）");
QString tooFewText(int counted);

}  // namespace historyui
