// Shows the cycle window over the diary in the current folder, for looking at under a screenshot tool:
//   show_cycles
#include "platform/ui/AppSetup.h"
#include "platform/ui/Dialogs.h"
#include "ui/history/frmCycles.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    Q_INIT_RESOURCE(selvane);
    QtDialogs dialogs;
    Services services;
    services.dialogs = &dialogs;
    Module1 module;
    module.Db = DataFile::open(QDir::current().filePath(kDataFileName));
    module.CycleDays = QStringLiteral("28");
    historyui::frmCycles window(module, services);
    return window.exec();
}
