// Her own history in the main window: the View menu's cycle window, and the Settings menu's forecast from her
// records with the cycle panel that shows which cycle length is in use.
#include "main/frmMain.h"

#include "history/CycleHistory.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "settings/SettingEntry.h"
#include "ui/history/HistoryOption.h"
#include "ui/history/frmCycles.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <algorithm>

namespace {
const char* const kDesignedWidth = "designedWidth";
}  // namespace

void frmMain::buildHistory() {
    mnuViewCycles = mnuView->addAction(QStringLiteral("周期の記録(&S)"));
    mnuViewCycles->setObjectName(QStringLiteral("mnuViewCycles"));
    mnuSetPartitionHistory = mnuSet->addSeparator();
    mnuSetPartitionHistory->setObjectName(QStringLiteral("mnuSetPartitionHistory"));
    mnuSetHistoryCycle = mnuSet->addAction(QStringLiteral("記録から周期を計算(&H)"));
    mnuSetHistoryCycle->setObjectName(QStringLiteral("mnuSetHistoryCycle"));
    mnuSetHistoryCycle->setCheckable(true);
    // The cycle panel and the state panel as designed, before the mark of her records widens the one.
    for (QLabel* panel : {panels_.value(1), panels_.value(4)})
        panel->setProperty(kDesignedWidth, panel->minimumWidth());
    connect(mnuViewCycles, &QAction::triggered, this, &frmMain::mnuViewCycles_Click);
    connect(mnuSetHistoryCycle, &QAction::triggered, this, &frmMain::mnuSetHistoryCycle_Click);
}

void frmMain::mnuViewCycles_Click() {
    frmCycles window(m_, services_, this);
    window.exec();
}

void frmMain::mnuSetHistoryCycle_Click(bool on) {
    if (!services_.dialogs->trapped(this, [&] { historyoption::store(*services_.settings, on); })) {
        const QSignalBlocker quiet(mnuSetHistoryCycle);
        mnuSetHistoryCycle->setChecked(!on);  // not stored: the option stays as it was
        return;
    }
    refreshCycleInUse();
    UpdateCycleForecast();
}

void frmMain::loadHistoryOption() {
    mnuSetHistoryCycle->setChecked(historyoption::isOn(*services_.settings));
    refreshCycleInUse();
}

bool frmMain::refreshCycleInUse() {
    const forecast::CycleLength before = cycleInUse(m_);
    m_.historyCycle.reset();
    if (mnuSetHistoryCycle->isChecked() && m_.Db) {
        try {
            m_.historyCycle = history::forecastCycle(*m_.Db);
        } catch (const PgError&) {
            // A diary that cannot be read gives no history; the forecast reads it next and says why.
        }
    }
    showCycleInUse();
    return cycleInUse(m_) != before;
}

void frmMain::showCycleInUse() {
    QLabel* cycle = panels_.value(1);
    QLabel* state = panels_.value(4);
    const int cycleWidth = cycle->property(kDesignedWidth).toInt();
    const int stateWidth = state->property(kDesignedWidth).toInt();
    int extra = 0;
    if (m_.historyCycle) {
        setPanelText(2, settingentry::cyclePanelText(cycleInUse(m_).text()) + historyoption::kMark);
        cycle->setToolTip(historyoption::rangeText(*m_.historyCycle));
        // The mark takes its room from the state panel, whose two texts are short, so that the forecast's
        // panel keeps its width.
        const int needed =
            cycle->fontMetrics().horizontalAdvance(cycle->text()) + 2 * cycle->frameWidth() + 4;
        extra = std::clamp(needed - cycleWidth, 0, stateWidth / 3);
    } else {
        setPanelText(2, settingentry::cyclePanelText(m_.CycleDays));
    }
    cycle->setFixedWidth(cycleWidth + extra);
    state->setFixedWidth(stateWidth - extra);
}

void frmMain::followChangedHistory() {
    // A new cycle length from her records moves the forecast, as a new cycle setting does.
    if (mnuSetHistoryCycle->isChecked() && refreshCycleInUse()) UpdateCycleForecast();
}
