#pragma once

#include <QString>

// The two settings dialogs of the main window and the check of what the user types into them.
namespace settingentry {

struct Prompt {
    QString text;      // what the input box asks
    QString section;   // where the store keeps the value, key "DATA"
    QString fallback;  // the initial text when nothing is stored yet
    int lowest;        // inclusive bounds of the rounded value
    int highest;
};

const Prompt& temperaturePrompt();
const Prompt& cyclePrompt();

inline const QString kTitle = QStringLiteral("設定モード");
inline const QString kErrorTitle = QStringLiteral("エラーです！");
inline const QString kNotANumber = QStringLiteral("数値を入力して下さい。");
inline const QString kOutOfRange = QStringLiteral("数値が不正です。");

enum class Verdict { Cancelled, NotANumber, OutOfRange, Accepted };

struct Check {
    Verdict verdict;
    QString stored;  // the entry as it is to be stored (full-width forms narrowed), when accepted
};

// Empty text is a cancel. A number is rounded halves-to-even into 16 bits and only that rounded value is
// compared with the bounds. Throws PgError Overflow when the rounded value does not fit 16 bits.
Check check(const QString& entry, const Prompt& prompt);

// The status bar panels that show the two settings.
QString cyclePanelText(const QString& cycleDays);
QString temperaturePanelText(float averageTemp);

}  // namespace settingentry
