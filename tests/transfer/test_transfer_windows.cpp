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

    // The summary counts, her choice for the differing day, a backup first, and the day shown anew.
    void importFollowsTheSummary_data() {
        QTest::addColumn<std::optional<int>>("choice");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("rows");
        QTest::newRow("take the file's") << std::optional<int>(1) << "37.1" << 2;
        QTest::newRow("keep mine") << std::optional<int>(0) << "36.4" << 2;
        QTest::newRow("cancel") << std::optional<int>() << "36.4" << 1;
    }
    void importFollowsTheSummary() {
        QFETCH(std::optional<int>, choice);
        QFETCH(QString, shown);
        QFETCH(int, rows);
        MainBed bed;
        saveDay(bed, QDate(2001, 5, 20), "36.4");
        frmMain* w = bed.startMain();
        const QString file = bed.dir.filePath(QStringLiteral("in.csv"));
        writeFile(file,
                  "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\n"
                  "2001-05-20,37.1,,,,,0,0\n2001-05-21,36.9,,,,,1,0\n");
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{file, 0});
        bed.dialogs.choices.enqueue(choice);
        menuItem(w, "mnuFileImport")->trigger();
        const auto& summary = bed.dialogs.calls.at(1);
        QCOMPARE(summary.kind, ScriptedDialogs::Call::Choose);
        QVERIFY(summary.text.contains(QStringLiteral("新しい日：1日\r同じ日：0日\r内容の違う日：1日")));
        QCOMPARE(summary.options, QStringList({"自分のﾃﾞｰﾀを残す", "ﾌｧｲﾙのﾃﾞｰﾀにする"}));
        QCOMPARE(bed.rowCount(), rows);
        QCOMPARE(ui(w).txtTemp->text(), shown);
        QCOMPARE(backupNames(bed).size(), choice ? 1 : 0);
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
        QVERIFY(dialogs.calls.at(2).text.contains(QStringLiteral("新しい日：1日\r同じ日：1日")));
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

    // The day's first save leaves a backup; the list shows it; restoring it brings the old day back.
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
        bed.dialogs.clear();
        bed.dialogs.choices.enqueue(0);
        bed.dialogs.answers.enqueue(Answer::Yes);
        menuItem(w, "mnuSetRestore")->trigger();
        const auto& list = bed.dialogs.calls.first();
        QCOMPARE(list.options.size(), 1);
        QVERIFY2(
            list.options.first().contains(QStringLiteral("その日最初の登録　1日分　最新の日 2001-05-20")),
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
