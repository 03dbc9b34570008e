#include "ui/history/HistoryFeature.h"

#include "data/DataFile.h"
#include "history/CycleHistory.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "ui/history/HistoryOption.h"
#include "ui/history/frmCycles.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

namespace historyui {

namespace {

// A fever, a short night, a late reading: she takes the day's reading out of her cycles.
const QString kExcludeCaption = QStringLiteral("この日の体温を除外(&G)");
const QString kNoReading =
    QStringLiteral("この日の基礎体温はまだ登録されていません。\r体温を登録してから除外して下さい。");

}  // namespace

HistoryFeature::HistoryFeature(session::FeatureHost& host) : Feature(host) {
    using session::Menu;
    QAction* cycles = host.addMenuItem(Menu::View, "mnuViewCycles", QStringLiteral("周期の記録(&S)"));
    host.addMenuSeparator(Menu::Settings, "mnuSetPartitionHistory");
    option_ = host.addMenuItem(Menu::Settings, "mnuSetHistoryCycle", kCaption);
    option_->setCheckable(true);
    host.addMenuSeparator(Menu::File, "mnuFilePartitionExclude");
    exclude_ = host.addMenuItem(Menu::File, "mnuFileExcludeTemp", kExcludeCaption);
    exclude_->setCheckable(true);
    // The item follows the selected day each time its menu opens.
    for (QObject* holder : exclude_->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder))
            connect(menu, &QMenu::aboutToShow, this, &HistoryFeature::showExcluded);
    connect(cycles, &QAction::triggered, this, &HistoryFeature::showCycles);
    connect(exclude_, &QAction::triggered, this, &HistoryFeature::setExcluded);
    connect(option_, &QAction::triggered, this, &HistoryFeature::setHistoryCycle);
}

void HistoryFeature::showCycles() {
    frmCycles window(host_.module(), host_.services(),
                     frmCycles::ForecastCycle{host_.cycleInUse(), standingIn_}, host_.mainWindow());
    window.exec();
}

void HistoryFeature::setHistoryCycle(bool on) {
    const Services& services = host_.services();
    if (!services.dialogs->trapped(host_.mainWindow(), [&] { storeOption(*services.settings, on); })) {
        const QSignalBlocker quiet(option_);
        option_->setChecked(!on);  // not stored: the option stays as it was
        return;
    }
    refresh();
    host_.updateForecast();
}

// Whether the day has a stored reading, and whether it is marked.
std::pair<bool, bool> HistoryFeature::markOf(const QDate& day) const {
    DataFile* db = host_.module().Db.get();
    if (!db) return {false, false};
    try {
        const std::optional<DayRecord> record = db->load(day);
        const bool stored = record && record->temp;
        return {stored, stored && !db->excludedDays(day, day).empty()};
    } catch (const PgError&) {
        return {false, false};  // a diary that cannot be read offers no mark; the day's own read says why
    }
}

void HistoryFeature::showExcluded() {
    const QSignalBlocker quiet(exclude_);
    exclude_->setChecked(markOf(host_.module().SelectedDate).second);
}

void HistoryFeature::setExcluded(bool on) {
    Module1& module = host_.module();
    const QDate day = module.SelectedDate;
    const QSignalBlocker quiet(exclude_);
    if (!markOf(day).first) {
        exclude_->setChecked(false);
        host_.services().dialogs->message(host_.mainWindow(), kNoReading, kAppTitle,
                                          Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        return;
    }
    if (!host_.services().dialogs->trapped(host_.mainWindow(), [&] { module.Db->setExcluded(day, on); })) {
        exclude_->setChecked(!on);  // not stored: the mark stays as it was
        return;
    }
    // Her cycles change as a save changes them.
    recordsChanged(session::Change::DaySaved);
}

// The option as stored; with it on, the cycle panel shows the cycle from her records.
void HistoryFeature::diaryOpened() {
    option_->setChecked(optionIsOn(*host_.services().settings));
    refresh();
}

void HistoryFeature::recordsChanged(session::Change change) {
    // A new cycle length from her records moves the forecast, as a new cycle setting does (after a replace
    // the main window works it out again itself).
    if (option_->isChecked() && refresh() && change != session::Change::Replaced) host_.updateForecast();
}

bool HistoryFeature::refresh() {
    const forecast::CycleLength before = host_.cycleInUse();
    std::optional<history::ForecastBasis> basis;
    if (option_->isChecked() && host_.module().Db) {
        try {
            basis = history::forecastBasis(*host_.module().Db);
        } catch (const PgError&) {
            // A diary that cannot be read gives no history; the forecast reads it next and says why.
        }
    }
    const std::optional<history::HistoryCycle> cycle = basis ? basis->cycle : std::nullopt;
    standingIn_ = cycle.has_value();
    // On, yet too few cycles count: the item and the cycle panel say why her setting is in use.
    const bool tooFew = basis && !cycle;
    option_->setText(tooFew ? kCaptionTooFew : kCaption);
    host_.cycleNote(tooFew ? tooFewText(basis->counted) : QString());
    if (cycle)
        host_.standInCycle(session::StandInCycle{cycle->days, kMark, rangeText(*cycle)});
    else
        host_.standInCycle(std::nullopt);
    return host_.cycleInUse() != before;
}

}  // namespace historyui
