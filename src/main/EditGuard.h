#pragma once

#include "data/DayRecord.h"

#include <QObject>
#include <QString>

class QSessionManager;
class frmMain;
struct Module1;

namespace mainwindow {

// Keeps her unsaved edits when a session ends without the closing questions. A terminating signal (SIGTERM,
// SIGINT, SIGHUP) or a lost display connection writes them to the recovery file beside the data file; the
// desktop's logout runs the closing questions where it lets the program ask. SIGKILL cannot be caught. It
// follows the window's entry controls by their object names.
class EditGuard : public QObject {
  public:
    EditGuard(frmMain& window, const Module1& module, QString recoveryPath);
    ~EditGuard() override;

    // The run ends through the closing sequence: her edits were saved, or she gave them up.
    void release() { released_ = true; }

  private:
    bool pending() const;
    void capture();
    void keep();
    void commitData(QSessionManager& manager);
    static void atExit();

    frmMain& window_;
    const Module1& module_;
    QString path_;
    DayEntry snapshot_;  // the entry as a save would write it, taken at every edit
    bool released_ = false;
};

}  // namespace mainwindow
