// The sync core without a diary: records as journal bytes, frames torn or damaged, the hybrid clock, and the
// merge rule over simulated computers whose records arrive in every order.
#include "sync/Hlc.h"
#include "sync/Journal.h"
#include "sync/Merge.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <map>

using namespace syncing;

namespace {

const QDate kFirst(2024, 3, 1);

// A simulated computer: its clock, its records, and the records it knows (its own and those it has read).
struct Computer {
    ComputerId id;
    HybridClock clock;
    quint64 seq = 0;
    std::vector<Record> own;
    std::vector<Record> known;

    Computer(char tag, qint64 offsetMs, const qint64* now)
        : id(16, tag), clock(0, [offsetMs, now] { return *now + offsetMs; }) {}

    std::vector<Record> versionsOf(const QDate& day) const {
        std::vector<Record> versions;
        for (const Record& r : known)
            if ((r.kind == Record::Kind::Set || r.kind == Record::Kind::Remove) && r.day == day)
                versions.push_back(r);
        return versions;
    }
    std::vector<Record> purges() const {
        std::vector<Record> found;
        for (const Record& r : known)
            if (r.kind == Record::Kind::Purge) found.push_back(r);
        return found;
    }
    // A change made here: it replaces the day's winner and conflicts as this computer sees them now.
    // everything: she chose in the conflict window, knowing every head; otherwise she saw the winner only.
    Record make(Record record, bool everything = false) {
        record.id = {id, ++seq};
        record.time = clock.tick();
        if (record.kind != Record::Kind::Purge) {
            const DayOutcome now = resolve(versionsOf(record.day), purges());
            if (now.winner) record.replaces.push_back(now.winner->id);
            if (everything)
                for (const Record& other : now.conflicts) record.replaces.push_back(other.id);
        }
        own.push_back(record);
        known.push_back(record);
        return own.back();
    }
    void read(const Record& record) {
        if (std::find(known.begin(), known.end(), record) != known.end()) return;
        clock.observe(record.time);
        known.push_back(record);
    }
};

Record setDay(const QDate& day, const QString& diary) {
    Record r;
    r.kind = Record::Kind::Set;
    r.day = day;
    r.content.diary = diary;
    r.content.temp = 36.5;
    return r;
}

// Every day's outcome over a set of records.
std::map<QDate, DayOutcome> diaryOf(const std::vector<Record>& records) {
    std::map<QDate, std::vector<Record>> days;
    std::vector<Record> purges;
    for (const Record& r : records) {
        if (r.kind == Record::Kind::Purge)
            purges.push_back(r);
        else if (r.kind == Record::Kind::Set || r.kind == Record::Kind::Remove)
            days[r.day].push_back(r);
    }
    std::map<QDate, DayOutcome> diary;
    for (const auto& [day, versions] : days) diary[day] = resolve(versions, purges);
    return diary;
}

QString describe(const std::map<QDate, DayOutcome>& diary) {
    QStringList lines;
    for (const auto& [day, outcome] : diary) {
        QString line = day.toString(Qt::ISODate) + u' ';
        line += outcome.winner && outcome.winner->kind == Record::Kind::Set ? outcome.winner->content.diary
                                                                            : QStringLiteral("-");
        for (const Record& c : outcome.conflicts)
            line +=
                QStringLiteral(" / ") + (c.kind == Record::Kind::Set ? c.content.diary : QStringLiteral("-"));
        lines << line;
    }
    return lines.join(u'\n');
}

}  // namespace

class TestSyncCore : public QObject {
    Q_OBJECT

  private slots:
    void recordsReadBackAsWritten() {
        Record r = setDay(QDate(2024, 2, 29), QStringLiteral("雨\n") + QChar(0) + QStringLiteral("🌸"));
        r.id = {QByteArray(16, 'a'), 7};
        r.time = HybridClock::fromMs(1700000000000) + 3;
        r.replaces = {{QByteArray(16, 'b'), 2}, {QByteArray(16, 'a'), 6}};
        r.content.temp.reset();
        r.content.guest = r.content.excluded = true;
        QCOMPARE(*decode(encode(r), r.id.origin), r);
        Record read;
        read.kind = Record::Kind::Read;
        read.id = {QByteArray(16, 'c'), 1};
        read.read = {{QByteArray(16, 'a'), 7}};
        QCOMPARE(*decode(encode(read), read.id.origin), read);
        QVERIFY(!decode("not cbor", r.id.origin));
        QVERIFY(!decode(encode(Record{}), r.id.origin));  // no number
        QCOMPARE(idFromText(idText(r.id.origin)), std::optional<ComputerId>(r.id.origin));
        QVERIFY(!idFromText(QStringLiteral("ABCD")));
    }

    // A torn last frame is left until it is whole; a damaged one is skipped and counted; an impossible length
    // ends the journal.
    void framesTornDamagedAndWhole() {
        JournalHeader header;
        header.origin = QByteArray(16, 'x');
        header.generation = 3;
        QByteArray file = headerBytes(header) + frame("one") + frame("two");
        const QByteArray third = frame("three");
        FrameScan scan = scanFrames(file + third.left(5), 0);
        QCOMPARE(scan.bodies, std::vector<QByteArray>({"one", "two"}));
        QCOMPARE(scan.end, file.size());
        scan = scanFrames(file + third, scan.end);
        QCOMPARE(scan.bodies, std::vector<QByteArray>({"three"}));
        file += third;
        file[kJournalHeaderSize + 9] = 'X';  // inside "one"
        scan = scanFrames(file, 0);
        QCOMPARE(scan.bodies, std::vector<QByteArray>({"two", "three"}));
        QCOMPARE(scan.damaged, 1);
        QByteArray absurd = headerBytes(header) + QByteArray("\xff\xff\xff\x7f", 4) + QByteArray(8, 'z');
        QCOMPARE(scanFrames(absurd, 0).damaged, 1);

        JournalHeader read;
        QCOMPARE(readHeader(file, &read), HeaderFault::None);
        QCOMPARE(read.generation, 3u);
        QCOMPARE(read.origin, header.origin);
        header.version = kJournalVersion + 1;
        QCOMPARE(readHeader(headerBytes(header), &read), HeaderFault::NewerVersion);
        QByteArray damaged = headerBytes(header);
        damaged[20] = 'y';
        QCOMPARE(readHeader(damaged, &read), HeaderFault::Damaged);
        QCOMPARE(readHeader("SQLite format 3", &read), HeaderFault::NotAJournal);
    }

    // Three computers edit, purge and read each other at random; whatever order the records then arrive in,
    // every computer ends with the same diary, conflicts and all.
    void everyOrderGivesTheSameDiary() {
        for (quint32 seed = 1; seed <= 2000; ++seed) {
            QRandomGenerator random(seed);
            qint64 now = 1700000000000;
            const qint64 year = 365LL * 24 * 3600 * 1000;
            std::vector<Computer> computers{{'a', 0, &now}, {'b', year, &now}, {'c', -1000, &now}};
            const int steps = 10 + random.bounded(30);
            for (int step = 0; step < steps; ++step) {
                now += random.bounded(5000);
                Computer& here = computers[size_t(random.bounded(3))];
                const int what = random.bounded(10);
                if (what < 6) {
                    here.make(setDay(kFirst.addDays(random.bounded(5)), QStringLiteral("%1").arg(step)));
                } else if (what == 6) {
                    Record purge;
                    purge.kind = Record::Kind::Purge;
                    purge.day = kFirst.addDays(random.bounded(3));
                    here.make(purge);
                } else {
                    // Reads another's journal up to somewhere, in its order.
                    const Computer& there = computers[size_t(random.bounded(3))];
                    const size_t upTo =
                        there.own.empty() ? 0 : size_t(random.bounded(int(there.own.size()) + 1));
                    for (size_t i = 0; i < upTo; ++i) here.read(there.own[i]);
                }
            }
            std::vector<Record> all;
            for (const Computer& c : computers) all.insert(all.end(), c.own.begin(), c.own.end());
            const QString expected = describe(diaryOf(all));
            for (Computer& c : computers) {
                std::vector<Record> arriving = all;
                std::shuffle(arriving.begin(), arriving.end(), random);
                for (const Record& r : arriving) c.read(r);
                std::vector<Record> known = c.known;
                std::shuffle(known.begin(), known.end(), random);
                QCOMPARE(describe(diaryOf(known)), expected);
            }
        }
    }

    // A computer whose clock runs a year ahead wins until the others have read it; then their later edits
    // win.
    void aClockAYearAheadWinsOnlyUntilRead() {
        qint64 now = 1700000000000;
        Computer a('a', 0, &now), b('b', 365LL * 24 * 3600 * 1000, &now);
        const Record fromB = b.make(setDay(kFirst, QStringLiteral("b")));
        now += 1000;
        const Record early = a.make(setDay(kFirst, QStringLiteral("a, before reading b")));
        DayOutcome outcome = resolve({fromB, early}, {});
        QCOMPARE(outcome.winner->content.diary, QStringLiteral("b"));
        QCOMPARE(outcome.conflicts.size(), size_t(1));  // made at the same time: kept for her
        a.read(fromB);
        now += 1000;
        const Record later = a.make(setDay(kFirst, QStringLiteral("a, after reading b")));
        outcome = resolve({fromB, early, later}, {});
        QCOMPARE(outcome.winner->content.diary, QStringLiteral("a, after reading b"));
        QCOMPARE(outcome.conflicts.size(), size_t(1));  // listed until she chooses
        const Record chosen = a.make(setDay(kFirst, QStringLiteral("b")), true);
        outcome = resolve({fromB, early, later, chosen}, {});
        QCOMPARE(outcome.winner->content.diary, QStringLiteral("b"));
        QVERIFY(outcome.conflicts.empty());
    }

    // A purge removes what was made before it on any computer; an edit made after it brings the day back.
    void aPurgeCrossesEdits() {
        qint64 now = 1700000000000;
        Computer a('a', 0, &now), b('b', 0, &now);
        const Record old = b.make(setDay(kFirst, QStringLiteral("old")));
        now += 10;
        Record purge;
        purge.kind = Record::Kind::Purge;
        purge.day = kFirst.addDays(1);
        const Record purged = a.make(purge);
        QVERIFY(!resolve({old}, {purged}).winner);
        now += 10;
        const Record back = b.make(setDay(kFirst, QStringLiteral("after")));
        QCOMPARE(resolve({old, back}, {purged}).winner->content.diary, QStringLiteral("after"));
        Record beyond = setDay(kFirst.addDays(2), QStringLiteral("not reached"));
        beyond.id = {b.id, 99};
        QVERIFY(resolve({beyond}, {purged}).winner);
    }

    // Two diaries joining hold the same day: the same content is no conflict, another content is one
    // conflict, and which wins never depends on who joined first.
    void joiningDiariesMeet() {
        Record a = setDay(kFirst, QStringLiteral("same"));
        a.id = {QByteArray(16, 'a'), 1};
        Record b = a;
        b.id = {QByteArray(16, 'b'), 1};
        QVERIFY(resolve({a, b}, {}).conflicts.empty());
        b.content.diary = QStringLiteral("other");
        const DayOutcome one = resolve({a, b}, {});
        const DayOutcome two = resolve({b, a}, {});
        QCOMPARE(one.winner->id, two.winner->id);
        QCOMPARE(one.conflicts.size(), size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestSyncCore)
#include "test_sync_core.moc"
