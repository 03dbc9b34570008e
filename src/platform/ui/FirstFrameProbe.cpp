#include "platform/ui/FirstFrameProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

// Watches every paint of the application: the first one inside the window is its first frame.
class Probe : public QObject {
  public:
    explicit Probe(QWidget* window) : QObject(window), window_(window) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && !seen_ && widget && widget->window() == window_) {
            seen_ = true;
            // Quit once this paint has been delivered and flushed.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* window_;
    bool seen_ = false;
};

}  // namespace

void quitAfterFirstFrameIfAsked(QWidget* window) {
    if (!qEnvironmentVariableIsSet("SELVANE_QUIT_AFTER_FIRST_FRAME")) return;
    qApp->installEventFilter(new Probe(window));
}
