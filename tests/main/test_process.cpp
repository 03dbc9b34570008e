// The program as a running process: where it finds its files, its help window, and what a session that ends
// without the closing questions leaves of her edits.
#include "data/Recovery.h"
#include "data/Schema.h"
#include "help/HelpProcess.h"
#include "main/frmMain.h"
#include "support/MainBed.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <csignal>

namespace {

// The built program, run offscreen with settings of its own; it ends by itself once its window has drawn.
QProcessEnvironment programEnvironment(const QTemporaryDir& dir) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("SELVANE_QUIT_AFTER_FIRST_FRAME"), QStringLiteral("1"));
    return environment;
}

QByteArray commandLine(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestProcess : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    // The help is a program of its own: a modal window of the program never blocks it.
    void helpIsAWindowOfItsOwnProgram() {
        QTemporaryDir dir;  // drawn from the document beside the program, then ended by the first frame
        QProcess alone;
        alone.setProcessEnvironment(programEnvironment(dir));
        alone.start(QStringLiteral(SELVANE_EXE), {HelpProcess::kOption, QStringLiteral("0,0,700,500")});
        QVERIFY(alone.waitForFinished(20000));
        QCOMPARE(alone.exitStatus(), QProcess::NormalExit);
        QCOMPARE(alone.exitCode(), 0);

        MainBed bed;
        bed.services.helpProgram = QStringLiteral(SELVANE_EXE);
        frmMain* w = bed.startMain();
        w->show();
        w->mnuSelvane_Click();
        const qint64 first = w->helpProcess().pid();
        QVERIFY(first > 0);
        QVERIFY(commandLine(first).contains(HelpProcess::kOption.toUtf8()));
        QVERIFY(!w->helpViewer());
        QTimer::singleShot(300, [] { QApplication::activeModalWidget()->close(); });
        w->mnuHelpVirsion_Click();  // the version window, modal, comes and goes: the help lives on
        QCOMPARE(w->helpProcess().pid(), first);
        w->mnuSelvane_Click();  // again: one help window, at its contents
        const qint64 second = w->helpProcess().pid();
        QVERIFY(second > 0 && second != first);
        QTRY_VERIFY(!commandLine(first).contains(HelpProcess::kOption.toUtf8()));
        ::kill(pid_t(second), SIGTERM);
    }

    // A session that ends without the closing questions (a terminating signal, or the display gone as at a
    // logout) leaves the unsaved day in an owner-only file beside the diary, never in it; the next start asks
    // whether to save it to its day, as any save with its overwrite question.
    void unsavedEditsOutliveTheSession_data() {
        QTest::addColumn<int>("signalNumber");  // 0: the display's server ends instead
        QTest::addColumn<bool>("keep");
        QTest::newRow("SIGTERM, then saved") << int(SIGTERM) << true;
        QTest::newRow("SIGINT, then given up") << int(SIGINT) << false;
        QTest::newRow("SIGHUP, then saved") << int(SIGHUP) << true;
        QTest::newRow("display lost, then saved") << 0 << true;
    }
    void unsavedEditsOutliveTheSession() {
        QFETCH(int, signalNumber);
        QFETCH(bool, keep);
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 20), "36.4", false, QStringLiteral("保存済み"));
        QProcess display;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (signalNumber == 0) {
            const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
            if (xvfb.isEmpty()) QSKIP("no Xvfb here");
            display.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
            QVERIFY(display.waitForReadyRead(20000));
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            environment.insert(QStringLiteral("DISPLAY"), ":" + display.readLine().trimmed());
            // Under the sanitizers: the X keyboard library reads past a string that strict checks flag, and
            // a program ended by exit() leaves its windows undestroyed; neither is this program's fault.
            if (environment.contains(QStringLiteral("ASAN_OPTIONS")))
                environment.insert(QStringLiteral("ASAN_OPTIONS"),
                                   environment.value(QStringLiteral("ASAN_OPTIONS")) +
                                       QStringLiteral(":strict_string_checks=0:detect_leaks=0"));
        }
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(EDIT_CHILD), {bed.dir.path()});
        QVERIFY(program.waitForReadyRead(20000));
        QCOMPARE(program.readLine(), QByteArray("ready\n"));
        if (signalNumber)
            ::kill(pid_t(program.processId()), signalNumber);
        else
            display.terminate();
        QVERIFY(program.waitForFinished(20000));
        const QString kept = bed.dir.filePath(recovery::kFileName);
        QVERIFY(QFile::exists(kept));
        QCOMPARE(QFile::permissions(kept) & 0x0077, QFileDevice::Permissions());  // no group or other bits
        QCOMPARE(bed.openData()->load(QDate(2001, 5, 20))->diary, QStringLiteral("保存済み"));

        bed.dialogs.answers << (keep ? Dialogs::Answer::Yes : Dialogs::Answer::No) << Dialogs::Answer::Yes;
        bed.startMain();
        QCOMPARE(bed.dialogs.calls.constFirst().text,
                 QStringLiteral(
                     "2001年05月20日のﾃﾞｰﾀに、保存されずに終了した編集が残っています。\r保存しますか？"));
        QCOMPARE(bed.dialogs.calls.size(), keep ? 2 : 1);  // then the overwrite question
        const DayRecord day = *bed.openData()->load(QDate(2001, 5, 20));
        QCOMPARE(day.diary, keep ? QStringLiteral("消えては困る日記") : QStringLiteral("保存済み"));
        QCOMPARE(day.memo + (day.guest ? "+" : "-"), keep ? QStringLiteral("ピル+") : QStringLiteral("-"));
        QCOMPARE(ui(bed.main.get()).rtbDiary->toPlainText(), day.diary);
        QVERIFY(!QFile::exists(kept));
    }

    // Unpacked from a Shift_JIS archive, the folder 日記 is named by bytes that are not UTF-8: the program
    // still finds its data file there and starts.
    void findsItsFilesInAFolderNamedInShiftJis() {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/\x93\xfa\x8b\x4c";
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        const auto removeFolder = qScopeGuard([&] {  // which QTemporaryDir cannot name
            for (const char* name : {"/selvane", "/selvane.mdb"}) ::unlink((folder + name).constData());
            ::rmdir(folder.constData());
        });
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), dir.filePath(QStringLiteral("selvane"))));
        QVERIFY(schema::createEmptyDataFile(dir.filePath(QStringLiteral("selvane.mdb"))));
        for (const QByteArray name : {"selvane", "selvane.mdb"})
            QCOMPARE(::rename(QFile::encodeName(dir.filePath(QString::fromLatin1(name))).constData(),
                              (folder + '/' + name).constData()),
                     0);
        // No text leads to such a folder: the child reaches it through a descriptor it inherits.
        const int held = ::open(folder.constData(), O_PATH | O_DIRECTORY);
        QVERIFY(held >= 0);
        QProcess program;
        program.setProcessEnvironment(programEnvironment(dir));
        program.start(QStringLiteral("/proc/self/fd/%1/selvane").arg(held));
        const bool ended = program.waitForFinished(20000);  // a refusal would wait on its message box
        ::close(held);
        QVERIFY2(ended, "the program did not start its window");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_MAIN(TestProcess)
#include "test_process.moc"
