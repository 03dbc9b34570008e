#include "help/HelpProcess.h"

#include "help/HelpViewer.h"
#include "platform/core/DiaryFolder.h"
#include "platform/core/Paths.h"
#include "platform/ui/AppSetup.h"
#include "platform/ui/FirstFrameProbe.h"
#include "platform/ui/Pictures.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QApplication>
#include <QProcess>
#include <csignal>

namespace {

QString frameText(const QRect& frame) {
    return QStringLiteral("%1,%2,%3,%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

QRect frameOf(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return {};
    return QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
}

bool running(int handle) {
    pollfd ended{handle, POLLIN, 0};
    return handle >= 0 && ::poll(&ended, 1, 0) == 0;
}

}  // namespace

HelpProcess::~HelpProcess() {
    if (handle_ >= 0) ::close(handle_);
}

bool HelpProcess::show(const QString& program, const QRect& beside) {
    if (running(handle_)) ::syscall(SYS_pidfd_send_signal, handle_, SIGTERM, nullptr, 0);
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
    pid_ = 0;
    qint64 pid = 0;
    if (!QProcess::startDetached(program, {kOption, frameText(beside)}, QString(), &pid)) return false;
    pid_ = pid;
    handle_ = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    return true;
}

qint64 HelpProcess::pid() const { return running(handle_) ? pid_ : 0; }

bool HelpProcess::wanted(const QStringList& arguments) { return arguments.value(1) == kOption; }

int HelpProcess::run(int argc, char** argv) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    QApplication::setWindowIcon(pictures::windowIcon());  // the heart, as every window of the program
    HelpViewer viewer;
    viewer.placeBeside(frameOf(QApplication::arguments().value(2)));
    viewer.showContents(
        paths::inFolder(diaryfolder::sharedFilesFolder(diaryfolder::thisBuild(), paths::applicationFolder()),
                        QStringLiteral("selvane3.hlp")));
    quitAfterFirstFrameIfAsked(&viewer);
    return app.exec();
}
