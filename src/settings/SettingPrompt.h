#pragma once

#include "settings/SettingEntry.h"

#include <optional>

class Dialogs;
class SettingsStore;
class QWidget;

namespace settingentry {

// Shows the input box with the stored value, checks the entry (telling the user what is wrong) and stores
// an accepted one. The stored text, or nothing when the user cancelled or the entry was refused.
// Throws PgError for a failure at run time (an entry that overflows 16 bits, a store that cannot be written).
std::optional<QString> askAndStore(Dialogs& dialogs, SettingsStore& store, QWidget* parent,
                                   const Prompt& prompt);

}  // namespace settingentry
