// An installed program's first start: her empty diary, or the diary of a portable Selvane copied in after
// one question.
#include "main/DiaryStart.h"
#include "support/FileBytes.h"
#include "support/TestBed.h"
#include "vault/LockedFormat.h"

#include <sys/stat.h>
#include <QDir>
#include <QTest>

using diaryfolder::Build;

class TestDiaryStart : public QObject {
    Q_OBJECT

    static unsigned modeOf(const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
    }

  private slots:
    void theOffer_data() {
        QTest::addColumn<QString>("earlier");  // what the portable Selvane's folder holds
        QTest::addColumn<bool>("askedBefore");
        QTest::addColumn<bool>("take");
        QTest::addColumn<QString>("outcome");  // the new diary: "copied", "empty", or "none" (the run ends)
        QTest::newRow("taken") << "plain" << false << true << "copied";
        QTest::newRow("a locked diary taken as it is") << "locked" << false << true << "copied";
        QTest::newRow("declined") << "plain" << false << false << "empty";
        QTest::newRow("a damaged diary refused") << "damaged" << false << true << "none";
        QTest::newRow("a damaged locked diary refused") << "locked, damaged" << false << true << "none";
        QTest::newRow("asked before") << "plain" << true << false << "empty";
        QTest::newRow("a fresh account") << "" << false << false << "empty";
    }
    void theOffer() {
        QFETCH(QString, earlier);
        QFETCH(bool, askedBefore);
        QFETCH(bool, take);
        QFETCH(QString, outcome);
        TestBed bed;
        saveDay(bed, QDate(2001, 5, 2), QStringLiteral("36.55"));
        const QString portable = bed.dir.filePath(QStringLiteral("portable"));
        const QString old = portable + QStringLiteral("/selvane.mdb");
        QVERIFY(QDir().mkpath(portable + QStringLiteral("/backups")));
        writeFile(portable + QStringLiteral("/backups/selvane-20010501-090000-save.mdb"),
                  contents(bed.dataPath()));
        if (earlier == "plain") QVERIFY(QFile::copy(bed.dataPath(), old));
        if (earlier == "damaged") writeFile(old, QByteArray(4096, 'x'));
        if (earlier.startsWith("locked")) {
            QByteArray sealed = vault::seal(
                vault::newKey(vault::Secret::fromText(QStringLiteral("hinoki")), vault::kCheapestCost), 1,
                contents(bed.dataPath()));
            if (earlier.endsWith("damaged")) sealed[sealed.size() - 10] ^= 1;  // a byte of the sealed body
            writeFile(old, sealed);
        }
        if (askedBefore)
            bed.settings->save(diaryhome::kMoveInSection, settingkeys::kKey, QStringLiteral("1"));
        const QByteArray before = contents(old);
        bed.dialogs.answers << (take ? Dialogs::Answer::Yes : Dialogs::Answer::No);

        const diaryfolder::Surroundings around{bed.dir.filePath(QStringLiteral("program")),
                                               bed.dir.filePath(QStringLiteral("data")),
                                               bed.dir.filePath(QStringLiteral("home")), portable};
        const diaryhome::Start start = diaryhome::look(Build::Installed, around, *bed.settings);
        const bool started = mainwindow::prepareDiary(bed.services, start);

        const QString folder = bed.dir.filePath(QStringLiteral("data/selvane"));
        const QString diary = folder + QStringLiteral("/selvane.mdb");
        QCOMPARE(start.folder, folder);
        QCOMPARE(started, outcome != "none");
        const bool offered = !earlier.isEmpty() && !askedBefore;
        QCOMPARE(bed.dialogs.calls.size(), offered ? (outcome == "none" ? 2 : 1) : 0);
        if (offered) {
            const ScriptedDialogs::Call& question = bed.dialogs.calls.first();
            QCOMPARE(question.text,
                     QStringLiteral("以前のﾃﾞｰﾀﾌｧｲﾙがあります：\r%1\r\r"
                                    "このﾃﾞｰﾀﾌｧｲﾙとﾊﾞｯｸｱｯﾌﾟを新しい場所にｺﾋﾟｰして使いますか？\r%2\r\r"
                                    "元のﾌｧｲﾙはそのまま残ります。いいえを選ぶと空のﾃﾞｰﾀﾌｧｲﾙで始めます。"
                                    "この質問は一度だけです。")
                         .arg(old, folder));
            QCOMPARE(question.title, QStringLiteral("Selvane"));
            QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
        }
        if (outcome == "none") {
            const ScriptedDialogs::Call& refusal = bed.dialogs.calls.last();
            QVERIFY2(refusal.text.startsWith(QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙをｺﾋﾟｰできませんでした。\r")),
                     qPrintable(refusal.text));
            QCOMPARE(refusal.title, QStringLiteral("ｴﾗｰ"));
            QVERIFY(!QFile::exists(diary));
            QVERIFY(!QFile::exists(folder + QStringLiteral("/backups")));
        } else if (outcome == "copied") {
            QCOMPARE(contents(diary), before);
            QCOMPARE(contents(folder + QStringLiteral("/backups/selvane-20010501-090000-save.mdb")),
                     contents(bed.dataPath()));
        } else {
            const Result<DiarySpan> empty = DataFile::inspectFile(diary);
            QVERIFY(empty.ok());
            QCOMPARE(empty->days, 0);
            QVERIFY(!QFile::exists(folder + QStringLiteral("/backups")));
        }
        if (started) QCOMPARE(modeOf(diary), 0600u);
        // Remembered once she answered; a copy that failed asks again at the next start.
        QCOMPARE(bed.settings->get(diaryhome::kMoveInSection, settingkeys::kKey) == "1",
                 askedBefore || (offered && outcome != "none"));
        QCOMPARE(contents(old), before);
    }

    // A portable program makes nothing: a missing diary is the start-up's own message.
    void aPortableProgramMakesNoDiary() {
        TestBed bed(QDate(2001, 5, 20), false);
        const diaryfolder::Surroundings around{
            bed.dir.path(), {}, bed.dir.filePath(QStringLiteral("home")), {}};
        QVERIFY(
            mainwindow::prepareDiary(bed.services, diaryhome::look(Build::Portable, around, *bed.settings)));
        QVERIFY(!QFile::exists(bed.dataPath()));
        QVERIFY(bed.dialogs.calls.isEmpty());
    }
};

QTEST_MAIN(TestDiaryStart)
#include "test_diarystart.moc"
