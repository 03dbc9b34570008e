#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// The help window as a program of its own (this same executable started with a hidden option), so that it
// stays usable beside any window of the program, a modal one included, and lives on after it.
class HelpProcess {
  public:
    // The hidden option, followed by the frame of the window to stand beside ("x,y,width,height").
    static inline const QString kOption = QStringLiteral("--help-window");

    HelpProcess() = default;
    ~HelpProcess();
    HelpProcess(const HelpProcess&) = delete;
    HelpProcess& operator=(const HelpProcess&) = delete;

    // Starts program as the help window beside the given frame, at its contents; a help window this object
    // started before and that is still open gives way to it. False when the program could not be started.
    bool show(const QString& program, const QRect& beside);
    // The running help window's process id, or 0.
    qint64 pid() const;

    // Whether the arguments ask for the help window.
    static bool wanted(const QStringList& arguments);
    // The help window's own program: the document beside the executable, until the window is closed.
    static int run(int argc, char** argv);

  private:
    qint64 pid_ = 0;
    int handle_ = -1;  // a process descriptor: it names the help window even once its id is reused
};
