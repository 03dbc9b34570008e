#include "main/EditGuard.h"

#include "main/frmMain.h"
#include "platform/core/TerminationSignals.h"
#include "session/Module1.h"
#include "ui/recovery/KeptEdits.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSessionManager>
#include <QTextEdit>
#include <cstdlib>

namespace mainwindow {

namespace {
// The guard of the run, for the exit hook; a lost display connection ends the program through exit().
EditGuard* guardOfTheRun = nullptr;
}  // namespace

EditGuard::EditGuard(frmMain& window, const Module1& module, QString recoveryPath)
    : window_(window), module_(module), path_(std::move(recoveryPath)) {
    // Taken at every edit, so the exit hook needs no window: those may be half gone by then.
    for (const char* name : {"txtTemp", "txtCondition", "txtMemo", "txtSchedule"})
        connect(window.findChild<QLineEdit*>(QLatin1String(name)), &QLineEdit::textChanged, this,
                &EditGuard::capture);
    connect(window.findChild<QTextEdit*>(QStringLiteral("rtbDiary")), &QTextEdit::textChanged, this,
            &EditGuard::capture);
    for (const char* name : {"chkMens", "chkSex"})
        connect(window.findChild<QCheckBox*>(QLatin1String(name)), &QCheckBox::toggled, this,
                &EditGuard::capture);

    auto* ending = new TerminationSignals(this);
    connect(ending, &TerminationSignals::received, this, [this](int signalNumber) {
        keep();
        TerminationSignals::endBy(signalNumber);
    });
    connect(qApp, &QGuiApplication::commitDataRequest, this, &EditGuard::commitData);
    static const bool hooked = std::atexit(&EditGuard::atExit) == 0;
    Q_UNUSED(hooked);
    guardOfTheRun = this;
}

EditGuard::~EditGuard() {
    keep();  // the event loop ended without the closing sequence (the session manager's end, a quit)
    guardOfTheRun = nullptr;
}

bool EditGuard::pending() const { return !released_ && module_.DataChanged; }

void EditGuard::capture() { snapshot_ = window_.entryFromControls(); }

void EditGuard::keep() {
    if (!pending()) return;
    // The program is ending: there is nobody left to tell of a failure. Written from the event loop or the
    // exit hook, never inside a signal handler, so a locked diary's edits are sealed with its key as its
    // backups are: nothing of it reaches the disk in plain text.
    recoveryui::keep(module_.Db.get(), path_, snapshot_);
    released_ = true;
}

void EditGuard::commitData(QSessionManager& manager) {
    if (!pending()) return;
    if (manager.allowsInteraction()) {
        // The closing questions, as when she closes the window herself; keeping the window cancels the
        // logout.
        const bool closed = window_.close();
        manager.release();
        if (!closed) manager.cancel();
        return;
    }
    keep();
}

void EditGuard::atExit() {
    if (guardOfTheRun) guardOfTheRun->keep();
}

}  // namespace mainwindow
