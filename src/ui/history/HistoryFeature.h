#pragma once

#include "session/FeatureHost.h"

class QAction;

namespace historyui {

// Her own history in the main window: the View menu's cycle window, and the Settings menu's forecast from her
// records, which puts the median of her latest cycles in place of her cycle setting while it is on.
class HistoryFeature : public session::Feature {
    Q_OBJECT

  public:
    explicit HistoryFeature(session::FeatureHost& host);

    void diaryOpened() override;
    void recordsChanged(session::Change change) override;

  private:
    void showCycles();
    void setHistoryCycle(bool on);
    // The cycle from her records worked out again while the option is on; true when the cycle in use changed.
    bool refresh();

    QAction* option_ = nullptr;
    bool standingIn_ = false;  // the cycle from her records is in use
};

}  // namespace historyui
