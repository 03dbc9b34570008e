// The whole-diary commands in the main window, driven through its menus with scripted dialogs: what she is
// asked, what the files hold afterwards, and what the window shows.
#include "support/FileBytes.h"
#include "support/MainBed.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using Answer = Dialogs::Answer;

namespace {

QStringList backupNames(const TestBed& bed) {
    return QDir(bed.dir.filePath(QStringLiteral("backups"))).entryList(QDir::Files, QDir::Name);
}

// Backups cannot be made: a file stands where their folder goes.
void blockBackups(TestBed& bed) { writeFile(bed.dir.filePath(QStringLiteral("backups")), "not a folder"); }

}  // namespace

class TestTransferWindows : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    void exportAsksBeforeReplacing() {
        MainBed bed;
        saveDay(bed, QDate(2001, 5, 20), "36.4", true, "今日");
        frmMain* w = bed.startMain();
        const QString target = bed.dir.filePath(QStringLiteral("phone.csv"));
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{target, 1});
        menuItem(w, "mnuFileExportAll")->trigger();
        const auto& call = bed.dialogs.calls.first();
        QCOMPARE(call.kind, ScriptedDialogs::Call::ChooseFile);
        QCOMPARE(call.options, QStringList({"Selvane CSV (*.csv)", "drip CSV (*.csv)"}));
        QCOMPARE(call.initial, bed.dir.filePath(QStringLiteral("selvane-20010520.csv")));
        QCOMPARE(contents(target),
                 QByteArray("date,temperature.value,temperature.exclude,temperature.note,bleeding.value,"
                            "bleeding.exclude,sex.partner,sex.note,pain.note,mood.note,note.value\n"
                            "2001-05-20,36.4,false,,2,false,,,,,今日\n"));
        bed.dialogs.clear();
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{target, 0});
        bed.dialogs.answers.enqueue(Answer::No);
        menuItem(w, "mnuFileExportAll")->trigger();
        QCOMPARE(bed.dialogs.calls.at(1).text, QStringLiteral("上書きしますか？"));
        QVERIFY(contents(target).startsWith("date,temperature.value"));
    }

    // A check-up planned for next week (saved with the average temperature, as the window saves it), a
    // reading of 0 from another program and a day holding nothing: drip gets the plan as a note, no reading,
    // no line for the empty day, and she is told what was left out.
    void dripExportTakesWhatDripTakes() {
        MainBed bed;
        frmMain* w = bed.startMain();
        clickDay(w, QDate(2001, 5, 27));
        ui(w).txtSchedule->setText(QStringLiteral("通院"));
        menuItem(w, "mnuRegister")->trigger();
        QVERIFY(bed.sql(
            QStringLiteral("INSERT INTO DATA_FIL (DAT_DATE, TEMP, GUEST) VALUES ('2001-05-10', 0, 1)")));
        QVERIFY(bed.sql(
            QStringLiteral("INSERT INTO DATA_FIL (DAT_DATE, TEMP, DIARY) VALUES ('2001-05-11', NULL, '')")));
        const QString target = bed.dir.filePath(QStringLiteral("phone.csv"));
        bed.dialogs.clear();
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{target, 1});
        menuItem(w, "mnuFileExportAll")->trigger();
        QCOMPARE(contents(target),
                 QByteArray("date,temperature.value,temperature.exclude,temperature.note,bleeding.value,"
                            "bleeding.exclude,sex.partner,sex.note,pain.note,mood.note,note.value\n"
                            "2001-05-10,,,,2,false,,,,,\n"
                            "2001-05-27,,,,,,,,,,\"体調：\n薬：\n予定：通院\"\n"));
        QCOMPARE(bed.dialogs.calls.last().text,
                 QStringLiteral("2日分を書き出しました。\r"
                                "drip に渡すもののない日は書き出していません：1日\r"
                                "今日より後の日は、体温と月経・性交の印を除いてﾒﾓだけにしました：1日\r"
                                "30～45℃ の範囲にない体温は、体温なしにしました：1日\r"
                                "（drip の形式では、体調・薬・予定・日記は一つのﾒﾓになります）"));

        // An empty diary says that it wrote no day.
        QVERIFY(bed.sql(QStringLiteral("DELETE FROM DATA_FIL")));
        bed.dialogs.clear();
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{target, 0});
        bed.dialogs.answers.enqueue(Answer::Yes);
        menuItem(w, "mnuFileExportAll")->trigger();
        QCOMPARE(bed.dialogs.calls.last().text, QStringLiteral("書き出した日はありません。"));
    }

    // The summary counts, every differing day with hers beside the file's, her choice day by day (ticked: the
    // file's), a backup first, and the day shown anew.
    void importFollowsTheSummary_data() {
        QTest::addColumn<QString>("ticks");  // one 0/1 for each differing day; empty: Cancel
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("temps");  // 19 and 20 May as stored afterwards
        QTest::addColumn<int>("rows");
        QTest::newRow("take the file's for every day") << "11"
                                                       << "37.1"
                                                       << "36.9 37.1" << 3;
        QTest::newRow("take it for one day") << "01"
                                             << "37.1"
                                             << "36.5 37.1" << 3;
        QTest::newRow("keep mine") << "00"
                                   << "36.4"
                                   << "36.5 36.4" << 3;
        QTest::newRow("cancel") << ""
                                << "36.4"
                                << "36.5 36.4" << 2;
    }
    void importFollowsTheSummary() {
        QFETCH(QString, ticks);
        QFETCH(QString, shown);
        QFETCH(QString, temps);
        QFETCH(int, rows);
        MainBed bed;
        saveDay(bed, QDate(2001, 5, 19), "36.5", false, QStringLiteral("私の日記"));
        saveDay(bed, QDate(2001, 5, 20), "36.4");
        frmMain* w = bed.startMain();
        const QString file = bed.dir.filePath(QStringLiteral("in.csv"));
        writeFile(file,
                  "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\n"
                  "2001-05-19,36.9,,,,,1,0\n2001-05-20,37.1,,,,,0,0\n2001-05-21,36.9,,,,,1,0\n");
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{file, 0});
        std::optional<std::vector<bool>> answer;
        if (!ticks.isEmpty()) answer = std::vector<bool>{ticks[0] == u'1', ticks[1] == u'1'};
        bed.dialogs.ticks.enqueue(answer);
        menuItem(w, "mnuFileImport")->trigger();
        const auto& summary = bed.dialogs.calls.at(1);
        QCOMPARE(summary.kind, ScriptedDialogs::Call::Compare);
        QVERIFY(summary.text.contains(QStringLiteral("新しい日：1日\r内容の同じ日：0日\r内容の違う日：2日")));
        QCOMPARE(summary.options, QStringList({"日付・項目", "自分のﾃﾞｰﾀ", "ﾌｧｲﾙのﾃﾞｰﾀ"}));
        QCOMPARE(int(summary.items.size()), 2);
        QCOMPARE(summary.items[0].caption, QStringLiteral("2001/05/19(土)"));
        QCOMPARE(summary.items[0].lines,
                 QStringList({"基礎体温\t36.5\t36.9", "月経\tなし\tあり", "日記\t私の日記\t（なし）"}));
        QCOMPARE(summary.items[1].lines, QStringList{"基礎体温\t36.4\t37.1"});
        QCOMPARE(bed.rowCount(), rows);
        QCOMPARE(ui(w).txtTemp->text(), shown);
        QCOMPARE(bed.scalar("SELECT group_concat(TEMP, ' ') FROM (SELECT TEMP FROM DATA_FIL WHERE DAT_DATE <"
                            " '2001-05-21' ORDER BY DAT_DATE)")
                     .toString(),
                 temps);
        QCOMPARE(backupNames(bed).size(), ticks.isEmpty() ? 0 : 1);
    }

    // Another program imports while her summary is open: the window counts again and asks again, and no day
    // is written twice.
    void aSummaryOvertakenIsShownAgain() {
        struct Interrupted : ScriptedDialogs {
            std::function<void()> meanwhile;
            std::optional<int> choose(QWidget* parent, const QString& text, const QString& title,
                                      const QStringList& options) override {
                if (meanwhile) std::exchange(meanwhile, nullptr)();
                return ScriptedDialogs::choose(parent, text, title, options);
            }
        } dialogs;
        MainBed bed;
        bed.services.dialogs = &dialogs;
        frmMain* w = bed.startMain();
        const QString file = bed.dir.filePath(QStringLiteral("in.csv"));
        writeFile(file, "date,temperature.value\n2001-05-21,36.9\n2001-05-22,36.8\n");
        dialogs.meanwhile = [&] { saveDay(bed, QDate(2001, 5, 21), "36.9"); };
        dialogs.chosenFiles.enqueue(Dialogs::FileChoice{file, 0});
        dialogs.choices << 0 << 0;
        menuItem(w, "mnuFileImport")->trigger();
        QCOMPARE(bed.rowCount(), 2);
        QVERIFY(dialogs.calls.at(1).text.contains(QStringLiteral("新しい日：2日")));
        QVERIFY(dialogs.calls.at(2).text.startsWith(QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更されたので")));
        QVERIFY(dialogs.calls.at(2).text.contains(QStringLiteral("新しい日：1日\r内容の同じ日：1日")));
    }

    void importStopsWhenItsBackupFails() {
        MainBed bed;
        frmMain* w = bed.startMain();
        blockBackups(bed);
        const QString file = bed.dir.filePath(QStringLiteral("in.csv"));
        writeFile(file, "date,temperature.value\n2001-05-21,36.9\n");
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{file, 0});
        bed.dialogs.choices.enqueue(0);
        menuItem(w, "mnuFileImport")->trigger();
        QCOMPARE(bed.rowCount(), 0);
        QVERIFY(bed.dialogs.calls.last().text.startsWith(
            QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作れなかったので、読み込みをやめました。")));
    }

    // The day's first save leaves a backup; the list shows it; the question says what the restore changes;
    // restoring it brings the old day back.
    void restoreBringsBackTheBackedUpDay() {
        MainBed bed;
        frmMain* w = bed.startMain();
        ui(w).txtTemp->setText(QStringLiteral("36.2"));
        menuItem(w, "mnuRegister")->trigger();
        QCOMPARE(backupNames(bed).size(), 1);
        bed.dialogs.answers.enqueue(Answer::Yes);  // overwrite
        ui(w).txtTemp->setText(QStringLiteral("37.0"));
        menuItem(w, "mnuRegister")->trigger();
        QCOMPARE(backupNames(bed).size(), 1);  // one a day
        saveDay(bed, QDate(2001, 5, 22), "36.6");
        bed.dialogs.clear();
        bed.dialogs.choices.enqueue(0);
        bed.dialogs.answers.enqueue(Answer::Yes);
        menuItem(w, "mnuSetRestore")->trigger();
        // Before she agrees: what the diary gains and loses against the backup.
        QVERIFY2(bed.dialogs.calls.at(1).text.contains(
                     QStringLiteral("戻すと：\r　加わる日（ﾊﾞｯｸｱｯﾌﾟにだけある日）：0日\r"
                                    "　なくなる日（今の日記にだけある日）：1日\r　内容の変わる日：1日\r"
                                    "今の日記はその前にﾊﾞｯｸｱｯﾌﾟします。")),
                 qPrintable(bed.dialogs.calls.at(1).text));
        const auto& list = bed.dialogs.calls.first();
        QCOMPARE(list.options.size(), 1);
        QVERIFY2(list.options.first().contains(
                     QStringLiteral("\tその日最初の登録の後\t1日分\t最新の日 2001年05月20日")),
                 qPrintable(list.options.first()));
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.2"));
        QCOMPARE(backupNames(bed).size(), 2);  // and the diary as it was before the restore
    }

    // A failed daily backup never stops a save, and is told once.
    void aFailedDailyBackupIsToldOnce() {
        MainBed bed;
        frmMain* w = bed.startMain();
        blockBackups(bed);
        for (const QDate& day : {QDate(2001, 5, 20), QDate(2001, 5, 21)}) {
            clickDay(w, day);
            menuItem(w, "mnuRegister")->trigger();
        }
        QCOMPARE(bed.rowCount(), 2);
        int told = 0;
        for (const auto& call : bed.dialogs.calls)
            told += call.text.contains(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作れませんでした")) ? 1 : 0;
        QCOMPARE(told, 1);
    }

    void purgeStopsWhenItsBackupFails() {
        MainBed bed;
        saveDay(bed, QDate(2001, 5, 1), "36.3");
        frmMain* w = bed.startMain();
        blockBackups(bed);
        bed.dialogs.answers.enqueue(Answer::Yes);
        menuItem(w, "mnuSetMente")->trigger();
        QCOMPARE(bed.scalar(QStringLiteral("SELECT DAT_DATE FROM DATA_FIL")).toString(),
                 QStringLiteral("2001-05-01"));
        QVERIFY(bed.dialogs.calls.last().text.contains(QStringLiteral("ﾒﾝﾃﾅﾝｽをやめました")));
    }
};

QTEST_MAIN(TestTransferWindows)
#include "test_transfer_windows.moc"
