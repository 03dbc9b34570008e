// Two computers kept in step by a real sync engine: two Syncthing instances on loopback, each with a home and
// a side of one shared folder of its own, and a program folder on each side. Her days go both ways, and a day
// changed on both while the link was down ends the same on both, with both texts kept and no conflict copy.
#include "support/FileBytes.h"
#include "support/ProgramRun.h"

#include <sys/prctl.h>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <memory>

namespace {

// The sanitizers make every start of the program slow, and this test checks the sync, not memory.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SELVANE_TEST_SANITIZED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(SELVANE_TEST_SANITIZED)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

const QString kFolderId = QStringLiteral("selvane-diary");

// Ports on loopback that nothing listens on now (all held open together, so no two are the same).
std::vector<quint16> freePorts(int count) {
    std::vector<std::unique_ptr<QTcpServer>> servers;
    std::vector<quint16> ports;
    for (int i = 0; i < count; ++i) {
        servers.push_back(std::make_unique<QTcpServer>());
        if (!servers.back()->listen(QHostAddress::LocalHost, 0)) return {};
        ports.push_back(servers.back()->serverPort());
    }
    return ports;
}

// Polls until done() holds, for at most ms milliseconds; false when it never did.
bool waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QTest::qWait(200);
    }
    return true;
}

// Every file in one side of the shared folder but Syncthing's marker, by its path inside the folder.
QMap<QString, QByteArray> filesIn(const QString& shared) {
    QMap<QString, QByteArray> files;
    QDirIterator it(shared, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(shared).relativeFilePath(it.next());
        if (!path.startsWith(QLatin1String(".stfolder/"))) files.insert(path, contents(it.filePath()));
    }
    return files;
}

// One Syncthing instance: its home (keys, config, database, log), its side of the shared folder, its REST
// API. Its destructor stops it, so a failed check leaves nothing running.
class Syncthing {
  public:
    QString home, shared, id;

    Syncthing(const QString& home, const QString& shared, quint16 guiPort, quint16 syncPort)
        : home(home), shared(shared), guiPort_(guiPort), syncPort_(syncPort) {
        network_.setProxy(QNetworkProxy::NoProxy);
    }
    ~Syncthing() {
        stop();
        if (QTest::currentTestFailed()) qWarning("%s:\n%s", qPrintable(home), logTail().constData());
    }

    // Its keys and its device id; false when syncthing could not make them.
    bool generate() {
        const ProgramRun made = runProgram(QStringLiteral("syncthing"),
                                           {QStringLiteral("generate"), QStringLiteral("--home=") + home,
                                            QStringLiteral("--no-default-folder")});
        const ProgramRun shown = runProgram(
            QStringLiteral("syncthing"),
            {QStringLiteral("serve"), QStringLiteral("--home=") + home, QStringLiteral("--device-id")});
        id = shown.outText().trimmed();
        return made.status == 0 && shown.status == 0 && !id.isEmpty();
    }

    // The config, written before its first start: loopback only, nothing announced or reported, the other
    // instance known by its address, and the shared folder watched closely, keeping conflict copies.
    void configure(const Syncthing& other) {
        QVERIFY(QDir().mkpath(shared + QStringLiteral("/.stfolder")));
        const auto device = [](const Syncthing& s, const QString& address) {
            return QStringLiteral(
                       "<device id=\"%1\" name=\"%2\" compression=\"metadata\" introducer=\"false\">"
                       "<address>%3</address><paused>false</paused></device>\n")
                .arg(s.id, QFileInfo(s.home).fileName(), address);
        };
        const QString config = QStringLiteral(
                                   "<configuration version=\"36\">\n"
                                   "<folder id=\"%1\" label=\"Selvane\" path=\"%2\" type=\"sendreceive\" "
                                   "rescanIntervalS=\"10\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\">\n"
                                   "<device id=\"%3\"></device><device id=\"%4\"></device>\n"
                                   "<minDiskFree unit=\"%\">0</minDiskFree><maxConflicts>10</maxConflicts>\n"
                                   "</folder>\n")
                                   .arg(kFolderId, shared.toHtmlEscaped(), id, other.id) +
                               device(*this, QStringLiteral("dynamic")) +
                               device(other, QStringLiteral("tcp://127.0.0.1:%1").arg(other.syncPort_)) +
                               QStringLiteral(
                                   "<gui enabled=\"true\" tls=\"false\"><address>127.0.0.1:%1</address>"
                                   "<apikey>%2</apikey></gui>\n"
                                   "<options><listenAddress>tcp://127.0.0.1:%3</listenAddress>"
                                   "<globalAnnounceEnabled>false</globalAnnounceEnabled>"
                                   "<localAnnounceEnabled>false</localAnnounceEnabled>"
                                   "<relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled>"
                                   "<reconnectionIntervalS>1</reconnectionIntervalS>"
                                   "<startBrowser>false</startBrowser><urAccepted>-1</urAccepted>"
                                   "<autoUpgradeIntervalH>0</autoUpgradeIntervalH>"
                                   "<crashReportingEnabled>false</crashReportingEnabled>"
                                   "<minHomeDiskFree unit=\"%\">0</minHomeDiskFree>"
                                   "<setLowPriority>false</setLowPriority></options>\n"
                                   "</configuration>\n")
                                   .arg(guiPort_)
                                   .arg(apiKey())
                                   .arg(syncPort_);
        writeFile(home + QStringLiteral("/config.xml"), config.toUtf8());
    }

    bool start() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* proxy :
             {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
            environment.remove(QString::fromLatin1(proxy));
        environment.insert(QStringLiteral("STMONITORED"), QStringLiteral("1"));  // one process, no monitor
        environment.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(home + QStringLiteral("/syncthing.log"), QIODevice::Append);
        // Stopped with the test even when the test itself is killed.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process_.start(
            QStringLiteral("syncthing"),
            {QStringLiteral("serve"), QStringLiteral("--home=") + home, QStringLiteral("--no-browser"),
             QStringLiteral("--no-restart"), QStringLiteral("--no-upgrade")});
        return process_.waitForStarted();
    }

    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // A call of its REST API; nothing when it did not answer, or answered with an error.
    std::optional<QJsonObject> call(const QByteArray& verb, const QString& path) {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(guiPort_).arg(path)));
        request.setRawHeader("X-API-Key", apiKey().toLatin1());
        request.setTransferTimeout(10000);
        QNetworkReply* reply = network_.sendCustomRequest(request, verb);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished()) loop.exec();
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) return std::nullopt;
        return QJsonDocument::fromJson(reply->readAll()).object();
    }
    std::optional<QJsonObject> get(const QString& path) { return call("GET", path); }

    bool connectedTo(const Syncthing& other) {
        const auto connections = get(QStringLiteral("/rest/system/connections"));
        return connections && connections->value(QStringLiteral("connections"))
                                  .toObject()
                                  .value(other.id)
                                  .toObject()
                                  .value(QStringLiteral("connected"))
                                  .toBool();
    }
    // Idle, with nothing to take from the other and nothing the other still needs from it.
    bool idleAndComplete(const Syncthing& other) {
        const auto status = get(QStringLiteral("/rest/db/status?folder=") + kFolderId);
        const auto completion =
            get(QStringLiteral("/rest/db/completion?folder=%1&device=%2").arg(kFolderId, other.id));
        return status && completion &&
               status->value(QStringLiteral("state")).toString() == QLatin1String("idle") &&
               status->value(QStringLiteral("needTotalItems")).toInt(-1) == 0 &&
               completion->value(QStringLiteral("completion")).toDouble() == 100.0 &&
               completion->value(QStringLiteral("needItems")).toInt(-1) == 0 &&
               completion->value(QStringLiteral("needDeletes")).toInt(-1) == 0;
    }

  private:
    QString apiKey() const { return QStringLiteral("selvane-test-") + id.left(7); }
    QByteArray logTail() const {
        const QByteArray log = contents(home + QStringLiteral("/syncthing.log"));
        return log.right(4000);
    }

    quint16 guiPort_, syncPort_;
    QProcess process_;
    QNetworkAccessManager network_;
};

// Waits until the two instances are connected, idle and in step, and both sides hold the same files; the
// milliseconds it took, or -1 when it did not happen within the bound.
qint64 settle(Syncthing& a, Syncthing& b, int ms = 30000) {
    QElapsedTimer timer;
    timer.start();
    const bool settled = waitUntil(
        [&] {
            return a.connectedTo(b) && b.connectedTo(a) && filesIn(a.shared) == filesIn(b.shared) &&
                   a.idleAndComplete(b) && b.idleAndComplete(a);
        },
        ms);
    return settled ? timer.elapsed() : -1;
}

}  // namespace

class TestSyncthing : public QObject {
    Q_OBJECT

  private slots:
    void twoComputersThroughSyncthing() {
        if (kSanitized) QSKIP("not under the sanitizers: it tests the sync through Syncthing, not memory");
        if (QStandardPaths::findExecutable(QStringLiteral("syncthing")).isEmpty())
            QSKIP("syncthing is not installed (scripts/install-deps.sh installs it)");
        QElapsedTimer total;
        total.start();
        QTemporaryDir dir;  // declared first, so the instances stop before their homes go
        QVERIFY(dir.isValid());
        const std::vector<quint16> ports = freePorts(4);
        QCOMPARE(ports.size(), 4u);
        Syncthing a(dir.filePath(QStringLiteral("syncthing-a")), dir.filePath(QStringLiteral("shared-a")),
                    ports[0], ports[1]);
        Syncthing b(dir.filePath(QStringLiteral("syncthing-b")), dir.filePath(QStringLiteral("shared-b")),
                    ports[2], ports[3]);
        QVERIFY(a.generate());
        QVERIFY(b.generate());
        a.configure(b);
        b.configure(a);
        const ProgramFolder pa(dir.filePath(QStringLiteral("a"))), pb(dir.filePath(QStringLiteral("b")));
        QCOMPARE(pa.run({QStringLiteral("--sync-folder"), a.shared}).status, 0);
        QCOMPARE(pb.run({QStringLiteral("--sync-folder"), b.shared}).status, 0);
        // One listening before the other starts: a first dial that fails waits ever longer for the next one.
        QVERIFY(b.start());
        QVERIFY2(waitUntil([&] { return b.get(QStringLiteral("/rest/system/ping")).has_value(); }, 30000),
                 "syncthing never answered");
        QVERIFY(a.start());
        QVERIFY2(waitUntil([&] { return a.connectedTo(b) && b.connectedTo(a); }, 30000), "never connected");
        qInfo("connected after %lld ms", total.elapsed());

        // Other days on each side. A command-line change reaches the journal at the next --sync, so: --sync
        // on both, Syncthing moves the journals, --sync on both takes the other's days.
        pa.import(QStringLiteral("2026-11-01,36.5,,,,aの日,0,0\r\n2026-11-02,36.6,,,,,1,0\r\n"));
        pb.import(QStringLiteral("2026-11-10,36.9,,,,bの日,0,0\r\n"));
        for (const ProgramFolder* p : {&pa, &pb}) QCOMPARE(p->run({QStringLiteral("--sync")}).status, 0);
        const qint64 moved = settle(a, b);
        QVERIFY2(moved >= 0, "the journals never reached the other side");
        qInfo("journals moved in %lld ms", moved);
        for (const ProgramFolder* p : {&pa, &pb}) {
            const ProgramRun synced = p->run({QStringLiteral("--sync")});
            QCOMPARE(synced.status, 0);
            QVERIFY2(synced.outText().contains(QStringLiteral("取り込んだ日：")) &&
                         !synced.outText().contains(QStringLiteral("取り込んだ日：0日")),
                     qPrintable(synced.outText()));
        }
        QCOMPARE(pa.rows(), pb.rows());
        QVERIFY(pa.rows().contains("2026-11-01,36.5") && pa.rows().contains("2026-11-10,36.9"));

        // The same day changed on both while the link is down: each sees only its own change.
        QElapsedTimer down;
        down.start();
        QVERIFY(a.call("POST", QStringLiteral("/rest/system/pause?device=") + b.id));
        QVERIFY(waitUntil([&] { return !a.connectedTo(b) && !b.connectedTo(a); }, 15000));
        qInfo("link down after %lld ms", down.elapsed());
        pa.import(QStringLiteral("2026-11-01,36.5,,,,朝に書いた,0,0\r\n"));
        pb.import(QStringLiteral("2026-11-01,36.5,,,,夜に書いた,0,0\r\n"));
        for (const ProgramFolder* p : {&pa, &pb}) {
            const ProgramRun synced = p->run({QStringLiteral("--sync")});
            QCOMPARE(synced.status, 0);
            QVERIFY2(synced.outText().contains(QStringLiteral("競合のある日：0日")),
                     qPrintable(synced.outText()));
        }

        // The link up again: after two rounds both agree, list the conflict, and keep both texts.
        QElapsedTimer reconnect;
        reconnect.start();
        QVERIFY(a.call("POST", QStringLiteral("/rest/system/resume?device=") + b.id));
        QVERIFY2(settle(a, b) >= 0, "not in step after the link came back");
        qInfo("in step again %lld ms after the link came back", reconnect.elapsed());
        ProgramRun said[2];
        for (int round = 0; round < 2; ++round) {
            said[0] = pa.run({QStringLiteral("--sync")});
            said[1] = pb.run({QStringLiteral("--sync")});
            QVERIFY2(said[0].status == 0 && said[1].status == 0, qPrintable(said[0].err + said[1].err));
            QVERIFY2(settle(a, b) >= 0, "not in step after a round of --sync");
        }
        for (const ProgramRun& run : said) {
            QVERIFY2(run.outText().contains(QStringLiteral("競合のある日：1日")), qPrintable(run.outText()));
            QVERIFY2(run.err.isEmpty(), qPrintable(run.err));  // nothing skipped, no conflict copy seen
        }
        QCOMPARE(pa.rows(), pb.rows());
        for (const ProgramFolder* p : {&pa, &pb})
            for (const char* text : {"朝に書いた", "夜に書いた"}) QVERIFY(p->diary().contains(text));
        // Only journals in the shared folder: no conflict copy of Syncthing's, no database.
        for (const Syncthing* s : {&a, &b}) {
            const QMap<QString, QByteArray> files = filesIn(s->shared);
            QVERIFY(!files.isEmpty());
            for (auto it = files.cbegin(); it != files.cend(); ++it) {
                QVERIFY2(it.key().startsWith(QLatin1String("Selvane/")) &&
                             it.key().endsWith(QLatin1String(".journal")) &&
                             !it.key().contains(QLatin1String(".sync-conflict-")),
                         qPrintable(it.key()));
                QVERIFY2(!it.value().startsWith("SQLite format 3"), qPrintable(it.key()));
            }
        }
        qInfo("whole test %lld ms", total.elapsed());
    }
};

QTEST_GUILESS_MAIN(TestSyncthing)
#include "test_syncthing.moc"
