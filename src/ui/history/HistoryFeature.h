#pragma once

#include "session/FeatureHost.h"

#include <utility>

class QAction;
class QDate;

namespace historyui {

// Her own history in the main window: the View menu's cycle window, the Settings menu's forecast from her
// records, which puts the median of her latest cycles in place of her cycle setting while it is on, and the
// File menu's mark of the selected day's reading as disturbed (除外), which leaves it out of her cycles.
class HistoryFeature : public session::Feature {
    Q_OBJECT

  public:
    explicit HistoryFeature(session::FeatureHost& host);

    void diaryOpened() override;
    void recordsChanged(session::Change change) override;

  private:
    void showCycles();
    void setHistoryCycle(bool on);
    // The mark's item ticked when the selected day's reading is marked; a day without a stored reading is
    // told so.
    std::pair<bool, bool> markOf(const QDate& day) const;
    void showExcluded();
    void setExcluded(bool on);
    // The cycle from her records worked out again while the option is on; true when the cycle in use changed.
    bool refresh();

    QAction* option_ = nullptr;
    QAction* exclude_ = nullptr;
    bool standingIn_ = false;  // the cycle from her records is in use
};

}  // namespace historyui
