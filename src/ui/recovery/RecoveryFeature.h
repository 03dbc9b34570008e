#pragma once

#include "session/FeatureHost.h"

namespace recoveryui {

// Edits kept from a session that ended without the closing questions, or at a lock nobody answered: when the
// diary opens (at start-up, after an unlock) she decides whether they go to their day.
class RecoveryFeature : public session::Feature {
    Q_OBJECT

  public:
    explicit RecoveryFeature(session::FeatureHost& host);

    void diaryOpened() override;
    void keepEdits(const DayEntry& entry) override;

  private:
    QString path() const;
};

}  // namespace recoveryui
