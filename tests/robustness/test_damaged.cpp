// Damaged and hostile surroundings: never a crash, always a message, nothing written unless she saves.
#include "main/frmMain.h"
#include "platform/core/PgError.h"
#include "support/MainBed.h"

#include <QCalendarWidget>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

QByteArray digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void replaceWith(const QString& path, const QByteArray& bytes) {
    QFile::remove(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool anyError(const ScriptedDialogs& dialogs) {
    for (const auto& call : dialogs.calls)
        if (call.title == QLatin1String("PG-Error") || call.title == QLatin1String("Selvane")) return true;
    return false;
}

}  // namespace

class TestDamaged : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    // Each damaged file: start-up reports, the window still opens, a click on a day and a save attempt
    // report too, and the file's bytes stay as they were.
    void damagedDataFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("random bytes") << "random";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("no table") << "notable";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("a newer version") << "newer";
    }
    void damagedDataFiles() {
        QFETCH(QString, kind);
        MainBed bed(QDate(2001, 5, 20));
        if (kind == "random") {
            QByteArray bytes(qsizetype(64) * 1024, Qt::Uninitialized);
            QRandomGenerator gen(7);
            for (char& b : bytes) b = char(gen.bounded(256));
            replaceWith(bed.dataPath(), bytes);
        } else if (kind == "truncated") {
            bed.sql(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                " INSERT INTO DATA_FIL SELECT date('2001-05-20', '-' || i || ' days'), 36.5,"
                " 'memo', '', '', printf('%.*c', 200, 'x'), 0, i % 30 < 5 FROM n");
            QFile file(bed.dataPath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray all = file.readAll();
            file.close();
            replaceWith(bed.dataPath(), all.left(all.size() / 3));
        } else if (kind == "notable") {
            QVERIFY(bed.sql("DROP TABLE DATA_FIL"));
        } else if (kind == "newer") {
            QVERIFY(bed.sql("PRAGMA user_version = 99"));
        } else {
            replaceWith(bed.dataPath(), QByteArray());
        }
        const QByteArray before = digest(bed.dataPath());
        frmMain* w = bed.startMain();
        QVERIFY(w);
        QVERIFY(anyError(bed.dialogs));
        if (kind == "newer")  // said in words of its own
            QCOMPARE(bed.dialogs.texts(),
                     QStringList{QStringLiteral("このデータファイルは新しい版のSelvaneで保存されています。\r"
                                                "新しい版のSelvaneで開いて下さい。")});
        bed.dialogs.clear();
        w->MonthView1_DateClick(QDate(2001, 5, 3));
        ui(w).txtTemp->setText("36.6");
        bed.dialogs.answers << Dialogs::Answer::Yes << Dialogs::Answer::Yes;
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
        QVERIFY(bed.module.DataChanged);
        if (kind != "empty") QCOMPARE(digest(bed.dataPath()), before);
    }

    void wrongColumnTypesAreReadWithoutACrash() {
        MainBed bed(QDate(2001, 5, 20));
        QVERIFY(bed.sql("DROP TABLE DATA_FIL"));
        QVERIFY(
            bed.sql("CREATE TABLE DATA_FIL (DAT_DATE, TEMP, Memo, SCHEDULE, CONDITION, DIARY, LOVE, GUEST)"));
        QVERIFY(
            bed.sql("INSERT INTO DATA_FIL VALUES ('2001-05-20', 'hot', 5, x'00ff', NULL, 3.5, 'yes', 7)"));
        QVERIFY(bed.sql("INSERT INTO DATA_FIL VALUES (20010519, 36.5, '', '', '', '', 1, 1)"));
        QVERIFY(bed.sql("INSERT INTO DATA_FIL VALUES ('2001-05-18', 36.5, '', '', '', '', 1, 1)"));
        frmMain* w = bed.startMain();
        QVERIFY(w);
        QCOMPARE(ui(w).txtTemp->text(), QString());  // 'hot' is no temperature
        QCOMPARE(ui(w).txtMemo->text(), QStringLiteral("5"));
        // The forecast meets a day it cannot read and says so.
        QCOMPARE(bed.dialogs.texts(), QStringList{QStringLiteral("日付の読めないデータがあります。")});
    }

    void aFolderInPlaceOfTheDataFileRefusesToStart() {
        MainBed bed(QDate(2001, 5, 20), false);
        QVERIFY(QDir(bed.dir.path()).mkdir("selvane.mdb"));
        QVERIFY(!bed.startMain());
        QCOMPARE(bed.dialogs.texts(), QStringList{QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません。強制終了します。")});
    }

    void aDataFileDeletedOrReplacedWhileRunningRefusesTheSave() {
        MainBed bed(QDate(2001, 5, 20));
        frmMain* w = bed.startMain();
        QVERIFY(QFile::remove(bed.dataPath()));
        ui(w).txtTemp->setText("36.6");
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
        QCOMPARE(bed.dialogs.calls.last().title, QStringLiteral("PG-Error"));
        QVERIFY(bed.module.DataChanged);
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.6"));
        // A new, empty file in its place is not where the open file's saves would go either.
        QFile::copy(QFINDTESTDATA("test_damaged.cpp"), bed.dataPath());
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
    }

    void aSecondInstanceWaitsThenReportsAndNothingBreaks() {
        MainBed bed(QDate(2001, 5, 20));
        frmMain* w = bed.startMain();
        {
            // Another instance holds the write lock for longer than a save waits.
            QSqlDatabase other =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(bed.dataPath());
            QVERIFY(other.open());
            QSqlQuery lock(other);
            QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
            ui(w).txtTemp->setText("36.9");
            QElapsedTimer waited;
            waited.start();
            QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
            QVERIFY(waited.elapsed() >= 2000);
            QCOMPARE(bed.dialogs.calls.last().title, QStringLiteral("PG-Error"));
            QVERIFY(bed.module.DataChanged);
            QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QCOMPARE(*bed.openData()->load(QDate(2001, 5, 20))->temp, 36.9);
        QCOMPARE(bed.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    }

    void garbageSettings_data() {
        QTest::addColumn<QString>("cycle");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<bool>("startUpReports");
        QTest::newRow("letters") << "abc"
                                 << "xyz" << true;
        QTest::newRow("exponent") << "1e9"
                                  << "1e9" << true;
        QTest::newRow("empty") << ""
                               << "" << true;
        QTest::newRow("huge cycle") << "99999999999999999999"
                                    << "36.5" << false;
        QTest::newRow("very long") << QString(100000, QLatin1Char('9')) << "36.5" << false;
    }
    void garbageSettings() {
        QFETCH(QString, cycle);
        QFETCH(QString, temp);
        QFETCH(bool, startUpReports);
        MainBed bed(QDate(2001, 5, 20));
        bed.settings->save("G_CYCLE", "DATA", cycle);
        bed.settings->save("AVE_TEMP", "DATA", temp);
        DayEntry e;
        e.date = QDate(2001, 5, 10);
        e.tempText = "36.5";
        e.guest = true;
        bed.openData()->write(e, std::nullopt);
        frmMain* w = bed.startMain();
        QVERIFY(w);
        QVERIFY(!bed.dialogs.calls.isEmpty());
        QCOMPARE(bed.dialogs.calls[0].title,
                 startUpReports ? QStringLiteral("PG-Error") : QStringLiteral("Selvane"));
        ui(w).MonthView1->setSelectedDate(QDate(2001, 5, 11));
        w->MonthView1_DateClick(QDate(2001, 5, 11));
        QCOMPARE(bed.rowCount(), 1);
    }
};

QTEST_MAIN(TestDamaged)
#include "test_damaged.moc"
