// The commands of the main window that reach beyond the day's entry: the list, the settings dialogs,
// the purge, the diary export, help and version.
#include "main/frmMain.h"

void frmMain::mnuViewAll_Click() {}
void frmMain::mnuSetTemp_Click() {}
void frmMain::mnuSetCycle_Click() {}
void frmMain::mnuSetMente_Click() {}
void frmMain::mnuFileDiarySave_Click() {}
void frmMain::mnuSelvane_Click() {}
void frmMain::mnuHelpVirsion_Click() {}
