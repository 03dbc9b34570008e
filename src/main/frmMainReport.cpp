// The main window's command for the chart for her doctor, in the File menu after the whole-diary items.
#include "main/frmMain.h"

#include "ui/report/ReportDialog.h"

#include <QAction>
#include <QMenu>

void frmMain::buildReportMenus() {
    mnuFileChart = new QAction(QStringLiteral("基礎体温表の印刷(&T)..."), mnuFile);
    mnuFileChart->setObjectName(QStringLiteral("mnuFileChart"));
    mnuFile->insertAction(mnuExit, mnuFileChart);
    connect(mnuFileChart, &QAction::triggered, this, &frmMain::mnuFileChart_Click);
}

void frmMain::mnuFileChart_Click() { ReportDialog::showOver(services_, m_.Db.get(), this); }
