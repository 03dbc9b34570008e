#pragma once

#include "session/FeatureHost.h"

namespace reportui {

// The chart for her doctor in the main window: its item in the File menu, after the whole-diary items.
class ReportFeature : public session::Feature {
    Q_OBJECT

  public:
    explicit ReportFeature(session::FeatureHost& host);
};

}  // namespace reportui
