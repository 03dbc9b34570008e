#pragma once

#include "platform/ui/Dialogs.h"

#include <cstdio>

// The dialogs of a benchmark: no box is expected while measuring, so one is printed as a fault in the
// measurement and answered Ok or No.
class SilentDialogs : public Dialogs {
  public:
    Answer message(QWidget*, const QString& text, const QString&, Icon, Buttons buttons) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    QString input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const SaveFileRequest&) override { return std::nullopt; }
};
