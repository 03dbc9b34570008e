#pragma once

#include "platform/ui/Dialogs.h"

#include <cstdio>

// The dialogs of a benchmark: every question is answered No; a message box is not expected while measuring
// (one would be a fault in the measurement) and is printed.
class SilentDialogs : public Dialogs {
  public:
    Answer message(QWidget*, const QString& text, const QString&, Icon, Buttons buttons) override {
        if (buttons != Buttons::Ok) return Answer::No;
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    QString input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const SaveFileRequest&) override { return std::nullopt; }
};
