// The whole-diary commands as a script runs them: the program copied into a folder of its own beside a diary,
// each command's exit status and what it leaves behind.
#include "data/Schema.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestTransferCli : public QObject {
    Q_OBJECT

  private slots:
    void commands_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("leaves");  // a file the command makes, or an output it prints
        QTest::newRow("export") << QStringList{"--export", "out.csv"} << 0 << "out.csv";
        QTest::newRow("export for drip")
            << QStringList{"--export", "drip.csv", "--format", "drip"} << 0 << "drip.csv";
        QTest::newRow("unknown format") << QStringList{"--export", "x.csv", "--format", "xml"} << 2 << "";
        QTest::newRow("export without a file") << QStringList{"--export"} << 2 << "";
        QTest::newRow("import") << QStringList{"--import", "good.csv", "--on-conflict", "replace"} << 0
                                << "backups";
        QTest::newRow("import a bad file") << QStringList{"--import", "bad.csv"} << 1 << "";
        QTest::newRow("unknown conflict rule")
            << QStringList{"--import", "good.csv", "--on-conflict", "maybe"} << 2 << "";
        QTest::newRow("another command's option")
            << QStringList{"--import", "good.csv", "--format", "drip"} << 2 << "";
        QTest::newRow("two commands") << QStringList{"--check", "--backup"} << 2 << "";
        QTest::newRow("backup") << QStringList{"--backup"} << 0 << "backups";
        QTest::newRow("backup into a folder") << QStringList{"--backup", "copies"} << 0 << "copies";
        QTest::newRow("backup into two folders") << QStringList{"--backup", "a", "b"} << 2 << "";
        QTest::newRow("restore a missing backup") << QStringList{"--restore", "none.mdb"} << 1 << "";
        QTest::newRow("check") << QStringList{"--check"} << 0 << "記録のある日：1日";
    }
    void commands() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, leaves);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("selvane"));
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), program));
        QVERIFY(schema::createEmptyDataFile(dir.filePath(QStringLiteral("selvane.mdb"))));
        QFile good(dir.filePath(QStringLiteral("good.csv")));
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write(
            "date,temperature.value,bleeding.value,bleeding.exclude,note.value\n2024-05-01,36.6,1,false,"
            "雨\n");
        good.close();
        QFile bad(dir.filePath(QStringLiteral("bad.csv")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("date,temperature.value\n2024-05-01,36.5.1\n");
        bad.close();
        if (arguments.contains(QStringLiteral("--check"))) {
            QCOMPARE(runProgram(program, {QStringLiteral("--import"), QStringLiteral("good.csv")},
                                ProgramCall::in(dir.path()))
                         .status,
                     0);
        }
        // What a killed backup left goes before any command.
        const QString partial = dir.filePath(QStringLiteral("backups/.selvane.mdb-backup.k3Jd9a"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("backups")));
        QVERIFY(QFile(partial).open(QIODevice::WriteOnly));
        const ProgramRun run = runProgram(program, arguments, ProgramCall::in(dir.path()));
        const QString out = run.outText();
        const QString& err = run.err;
        QVERIFY2(run.status == status, qPrintable(err));
        QVERIFY2(!err.isEmpty() || status == 0, "a refusal says why");
        QVERIFY(status == 2 || !QFile::exists(partial));
        if (leaves.isEmpty()) return;
        QVERIFY2(QFileInfo::exists(dir.filePath(leaves)) || out.contains(leaves), qPrintable(out + err));
    }

    // The diary itself (or a link to it) given to --restore: refused, nothing written, not even a backup.
    void restoringTheDiaryItselfIsRefused() {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("selvane"));
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), program));
        const QString data = dir.filePath(QStringLiteral("selvane.mdb"));
        QVERIFY(schema::createEmptyDataFile(data));
        QVERIFY(QFile::link(data, dir.filePath(QStringLiteral("link.mdb"))));
        QFile original(data);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray before = original.readAll();
        for (const QString& named : {QStringLiteral("selvane.mdb"), QStringLiteral("link.mdb")}) {
            const ProgramRun run =
                runProgram(program, {QStringLiteral("--restore"), named}, ProgramCall::in(dir.path()));
            QCOMPARE(run.status, 1);
            QVERIFY(run.err.contains(QStringLiteral("そのもの")));
        }
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("backups"))) ||
                QDir(dir.filePath(QStringLiteral("backups"))).isEmpty());
        QVERIFY(original.seek(0));
        QCOMPARE(original.readAll(), before);
    }

    // Run from a folder whose name is not UTF-8 (Shift_JIS from an old archive): a relative file name reaches
    // that folder, and the messages name it, not the process's view of it.
    void aFolderNamedInShiftJis() {
        QTemporaryDir dir;
        QVERIFY(schema::createEmptyDataFile(dir.filePath(QStringLiteral("selvane.mdb"))));
        const QString script = QStringLiteral(
            "d=\"$(printf 'd\\223\\372')\" && mkdir \"$d\" && cp \"$1\" selvane.mdb \"$d\"/ && cd \"$d\" && "
            "./selvane --export out.csv && test -f out.csv && ./selvane --backup");
        const ProgramRun run =
            runProgram(QStringLiteral("/bin/sh"),
                       {QStringLiteral("-c"), script, QStringLiteral("sh"), QStringLiteral(SELVANE_EXE)},
                       ProgramCall::in(dir.path()));
        const QString& err = run.err;
        QVERIFY2(run.status == 0, qPrintable(err));
        QVERIFY2(
            err.contains(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作りました：")) && !err.contains(QStringLiteral("/proc/")),
            qPrintable(err));
    }

    // Two imports of one file at once: whichever writes second finds every day there and adds none again.
    void twoImportsAtOnceAddEachDayOnce() {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("selvane"));
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), program));
        QFile csv(dir.filePath(QStringLiteral("days.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("date,temperature,condition,medication,schedule,diary,menstruation,intercourse\n");
        for (int i = 0; i < 20000; ++i)
            csv.write(QDate(1950, 1, 1).addDays(i).toString(Qt::ISODate).toUtf8() + ",36.5,,,,日記,0,0\n");
        csv.close();
        for (int round = 0; round < 4; ++round) {
            const QString data = dir.filePath(QStringLiteral("selvane.mdb"));
            QFile::remove(data);
            QVERIFY(schema::createEmptyDataFile(data));
            QProcess first;
            QProcess second;
            for (QProcess* import : {&first, &second}) {
                import->setWorkingDirectory(dir.path());
                import->start(program, {QStringLiteral("--import"), csv.fileName()});
            }
            for (QProcess* import : {&first, &second}) {
                QVERIFY(import->waitForFinished(120000));
                QVERIFY2(import->exitCode() == 0, import->readAllStandardError().constData());
            }
            QCOMPARE(
                runProgram(QStringLiteral("sqlite3"),
                           {data, QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT DAT_DATE) FROM DATA_FIL")})
                    .out.trimmed(),
                QByteArray("20000|20000"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTransferCli)
#include "test_transfer_cli.moc"
