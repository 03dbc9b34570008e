// A save writes only what she edited, exactly as it was read otherwise, and notices a day that another
// program (the command line, an import) changed while the window showed it.
#include "main/frmMain.h"
#include "support/MainBed.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTextEdit>

namespace {

using Answer = Dialogs::Answer;
const QDate kDay(2024, 3, 28);
const QString kOverwrite = QStringLiteral("上書きしますか？");

bool changedQuestion(const QString& text) {
    return text.startsWith(QStringLiteral("この日のﾃﾞｰﾀは、表示した後に"));
}

}  // namespace

class TestChangedDay : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    // Numbers with more digits than the box shows, numbers beyond a single-precision real and text bytes
    // that are not UTF-8 survive a save of another field untouched.
    void untouchedFieldsAreWrittenBackAsRead() {
        MainBed bed(kDay);
        QVERIFY(
            bed.sql("INSERT INTO DATA_FIL VALUES ('2024-03-28', 36.123456789, CAST(X'E9E9' AS TEXT), '',"
                    " '', CAST(X'4DFC6463' AS TEXT), 0, 1)"));
        frmMain* w = bed.startMain();
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.12346"));
        ui(w).txtCondition->setText(QStringLiteral("頭痛"));
        bed.dialogs.answers << Answer::Yes;
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QCOMPARE(bed.scalar("SELECT TEMP FROM DATA_FIL").toDouble(), 36.123456789);
        QCOMPARE(
            bed.scalar("SELECT hex(Memo) || ',' || hex(DIARY) || ',' || CONDITION FROM DATA_FIL").toString(),
            QStringLiteral("E9E9,4DFC6463,頭痛"));

        QVERIFY(bed.sql("UPDATE DATA_FIL SET TEMP = 1e300"));
        clickDay(w, kDay.addDays(-1));
        clickDay(w, kDay);
        QVERIFY(!ui(w).txtTemp->text().contains(QStringLiteral("inf")));
        QVERIFY(ui(w).txtTemp->text().startsWith(QStringLiteral("1000000000")));
        ui(w).chkSex->setChecked(true);
        bed.dialogs.answers << Answer::Yes;
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QCOMPARE(bed.scalar("SELECT TEMP FROM DATA_FIL").toDouble(), 1e300);
        QCOMPARE(bed.scalar("SELECT LOVE FROM DATA_FIL").toInt(), 1);
    }

    // Another program changed the day after the window showed it.
    void aDayChangedUnderTheWindow_data() {
        QTest::addColumn<QString>("change");  // the other program's statement
        QTest::addColumn<bool>("conflict");   // it changed what she edited
        QTest::addColumn<Answer>("answer");   // to the question of a changed day
        QTest::addColumn<QString>("temp");    // the day's temperature afterwards
        QTest::addColumn<QString>("memo");
        QTest::newRow("another field")
            << "UPDATE DATA_FIL SET Memo = 'ﾛｷｿﾆﾝ', TEMP = 36.4" << false << Answer::No << "36.4"
            << "ﾛｷｿﾆﾝ";
        QTest::newRow("her field, hers kept")
            << "UPDATE DATA_FIL SET Memo = 'ﾛｷｿﾆﾝ', DIARY = 'ほか'" << true << Answer::Yes << "36.5"
            << "ﾛｷｿﾆﾝ";
        QTest::newRow("her field, theirs taken")
            << "UPDATE DATA_FIL SET Memo = 'ﾛｷｿﾆﾝ', DIARY = 'ほか'" << true << Answer::No << "36.5"
            << "ﾛｷｿﾆﾝ";
        QTest::newRow("a row added under an empty day")
            << "DELETE FROM DATA_FIL; INSERT INTO DATA_FIL VALUES ('2024-03-28', 36.9, 'ﾛｷｿﾆﾝ', '', '', '', "
               "0, 0)"
            << false << Answer::No << "36.9"
            << "ﾛｷｿﾆﾝ";
    }
    void aDayChangedUnderTheWindow() {
        QFETCH(QString, change);
        QFETCH(bool, conflict);
        QFETCH(Answer, answer);
        QFETCH(QString, temp);
        QFETCH(QString, memo);
        MainBed bed(kDay);
        const bool empty = change.startsWith(QStringLiteral("DELETE"));
        if (!empty) saveDay(bed, kDay, QStringLiteral("36.5"), false, QStringLiteral("朝"));
        frmMain* w = bed.startMain();
        ui(w).rtbDiary->setPlainText(QStringLiteral("夜"));
        for (const QString& statement : change.split(QStringLiteral("; "))) QVERIFY(bed.sql(statement));
        if (conflict) bed.dialogs.answers << answer;
        bed.dialogs.answers << Answer::Yes;  // the overwrite
        const bool hers = !conflict || answer == Answer::Yes;
        QCOMPARE(w->SaveDayRecord(), hers ? frmMain::SaveResult::Saved : frmMain::SaveResult::Declined);
        QCOMPARE(changedQuestion(bed.dialogs.texts().value(0)), conflict);
        QCOMPARE(bed.dialogs.texts().contains(kOverwrite), !conflict);
        QCOMPARE(bed.rowCount(), 1);
        QCOMPARE(bed.scalar("SELECT TEMP FROM DATA_FIL").toString(), temp);
        QCOMPARE(bed.scalar("SELECT Memo FROM DATA_FIL").toString(), memo);
        const QString diary = hers ? QStringLiteral("夜") : QStringLiteral("ほか");
        QCOMPARE(bed.scalar("SELECT DIARY FROM DATA_FIL").toString(), diary);
        // The window shows the day as it is now, her edit included.
        QCOMPARE(ui(w).txtMemo->text(), memo);
        QCOMPARE(ui(w).txtTemp->text(), temp);
        QCOMPARE(ui(w).rtbDiary->toPlainText(), diary);
        QVERIFY(!bed.module.DataChanged);
    }

    // The command line imports over the day the window shows: her save keeps the imported temperature and
    // flag she did not touch.
    // The file moved away or replaced by another one under the window (a copy put back, the diary locked by
    // the command line): her save says why in its one PG-Error box, and her edits stay.
    void aSaveToAFileGoneOrReplaced_data() {
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QString>("words");
        QTest::newRow("deleted") << false << QStringLiteral("移動または削除されました");
        QTest::newRow("replaced") << true << QStringLiteral("ほかのﾌﾟﾛｸﾞﾗﾑで置き換えられました");
    }
    void aSaveToAFileGoneOrReplaced() {
        QFETCH(bool, replaced);
        QFETCH(QString, words);
        MainBed bed(kDay);
        frmMain* w = bed.startMain();
        const QString other = bed.dataPath() + QStringLiteral(".other");
        QVERIFY(QFile::copy(bed.dataPath(), other));
        QVERIFY(QFile::remove(bed.dataPath()));
        if (replaced) QVERIFY(QFile::rename(other, bed.dataPath()));
        ui(w).txtCondition->setText(QStringLiteral("頭痛"));
        bed.dialogs.clear();
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QCOMPARE(bed.dialogs.calls[0].title, QStringLiteral("PG-Error"));
        QVERIFY2(bed.dialogs.calls[0].text.contains(words), qPrintable(bed.dialogs.calls[0].text));
        QVERIFY(bed.module.DataChanged);
    }

    void anImportByAnotherProcess() {
        MainBed bed(kDay);
        saveDay(bed, kDay, QStringLiteral("36.5"), false, QStringLiteral("朝"));
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), bed.dir.filePath(QStringLiteral("selvane"))));
        QFile csv(bed.dir.filePath(QStringLiteral("in.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(
            "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\n"
            "2024-03-28,36.8,,,,朝,1,0\n");
        csv.close();
        frmMain* w = bed.startMain();
        ui(w).txtCondition->setText(QStringLiteral("頭痛"));
        QProcess cli;
        cli.start(bed.dir.filePath(QStringLiteral("selvane")),
                  {QStringLiteral("--import"), csv.fileName(), QStringLiteral("--on-conflict"),
                   QStringLiteral("replace")});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        bed.dialogs.answers << Answer::Yes;
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QCOMPARE(bed.scalar("SELECT TEMP || ',' || GUEST || ',' || CONDITION FROM DATA_FIL").toString(),
                 QStringLiteral("36.8,1,頭痛"));
        QVERIFY(ui(w).chkMens->isChecked());
    }
};

QTEST_MAIN(TestChangedDay)
#include "test_changed_day.moc"
