#pragma once

#include "vault/Secret.h"

#include <QString>
#include <optional>

class SettingsStore;

// Her passphrase: how strong it looks, what the passphrase dialog accepts, and reading one without an echo.
namespace vault {

inline constexpr int kShortestPassphrase = 4;

enum class Strength { TooShort, Weak, Fair, Strong };

// A rough guess from length and kinds of characters; runs and steps ("aaaa", "1234") count little.
Strength strengthOf(const QString& passphrase);
QString strengthText(Strength strength);

// What she asks of the passphrase dialog.
struct PassphraseChoice {
    enum class Action { Set, Change, Remove } action = Action::Set;
    Secret current;  // the passphrase now (change and remove)
    Secret next;     // the new one (set and change)
};

// Why the dialog cannot be accepted yet, or an empty text when it can.
QString choiceProblem(PassphraseChoice::Action action, const QString& current, const QString& next,
                      const QString& again);

// Refused for a new passphrase: bytes that are no UTF-8 text could never be typed in the passphrase dialogs.
inline const QString kNotText = QStringLiteral(
    "パスワードにUTF-8の文字として読めないバイトが含まれています。別のパスワードにして下さい。");

// One line from a file descriptor (a script's pipe), without its line end; nothing at the end of input.
// Read a byte at a time, so the next line stays for the next read. UTF-8 text in its normal form, other
// bytes exactly as read.
std::optional<Secret> readPassphraseLine(int fd);
// Whether the passphrase is UTF-8 text (all the dialogs can give).
bool isText(const Secret& passphrase);
// A passphrase that is no UTF-8 text as versions before this one read it (each byte that is no text as
// U+FFFD), so that a diary locked with it then still opens; nothing for text.
std::optional<Secret> earlierForm(const Secret& passphrase);
// Asks on the controlling terminal with the echo off; nothing without a terminal.
std::optional<Secret> askOnTerminal(const QString& prompt);

// Minutes of idle time before a locked diary locks itself: 0 means never. Garbage reads as the default.
inline const QString kLockTimeSection = QStringLiteral("LOCK_TIME");
inline constexpr int kDefaultLockMinutes = 5;
inline constexpr int kMostLockMinutes = 60;
int lockMinutes(const SettingsStore& settings);

}  // namespace vault
