// The command line as a script sees it: exit statuses and what goes to which stream.
#include "cli/CommandLine.h"
#include "support/ProgramRun.h"

#include <QRegularExpression>
#include <QTest>

namespace {

ProgramRun runSelvane(const QStringList& arguments) {
    return runProgram(QStringLiteral(SELVANE_EXE), arguments,
                      {{}, {}, {{QStringLiteral("QT_QPA_PLATFORM"), {}}}, 30000});
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
        const ProgramRun outcome = runSelvane(arguments);
        QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.outText(), out);
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
        const ProgramRun outcome = runSelvane({QStringLiteral("--help")});
        QCOMPARE(outcome.status, 0);
        QVERIFY(outcome.outText().contains(QStringLiteral("--version")));
        QVERIFY(outcome.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
