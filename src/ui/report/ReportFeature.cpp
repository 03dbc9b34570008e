#include "ui/report/ReportFeature.h"

#include "ui/report/ReportDialog.h"

#include <QAction>

namespace reportui {

ReportFeature::ReportFeature(session::FeatureHost& host) : Feature(host) {
    QAction* chart =
        host.addMenuItem(session::Menu::File, "mnuFileChart", QStringLiteral("基礎体温表の印刷(&T)..."));
    connect(chart, &QAction::triggered, this, [this] {
        ReportDialog::showOver(host_.services(), host_.module().Db.get(), host_.mainWindow());
    });
}

}  // namespace reportui
