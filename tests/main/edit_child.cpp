// The main window and its guard as the program runs them, with a day's edits typed in but not saved. It says
// "ready" on standard output and waits to be ended.   edit_child FOLDER
#include "data/Recovery.h"
#include "data/SettingsStore.h"
#include "main/EditGuard.h"
#include "main/frmMain.h"
#include "platform/core/Paths.h"
#include "support/MainBed.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTextEdit>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    ScriptedDialogs dialogs;
    SettingsStore settings(folder + QStringLiteral("/config/SELVANE.ini"));
    Module1 module;
    Services services;
    services.dialogs = &dialogs;
    services.settings = &settings;
    services.appFolder = folder;
    services.today = [] { return QDate(2001, 5, 20); };
    mainwindow::EditGuard* guarding = nullptr;
    services.endProcess = [&guarding] {
        guarding->release();
        QCoreApplication::exit(0);
    };
    frmMain window(module, services);
    mainwindow::EditGuard guard(window, module, paths::inFolder(folder, recovery::kFileName));
    guarding = &guard;
    if (!window.Form_Load()) return 1;
    window.show();
    ui(&window).txtMemo->setText(QStringLiteral("ピル"));
    ui(&window).rtbDiary->setPlainText(QStringLiteral("消えては困る日記"));
    ui(&window).chkMens->setChecked(true);
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
