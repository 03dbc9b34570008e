// --report as a script runs it: the program beside a diary, each exit status and the file it leaves.
#include "data/Schema.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A reading every day of the last `days` days up to yesterday, a period of three days every 28 days from
// the first: with 61 days, two finished cycles and one running for five days.
bool fillDiary(const QString& path, int days = 61) {
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        const QDate today = QDate::currentDate();
        for (int back = days; back >= 1 && ok; --back) {
            const int cycleDay = (days - back) % 28 + 1;
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
        QTest::newRow("--running alone") << "filled" << QStringList{"--running"} << 2 << "";
        QTest::newRow("only a running cycle") << "running" << QStringList{"--report", "x.pdf"} << 1 << "";
        QTest::newRow("the running cycle asked for")
            << "running" << QStringList{"--report", "run.pdf", "--running"} << 0 << "run.pdf";
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
            if (diary == u"running") QVERIFY(fillDiary(data, 20));
        }
        QFile old(dir.filePath(QStringLiteral("old.pdf")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const QByteArray diaryBefore = [&] {
            QFile file(data);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        const ProgramRun run = runProgram(program, arguments,
                                          {dir.path(), {}, {{QStringLiteral("QT_QPA_PLATFORM"), {}}}, 30000});
        const QString& err = run.err;
        QVERIFY2(run.status == status, qPrintable(err));
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
        const QString text = chartText({}, programFolder, fontFolder);
        for (const char* words : {"日付", "月経", "周期日", "基礎体温表"})
            QVERIFY2(text.contains(QString::fromUtf8(words)), qPrintable(text.left(200)));
    }

    // Two finished cycles of 28 days and one running for five days: --last counts finished cycles, --running
    // adds the one still running.
    void lastCountsFinishedCycles_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("firstBack");  // the chart's first day, days before today
        QTest::addColumn<int>("lastBack");
        QTest::newRow("three: both finished ones") << QStringList{} << 61 << 6;
        QTest::newRow("the last one") << QStringList{"--last", "1"} << 33 << 6;
        QTest::newRow("and the running one") << QStringList{"--last", "1", "--running"} << 33 << 1;
    }
    void lastCountsFinishedCycles() {
        QFETCH(QStringList, arguments);
        QFETCH(int, firstBack);
        QFETCH(int, lastBack);
        const QDate today = QDate::currentDate();
        const QString range = today.addDays(-firstBack).toString(QStringLiteral("yyyy/MM/dd")) +
                              QStringLiteral(" ～ ") +
                              today.addDays(-lastBack).toString(QStringLiteral("yyyy/MM/dd"));
        const QString text = chartText(arguments);
        QVERIFY2(text.contains(range), qPrintable(range + u'\n' + text.left(120)));
    }

  private:
    // The text of the chart that --report with the arguments writes from the filled diary, the program in
    // programFolder and the chart's font in fontFolder (under a folder of its own).
    QString chartText(const QStringList& arguments, const QString& programFolder = QStringLiteral("."),
                      const QString& fontFolder = QStringLiteral(".")) {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            qWarning("poppler-utils missing");
            return {};
        }
        QTemporaryDir dir;
        const QDir root(dir.path());
        root.mkpath(programFolder);
        root.mkpath(fontFolder);
        const QString program = root.filePath(programFolder + QStringLiteral("/selvane"));
        QFile::copy(QStringLiteral(SELVANE_EXE), program);
        const QDir built = QFileInfo(QStringLiteral(SELVANE_EXE)).dir();
        for (const char* font : {"SelvaneChartJP-Regular.otf", "SelvaneChartJP-Bold.otf"})
            QFile::link(built.filePath(QString::fromLatin1(font)),
                        root.filePath(fontFolder + u'/' + QString::fromLatin1(font)));
        const QString data = root.filePath(programFolder + QStringLiteral("/selvane.mdb"));
        if (!schema::createEmptyDataFile(data) || !fillDiary(data)) return {};
        const ProgramRun made = runProgram(
            program, QStringList{QStringLiteral("--report"), QStringLiteral("chart.pdf")} + arguments,
            {dir.path(), {}, {}, 30000});
        if (made.status != 0) return {};
        return runProgram(QStringLiteral("pdftotext"),
                          {root.filePath(QStringLiteral("chart.pdf")), QStringLiteral("-")})
            .outText();
    }
};

QTEST_GUILESS_MAIN(TestReportCli)
#include "test_report_cli.moc"
