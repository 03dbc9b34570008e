// The commands of the main window that reach beyond the day's entry: the list, the settings dialogs,
// the purge, the diary export, help and version.
#include "main/frmMain.h"

#include "graph/frmDisp.h"
#include "help/HelpProcess.h"
#include "help/HelpViewer.h"
#include "help/frmAbout.h"
#include "list/frmView.h"
#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "settings/DiaryExport.h"
#include "settings/Purge.h"
#include "settings/SettingPrompt.h"

#include <QTextEdit>

void frmMain::mnuViewAll_Click() {
    auto showGraph = [this](frmView& list) { frmDisp::showOver(list, m_, services_); };
    frmView view(m_, services_, showGraph, this, cycleInUse());
    view.exec();
}

void frmMain::mnuSetTemp_Click() {
    services_.dialogs->trapped(this, [&] {
        const auto stored = settingentry::askAndStore(*services_.dialogs, *services_.settings, this,
                                                      settingentry::temperaturePrompt());
        if (!stored) return;
        m_.AverageTemp = jatext::readSingle(*stored);
        // Only the panel follows: the entry and the forecast keep what they show.
        setPanelText(Panel::Temperature, settingentry::temperaturePanelText(m_.AverageTemp));
    });
}

void frmMain::mnuSetCycle_Click() {
    std::optional<QString> stored;
    const bool ran = services_.dialogs->trapped(this, [&] {
        stored = settingentry::askAndStore(*services_.dialogs, *services_.settings, this,
                                           settingentry::cyclePrompt());
        if (!stored) return;
        m_.CycleDays = *stored;
        showCyclePanel();
    });
    if (ran && stored) UpdateCycleForecast();
}

void frmMain::mnuSetMente_Click() {
    if (!purge::confirmAndPurge(*services_.dialogs, this, m_.Db.get(), m_.SelectedDate, m_.AverageTemp,
                                [this] { return allFeatures(&session::Feature::beforePurge); }))
        return;
    LoadDayRecord();  // the fresh record: the average temperature and nothing else
    tellFeatures(session::Change::Purged);
}

void frmMain::mnuFileDiarySave_Click() {
    diaryexport::run(*services_.dialogs, this, services_.appFolder, m_.SelectedDate, rtbDiary->toPlainText());
}

void frmMain::mnuSelvane_Click() {
    // A program of its own stays usable beside any window of this one; this process's viewer is the fallback.
    if (!services_.helpProgram.isEmpty() && helpProcess_->show(services_.helpProgram, frameGeometry()))
        return;
    if (!helpViewer_) helpViewer_ = new HelpViewer(this);
    helpViewer_->showContents(paths::inFolder(services_.sharedFolder, QStringLiteral("selvane3.hlp")));
}

void frmMain::mnuHelpVirsion_Click() {
    frmAbout about(this);
    about.exec();
}
