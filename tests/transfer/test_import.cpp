// Importing a whole-diary file: every malformed file refused before anything is written, the summary and the
// choice for differing days, and the round trip of random diaries through the file (and through the sqlite3
// tool's own CSV, as an independent reference for the dialect).
#include "cli/TransferCommands.h"
#include "data/Schema.h"
#include "support/FileBytes.h"
#include "transfer/Import.h"
#include "transfer/ImportPlan.h"
#include "transfer/WholeExport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

namespace {

// Rows put straight into a data file, Nulls and all: (date, temp, condition, memo, schedule, diary, guest,
// love).
void insertRows(const QString& path, const QList<QVariantList>& rows) {
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        // Texts go in as UTF-8, as the program writes them: bound as UTF-16 a leading U+FEFF would be lost.
        QVERIFY(query.prepare(QStringLiteral(
            "INSERT INTO DATA_FIL (DAT_DATE, TEMP, CONDITION, Memo, SCHEDULE, DIARY, GUEST, LOVE) VALUES"
            " (?, ?, CAST(? AS TEXT), CAST(? AS TEXT), CAST(? AS TEXT), CAST(? AS TEXT), ?, ?)")));
        for (const QVariantList& row : rows) {
            for (qsizetype i = 0; i < row.size(); ++i) {
                const bool text = i >= 2 && i <= 5 && !row[i].isNull();
                query.addBindValue(text ? QVariant(row[i].toString().toUtf8()) : row[i]);
            }
            QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
        }
        query.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(name);
}

// What she sees of every day, in date order: a Null text reads as empty, a Null flag as not set.
QStringList seen(const QString& path) {
    QStringList out;
    auto db = DataFile::open(path);
    db->forEachRow([&](const StoredRow& r) {
        out.append(QStringList{
            r.date,
            r.temp ? QString::number(*r.temp, 'g', QLocale::FloatingPointShortest) : QStringLiteral("-"),
            r.condition, r.memo, r.schedule, r.diary, QString::number(r.guest.value_or(false)),
            QString::number(r.love.value_or(false)), QString::number(r.excluded)}
                       .join(u'\x1f'));
        return true;
    });
    return out;
}

// odd: with the characters the sqlite3 tool cannot write (a NUL) among them.
QString randomText(QRandomGenerator& random, bool odd) {
    static const QStringList pieces = {"日記",
                                       "ｶﾀｶﾅ",
                                       "🌸",
                                       "😀",
                                       "\"",
                                       ",",
                                       "\r",
                                       "\n",
                                       "\r\n",
                                       " ",
                                       "abc",
                                       "=1+1",
                                       "　",
                                       "頭痛",
                                       "\"\"",
                                       ",\"\n",
                                       QString(QChar(0)),
                                       QStringLiteral("\uFEFF")};
    // A text may start with a byte-order mark too, as one pasted from a file might.
    QString text = random.bounded(10) == 0 ? QStringLiteral("\uFEFF") : QString();
    const int count = random.bounded(6);
    for (int i = 0; i < count; ++i) text += pieces[random.bounded(int(pieces.size()) - (odd ? 0 : 2))];
    return text;
}

QVariant randomTextOrNull(QRandomGenerator& random, bool odd) {
    return random.bounded(8) == 0 ? QVariant(QMetaType::fromType<QString>())
                                  : QVariant(randomText(random, odd));
}

QVariant randomFlag(QRandomGenerator& random) {
    const int pick = random.bounded(5);
    return pick == 0 ? QVariant(QMetaType::fromType<int>()) : QVariant(pick % 2);
}

// A diary of distinct random days (leap days always among them) with every kind of awkward text.
QList<QVariantList> randomDiary(quint32 seed, int days, bool odd) {
    QRandomGenerator random(seed);
    QSet<QDate> used{QDate(2000, 2, 29), QDate(2024, 2, 29), QDate(1800, 1, 1), QDate(7999, 12, 31)};
    while (used.size() < days) used.insert(QDate(1990, 1, 1).addDays(random.bounded(20000)));
    // Any number the entry takes is stored: the implausible ones too.
    static const double oddTemps[] = {0, 97.7, 36500000, -1.5, 36.123456789, 1e300, 1e-7, 29.99, 45.01};
    QList<QVariantList> rows;
    for (const QDate& day : used) {
        const int pick = random.bounded(10);
        const QVariant temp = pick == 0 ? QVariant(QMetaType::fromType<double>())
                              : pick == 1 && odd
                                  ? QVariant(oddTemps[random.bounded(int(std::size(oddTemps)))])
                                  : QVariant((3500 + random.bounded(300)) / 100.0);
        rows.append({day.toString(Qt::ISODate), temp, randomTextOrNull(random, odd),
                     randomTextOrNull(random, odd), randomTextOrNull(random, odd),
                     randomTextOrNull(random, odd), randomFlag(random), randomFlag(random)});
    }
    return rows;
}

struct Folder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString newDiary(const QString& name = QStringLiteral("selvane.mdb")) const {
        schema::createEmptyDataFile(path(name));
        return path(name);
    }
};

// The import's questions answered as a script says, and what it was asked and shown.
struct ScriptedImport : transfer::ImportFront {
    std::optional<bool> answer = false;  // to every summary
    std::function<void()> meanwhile;     // another program at work while she reads a summary
    int mostRounds = 5;                  // summaries made again before giving up
    int summaries = 0;
    QList<transfer::ImportStep> steps;

    std::optional<transfer::ImportChoice> decide(const transfer::ImportPlan& plan) override {
        ++summaries;
        if (meanwhile) meanwhile();
        if (!answer) return std::nullopt;
        return transfer::ImportChoice::all(plan, *answer);
    }
    bool planAgain() override { return summaries < mostRounds; }
    DataFile::Progress begin(transfer::ImportStep step) override {
        steps.append(step);
        return {};
    }
};

const QByteArray kHeader =
    "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\r\n";

}  // namespace

class TestImport : public QObject {
    Q_OBJECT

  private slots:
    // Refused with the first bad line named, the diary byte for byte as it was, no backup made.
    void malformedFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("problem");
        const QByteArray good = "2024-05-01,36.5,,,,,0,0\r\n";
        QTest::newRow("unknown header") << QByteArray("day,temp\r\n2024-05-01,36.5\r\n") << "1行目：見出し";
        QTest::newRow("wrong column count") << kHeader + good + "2024-05-02,36.5,,,,0,0\r\n"
                                            << "3行目：列の数";
        QTest::newRow("unclosed quote") << kHeader + good + "2024-05-02,36.5,\"open,,,,0,0\r\n"
                                        << "3行目：引用符";
        QTest::newRow("not a real day") << kHeader + "2023-02-29,36.5,,,,,0,0\r\n"
                                        << "2行目：日付「2023-02-29」";
        QTest::newRow("not a date") << kHeader + "yesterday,36.5,,,,,0,0\r\n"
                                    << "2行目：日付";
        QTest::newRow("temperature not a number") << kHeader + "2024-05-01,36.5度,,,,,0,0\r\n"
                                                  << "2行目：体温";
        QTest::newRow("temperature with a stray point") << kHeader + "2024-05-01,36.5.1,,,,,0,0\r\n"
                                                        << "2行目：体温「36.5.1」";
        QTest::newRow("flag not 0/1/true/false") << kHeader + "2024-05-01,36.5,,,,,yes,0\r\n"
                                                 << "2行目：menstruation";
        QTest::newRow("the same day twice")
            << kHeader + good + "2024-05-02,,,,,,0,0\r\n" + good << "4行目：2024-05-01 は 2行目";
        QTest::newRow("bytes that are not text") << kHeader + good + "2024-05-02,36.5,\xff\xfe\x80,,,,0,0\r\n"
                                                 << "3行目：文字";
        QTest::newRow("drip bleeding out of range")
            << QByteArray("date,bleeding.value\n2024-05-01,4\n") << "2行目：bleeding.value";
        QTest::newRow("empty file") << QByteArray() << "1行目";
    }
    void malformedFilesAreRefused() {
        QFETCH(QByteArray, file);
        QFETCH(QString, problem);
        Folder folder;
        const QString data = folder.newDiary();
        insertRows(data, {{"2024-04-30", 36.4, "", "", "", "前の日", 0, 0}});
        const QByteArray before = contents(data);
        writeFile(folder.path("in.csv"), file);
        QString messages;
        QTextStream err(&messages);
        QCOMPARE(cli::importCommand(data, folder.path("in.csv"), true, err), 1);
        QVERIFY2(messages.contains(problem), qPrintable(messages));
        QCOMPARE(contents(data), before);
        QVERIFY(!QFileInfo::exists(folder.path("backups")));
    }

    // New days are added; for the differing ones she keeps hers or takes the file's; a backup comes first.
    void differingDaysFollowHerChoice_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("keep mine") << false;
        QTest::newRow("take the file's") << true;
    }
    void differingDaysFollowHerChoice() {
        QFETCH(bool, replace);
        Folder folder;
        const QString data = folder.newDiary();
        insertRows(data, {{"2024-05-01", 36.5, "", "", "", "同じ", 0, 0},
                          {"2024-05-02", 36.6, "", "", "", "私の", 1, 0}});
        writeFile(folder.path("in.csv"), "\xEF\xBB\xBF" + kHeader +
                                             "2024-05-01,36.5,,,,同じ,0,0\r\n"
                                             "2024-05-02,37.1,,,,ﾌｧｲﾙの,0,1\r\n"
                                             "2024/5/3,36.9,,,,新しい,,\r\n");
        QString messages;
        QTextStream err(&messages);
        QCOMPARE(cli::importCommand(data, folder.path("in.csv"), replace, err), 0);
        QVERIFY2(messages.contains(cli::importSummary(1, 1, 1)), qPrintable(messages));
        const QStringList days = seen(data);
        QCOMPARE(days.size(), 3);
        QVERIFY(days[1].contains(replace ? QStringLiteral("ﾌｧｲﾙの") : QStringLiteral("私の")));
        QVERIFY(days[2].startsWith(QStringLiteral("2024-05-03\x1f") + QStringLiteral("36.9")));
        QCOMPARE(QDir(folder.path("backups")).entryList(QDir::Files).size(), 1);
    }

    // What she sees of a differing day: each field that differs, named as the main window names it, hers then
    // the file's; a long text cut short on one line, nothing written as such, the mark among the fields.
    void differingFieldsNameWhatDiffers() {
        DayRecord hers;
        hers.date = QDate(2024, 5, 2);
        hers.temp = 36.55;
        hers.diary = QStringLiteral("一行目\n") + QString(40, u'あ');
        hers.excluded = true;
        DayRecord file = hers;
        QVERIFY(transfer::differingFields(hers, file).isEmpty());
        file.temp.reset();
        file.diary.clear();
        file.excluded = false;
        file.love = true;
        QCOMPARE(transfer::differingFields(hers, file),
                 QStringList({"基礎体温\t36.55\t（なし）", "体温の除外\tあり\tなし", "SEX\tなし\tあり",
                              "日記\t一行目 " + QString(25, u'あ') + "…\t（なし）"}));
    }

    // Cancelled from its progress up to the commit, an import leaves the file byte for byte as it was.
    void aCancelledImportChangesNothing() {
        Folder folder;
        const QString data = folder.newDiary();
        insertRows(data, {{"2024-05-01", 36.5, "", "", "", "私の", 0, 0}});
        const QByteArray before = contents(data);
        auto db = DataFile::open(data);
        std::vector<DayRecord> days(5000);
        for (size_t i = 0; i < days.size(); ++i) days[i].date = QDate(2024, 5, 1).addDays(qint64(i));
        const transfer::ImportPlan plan = transfer::planImport(*db, days);
        QCOMPARE(plan.different.size(), size_t(1));
        for (qint64 stopAt : {qint64(4096), qint64(5000)}) {
            QVERIFY(transfer::applyImport(*db, plan, true, [stopAt](qint64 done, qint64) {
                        return done < stopAt;
                    }) == DataFile::ImportResult::Cancelled);
            QCOMPARE(contents(data), before);
        }
        QVERIFY(transfer::applyImport(*db, plan, true, [](qint64, qint64) { return true; }) ==
                DataFile::ImportResult::Written);
        QCOMPARE(db->recordCount(), 5000);
    }

    // The import as the window and the command line run it: a backup before the first write only, the summary
    // made again as long as another program keeps changing her diary, and at last a failure that names it and
    // leaves her diary to the other program; nothing is written or backed up when she declines or nothing is
    // new.
    void theImportOperation() {
        Folder folder;
        const QString data = folder.newDiary();
        std::vector<DayRecord> days(2);
        days[0].date = QDate(2024, 5, 1);
        days[1].date = QDate(2024, 5, 2);
        auto db = DataFile::open(data);
        const QDateTime now(QDate(2024, 5, 3), QTime(8, 0));
        ScriptedImport declined;
        declined.answer = std::nullopt;
        QCOMPARE(transfer::importDays(*db, days, data, now, {}, declined)->end,
                 transfer::Imported::End::Declined);
        QVERIFY(!QFileInfo::exists(folder.path("backups")));

        ScriptedImport busy;
        int other = 0;
        busy.meanwhile = [&] {
            insertRows(data, {{QDate(2000, 1, 1).addDays(other++).toString(Qt::ISODate), 36.5, "", "", "", "",
                               0, 0}});
        };
        const Result<transfer::Imported> gaveUp = transfer::importDays(*db, days, data, now, {}, busy);
        QVERIFY(!gaveUp);
        QCOMPARE(gaveUp.message(), QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更され続けています。"));
        QCOMPARE(busy.summaries, 5);
        QCOMPARE(busy.steps.first(), transfer::ImportStep::BackingUp);
        QCOMPARE(busy.steps.count(transfer::ImportStep::BackingUp), 1);
        QCOMPARE(busy.steps.count(transfer::ImportStep::Writing), 5);
        QCOMPARE(db->recordCount(), 5);  // the other program's days only
        QCOMPARE(QDir(folder.path("backups")).entryList(QDir::Files).size(), 1);

        ScriptedImport taken;
        const Result<transfer::Imported> written = transfer::importDays(*db, days, data, now, {}, taken);
        QCOMPARE(written->end, transfer::Imported::End::Written);
        QCOMPARE(written->days, 2);
        ScriptedImport again;
        QCOMPARE(transfer::importDays(*db, days, data, now, {}, again)->end,
                 transfer::Imported::End::NothingToWrite);
        QCOMPARE(again.steps, QList<transfer::ImportStep>());
    }

    // Without its backup the import stops before its first write, and says that the backup failed.
    void anImportStopsAtItsBackup() {
        Folder folder;
        const QString data = folder.newDiary();
        writeFile(folder.path("backups"), "a file where the folder goes");
        std::vector<DayRecord> days(1);
        days[0].date = QDate(2024, 5, 1);
        ScriptedImport front;
        const Result<transfer::Imported> stopped =
            transfer::importDays(*DataFile::open(data), days, data, QDateTime::currentDateTime(), {}, front);
        QVERIFY(!stopped);
        QCOMPARE(front.steps, QList<transfer::ImportStep>{transfer::ImportStep::BackingUp});
        QCOMPARE(DataFile::open(data)->recordCount(), 0);
    }

    // Stopped from its progress, an export is no success: the file at the path is as it was, and nothing is
    // left beside it.
    void aCancelledExportWritesNothing() {
        Folder folder;
        const QString data = folder.newDiary();
        QList<QVariantList> rows;
        for (int i = 0; i < 5000; ++i)
            rows.append({QDate(2000, 1, 1).addDays(i).toString(Qt::ISODate), 36.5, "", "", "", "", 0, 0});
        insertRows(data, rows);
        const QString target = folder.path("out.csv");
        writeFile(target, "the old export");
        const Result<transfer::ExportSummary> written =
            transfer::exportDiary(*DataFile::open(data), target, transfer::CsvFormat::Selvane,
                                  QDate(2024, 1, 1), [](qint64, qint64) { return false; });
        QVERIFY(!written);
        QVERIFY(written.failure().cancelled);
        QCOMPARE(contents(target), QByteArray("the old export"));
        QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"out.csv", "selvane.mdb"}));
    }

    // A plan made before another program changed her diary is never written: made again, it neither adds a
    // day twice nor loses one whose row went meanwhile.
    void aStalePlanIsMadeAgain() {
        Folder folder;
        const QString data = folder.newDiary();
        insertRows(data, {{"2024-05-01", 36.5, "", "", "", "私の", 0, 0}});
        auto db = DataFile::open(data);
        std::vector<DayRecord> days(2);
        days[0].date = QDate(2024, 5, 1);
        days[0].diary = QStringLiteral("ﾌｧｲﾙの");
        days[1].date = QDate(2024, 5, 2);
        transfer::ImportPlan plan = transfer::planImport(*db, days);
        // Meanwhile another program adds the new day and removes the differing one.
        insertRows(data, {{"2024-05-02", 36.6, "", "", "", "ほかの", 0, 0}});
        {
            auto other = DataFile::open(data);
            DayEntry fresh;
            fresh.date = QDate(2000, 1, 1);
            fresh.tempText = QStringLiteral("36");
            other->purgeThrough(QDate(2024, 5, 1), fresh);
        }
        QVERIFY(transfer::applyImport(*db, plan, true) == DataFile::ImportResult::Changed);
        plan = transfer::planImport(*db, days);
        QCOMPARE(plan.fresh.size(), size_t(1));
        QVERIFY(transfer::applyImport(*db, plan, true) == DataFile::ImportResult::Written);
        QCOMPARE(seen(data).size(), 3);
        QVERIFY(seen(data)[1].contains(QStringLiteral("ﾌｧｲﾙの")));
        // Without a plan's state to check, the file's day goes over a row gone meanwhile: to the day's row
        // where it has one, as a new day otherwise.
        auto other = DataFile::open(data);
        days[1].date = QDate(2024, 5, 3);
        QVERIFY(other->importRecords({}, {{qint64(999), days[0]}, {qint64(998), days[1]}}) ==
                DataFile::ImportResult::Written);
        QCOMPARE(seen(data).size(), 4);
        QVERIFY(seen(data)[1].contains(QStringLiteral("ﾌｧｲﾙの")));
        QVERIFY(seen(data)[3].startsWith(QStringLiteral("2024-05-03")));
    }

    // Export, then import into an empty diary: the same days, text for text, for any diary the entry and the
    // import can make (implausible numbers, NULs, leading byte-order marks among them). The sqlite3 tool's
    // CSV of the same rows imports to the same days too, where the tool can write them.
    void randomDiariesRoundTrip() {
        for (quint32 seed : {1u, 2u, 3u, 4u, 5u}) {
            for (const bool odd : {true, false}) {
                Folder folder;
                const QString original = folder.newDiary(QStringLiteral("original.mdb"));
                insertRows(original, randomDiary(seed, 300, odd));
                if (odd) {
                    // Some readings marked as disturbed: the column of the marks goes out and comes back.
                    auto db = DataFile::open(original);
                    QRandomGenerator random(seed);
                    QList<QDate> marked;
                    db->forEachRow([&](const StoredRow& row) {
                        if (random.bounded(5) == 0) marked.append(QDate::fromString(row.date, Qt::ISODate));
                        return true;
                    });
                    for (const QDate& day : marked) db->setExcluded(day, true);
                    QVERIFY(db->excludedCount() > 0);
                }
                const QStringList expected = seen(original);
                if (odd) {
                    {
                        auto db = DataFile::open(original);
                        QVERIFY(transfer::exportDiary(*db, folder.path("out.csv"),
                                                      transfer::CsvFormat::Selvane, QDate(2024, 1, 1)));
                    }
                    QString messages;
                    QTextStream err(&messages);
                    const QString copy = folder.newDiary(QStringLiteral("copy.mdb"));
                    QCOMPARE(cli::importCommand(copy, folder.path("out.csv"), false, err), 0);
                    QCOMPARE(seen(copy), expected);
                    QVERIFY2(messages.contains(QStringLiteral("30～45℃ の範囲にない体温：")),
                             qPrintable(messages));
                    continue;
                }
                QProcess tool;
                tool.setStandardOutputFile(folder.path("tool.csv"));
                tool.start(
                    QStringLiteral("sqlite3"),
                    {QStringLiteral("-csv"), QStringLiteral("-header"), original,
                     QStringLiteral("SELECT DAT_DATE AS date, TEMP AS temperature, CONDITION AS condition,"
                                    " Memo AS medication, SCHEDULE AS schedule, DIARY AS diary,"
                                    " GUEST AS menstruation, LOVE AS intercourse FROM DATA_FIL")});
                QVERIFY(tool.waitForFinished());
                QCOMPARE(tool.exitCode(), 0);
                QString messages;
                QTextStream err(&messages);
                const QString reference = folder.newDiary(QStringLiteral("reference.mdb"));
                QCOMPARE(cli::importCommand(reference, folder.path("tool.csv"), false, err), 0);
                QCOMPARE(seen(reference), expected);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
