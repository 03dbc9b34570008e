#include "data/DataFile.h"
#include "data/Schema.h"
#include "data/SettingsStore.h"
#include "platform/core/PgError.h"
#include "support/FileBytes.h"
#include "support/TestBed.h"

#include <QFile>
#include <QTest>

namespace {
DayEntry entry(const QDate& day, const QString& temp) {
    DayEntry e;
    e.date = day;
    e.tempText = temp;
    return e;
}
}  // namespace

class TestDataFile : public QObject {
    Q_OBJECT

  private slots:
    // A new file holds the table and indexes as every file has held them, made from the one column list, and
    // the table of the marks beside them.
    void makerNeverReplacesADiary() {
        TestBed bed;
        QVERIFY(QFile::exists(bed.dataPath()));
        QCOMPARE(
            bed.scalar("SELECT group_concat(sql, ';') FROM sqlite_schema WHERE tbl_name = 'DATA_FIL' AND "
                       "type <> 'trigger'")
                .toString(),
            QStringLiteral(
                "CREATE TABLE DATA_FIL ( DAT_DATE TEXT NOT NULL CHECK (DAT_DATE GLOB "
                "'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'), TEMP REAL, Memo TEXT, SCHEDULE TEXT, "
                "CONDITION TEXT, DIARY TEXT, LOVE INTEGER CHECK (LOVE IN (0, 1)), GUEST INTEGER CHECK "
                "(GUEST IN (0, 1))) STRICT;CREATE INDEX DATA_FIL_DATE ON DATA_FIL (DAT_DATE);CREATE INDEX "
                "DATA_FIL_GUEST_DATE ON DATA_FIL (DAT_DATE) WHERE GUEST = 1"));
        QCOMPARE(
            bed.scalar("SELECT sql FROM sqlite_schema WHERE name = 'EXCLUDED'").toString(),
            QStringLiteral("CREATE TABLE EXCLUDED (DAT_DATE TEXT PRIMARY KEY NOT NULL CHECK (DAT_DATE GLOB "
                           "'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]')) STRICT, WITHOUT ROWID"));
        QCOMPARE(int(QFile::permissions(bed.dataPath()) & (QFile::ReadGroup | QFile::ReadOther)), 0);
        bed.openData()->write(entry(QDate(2001, 5, 2), "36.5"), std::nullopt);
        QString reason;
        QVERIFY(!schema::createEmptyDataFile(bed.dataPath(), &reason));
        QCOMPARE(bed.rowCount(), 1);
    }

    void oneRowPerDayAddedThenChanged() {
        TestBed bed;
        auto db = bed.openData();
        const QDate day(2001, 5, 2);
        QVERIFY(!db->findRow(day));
        DayEntry first = entry(day, "36.72");
        first.diary = "最初";
        first.guest = true;
        db->write(first, db->findRow(day));
        const auto row = db->findRow(day);
        QVERIFY(row);
        DayEntry second = entry(day, "３６．８");  // full-width digits count as narrow ones
        second.memo = "薬";
        db->write(second, row);
        QCOMPARE(bed.rowCount(), 1);
        const auto loaded = db->load(day);
        QVERIFY(loaded);
        QCOMPARE(*loaded->temp, 36.8);
        QCOMPARE(loaded->memo, QStringLiteral("薬"));
        QCOMPARE(loaded->diary, QString());
        QVERIFY(!loaded->guest);
        // A day's date is stored zero-padded, so 2 May never meets 20 May or 2 December.
        db->write(entry(QDate(2001, 5, 20), "36"), std::nullopt);
        db->write(entry(QDate(2001, 12, 2), "36"), std::nullopt);
        QCOMPARE(*db->load(day)->temp, 36.8);
        QVERIFY(!db->load(QDate(2001, 5, 3)));
    }

    void addingASecondRowForADayIsRefused() {
        TestBed bed;
        auto db = bed.openData();
        db->write(entry(QDate(2001, 5, 2), "36.5"), std::nullopt);
        QVERIFY_THROWS_EXCEPTION(PgError, db->write(entry(QDate(2001, 5, 2), "36.6"), std::nullopt));
        QCOMPARE(bed.rowCount(), 1);
    }

    // A save over a row changes that row whatever its day and flags held, and the indexes follow.
    void saveOverARow_data() {
        QTest::addColumn<QString>("stored");  // the row's day and menstruation flag, as SQL values
        QTest::addColumn<QDate>("day");       // the day saved over it
        QTest::addColumn<bool>("guest");
        QTest::newRow("same day and flag") << "'2001-05-02', 0" << QDate(2001, 5, 2) << false;
        QTest::newRow("same day, menstruation kept") << "'2001-05-02', 1" << QDate(2001, 5, 2) << true;
        QTest::newRow("menstruation ticked") << "'2001-05-02', 0" << QDate(2001, 5, 2) << true;
        QTest::newRow("menstruation cleared") << "'2001-05-02', 1" << QDate(2001, 5, 2) << false;
        QTest::newRow("flag empty") << "'2001-05-02', NULL" << QDate(2001, 5, 2) << false;
        QTest::newRow("row of another day") << "'2001-05-01', 1" << QDate(2001, 5, 2) << false;
    }
    void saveOverARow() {
        QFETCH(QString, stored);
        QFETCH(QDate, day);
        QFETCH(bool, guest);
        TestBed bed;
        QVERIFY(bed.sql("INSERT INTO DATA_FIL (DAT_DATE, GUEST, TEMP) VALUES (" + stored + ", 36.1)"));
        auto db = bed.openData();
        const qint64 row = bed.scalar("SELECT rowid FROM DATA_FIL").toLongLong();
        DayEntry saved = entry(day, "36.9");
        saved.memo = "薬";
        saved.guest = guest;
        db->write(saved, row);
        QCOMPARE(bed.rowCount(), 1);
        QCOMPARE(db->findRow(day), std::optional<qint64>(row));
        const auto loaded = db->load(day);
        QVERIFY(loaded);
        QCOMPARE(*loaded->temp, 36.9);
        QCOMPARE(loaded->memo, QStringLiteral("薬"));
        QCOMPARE(loaded->guest, guest);
        QList<QDate> menstruation;
        db->forEachMenstruationDay([&](const QDate& d) { return menstruation.append(d), true; });
        QCOMPARE(menstruation, guest ? QList<QDate>{day} : QList<QDate>{});
    }

    void emptyTextsAreStoredAsEmptyNotNull() {
        TestBed bed;
        auto db = bed.openData();
        db->write(entry(QDate(2001, 5, 2), "36.5"), std::nullopt);
        QCOMPARE(bed.scalar("SELECT COUNT(*) FROM DATA_FIL WHERE Memo = '' AND DIARY = '' AND SCHEDULE = ''"
                            " AND CONDITION = ''")
                     .toInt(),
                 1);
        QCOMPARE(db->load(QDate(2001, 5, 2))->diary, QString());
    }

    void nullFieldsReadAsEmptyAndUnset() {
        TestBed bed;
        bed.sql("INSERT INTO DATA_FIL (DAT_DATE) VALUES ('2001-05-02')");
        const auto record = bed.openData()->load(QDate(2001, 5, 2));
        QVERIFY(record);
        QVERIFY(!record->temp);
        QVERIFY(!record->love && !record->guest);
        QCOMPARE(record->condition, QString());
    }

    void badTemperatureIsRefusedAndNothingWritten_data() {
        QTest::addColumn<QString>("temp");
        QTest::newRow("letters") << "abc";
        QTest::newRow("two points") << "36.5.1";
        QTest::newRow("empty") << "";
    }
    void badTemperatureIsRefusedAndNothingWritten() {
        QFETCH(QString, temp);
        TestBed bed;
        auto db = bed.openData();
        db->write(entry(QDate(2001, 5, 2), "36.5"), std::nullopt);
        try {
            db->write(entry(QDate(2001, 5, 2), temp), db->findRow(QDate(2001, 5, 2)));
            QFAIL("accepted");
        } catch (const PgError& error) {
            QCOMPARE(error.number(), int(PgError::Engine));
        }
        QCOMPARE(*db->load(QDate(2001, 5, 2))->temp, 36.5);
        // The table itself refuses a temperature that is not a number, and a day that is no date.
        QVERIFY(!bed.sql("INSERT INTO DATA_FIL (DAT_DATE, TEMP) VALUES ('2001-05-03', 'abc')"));
        QVERIFY(!bed.sql("INSERT INTO DATA_FIL (DAT_DATE, TEMP) VALUES ('2001/05/03', 36.5)"));
        QCOMPARE(bed.rowCount(), 1);
    }

    void menstruationDaysNewestFirstReadOnlyAsFarAsAsked() {
        TestBed bed;
        auto db = bed.openData();
        for (int d : {1, 2, 3, 20, 21}) {
            DayEntry e = entry(QDate(2001, 3, d), "36.5");
            e.guest = true;
            db->write(e, std::nullopt);
        }
        db->write(entry(QDate(2001, 3, 25), "36.5"), std::nullopt);
        QList<QDate> seen;
        db->forEachMenstruationDay([&](const QDate& day) {
            seen.append(day);
            return seen.size() < 3;
        });
        QCOMPARE(seen, (QList<QDate>{QDate(2001, 3, 21), QDate(2001, 3, 20), QDate(2001, 3, 3)}));
    }

    void rangeIsNewestFirstAndBounded() {
        TestBed bed;
        auto db = bed.openData();
        for (const QDate& day :
             {QDate(2001, 6, 9), QDate(2001, 6, 10), QDate(2001, 12, 7), QDate(2001, 12, 8)})
            db->write(entry(day, "36.5"), std::nullopt);
        const auto records = db->range(QDate(2001, 6, 10), QDate(2001, 12, 7));
        QCOMPARE(records.size(), size_t(2));
        QCOMPARE(records[0].date, QDate(2001, 12, 7));
        QCOMPARE(records[1].date, QDate(2001, 6, 10));
    }

    void purgeIsAllOrNothing() {
        TestBed bed;
        auto db = bed.openData();
        for (int d : {1, 19, 20, 21}) db->write(entry(QDate(2001, 5, d), "36.9"), std::nullopt);
        DayEntry fresh = entry(QDate(2001, 5, 20), "36.5");
        db->purgeThrough(QDate(2001, 5, 20), fresh);
        QCOMPARE(bed.rowCount(), 2);
        QCOMPARE(*db->load(QDate(2001, 5, 20))->temp, 36.5);
        QCOMPARE(*db->load(QDate(2001, 5, 21))->temp, 36.9);
        // A fresh record that cannot be written leaves every row in place.
        QVERIFY_THROWS_EXCEPTION(PgError,
                                 db->purgeThrough(QDate(2001, 5, 21), entry(QDate(2001, 5, 21), "x")));
        QCOMPARE(bed.rowCount(), 2);
        bed.sql(
            "CREATE TRIGGER refuse BEFORE INSERT ON DATA_FIL BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        QVERIFY_THROWS_EXCEPTION(PgError,
                                 db->purgeThrough(QDate(2001, 5, 21), entry(QDate(2001, 5, 21), "36")));
        QCOMPARE(bed.rowCount(), 2);
    }

    void openRefusesWhatIsNoDataFile() {
        TestBed bed(QDate(2001, 5, 20), false);
        QVERIFY_THROWS_EXCEPTION(PgError, DataFile::open(bed.dataPath()));
        QFile garbage(bed.dataPath());
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        QVERIFY_THROWS_EXCEPTION(PgError, DataFile::open(bed.dataPath()));
    }

    // Files made before the version was kept are version 0: they are read as they are, and their first write
    // stamps them with this version (the step changes nothing else); a read, a check, or a declined or
    // refused save never does (nor a read-only file's: test_permissions).
    void anOlderFileIsStampedByItsFirstWriteOnly() {
        TestBed bed;
        const auto version = [&bed] { return bed.scalar("PRAGMA user_version").toInt(); };
        QCOMPARE(version(), schema::kVersion);
        const QString layout = bed.scalar("SELECT group_concat(sql, ';') FROM sqlite_schema").toString();
        QVERIFY(bed.sql("PRAGMA user_version = 0"));
        QVERIFY(bed.sql("INSERT INTO DATA_FIL (DAT_DATE, TEMP) VALUES ('2001-05-02', 36.5)"));
        auto db = bed.openData();
        const QDate day(2001, 5, 2);
        QVERIFY(db->load(day));
        QCOMPARE(db->range(day, day).size(), size_t(1));
        QVERIFY(db->inspect());
        QVERIFY(!db->write(entry(day, "36.6"), DayState{}));  // the day has a row by now
        QVERIFY_THROWS_EXCEPTION(PgError, db->write(entry(day, "x"), db->findRow(day)));
        QCOMPARE(version(), 0);
        db->write(entry(QDate(2001, 5, 3), "36.7"), std::nullopt);
        QCOMPARE(version(), schema::kVersion);
        QCOMPARE(bed.scalar("SELECT group_concat(sql, ';') FROM sqlite_schema").toString(), layout);
        QCOMPARE(bed.rowCount(), 2);
    }

    // A reading she marks as disturbed keeps its mark by date, beside DATA_FIL: through a correction of the
    // reading, in every read of the whole diary and of her cycles, until its day is purged; a file older than
    // the marks reads as one without any, and takes their table with the first mark.
    void marksOfDisturbedReadings() {
        TestBed bed;
        QVERIFY(bed.sql("DROP TABLE EXCLUDED") && bed.sql("PRAGMA user_version = 1"));
        auto db = bed.openData();
        const QDate day(2001, 5, 12);
        for (int d : {10, 12, 14}) db->write(entry(QDate(2001, 5, d), "37.4"), std::nullopt);
        QVERIFY(db->excludedDays(QDate(2001, 5, 1), QDate(2001, 5, 31)).empty());
        QCOMPARE(db->excludedCount(), 0);
        db->setExcluded(day, true);
        QCOMPARE(bed.scalar("PRAGMA user_version").toInt(), schema::kVersion);
        db->write(entry(day, "36.9"), db->findRow(day));  // she corrects the reading: the mark stays
        QCOMPARE(db->excludedDays(QDate(2001, 5, 1), QDate(2001, 5, 31)), std::vector<QDate>{day});
        QCOMPARE(db->excludedCount(), 1);
        QVERIFY(!db->load(day)->excluded);  // the entry's own reading leaves it out: a save never writes it
        QVERIFY(db->range(day, day).front().excluded);
        QVERIFY(!db->range(QDate(2001, 5, 10), QDate(2001, 5, 10)).front().excluded);
        QCOMPARE(db->cycleDays(QDate(2001, 5, 1), QDate(2001, 5, 31))[1].excluded, true);
        int marked = 0;
        db->forEachRow([&](const StoredRow& row) {
            marked += row.excluded;
            return true;
        });
        QCOMPARE(marked, 1);
        // An import writes the file's mark with each day it writes, set or taken away.
        DayRecord fresh;
        fresh.date = QDate(2001, 5, 20);
        fresh.excluded = true;
        DayRecord taken = *db->load(day);
        QVERIFY(db->importRecords({fresh}, {{*db->findRow(day), taken}}) == DataFile::ImportResult::Written);
        QCOMPARE(db->excludedDays(QDate(2001, 5, 1), QDate(2001, 5, 31)), std::vector<QDate>{fresh.date});
        db->setExcluded(QDate(2001, 5, 10), true);
        db->setExcluded(QDate(2001, 5, 20), false);
        // A purge takes the marks of its days with them.
        db->purgeThrough(QDate(2001, 5, 12), entry(QDate(2001, 5, 12), "36.5"));
        QVERIFY(db->excludedDays(QDate(2001, 5, 1), QDate(2001, 5, 31)).empty());
        db->setExcluded(QDate(2001, 5, 14), true);
        QCOMPARE(db->excludedCount(), 1);
    }

    // A file of a newer version is refused with words of its own before anything reads it, and never
    // written: also when a newer program stamps it while this one has it open.
    void aNewerFileIsRefusedAndNeverWritten() {
        TestBed bed;
        QVERIFY(bed.sql("INSERT INTO DATA_FIL (DAT_DATE, TEMP) VALUES ('2001-05-02', 36.5)"));
        const QString newer = QStringLiteral("PRAGMA user_version = %1").arg(schema::kVersion + 1);
        QVERIFY(bed.sql(newer));
        QByteArray before = contents(bed.dataPath());
        try {
            DataFile::open(bed.dataPath());
            QFAIL("opened");
        } catch (const PgError& error) {
            QCOMPARE(error.number(), int(PgError::NewerFile));
            QCOMPARE(error.standardText(),
                     QStringLiteral("このデータファイルは新しい版のSelvaneで保存されています。\r"
                                    "新しい版のSelvaneで開いて下さい。"));
            QCOMPARE(error.description(), error.standardText());
        }
        QCOMPARE(contents(bed.dataPath()), before);
        QVERIFY(bed.sql("PRAGMA user_version = 0"));
        auto db = bed.openData();
        QVERIFY(bed.sql(newer));
        before = contents(bed.dataPath());
        const DayEntry fresh = entry(QDate(2001, 5, 3), "36.6");
        DayRecord record;
        record.date = fresh.date;
        for (const std::function<void()>& write : std::vector<std::function<void()>>{
                 [&] { db->write(fresh, std::nullopt); },
                 [&] { db->purgeThrough(fresh.date, fresh); },
                 [&] { (void)db->importRecords({record}, {}); },
             }) {
            try {
                write();
                QFAIL("written");
            } catch (const PgError& error) {
                QCOMPARE(error.number(), int(PgError::NewerFile));
            }
        }
        QCOMPARE(contents(bed.dataPath()), before);
    }

    void settingsKeepTextsAsTyped() {
        TestBed bed;
        SettingsStore& store = *bed.settings;
        QCOMPARE(store.get("G_CYCLE", "DATA", "28"), QStringLiteral("28"));
        QCOMPARE(store.get("G_CYCLE", "DATA"), QString());
        store.save("G_CYCLE", "DATA", "29.6");
        store.save("AVE_TEMP", "DATA", "36.50");
        SettingsStore again(store.filePath());
        QCOMPARE(again.get("G_CYCLE", "DATA", "28"), QStringLiteral("29.6"));
        QCOMPARE(again.get("AVE_TEMP", "DATA", "36.5"), QStringLiteral("36.50"));
        store.save("G_CYCLE", "DATA", "a, b");
        QCOMPARE(SettingsStore(store.filePath()).get("G_CYCLE", "DATA"), QStringLiteral("a, b"));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_datafile.moc"
