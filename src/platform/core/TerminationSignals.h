#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP delivered through the event loop: the handler only writes the signal's number
// into a pipe, so that work a signal handler may not do (writing a file through Qt) runs before the end.
// One watcher at a time; while none exists the signals end the program as they always do.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Ends the process as the signal would have ended it, had nobody been watching.
    [[noreturn]] static void endBy(int signalNumber);

  signals:
    void received(int signalNumber);

  private:
    QSocketNotifier* notifier_ = nullptr;
};
