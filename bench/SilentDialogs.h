#pragma once

#include "platform/ui/Dialogs.h"

#include <cstdio>

// The dialogs of a benchmark: no box is expected while measuring; one would be a fault in the measurement.
class SilentDialogs : public Dialogs {
  public:
    Answer message(QWidget*, const QString& text, const QString&, Icon, Buttons) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    QString input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const SaveFileRequest&) override { return std::nullopt; }
};
