// The command line as a script sees it: exit statuses and what goes to which stream.
#include <QProcess>
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
    }
    void exitStatuses() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        const Outcome outcome = runSelvane(arguments);
        QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.out, out);
        if (status == 2) QVERIFY(!outcome.err.isEmpty());
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
