#pragma once

#include "SilentDialogs.h"
#include "platform/ui/AppSetup.h"
#include "session/Module1.h"

#include <QApplication>

// Set before the application object exists: offscreen unless a platform is named, and the Japanese fonts.
struct BenchScreen {
    BenchScreen() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        appsetup::prepareFonts();
    }
};

// What a window benchmark runs in: the application in Japanese with the window icons, and services whose
// dialogs nobody answers.
struct WindowBench : private BenchScreen {
    WindowBench(int& argc, char** argv) : app(argc, argv) {
        appsetup::applyJapanese(app);
        Q_INIT_RESOURCE(selvane);  // the window icons
        services.dialogs = &dialogs;
    }
    QApplication app;
    SilentDialogs dialogs;
    Services services;
};
