#include "ui/history/HistoryFeature.h"

#include "history/CycleHistory.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "ui/history/HistoryOption.h"
#include "ui/history/frmCycles.h"

#include <QAction>
#include <QSignalBlocker>

namespace historyui {

HistoryFeature::HistoryFeature(session::FeatureHost& host) : Feature(host) {
    using session::Menu;
    QAction* cycles = host.addMenuItem(Menu::View, "mnuViewCycles", QStringLiteral("周期の記録(&S)"));
    host.addMenuSeparator(Menu::Settings, "mnuSetPartitionHistory");
    option_ = host.addMenuItem(Menu::Settings, "mnuSetHistoryCycle", kCaption);
    option_->setCheckable(true);
    connect(cycles, &QAction::triggered, this, &HistoryFeature::showCycles);
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
