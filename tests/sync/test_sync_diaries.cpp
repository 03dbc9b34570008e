// Two (or three) diaries kept in step through one folder: their own days taken both ways, a day changed on
// both kept as a conflict on both, a purge and a restore travelling, and journals that are torn, damaged or
// not journals at all passed over with a word.
#include "data/DataFile.h"
#include "data/Schema.h"
#include "support/FileBytes.h"
#include "sync/Session.h"
#include "sync/Stored.h"

#include <sqlite3.h>
#include <QTemporaryDir>
#include <QTest>

using namespace syncing;

namespace {

// A computer: its own diary, its id, and a clock it sets.
struct Computer {
    QString path;
    ComputerId id;
    qint64 now = 1700000000000;
    std::unique_ptr<DataFile> file;

    Computer(const QTemporaryDir& dir, char tag) : id(16, tag) {
        path = dir.filePath(QStringLiteral("diary-%1.mdb").arg(QLatin1Char(tag)));
        schema::createEmptyDataFile(path);
        file = DataFile::open(path);
    }
    std::unique_ptr<Session> session(const QString& folder) {
        auto s = std::make_unique<Session>(*file, folder, id, QStringLiteral("pc-") + QLatin1Char(id[0]),
                                           [this] { return now += 1000; });
        return s;
    }
    void save(const QDate& day, const QString& diary, const QString& temp = QStringLiteral("36.5")) {
        DayEntry entry;
        entry.date = day;
        entry.tempText = temp;
        entry.diary = diary;
        file->write(entry, file->findRow(day));
    }
    QStringList rows() {
        QStringList all;
        file->forEachRow([&](const StoredRow& row) {
            all << row.date + u' ' + QString::number(row.temp.value_or(0)) + u' ' + row.diary;
            return true;
        });
        return all;
    }
};

// Two computers, each with its diary and its session, and the folder they share.
struct TwoComputers {
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("shared"));
    Computer a{dir, 'a'}, b{dir, 'b'};
    std::unique_ptr<Session> sa = a.session(folder), sb = b.session(folder);
    TwoComputers() { QDir().mkpath(folder); }
};

const QDate kDay(2024, 3, 1);

bool sqlOn(const QString& path, const char* statements) {
    sqlite3* db = nullptr;
    const bool done = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                      sqlite3_exec(db, statements, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

std::vector<DayRecord> days(int count, const QDate& first, const QString& text) {
    std::vector<DayRecord> all;
    for (int i = 0; i < count; ++i) {
        DayRecord day;
        day.date = first.addDays(i);
        day.temp = 36.0 + i % 10 / 10.0;
        day.diary = text + QString::number(i);
        all.push_back(day);
    }
    return all;
}

}  // namespace

class TestSyncDiaries : public QObject {
    Q_OBJECT

  private slots:
    void twoDiariesEndTheSame() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(folder));
        Computer a(dir, 'a'), b(dir, 'b');
        // Each had a diary of its own before it joined: one day the same on both, one that differs.
        a.file->importRecords(days(30, kDay, QStringLiteral("a")), {});
        b.file->importRecords(days(20, kDay.addDays(40), QStringLiteral("b")), {});
        a.save(QDate(2023, 1, 1), QStringLiteral("same"));
        b.save(QDate(2023, 1, 1), QStringLiteral("same"));
        a.save(QDate(2023, 1, 2), QStringLiteral("joined a"));
        b.save(QDate(2023, 1, 2), QStringLiteral("joined b"));
        auto sa = a.session(folder);
        auto sb = b.session(folder);
        QVERIFY(sa->start());
        QVERIFY(sb->start());
        for (int round = 0; round < 2; ++round) {
            QVERIFY(sa->merge());
            QVERIFY(sb->merge());
        }
        QCOMPARE(a.rows().size(), 52);
        QCOMPARE(a.rows(), b.rows());
        QCOMPARE(sa->conflicts().size(), size_t(1));  // the day that differed when they joined, once
        QCOMPARE(sb->conflicts().size(), size_t(1));

        // The same day changed on both before either read the other's: both texts kept on both.
        a.save(kDay, QStringLiteral("朝に書いた"));
        b.save(kDay, QStringLiteral("夜に書いた"));
        MergeReport report = sa->merge().value();
        QCOMPARE(sb->merge().value().newConflicts, 1);
        QVERIFY(sa->merge());
        QCOMPARE(a.rows(), b.rows());
        QCOMPARE(sa->conflicts().size(), size_t(2));
        for (const Computer* c : {&a, &b}) {
            const QByteArray bytes = contents(c->path);
            QVERIFY(bytes.contains(QStringLiteral("朝に書いた").toUtf8()));
            QVERIFY(bytes.contains(QStringLiteral("夜に書いた").toUtf8()));
        }
        // She takes the other side on one computer: both follow, and the conflict is over.
        const Conflict conflict = sb->conflicts().back();
        QVERIFY(sb->choose(conflict.day, conflict.other));
        QVERIFY(sa->merge());
        QCOMPARE(a.rows(), b.rows());
        QCOMPARE(sa->conflicts().size(), size_t(1));
        Q_UNUSED(report);
    }

    // A purge on one computer removes the old days on the other; an edit made later brings its day back. A
    // restore travels as the days it changed.
    void purgesAndRestoresTravel() {
        TwoComputers two;
        Computer &a = two.a, &b = two.b;
        auto &sa = two.sa, &sb = two.sb;
        QVERIFY(sa->start() && sb->start());
        a.file->importRecords(days(10, kDay, QStringLiteral("a")), {});
        QVERIFY(sa->flush() && sb->merge());
        DayEntry fresh;
        fresh.date = kDay.addDays(4);
        fresh.tempText = QStringLiteral("36.2");
        b.file->purgeThrough(kDay.addDays(4), fresh);
        QVERIFY(sb->flush());
        a.save(kDay.addDays(1), QStringLiteral("後で書き直した"));
        QVERIFY(sa->merge() && sb->merge() && sa->merge());
        QCOMPARE(a.rows(), b.rows());
        QCOMPARE(a.rows().size(), 7);  // the fresh day, the later edit, and the five after the purge
        QVERIFY(a.rows().first().contains(QStringLiteral("後で書き直した")));
    }

    // What both computers have read is pruned: older words of how far they read go, replaced versions keep
    // no words of hers; the diaries stay equal and a computer joining later still takes the latest.
    void whatEveryoneReadIsPruned() {
        TwoComputers two;
        Computer &a = two.a, &b = two.b;
        auto &sa = two.sa, &sb = two.sb;
        const QString& folder = two.folder;
        const QTemporaryDir& dir = two.dir;
        QVERIFY(sa->start() && sb->start());
        for (int round = 0; round < 6; ++round) {
            a.save(kDay, QStringLiteral("版%1").arg(round));
            b.save(kDay.addDays(1), QStringLiteral("別の日%1").arg(round));
            QVERIFY(sa->merge() && sb->merge() && sa->merge() && sb->merge());
        }
        QCOMPARE(a.rows(), b.rows());
        for (Computer* c : {&a, &b}) {
            QVERIFY(c->file->syncRecordsOfKind(int(Record::Kind::Read)).size() <= 3);
            int worded = 0;
            for (const Record& version : recordsOf(c->file->syncRecordsOn(kDay)))
                worded += version.content.diary.isEmpty() ? 0 : 1;
            QCOMPARE(worded, 1);
        }
        Computer late(dir, 'c');
        auto sc = late.session(folder);
        QVERIFY(sc->start() && sc->merge());
        QCOMPARE(late.rows(), a.rows());
        QVERIFY(sc->conflicts().empty());
    }

    // A diary of an older version (no sync tables yet) joins: the tables come with its first write.
    void anOlderDiaryJoins() {
        QTemporaryDir dir;
        Computer a(dir, 'a');
        a.save(kDay, QStringLiteral("前の版"));
        a.file.reset();
        QVERIFY(sqlOn(a.path,
                      "DROP TABLE SYNC_RECORD; DROP TABLE SYNC_READ; DROP TABLE SYNC_STATE;"
                      " PRAGMA user_version = 2;"));
        a.file = DataFile::open(a.path);
        auto session = a.session(dir.path());
        QVERIFY(session->start() && session->merge());
        QVERIFY(QFileInfo(Folder(dir.path()).journalOf(a.id)).size() > kJournalHeaderSize);
    }

    // Her disturbed-reading mark travels both ways, set and taken off.
    void marksTravel() {
        TwoComputers two;
        Computer &a = two.a, &b = two.b;
        auto &sa = two.sa, &sb = two.sb;
        QVERIFY(sa->start() && sb->start());
        a.save(kDay, QStringLiteral("熱があった"));
        a.file->setExcluded(kDay, true);
        QVERIFY(sa->flush() && sb->merge());
        QCOMPARE(b.file->excludedDays(kDay, kDay).size(), size_t(1));
        b.file->setExcluded(kDay, false);
        QVERIFY(sb->flush() && sa->merge());
        QVERIFY(a.file->excludedDays(kDay, kDay).empty());
        QCOMPARE(a.rows(), b.rows());
    }

    // A folder she chose anew gets every record of hers; a diary copied to another computer (another id)
    // writes into that computer's journal only, and what it adds there reaches the others.
    void aNewFolderAndACopiedDiaryCarryEverything() {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first")),
                      second = dir.filePath(QStringLiteral("second"));
        QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));
        Computer a(dir, 'a'), b(dir, 'b');
        a.file->importRecords(days(5, kDay, QStringLiteral("a")), {});
        {
            auto s = a.session(first);
            QVERIFY(s->start() && s->merge());
        }
        {
            auto s = a.session(second);
            QVERIFY(s->start() && s->merge());
        }
        {
            auto s = b.session(second);
            QVERIFY(s->start() && s->merge());
        }
        QCOMPARE(b.rows().size(), 5);

        const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
        QVERIFY(QFile::copy(a.path, copy));
        const qint64 ofA = QFileInfo(Folder(second).journalOf(a.id)).size();
        Computer c(dir, 'c');
        c.file = DataFile::open(copy);
        c.save(kDay.addDays(9), QStringLiteral("コピーで書いた"));
        {
            auto s = c.session(second);
            QVERIFY(s->start() && s->merge());
        }
        QCOMPARE(QFileInfo(Folder(second).journalOf(a.id)).size(), ofA);
        Computer d(dir, 'd');
        {
            auto s = d.session(second);
            QVERIFY(s->start() && s->merge());
        }
        QCOMPARE(d.rows(), c.rows());
        QCOMPARE(d.rows().size(), 6);
    }

    // Torn, damaged and foreign journals: what can be read is merged, the rest reported, nothing crashes.
    void damagedJournalsArePassedOver() {
        TwoComputers two;
        Computer &a = two.a, &b = two.b;
        auto &sa = two.sa, &sb = two.sb;
        const QString& folder = two.folder;
        QVERIFY(sa->start() && sb->start());
        a.file->importRecords(days(5, kDay, QStringLiteral("a")), {});
        QVERIFY(sa->flush());
        const QString journal = Folder(folder).journalOf(a.id);
        QByteArray bytes = contents(journal);
        // A torn end: the last frame cut short is left until it is whole.
        writeFile(journal, bytes.left(bytes.size() - 3));
        MergeReport report = sb->merge().value();
        QCOMPARE(b.rows().size(), 4);
        writeFile(journal, bytes);
        QVERIFY(sb->merge());
        QCOMPARE(b.rows().size(), 5);
        // A damaged frame in the middle is skipped and counted; the rest merges.
        a.file->importRecords(days(3, kDay.addDays(10), QStringLiteral("x")), {});
        QVERIFY(sa->flush());
        bytes = contents(journal);
        bytes[bytes.size() - 20] = bytes[bytes.size() - 20] ^ 0x55;
        writeFile(journal, bytes);
        report = sb->merge().value();
        QCOMPARE(report.damaged, 1);
        QCOMPARE(b.rows().size(), 7);
        // A file that is no journal, one of a newer program, and a sync program's conflict copy: reported.
        writeFile(Folder(folder).journals() + QStringLiteral("/notes.journal"), "hello");
        JournalHeader newer;
        newer.version = kJournalVersion + 1;
        newer.origin = QByteArray(16, 'c');
        writeFile(Folder(folder).journalOf(newer.origin), headerBytes(newer));
        writeFile(journal + QStringLiteral(".sync-conflict-20240301-101010-ABCDEFG.journal"), bytes);
        report = sb->merge().value();
        QCOMPARE(report.problems.size(), 3);
        QCOMPARE(b.rows().size(), 7);
    }
};

QTEST_GUILESS_MAIN(TestSyncDiaries)
#include "test_sync_diaries.moc"
