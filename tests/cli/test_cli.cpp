// The command line as a script sees it: exit statuses and what goes to which stream.
#include "cli/CommandLine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

struct Outcome {
    int status;
    QString out;
    QString err;
};

Outcome runSelvane(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));  // never a window, whatever the options
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SELVANE_EXE), arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT

  private slots:
    void exitStatuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::newRow("version") << QStringList{"--version"} << 0 << "Selvane 3.01\n";
        QTest::newRow("unknown option") << QStringList{"--no-such-thing"} << 2 << "";
        QTest::newRow("stray argument") << QStringList{"--version", "extra"} << 2 << "";
        // Slips are usage errors in Japanese, never a window (which no display may carry).
        QTest::newRow("a single-dash letter") << QStringList{"-x"} << 2 << "";
        QTest::newRow("a single-dash word") << QStringList{"-export", "f.csv"} << 2 << "";
        QTest::newRow("a file given twice")
            << QStringList{"--import", "a.csv", "--import", "b.csv"} << 2 << "";
        QTest::newRow("a rule given twice")
            << QStringList{"--import", "a.csv", "--on-conflict", "keep", "--on-conflict", "replace"} << 2
            << "";
        QTest::newRow("Qt's own option beside a command")
            << QStringList{"--version", "-platform", "offscreen"} << 0 << "Selvane 3.01\n";
    }
    void exitStatuses() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        const Outcome outcome = runSelvane(arguments);
        QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.out, out);
        if (status == 2)
            QVERIFY2(outcome.err.contains(QRegularExpression(QStringLiteral("[ぁ-ん]"))),
                     qPrintable(outcome.err));
    }

    // Qt's own single-dash options (a session manager's -session among them) still reach the window.
    void onlyQtsOwnSingleDashOptionsOpenTheWindow_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("commandLine");
        QTest::newRow("none") << QStringList{} << false;
        QTest::newRow("-session") << QStringList{"-session", "1a2b3c"} << false;
        QTest::newRow("-platform and -style=") << QStringList{"-platform", "xcb", "-style=fusion"} << false;
        QTest::newRow("-reverse") << QStringList{"-reverse"} << false;
        QTest::newRow("-x") << QStringList{"-x"} << true;
        QTest::newRow("-export") << QStringList{"-export", "f.csv"} << true;
        QTest::newRow("after Qt's option's value") << QStringList{"-style", "fusion", "-x"} << true;
    }
    void onlyQtsOwnSingleDashOptionsOpenTheWindow() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, commandLine);
        QCOMPARE(cli::wanted(QStringList{"selvane"} + arguments), commandLine);
    }

    void helpListsTheOptionsOnStandardOutput() {
        const Outcome outcome = runSelvane({QStringLiteral("--help")});
        QCOMPARE(outcome.status, 0);
        QVERIFY(outcome.out.contains(QStringLiteral("--version")));
        QVERIFY(outcome.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
