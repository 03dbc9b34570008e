// Shows the graph over the diary in the current folder with the chosen view options, or the chart dialog, for
// looking at under a screenshot tool (its settings in a scratch file, never hers):
//   show_graph [shift] [mens] [auto] | show_graph report
#include "data/SettingsStore.h"
#include "graph/frmDisp.h"
#include "list/frmView.h"
#include "platform/ui/AppSetup.h"
#include "platform/ui/Dialogs.h"
#include "ui/report/ReportDialog.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    const QStringList options = QCoreApplication::arguments().mid(1);
    QTemporaryDir scratch;
    SettingsStore settings(scratch.filePath(QStringLiteral("selvane.ini")));
    const struct {
        const char* option;
        const char* section;
    } sections[] = {{"shift", "GRAPH_SHIFT"}, {"mens", "GRAPH_MENS"}, {"auto", "GRAPH_AUTOSCALE"}};
    for (const auto& entry : sections)
        if (options.contains(QString::fromLatin1(entry.option)))
            settings.save(QString::fromLatin1(entry.section), settingkeys::kKey, QStringLiteral("1"));
    QtDialogs dialogs;
    Services services;
    services.dialogs = &dialogs;
    services.settings = &settings;
    services.appFolder = QDir::currentPath();
    Module1 module;
    module.Db = DataFile::open(QDir::current().filePath(kDataFileName));
    if (options.contains(QStringLiteral("report"))) {
        reportui::ReportDialog::showOver(services, module.Db.get(), nullptr);
        return 0;
    }
    module.SelectedDate = QDate::currentDate().addDays(-1);
    module.CycleDays = QStringLiteral("28");
    module.AverageTemp = 36.5f;
    frmView list(module, services);
    frmDisp::showOver(list, module, services);
    return 0;
}
