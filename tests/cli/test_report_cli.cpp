// --report as a script runs it: the program beside a diary, each exit status and the file it leaves.
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Three periods up to a few days ago, a reading every day since the first.
bool fillDiary(const QString& path) {
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        const QDate today = QDate::currentDate();
        for (int back = 61; back >= 1 && ok; --back) {
            const int cycleDay = (61 - back) % 28 + 1;
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral("INSERT INTO DATA_FIL VALUES (?, ?, '', '', '', '', 0, ?)"));
            insert.addBindValue(today.addDays(-back).toString(Qt::ISODate));
            insert.addBindValue(cycleDay < 14 ? 36.3 : 36.7);
            insert.addBindValue(cycleDay <= 3 ? 1 : 0);
            ok = insert.exec();
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

}  // namespace

class TestReportCli : public QObject {
    Q_OBJECT

  private slots:
    void statuses_data() {
        QTest::addColumn<QString>("diary");  // filled, empty, locked
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("leaves");
        QTest::newRow("three cycles") << "filled" << QStringList{"--report", "chart.pdf"} << 0 << "chart.pdf";
        QTest::newRow("the last one")
            << "filled" << QStringList{"--report", "one.pdf", "--last", "1"} << 0 << "one.pdf";
        QTest::newRow("an existing file replaced")
            << "filled" << QStringList{"--report", "old.pdf"} << 0 << "old.pdf";
        QTest::newRow("four cycles") << "filled" << QStringList{"--report", "x.pdf", "--last", "4"} << 2
                                     << "";
        QTest::newRow("no cycle") << "filled" << QStringList{"--report", "x.pdf", "--last", "0"} << 2 << "";
        QTest::newRow("not a number")
            << "filled" << QStringList{"--report", "x.pdf", "--last", "two"} << 2 << "";
        QTest::newRow("no file named") << "filled" << QStringList{"--report"} << 2 << "";
        QTest::newRow("--last alone") << "filled" << QStringList{"--last", "2"} << 2 << "";
        QTest::newRow("a diary without periods") << "empty" << QStringList{"--report", "x.pdf"} << 1 << "";
        QTest::newRow("a folder that is not there")
            << "filled" << QStringList{"--report", "none/x.pdf"} << 1 << "";
        QTest::newRow("over the diary") << "filled" << QStringList{"--report", "selvane.mdb"} << 1 << "";
        QTest::newRow("a locked diary") << "locked" << QStringList{"--report", "x.pdf"} << 1 << "";
    }
    void statuses() {
        QFETCH(QString, diary);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, leaves);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("selvane"));
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), program));
        const QString data = dir.filePath(QStringLiteral("selvane.mdb"));
        if (diary == u"locked") {
            QFile file(data);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("SELVLOCK") + QByteArray(200, '\x5a'));
        } else {
            QVERIFY(schema::createEmptyDataFile(data));
            if (diary == u"filled") QVERIFY(fillDiary(data));
        }
        QFile old(dir.filePath(QStringLiteral("old.pdf")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const QByteArray diaryBefore = [&] {
            QFile file(data);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitCode() == status, qPrintable(err));
        QVERIFY2((status == 0) == err.isEmpty(), qPrintable(err));  // quiet when done, says why when not
        if (status != 0) {
            QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("x.pdf"))));
            QFile file(data);
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == diaryBefore);
        }
        if (leaves.isEmpty()) return;
        QFile made(dir.filePath(leaves));
        QVERIFY(made.open(QIODevice::ReadOnly));
        QCOMPARE(made.read(5), QByteArray("%PDF-"));
    }
};

QTEST_GUILESS_MAIN(TestReportCli)
#include "test_report_cli.moc"
