// --report as a script runs it: the program beside a diary, each exit status and the file it leaves.
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
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

    // A search of the PDF finds the words on the page, with the chart's font beside the program as a portable
    // one has it, or in the share folder of an installed one.
    void theChartsTextIsSearchable_data() {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("fontFolder");
        QTest::newRow("portable") << "."
                                  << ".";
        QTest::newRow("installed") << "bin"
                                   << "share/selvane";
    }
    void theChartsTextIsSearchable() {
        QFETCH(QString, programFolder);
        QFETCH(QString, fontFolder);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils missing");
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(programFolder) && root.mkpath(fontFolder));
        const QString program = root.filePath(programFolder + QStringLiteral("/selvane"));
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), program));
        const QDir built = QFileInfo(QStringLiteral(SELVANE_EXE)).dir();
        for (const char* font : {"SelvaneChartJP-Regular.otf", "SelvaneChartJP-Bold.otf"})
            QVERIFY(QFile::link(built.filePath(QString::fromLatin1(font)),
                                root.filePath(fontFolder + u'/' + QString::fromLatin1(font))));
        const QString data = root.filePath(programFolder + QStringLiteral("/selvane.mdb"));
        QVERIFY(schema::createEmptyDataFile(data) && fillDiary(data));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(program, {QStringLiteral("--report"), QStringLiteral("chart.pdf")});
        QVERIFY(process.waitForFinished(30000) && process.exitCode() == 0);
        process.start(QStringLiteral("pdftotext"),
                      {root.filePath(QStringLiteral("chart.pdf")), QStringLiteral("-")});
        QVERIFY(process.waitForFinished(30000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        for (const char* words : {"日付", "月経", "周期日", "基礎体温表"})
            QVERIFY2(text.contains(QString::fromUtf8(words)), qPrintable(text.left(200)));
    }
};

QTEST_GUILESS_MAIN(TestReportCli)
#include "test_report_cli.moc"
