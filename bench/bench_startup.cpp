// Start-up: process start to the main window's first frame with a 100-year diary (36,500 rows), and the peak
// memory of that run, each against a bare Qt program showing a calendar window.
#include "BenchSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double millis = 0;
    double peakKiB = 0;
};

Run runOnce(const QString& program) {
    const QByteArray path = QFile::encodeName(program);
    char* argv[] = {const_cast<char*>(path.constData()), nullptr};
    QElapsedTimer timer;
    timer.start();
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, path.constData(), &quiet, nullptr, argv, environ) != 0)
        qFatal("cannot start %s", path.constData());
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) qFatal("%s failed", path.constData());
    return {timer.nsecsElapsed() / 1e6, double(usage.ru_maxrss)};
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // The program finds its diary beside itself: run a copy in a folder with a 100-year data file.
    const QString program = dir.filePath("selvane");
    QFile::copy(QStringLiteral(SELVANE_EXE), program);
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    bench::makeDataFile(dir.filePath("selvane.mdb"), 36500, QDate::currentDate().toString(Qt::ISODate));
    QDir(dir.path()).mkpath("config");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SELVANE_QUIT_AFTER_FIRST_FRAME", "1");

    std::vector<double> ours, bare, oursMem, bareMem;
    for (int i = 0; i < 31; ++i) {
        const Run a = runOnce(program);
        const Run b = runOnce(QStringLiteral(BARE_EXE));
        if (i == 0) continue;  // warm-up: caches of fonts and libraries
        ours.push_back(a.millis);
        bare.push_back(b.millis);
        oursMem.push_back(a.peakKiB);
        bareMem.push_back(b.peakKiB);
    }
    bench::report(QStringLiteral("start-up to first frame, 36,500 rows"), bench::median(ours),
                  bench::median(bare), QStringLiteral("ms"), 1.1);
    bench::report(QStringLiteral("peak memory of start-up"), bench::median(oursMem) / 1024.0,
                  bench::median(bareMem) / 1024.0, QStringLiteral("MiB"), 1.2);
    return 0;
}
