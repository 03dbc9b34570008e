// Her diary kept in step while the program is killed (SIGKILL) in the middle of a --sync, while it appends to
// its journal and while it merges the other computer's: afterwards the diary is sound, every journal reads
// with nothing damaged (at most a torn last frame), one more --sync on each side makes the two diaries equal,
// and no day written before the kill is lost. And an append cut short (the disk full) is completed by the
// next one.
#include "data/DataFile.h"
#include "data/Schema.h"
#include "support/ProgramRun.h"
#include "sync/Session.h"

#include <signal.h>
#include <sys/resource.h>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace syncing;

namespace {

using Days = std::map<QDate, QString>;  // day: her diary text

// What the diary at path holds, by day.
Days daysOf(const QString& path) {
    Days days;
    DataFile::open(path)->forEachRow([&](const StoredRow& row) {
        days[QDate::fromString(row.date, Qt::ISODate)] = row.diary;
        return true;
    });
    return days;
}

// Writes the days into the diary at path as an import does (no recorder: the next --sync records them).
void writeDays(const QString& path, const Days& days) {
    auto file = DataFile::open(path);
    std::vector<DayRecord> added;
    std::vector<std::pair<qint64, DayRecord>> replaced;
    for (const auto& [date, text] : days) {
        DayRecord day;
        day.date = date;
        day.temp = 36.5;
        day.diary = text;
        if (const auto row = file->findRow(date))
            replaced.emplace_back(*row, day);
        else
            added.push_back(day);
    }
    file->importRecords(added, replaced);
}

// A computer: a program folder with its diary and settings of its own.
struct Computer : ProgramFolder {
    using ProgramFolder::ProgramFolder;
    QString diary() const { return folder + QStringLiteral("/selvane.mdb"); }
    int status(const QStringList& arguments) const { return run(arguments).status; }
    // --sync, killed after delayMs unless it ended before; true when it was killed.
    bool syncKilledAfter(int delayMs) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(folder + QStringLiteral("/selvane"), {QStringLiteral("--sync")});
        process.waitForStarted();
        QThread::msleep(ulong(delayMs));
        process.kill();
        process.waitForFinished();
        return process.exitStatus() == QProcess::CrashExit;
    }
};

// Every journal in the folder: whole frames with nothing damaged, at most a torn last one (that many found).
int checkJournals(const QString& shared, bool tornAllowed) {
    int torn = 0;
    const QDir journals(Folder(shared).journals());
    for (const QString& name : journals.entryList({QStringLiteral("*.journal")}, QDir::Files)) {
        QFile file(journals.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) return -1;
        const QByteArray bytes = file.readAll();
        JournalHeader header;
        if (readHeader(bytes, &header) != HeaderFault::None) return -1;
        const FrameScan scan = scanFrames(bytes, kJournalHeaderSize);
        if (scan.damaged > 0 || (!tornAllowed && scan.end != bytes.size())) return -1;
        torn += scan.end != bytes.size() ? 1 : 0;
    }
    return torn;
}

std::map<QString, qint64> journalSizes(const QString& shared) {
    std::map<QString, qint64> sizes;
    for (const QFileInfo& file : QDir(Folder(shared).journals()).entryInfoList(QDir::Files))
        sizes[file.fileName()] = file.size();
    return sizes;
}

// A batch of one computer's days (first: where its days begin): a few new ones and a few it had, rewritten.
Days batch(const QDate& first, int round, Days* all) {
    Days days;
    const QString filler(300, u'記');  // frames of a realistic size: her diary is text
    for (int i = 0; i < 8; ++i)
        days[first.addDays(round * 8 + i)] = QStringLiteral("%1 %2 ").arg(round).arg(i) + filler;
    for (int i = 0; i < 4 && round > 0; ++i)
        days[first.addDays(i * 5 % (round * 8))] = QStringLiteral("%1 書き直し %2").arg(round).arg(i);
    for (const auto& [day, text] : days) (*all)[day] = text;
    return days;
}

// The kills of each kind: fewer in the sanitized build, which runs the program several times slower.
const int kKills = SYNC_KILLS;

}  // namespace

class TestSyncKill : public QObject {
    Q_OBJECT

  private slots:
    void killedSyncLosesNothing() {
        QTemporaryDir dir;
        const QString shared = dir.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        const Computer a(dir.filePath(QStringLiteral("a"))), b(dir.filePath(QStringLiteral("b")));
        Days all;
        for (const Computer* c : {&a, &b}) {
            QCOMPARE(c->status({QStringLiteral("--sync-folder"), shared}), 0);
            QCOMPARE(c->status({QStringLiteral("--sync")}), 0);  // the journal and its header are there
        }
        QRandomGenerator random(20261208);
        int lastMs = 200;       // how long a whole --sync took last: the kills fall within it
        int kills[2] = {0, 0};  // while a had days of its own to append; while it had b's to merge
        int torn = 0, appended = 0, merged = 0;
        for (int round = 0; (kills[0] < kKills || kills[1] < kKills) && round < 6 * kKills; ++round) {
            const bool merging = kills[0] >= kKills || (kills[1] < kKills && round % 2 == 1);
            const Days written = batch(merging ? QDate(2010, 1, 1) : QDate(2000, 1, 1), round, &all);
            writeDays(merging ? b.diary() : a.diary(), written);
            if (merging) QCOMPARE(b.status({QStringLiteral("--sync")}), 0);
            const auto sizes = journalSizes(shared);
            if (a.syncKilledAfter(int(random.bounded(lastMs + lastMs / 4)))) {
                ++kills[merging ? 1 : 0];
                // Where it fell, for the log: after the append began, after the merge was committed.
                appended += journalSizes(shared) != sizes ? 1 : 0;
                merged +=
                    merging && daysOf(a.diary())[written.begin()->first] == written.begin()->second ? 1 : 0;
            }
            QCOMPARE(a.status({QStringLiteral("--check")}), 0);
            const int tornNow = checkJournals(shared, true);
            QVERIFY2(tornNow >= 0, "a journal holds a damaged record after the kill");
            torn += tornNow;
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(a.status({QStringLiteral("--sync")}), 0);
            lastMs = int(qMax<qint64>(20, timer.elapsed()));
            // b took nothing new when it was a that merged: its --sync ran before the kill.
            if (!merging) QCOMPARE(b.status({QStringLiteral("--sync")}), 0);
            QVERIFY2(checkJournals(shared, false) == 0, "the next --sync left a journal damaged or torn");
            const Days onA = daysOf(a.diary());
            QVERIFY2(onA == all, qPrintable(QStringLiteral("round %1: %2 days, %3 written")
                                                .arg(round)
                                                .arg(onA.size())
                                                .arg(all.size())));
            QVERIFY(daysOf(b.diary()) == all);
        }
        qInfo(
            "%d kills with days to append, %d with days to merge; %d after the append began, %d after the "
            "merge was committed; %d torn journals",
            kills[0], kills[1], appended, merged, torn);
        QVERIFY(kills[0] >= kKills && kills[1] >= kKills);
    }

    // An append cut short (the disk full, or a kill in the middle of the write) leaves a torn frame, or even
    // a torn header: the next append cuts it off and writes its records again, so the other computer reads
    // every day and no damaged record.
    void anAppendCutShortIsCompleted() {
        QTemporaryDir dir;
        const QString shared = dir.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        const ComputerId self(16, 'a');
        const QString path = dir.filePath(QStringLiteral("a.mdb"));
        const QString other = dir.filePath(QStringLiteral("b.mdb"));
        for (const QString& diary : {path, other}) QVERIFY(schema::createEmptyDataFile(diary));
        auto file = DataFile::open(path);
        auto otherFile = DataFile::open(other);
        Session session(*file, shared, self, QStringLiteral("a"));
        Session reader(*otherFile, shared, ComputerId(16, 'b'), QStringLiteral("b"));
        Days all;
        const QString journal = Folder(shared).journalOf(self);
        // The journal may grow only this far: the rest of the write fails as on a full disk.
        auto appendCutAt = [&](qint64 limit) {
            rlimit before{};
            getrlimit(RLIMIT_FSIZE, &before);
            const rlimit cut{rlim_t(limit), before.rlim_max};
            signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &cut);
            const bool appended = bool(session.flush());
            setrlimit(RLIMIT_FSIZE, &before);
            return appended;
        };
        for (int round = 0; round < 3; ++round) {
            writeDays(path, batch(QDate(2000, 1, 1), round, &all));
            QVERIFY(session.start());
            const qint64 size = QFileInfo(journal).size();
            // The first append torn inside its header, the later ones inside a frame.
            QVERIFY(!appendCutAt(round == 0 ? 20 : size + 500));
            QCOMPARE(QFileInfo(journal).size(), round == 0 ? 20 : size + 500);
            QVERIFY(session.flush());
            QCOMPARE(checkJournals(shared, false), 0);
            QVERIFY(reader.merge());
            QVERIFY(daysOf(other) == all);
        }
    }
};

QTEST_GUILESS_MAIN(TestSyncKill)
#include "test_sync_kill.moc"
