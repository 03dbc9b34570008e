// The commands of the main window that reach beyond the day's entry: the list, the settings dialogs,
// the purge, the diary export, help and version.
#include "main/frmMain.h"

#include "graph/frmDisp.h"
#include "list/frmView.h"

void frmMain::mnuViewAll_Click() {
    auto showGraph = [this](frmView& list) { frmDisp::showOver(list, m_, services_); };
    frmView view(m_, services_, showGraph, this);
    view.exec();
}
void frmMain::mnuSetTemp_Click() {}
void frmMain::mnuSetCycle_Click() {}
void frmMain::mnuSetMente_Click() {}
void frmMain::mnuFileDiarySave_Click() {}
void frmMain::mnuSelvane_Click() {}
void frmMain::mnuHelpVirsion_Click() {}
