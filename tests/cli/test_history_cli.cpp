// --cycles as a script runs it: the program copied into a folder of its own beside a diary, its exact CSV,
// a locked diary opened with its passphrase, and its exit status for a diary it cannot read.
#include "data/DataFile.h"
#include "data/Schema.h"
#include "support/ProgramRun.h"
#include "vault/LockedDiary.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kCsv(
    "start,length,bleeding_days,shift_day,coverline\n"
    "2024-02-29,28,3,8,36.40\n"
    "2024-03-28,,2,,\n");

// passphrase: what the program reads from --passphrase-fd 0.
ProgramRun runIn(const QTemporaryDir& dir, QStringList arguments, const QString& passphrase = {}) {
    const QString program = dir.filePath(QStringLiteral("selvane"));
    if (!QFile::exists(program)) QFile::copy(QStringLiteral(SELVANE_EXE), program);
    ProgramCall call;
    call.folder = dir.path();
    if (!passphrase.isEmpty()) {
        arguments << QStringLiteral("--passphrase-fd") << QStringLiteral("0");
        call.input = passphrase.toUtf8() + '\n';
    }
    return runProgram(program, arguments, call);
}

DayRecord day(const QDate& date, std::optional<double> temp, bool guest = false) {
    DayRecord record;
    record.date = date;
    record.temp = temp;
    record.guest = guest;
    return record;
}

// A day before any period, a period over the leap day with a day's gap and a shift, the next one running.
void writeDiary(const QTemporaryDir& dir) {
    QVERIFY(schema::createEmptyDataFile(dir.filePath(QStringLiteral("selvane.mdb"))));
    auto diary = DataFile::open(dir.filePath(QStringLiteral("selvane.mdb")));
    const QDate leap(2024, 2, 29);
    // Six low readings around a missing one, three high ones; a reading that is no reading, a day without
    // one.
    const std::vector<DayRecord> records{
        day(leap.addDays(-2), 36.4),       day(leap, 36.3, true),
        day(leap.addDays(1), 36.35, true), day(leap.addDays(3), 36.25, true),
        day(leap.addDays(4), 36.4),        day(leap.addDays(5), 36.3),
        day(leap.addDays(6), 36.35),       day(leap.addDays(7), 36.55),
        day(leap.addDays(8), 36.6),        day(leap.addDays(9), 36.65),
        day(leap.addDays(15), 99.0),       day(leap.addDays(16), std::nullopt),
        day(leap.addDays(28), 36.3, true), day(leap.addDays(29), 36.3, true)};
    QVERIFY(diary->importRecords(records, {}) == DataFile::ImportResult::Written);
}

}  // namespace

class TestHistoryCli : public QObject {
    Q_OBJECT

  private slots:
    void printsHerCyclesOldestFirstAlsoFromALockedDiary() {
        QTemporaryDir dir;
        writeDiary(dir);
        const ProgramRun plain = runIn(dir, {QStringLiteral("--cycles")});
        QVERIFY2(plain.status == 0, qPrintable(plain.err));
        QCOMPARE(plain.out, kCsv);
        QVERIFY(plain.err.isEmpty());

        const QString path = dir.filePath(QStringLiteral("selvane.mdb"));
        vault::lockDiary(path, vault::Secret::fromText(QStringLiteral("hinoki")), vault::kCheapestCost, {})
            .reset();
        const ProgramRun wrong = runIn(dir, {QStringLiteral("--cycles")}, QStringLiteral("hinok"));
        QCOMPARE(wrong.status, 1);
        QVERIFY(wrong.out.isEmpty());
        QVERIFY2(wrong.err.contains(vault::kWrongPassphrase), qPrintable(wrong.err));
        const ProgramRun locked = runIn(dir, {QStringLiteral("--cycles")}, QStringLiteral("hinoki"));
        QVERIFY2(locked.status == 0, qPrintable(locked.err));
        QCOMPARE(locked.out, kCsv);
        QVERIFY2(locked.err.contains(QStringLiteral("注意")),
                 qPrintable(locked.err));  // it comes out unsealed
        QVERIFY(vault::isLockedFile(path));
    }

    // The higher readings marked as disturbed in a Selvane CSV: imported over her days that differ only in
    // the mark, they leave the cycle without a shift.
    void markedReadingsComeInAndLeaveTheShiftOut() {
        QTemporaryDir dir;
        writeDiary(dir);
        QFile csv(dir.filePath(QStringLiteral("marks.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(
            "date,temperature,condition,medication,schedule,diary,menstruation,intercourse,excluded\r\n"
            "2024-03-07,36.55,,,,,0,0,1\r\n2024-03-08,36.6,,,,,0,0,true\r\n"
            "2024-03-09,36.65,,,,,0,0,1\r\n2024-03-06,36.35,,,,,0,0,0\r\n");
        csv.close();
        const ProgramRun imported = runIn(dir, {"--import", csv.fileName(), "--on-conflict", "replace"});
        QVERIFY2(imported.status == 0, qPrintable(imported.err));
        QVERIFY2(imported.err.contains(QStringLiteral("同じ日：1日　違う日：3日")), qPrintable(imported.err));
        const QByteArray noShift(
            "start,length,bleeding_days,shift_day,coverline\n"
            "2024-02-29,28,3,,\n"
            "2024-03-28,,2,,\n");
        QCOMPARE(runIn(dir, {QStringLiteral("--cycles")}).out, noShift);
        // A file without the column says nothing of the marks: her marked days read as the same, and one
        // taken from the file keeps its mark.
        QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
        csv.write(
            "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\r\n"
            "2024-03-07,36.55,,,,,0,0\r\n2024-03-08,36.6,,,,,0,0\r\n2024-03-09,36.7,,,,,0,0\r\n");
        csv.close();
        const ProgramRun again = runIn(dir, {"--import", csv.fileName(), "--on-conflict", "replace"});
        QVERIFY2(again.err.contains(QStringLiteral("同じ日：2日　違う日：1日")), qPrintable(again.err));
        QCOMPARE(runIn(dir, {QStringLiteral("--cycles")}).out, noShift);
    }

    void refusesWhatItCannotRead_data() {
        QTest::addColumn<QByteArray>("file");  // the diary's bytes; "empty" for a fresh empty diary
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QStringList cycles{QStringLiteral("--cycles")};
        QTest::newRow("an empty diary") << QByteArray("empty") << cycles << 0 << "";
        QTest::newRow("no diary") << QByteArray() << cycles << 1 << "ﾃﾞｰﾀﾌｧｲﾙがありません";
        QTest::newRow("a damaged locked diary")
            << QByteArray("SELVLOCK").append(200, '\x5a') << cycles << 1 << "ﾃﾞｰﾀﾌｧｲﾙを開けません";
        QTest::newRow("not a diary") << QByteArray(4096, '\x7f') << cycles << 1 << "ﾃﾞｰﾀﾌｧｲﾙを開けません";
        QTest::newRow("another command's option")
            << QByteArray("empty") << QStringList{"--cycles", "--format", "drip"} << 2 << "--format";
    }
    void refusesWhatItCannotRead() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("selvane.mdb"));
        if (file == "empty") {
            QVERIFY(schema::createEmptyDataFile(path));
        } else if (!file.isEmpty()) {
            QFile diary(path);
            QVERIFY(diary.open(QIODevice::WriteOnly));
            diary.write(file);
        }
        const ProgramRun run = runIn(dir, arguments);
        QVERIFY2(run.status == status, qPrintable(run.err));
        if (status == 0) {
            QCOMPARE(run.out, QByteArray("start,length,bleeding_days,shift_day,coverline\n"));
        } else {
            QVERIFY(run.out.isEmpty());
            QVERIFY2(run.err.contains(says), qPrintable(run.err));
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryCli)
#include "test_history_cli.moc"
