#include "session/FeatureHost.h"

#include <QWidget>

namespace session {

// A child of the main window, so that it lives exactly as long as the window it serves.
Feature::Feature(FeatureHost& host) : QObject(host.mainWindow()), host_(host) {}

}  // namespace session
