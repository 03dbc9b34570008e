#include "cli/CommandLine.h"
#include "data/Recovery.h"
#include "data/SettingsStore.h"
#include "help/HelpProcess.h"
#include "main/DiaryStart.h"
#include "main/EditGuard.h"
#include "main/frmMain.h"
#include "platform/core/Paths.h"
#include "platform/ui/AppSetup.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FirstFrameProbe.h"
#include "platform/ui/WindowPrinter.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Options ask for the command line: no window is made then.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (HelpProcess::wanted(arguments)) return HelpProcess::run(argc, argv);
    if (cli::wanted(arguments)) return cli::run(argc, argv);

    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);

    QtDialogs dialogs;
    SettingsStore settings;
    Module1 module;
    Services services;
    services.dialogs = &dialogs;
    services.settings = &settings;
    DefaultPrinter printer;
    services.printer = &printer;
    const diaryfolder::Build build = diaryfolder::thisBuild();
    const diaryfolder::Surroundings around = diaryfolder::Surroundings::ofThisRun();
    const diaryhome::Start start = diaryhome::look(build, around, settings);
    services.appFolder = start.folder;
    services.sharedFolder = diaryfolder::sharedFilesFolder(build, around.programFolder);
    services.helpProgram = QStringLiteral("/proc/self/exe");  // this same program, wherever it lies
    mainwindow::EditGuard* guarding = nullptr;
    services.endProcess = [&guarding] {
        guarding->release();  // the closing sequence has run: nothing is left to keep
        QCoreApplication::exit(0);
    };
    if (!mainwindow::prepareDiary(services, start)) return 1;
    frmMain window(module, services);
    // Made after the window and so ended before it: it reads the window's controls while they exist.
    mainwindow::EditGuard guard(window, module, paths::inFolder(services.appFolder, recovery::kFileName));
    guarding = &guard;
    if (!window.Form_Load()) return 1;
    quitAfterFirstFrameIfAsked(&window);
    window.show();
    return app.exec();
}
