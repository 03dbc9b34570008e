// Her diary kept in step, each figure against the same work without the sync in the same run: a save with the
// session recording it (and then with its journal appended), against the same save alone; merging 100 years
// of days from another computer's journal, against importing the same days from a CSV file; and the main
// window's start over a diary already in step (nothing new) to its first merge, against the same start with
// the sync off. Files lie beside the program, on a real disk.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "cli/TransferCommands.h"
#include "data/DataFile.h"
#include "data/Schema.h"
#include "data/SettingsStore.h"
#include "main/frmMain.h"
#include "sync/Session.h"
#include "sync/SyncSettings.h"
#include "transfer/WholeExport.h"
#include "ui/sync/SyncFeature.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using syncing::ComputerId;
using syncing::Session;

namespace {

const int kSavedDays = 3650;
const int kMergedDays = 36500;
const int kSaveRuns = 101;
const int kMergeRuns = 3;
const int kWindowRuns = 7;

const ComputerId kThis(16, 'a');
const ComputerId kOther(16, 'b');

qint64 wallClock() { return QDateTime::currentMSecsSinceEpoch(); }

std::unique_ptr<Session> sessionOf(DataFile& file, const QString& folder, const ComputerId& id) {
    return std::make_unique<Session>(file, folder, id, QString::fromLatin1(id.left(1)), wallClock);
}

// A copy of source at path, with nothing left of an earlier copy.
QString copied(const QString& source, const QString& path) {
    QFile::remove(path);
    QFile::copy(source, path);
    return path;
}

// Median wall time in microseconds of `runs` timed calls, each after an untimed prepare.
double medianTimed(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    return bench::median(std::move(times));
}

void check(bool done, const char* what) {
    if (!done) qFatal("%s failed", what);
}

// One day saved as the window saves it: over the day as it was found.
void saveDay(DataFile& file, const QDate& day, int run) {
    DayEntry entry;
    entry.date = day;
    entry.tempText = QStringLiteral("36.%1").arg(run % 10);
    entry.diary = QStringLiteral("今日の日記 %1").arg(run);
    check(file.write(entry, file.dayState(day)), "save");
}

void saves(const QString& dir, const QDate& today) {
    const QString plain = QDir(dir).filePath(QStringLiteral("plain.mdb"));
    bench::makeDataFile(plain, kSavedDays, today.toString(Qt::ISODate));
    const QString synced = copied(plain, QDir(dir).filePath(QStringLiteral("synced.mdb")));
    const QString folder = QDir(dir).filePath(QStringLiteral("saves"));
    QDir().mkpath(folder);
    auto off = DataFile::open(plain);
    auto on = DataFile::open(synced);
    auto session = sessionOf(*on, folder, kThis);
    check(session->start() && session->flush(), "joining");
    int run = 0;
    // The window saves with the recorder in the save's transaction and appends to the journal a moment
    // later, so the save she waits for is the second figure; the third adds the append.
    const std::vector<double> us =
        bench::interleavedMedianMicros(kSaveRuns, {[&] { saveDay(*off, today.addDays(-(run % 30)), run); },
                                                   [&] { saveDay(*on, today.addDays(-(run % 30)), run); },
                                                   [&] {
                                                       saveDay(*on, today.addDays(-(run % 30)), run);
                                                       check(bool(session->flush()), "flush");
                                                       ++run;
                                                   }});
    bench::report(QStringLiteral("save one day, sync on (3,650 days)"), us[1] / 1000, us[0] / 1000,
                  QStringLiteral("ms"), 1.3);
    bench::report(QStringLiteral("the same and its journal appended"), us[2] / 1000, us[0] / 1000,
                  QStringLiteral("ms"), 1.3);
}

void merges(const QString& dir) {
    // The other computer: 100 years of days, its journal written by its own session.
    const QString other = QDir(dir).filePath(QStringLiteral("other.mdb"));
    bench::makeDataFile(other, kMergedDays, QStringLiteral("2026-12-31"));
    const QString folder = QDir(dir).filePath(QStringLiteral("merges"));
    QDir().mkpath(folder);
    {
        auto file = DataFile::open(other);
        auto session = sessionOf(*file, folder, kOther);
        check(session->start() && session->flush(), "the other computer's journal");
        (void)transfer::exportDiary(*file, QDir(dir).filePath(QStringLiteral("days.csv")),
                                    transfer::CsvFormat::Selvane, QDate::currentDate());
    }
    const QString empty = QDir(dir).filePath(QStringLiteral("empty.mdb"));
    schema::createEmptyDataFile(empty);
    const QString target = QDir(dir).filePath(QStringLiteral("target.mdb"));
    std::unique_ptr<DataFile> file;
    std::unique_ptr<Session> session;
    const double mergeUs = medianTimed(
        kMergeRuns,
        [&] {
            session.reset();
            file.reset();
            QFile::remove(QDir(folder).filePath(QStringLiteral("Selvane/") + syncing::idText(kThis) +
                                                QStringLiteral(".journal")));
            file = DataFile::open(copied(empty, target));
            session = sessionOf(*file, folder, kThis);
            check(bool(session->start()), "start");
        },
        [&] {
            const Result<syncing::MergeReport> merged = session->merge();
            check(merged && merged->daysTaken.size() == size_t(kMergedDays), "merge");
        });
    session.reset();
    file.reset();
    QString sink;
    QTextStream err(&sink);
    const double importUs = medianTimed(
        kMergeRuns,
        [&] {
            copied(empty, target);
            QDir(QDir(dir).filePath(QStringLiteral("backups"))).removeRecursively();
        },
        [&] {
            check(cli::importCommand(target, QDir(dir).filePath(QStringLiteral("days.csv")), false, err) ==
                      cli::Success,
                  "import");
        });
    bench::report(QStringLiteral("merge 36,500 days vs importing them"), mergeUs / 1000, importUs / 1000,
                  QStringLiteral("ms"), 2.0);
}

void starts(const QString& dir) {
    // A diary of 100 years already in step with another computer: both have read each other's journal.
    const QString folder = QDir(dir).filePath(QStringLiteral("starts"));
    QDir().mkpath(folder);
    const QString ours = QDir(dir).filePath(QStringLiteral("ours.mdb"));
    const QString theirs = QDir(dir).filePath(QStringLiteral("theirs.mdb"));
    bench::makeDataFile(ours, kMergedDays, QDate::currentDate().toString(Qt::ISODate));
    schema::createEmptyDataFile(theirs);
    {
        auto a = DataFile::open(ours);
        auto b = DataFile::open(theirs);
        auto sa = sessionOf(*a, folder, kThis);
        auto sb = sessionOf(*b, folder, kOther);
        check(sa->start() && sb->start(), "joining");
        for (int round = 0; round < 2; ++round) check(sa->merge() && sb->merge(), "keeping in step");
    }
    // The main window's start over that diary, to her day on screen, with the sync off, and with it on
    // until its first merge (nothing new) is done.
    const auto windowStart = [&](bool synced) {
        QTemporaryDir home(QDir(dir).filePath(QStringLiteral("home-XXXXXX")));
        QFile::copy(ours, home.filePath(QStringLiteral("selvane.mdb")));
        SettingsStore settings(home.filePath(QStringLiteral("SELVANE.ini")));
        if (synced) {
            syncing::setFolder(settings, folder);
            settings.save(QStringLiteral("SYNC_ID"), settingkeys::kKey, syncing::idText(kThis));
        }
        SilentDialogs dialogs;
        Module1 module;
        Services services;
        services.dialogs = &dialogs;
        services.settings = &settings;
        services.appFolder = home.path();
        QElapsedTimer timer;
        timer.start();
        frmMain window(module, services);
        window.Form_Load();
        window.show();
        auto* sync = window.findChild<syncui::SyncFeature*>();
        do {
            QCoreApplication::processEvents();
        } while (synced && !sync->status().lastMerge.isValid());
        return timer.nsecsElapsed() / 1000.0;
    };
    std::vector<double> off, on;
    for (int run = 0; run < kWindowRuns; ++run) {
        off.push_back(windowStart(false));
        on.push_back(windowStart(true));
    }
    bench::report(QStringLiteral("window start, 36,500 days, sync on, nothing new"), bench::median(on) / 1000,
                  bench::median(off) / 1000, QStringLiteral("ms"), 1.1);
}

}  // namespace

int main(int argc, char* argv[]) {
    WindowBench bench(argc, argv);
    QTemporaryDir dir(QDir::currentPath() + "/bench-sync-XXXXXX");
    saves(dir.path(), QDate::currentDate());
    merges(dir.path());
    starts(dir.path());
    return 0;
}
