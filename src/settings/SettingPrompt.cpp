#include "settings/SettingPrompt.h"

#include "data/SettingsStore.h"
#include "platform/ui/Dialogs.h"

namespace settingentry {

std::optional<QString> askAndStore(Dialogs& dialogs, SettingsStore& store, QWidget* parent,
                                   const Prompt& prompt) {
    const QString current = store.get(prompt.section, settingkeys::kKey, prompt.fallback);
    const Check result = check(dialogs.input(parent, prompt.text, kTitle, current), prompt);
    switch (result.verdict) {
        case Verdict::Cancelled:
            return std::nullopt;
        case Verdict::NotANumber:
            dialogs.message(parent, kNotANumber, kErrorTitle, Dialogs::Icon::Exclamation,
                            Dialogs::Buttons::Ok);
            return std::nullopt;
        case Verdict::OutOfRange:
            dialogs.message(parent, kOutOfRange, kErrorTitle, Dialogs::Icon::Exclamation,
                            Dialogs::Buttons::Ok);
            return std::nullopt;
        case Verdict::Accepted:
            break;
    }
    store.save(prompt.section, settingkeys::kKey, result.stored);
    return result.stored;
}

}  // namespace settingentry
