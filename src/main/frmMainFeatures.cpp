// The seam through which the features beyond the window's own join it, and the list of those features.
#include "main/frmMain.h"

#include "settings/SettingEntry.h"
#include "ui/history/HistoryFeature.h"
#include "ui/recovery/RecoveryFeature.h"
#include "ui/report/ReportFeature.h"
#include "ui/sync/SyncFeature.h"
#include "ui/transfer/TransferFeature.h"
#include "ui/vault/VaultFeature.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <algorithm>

// One line each, in the order of their menu items; kept edits are offered before her history is read.
void frmMain::addFeatures() {
    auto* transfer = add<transferui::TransferFeature>();
    add<reportui::ReportFeature>();
    auto* vault = add<vaultui::VaultFeature>();
    transfer->openSealedBackupsWith(vault->backupPassphrase());
    add<recoveryui::RecoveryFeature>();
    add<historyui::HistoryFeature>();
    add<syncui::SyncFeature>()->openSealedFoldersWith(vault->folderPassphrase());
}

bool frmMain::allFeatures(bool (session::Feature::*hook)()) {
    return std::all_of(features_.begin(), features_.end(),
                       [hook](session::Feature* feature) { return (feature->*hook)(); });
}

void frmMain::tellFeatures(session::Change change) {
    for (session::Feature* feature : features_) feature->recordsChanged(change);
}

// ---- Menus ----------------------------------------------------------------------------------------

namespace {

// Where a feature's items go: after the menu's own items, in the File menu before 閉じる(&X).
QAction* featuresEnd(session::Menu menu, QAction* exit) {
    return menu == session::Menu::File ? exit : nullptr;
}

}  // namespace

QAction* frmMain::addMenuItem(session::Menu menu, const char* name, const QString& caption) {
    QMenu* target = menu == session::Menu::File ? mnuFile : menu == session::Menu::View ? mnuView : mnuSet;
    auto* action = new QAction(caption, target);
    action->setObjectName(QString::fromLatin1(name));
    target->insertAction(featuresEnd(menu, mnuExit), action);
    return action;
}

QAction* frmMain::addMenuSeparator(session::Menu menu, const char* name) {
    QMenu* target = menu == session::Menu::File ? mnuFile : menu == session::Menu::View ? mnuView : mnuSet;
    QAction* separator = target->insertSeparator(featuresEnd(menu, mnuExit));
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

// ---- Saving and changes of her records ------------------------------------------------------------

frmMain::SaveResult frmMain::saveEntry(const DayEntry& entry) {
    const SaveResult result = writeEntry(entry, false);
    if (result == SaveResult::Saved) tellFeatures(session::Change::DaySaved);
    return result;
}

void frmMain::keepEdits() {
    const DayEntry entry = entryFromControls();
    for (session::Feature* feature : features_) feature->keepEdits(entry);
}

void frmMain::diaryReplaced() {
    LoadDayRecord();
    tellFeatures(session::Change::Replaced);
    UpdateCycleForecast();
}

void frmMain::daysMerged(const std::vector<QDate>& days) {
    // Her edits stay on screen; the save compares the day with what it showed and asks.
    if (!m_.DataChanged && std::find(days.begin(), days.end(), m_.SelectedDate) != days.end()) {
        LoadDayRecord();
        m_.DataChanged = false;
    }
    tellFeatures(session::Change::Merged);
    UpdateCycleForecast();
}

// ---- The cycle in use -----------------------------------------------------------------------------

forecast::CycleLength frmMain::cycleInUse() const {
    return standIn_ ? forecast::CycleLength::fromDays(standIn_->days)
                    : forecast::CycleLength::fromSetting(m_.CycleDays);
}

void frmMain::standInCycle(const std::optional<session::StandInCycle>& cycle) {
    standIn_ = cycle;
    showCyclePanel();
}

void frmMain::cycleNote(const QString& why) {
    cycleNote_ = why;
    showCyclePanel();
}

void frmMain::showCyclePanel() {
    QLabel* cycle = panels_.value(int(Panel::Cycle));
    QLabel* state = panels_.value(int(Panel::State));
    const int cycleWidth = designedWidths_.value(int(Panel::Cycle));
    const int stateWidth = designedWidths_.value(int(Panel::State));
    int extra = 0;
    if (standIn_) {
        setPanelText(Panel::Cycle,
                     settingentry::cyclePanelText(QString::number(standIn_->days)) + standIn_->mark);
        cycle->setToolTip(standIn_->tip);
        // The state panel's two texts are short: it gives up to a third of its width.
        const int needed =
            cycle->fontMetrics().horizontalAdvance(cycle->text()) + 2 * cycle->frameWidth() + 4;
        extra = std::clamp(needed - cycleWidth, 0, stateWidth / 3);
    } else {
        setPanelText(Panel::Cycle, settingentry::cyclePanelText(m_.CycleDays));
        if (!cycleNote_.isEmpty()) cycle->setToolTip(cycleNote_);
    }
    cycle->setFixedWidth(cycleWidth + extra);
    state->setFixedWidth(stateWidth - extra);
}

// ---- A lock ---------------------------------------------------------------------------------------

void frmMain::hideDiary() {
    for (session::Feature* feature : features_) feature->diaryClosing();
    for (QLineEdit* field : {txtTemp, txtCondition, txtMemo, txtSchedule}) field->clear();
    rtbDiary->clear();
    chkMens->setChecked(false);
    chkSex->setChecked(false);
    setPanelText(Panel::NextPeriod, QString());
    setPanelText(Panel::State, QString());
    setPanelText(Panel::Cycle, settingentry::cyclePanelText(m_.CycleDays));  // nothing of her records either
    m_.DataChanged = false;
}

void frmMain::showDiaryAgain() {
    MonthView1->setSelectedDate(m_.SelectedDate);
    for (session::Feature* feature : features_) feature->diaryOpened();  // edits kept at the lock, offered
    LoadDayRecord();
    showCyclePanel();
    UpdateCycleForecast();
    m_.DataChanged = false;
}
