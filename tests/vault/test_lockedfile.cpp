// The locked file with the real cipher: conversions both ways, every fault told apart, nothing written over a
// file that is not the one written last, and never a plain copy of the diary on disk.
#include "VaultTestSupport.h"
#include "data/Recovery.h"
#include "data/Schema.h"
#include "platform/core/PgError.h"
#include "support/TestBed.h"
#include "vault/LockedDiary.h"
#include "vault/Passphrase.h"
#include "vault/PassphraseChange.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtEndian>
#include <csignal>

namespace {

using vault::Fault;

const QDate kDay(2001, 5, 3);

void overwrite(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

vault::Secret pass(const QString& text) { return vault::Secret::fromText(text); }

DayEntry entry(const QDate& day, const QString& diary) {
    DayEntry e;
    e.date = day;
    e.tempText = QStringLiteral("36.7");
    e.diary = diary;
    return e;
}

// A plain diary with one secret day, locked cheaply with the passphrase "hinoki".
std::unique_ptr<DataFile> lockedBed(TestBed& bed) {
    saveDay(bed, kDay, QStringLiteral("36.5"), true, kSecretWords);
    return vault::lockDiary(bed.dataPath(), pass(QStringLiteral("hinoki")), vault::kCheapestCost, {});
}

vault::Unlocked open(const QString& path, const QString& passphrase,
                     const std::optional<vault::Written>& remembered = std::nullopt) {
    return vault::unlock(path, vault::readLockedFile(path), pass(passphrase), remembered, {});
}

void putSum(QByteArray& file, qsizetype at, qsizetype from, qsizetype size) {
    const auto* data = reinterpret_cast<const unsigned char*>(file.constData()) + from;
    qToLittleEndian<quint32>(quint32(crc32_z(0, data, size_t(size))), file.data() + at);
}

// The days of the locked file kept in tests/fixtures, and the passphrase it was locked with.
const QString kFixturePassphrase = QStringLiteral("ひのき-Hinoki-2024");
const std::vector<DayEntry> kFixtureDays{
    {QDate(2024, 4, 1), QStringLiteral("36.45"), QStringLiteral("ピル"), QString(), QStringLiteral("だるい"),
     QStringLiteral("桜が咲いた。川沿いを散歩した。"), false, true},
    {QDate(2024, 4, 2), QStringLiteral("36.5"), QString(), QStringLiteral("歯医者 10:00"), QString(),
     QStringLiteral("頭痛。早く寝る。"), true, true},
    {QDate(2024, 4, 15), QStringLiteral("36.9"), QString(), QString(), QStringLiteral("良好"),
     QStringLiteral("ｶﾌｪで友だちと会った。\r\n二行目。"), false, false},
};

// Secrets read from a pipe as a script gives them, one a line.
std::vector<vault::Secret> readLines(const QByteArray& lines) {
    std::vector<vault::Secret> read;
    int fds[2];
    if (pipe(fds) != 0 || write(fds[1], lines.constData(), size_t(lines.size())) != ssize_t(lines.size()))
        return read;
    close(fds[1]);
    while (std::optional<vault::Secret> line = vault::readPassphraseLine(fds[0]))
        read.push_back(std::move(*line));
    close(fds[0]);
    return read;
}

}  // namespace

class TestLockedFile : public QObject {
    Q_OBJECT

  public:
    QString temp;

  private slots:
    void plainToLockedAndBack() {
        TestBed bed;
        auto held = lockedBed(bed);
        QVERIFY(contents(bed.dataPath()).startsWith("SELVLOCK"));
        QCOMPARE(filesHolding(temp), QStringList());
        QCOMPARE(held->load(kDay)->diary, kSecretWords);
        held->write(entry(kDay.addDays(1), kSecretWords + QStringLiteral("2")), std::nullopt);
        QCOMPARE(filesHolding(temp), QStringList());
        QVERIFY(!vault::dumpable());  // the key lives: no core dump may hold it
        const vault::Written written = vault::lockedStore(held.get())->written();
        QCOMPARE(written.generation, quint64(2));
        held.reset();
        // The last key is gone, but freed memory may still hold the diary: no core dump for the rest of the
        // run.
        QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);

        auto reopened = open(bed.dataPath(), QStringLiteral("hinoki"), written);
        QCOMPARE(reopened.fault, Fault::None);
        QCOMPARE(reopened.file->load(kDay.addDays(1))->diary, kSecretWords + QStringLiteral("2"));
        auto plain = vault::unlockForGood(*reopened.file);
        reopened.file.reset();
        QCOMPARE(bed.rowCount(), 2);
        QCOMPARE(bed.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        plain->write(entry(kDay.addDays(2), QStringLiteral("plain again")), std::nullopt);
        QCOMPARE(bed.rowCount(), 3);
    }

    void changingThePassphrase() {
        TestBed bed;
        auto held = lockedBed(bed);
        vault::LockedStore* store = vault::lockedStore(held.get());
        QVERIFY(store->fits(pass(QStringLiteral("hinoki"))));
        store->changeKey(held->image(), vault::newKey(pass(QStringLiteral("sakura")), vault::kCheapestCost));
        held->write(entry(kDay, QStringLiteral("after")), held->findRow(kDay));
        held.reset();
        QCOMPARE(open(bed.dataPath(), QStringLiteral("hinoki")).fault, Fault::WrongPassphrase);
        QCOMPARE(open(bed.dataPath(), QStringLiteral("sakura")).file->load(kDay)->diary,
                 QStringLiteral("after"));
    }

    // The passphrase set, changed and removed as the window and the command line both do it: the open diary
    // follows each step, the edits kept from an ended session follow the key, and a change the diary cannot
    // take is refused with the file as it was.
    void thePassphraseChangesAsOneOperation() {
        using Action = vault::PassphraseChoice::Action;
        TestBed bed;
        saveDay(bed, kDay, QStringLiteral("36.5"), true, kSecretWords);
        const QString kept = bed.dir.filePath(recovery::kFileName);
        QVERIFY(recovery::write(kept, entry(kDay, QStringLiteral("取っておいた編集"))).isEmpty());
        std::unique_ptr<DataFile> db = bed.openData();
        const QByteArray plain = contents(bed.dataPath());
        QVERIFY(!vault::changePassphrase(db, bed.dataPath(), kept, Action::Change, pass("sakura"), {}));
        QCOMPARE(contents(bed.dataPath()), plain);

        const auto set = vault::changePassphrase(db, bed.dataPath(), kept, Action::Set, pass("hinoki"), {});
        QVERIFY2(set && set->keptEdits && set->carried, qPrintable(set.message()));
        QVERIFY(vault::lockedStore(db.get()));
        QCOMPARE(db->load(kDay)->diary, kSecretWords);
        QVERIFY(vault::looksLocked(contents(kept)));
        QVERIFY(vault::changePassphrase(db, bed.dataPath(), kept, Action::Change, pass("sakura"), {}));
        db->write(entry(kDay.addDays(1), QStringLiteral("after")), std::nullopt);
        QCOMPARE(open(bed.dataPath(), QStringLiteral("sakura")).file->load(kDay.addDays(1))->diary,
                 QStringLiteral("after"));
        QVERIFY(vault::changePassphrase(db, bed.dataPath(), kept, Action::Remove, {}, {}));
        QVERIFY(db && !vault::lockedStore(db.get()));
        QCOMPARE(bed.rowCount(), 2);
        QCOMPARE(recovery::read(kept)->diary, QStringLiteral("取っておいた編集"));
    }

    // Each way a file can be wrong has its own message, is told before any passphrase where it can be, and
    // changes nothing on disk.
    void eachFaultIsToldApart_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("fault");
        QTest::newRow("truncated") << "truncated" << int(Fault::Damaged);
        QTest::newRow("newer version") << "newer" << int(Fault::UnknownVersion);
        QTest::newRow("older header on the newer body") << "swapped" << int(Fault::Changed);
        QTest::newRow("body changed, checksum mended") << "forged" << int(Fault::Changed);
        QTest::newRow("salt changed, checksum mended") << "salt" << int(Fault::WrongPassphrase);
        QTest::newRow("older file put back") << "older" << int(Fault::Older);
    }
    void eachFaultIsToldApart() {
        QFETCH(QString, kind);
        QFETCH(int, fault);
        TestBed bed;
        auto held = lockedBed(bed);
        const QByteArray older = contents(bed.dataPath());
        held->write(entry(kDay, QStringLiteral("newer")), held->findRow(kDay));
        const vault::Written written = vault::lockedStore(held.get())->written();
        held.reset();
        QByteArray file = contents(bed.dataPath());
        const qsizetype body = vault::kHeaderSize;
        if (kind == "truncated") {
            file.chop(1 + file.size() / 3);
        } else if (kind == "newer") {
            file[8] = 2;
            putSum(file, 100, 0, 100);
        } else if (kind == "swapped") {
            file.replace(0, vault::kHeaderSize, older.left(vault::kHeaderSize));
        } else if (kind == "forged") {
            file[body + 10] = char(file[body + 10] ^ 1);
            putSum(file, file.size() - 4, body, file.size() - 4 - body);
        } else if (kind == "salt") {
            file[20] = char(file[20] ^ 1);
            putSum(file, 100, 0, 100);
        } else {
            file = older;
        }
        overwrite(bed.dataPath(), file);
        const auto remembered = kind == "older" ? std::optional(written) : std::nullopt;
        QCOMPARE(int(open(bed.dataPath(), QStringLiteral("hinoki"), remembered).fault), fault);
        QCOMPARE(contents(bed.dataPath()), file);
        QVERIFY(!vault::faultText(Fault(fault)).isEmpty());
    }

    // One flipped byte anywhere is plain damage, found by the checksums before any key is made.
    void everyFlippedByteIsDamage() {
        TestBed bed;
        lockedBed(bed).reset();
        const QByteArray file = contents(bed.dataPath());
        for (qsizetype at = 0; at < file.size(); at += at < vault::kHeaderSize + 64 ? 1 : 97) {
            for (const char bit : {char(0x01), char(0x80)}) {
                QByteArray flipped = file;
                flipped[at] = char(flipped[at] ^ bit);
                QVERIFY2(vault::inspect(flipped) == Fault::Damaged, qPrintable(QString::number(at)));
            }
        }
        QCOMPARE(vault::inspect(file.right(1)), Fault::NotLocked);
    }

    void aThousandWrongPassphrases() {
        TestBed bed;
        lockedBed(bed).reset();
        const QByteArray before = contents(bed.dataPath());
        const vault::LockedFile file = vault::readLockedFile(bed.dataPath());
        QRandomGenerator random(12);
        for (int i = 0; i < 1000; ++i) {
            const QString guess = QString::number(random.generate(), 36) + QStringLiteral("ひのき");
            QCOMPARE(vault::unlock(bed.dataPath(), file, pass(guess), std::nullopt, {}).fault,
                     Fault::WrongPassphrase);
        }
        QCOMPARE(contents(bed.dataPath()), before);
        QCOMPARE(open(bed.dataPath(), QStringLiteral("hinoki")).fault, Fault::None);
    }

    // A save goes over the file written last and no other; a refused save writes nothing and says why.
    void savesOnlyOverTheFileWrittenLast_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("told");
        QTest::newRow("older file put back") << "older"
                                             << "古いファイル";
        QTest::newRow("another diary put in place") << "other"
                                                    << "書き換え";
        QTest::newRow("changed where it lies") << "inplace"
                                               << "書き換え";
        QTest::newRow("deleted") << "deleted"
                                 << "";
    }
    void savesOnlyOverTheFileWrittenLast() {
        QFETCH(QString, kind);
        QFETCH(QString, told);
        TestBed bed;
        QStringList refusals;
        saveDay(bed, kDay, QStringLiteral("36.5"));
        auto held = vault::lockDiary(bed.dataPath(), pass(QStringLiteral("hinoki")), vault::kCheapestCost,
                                     [&refusals](const QString& text) { refusals << text; });
        const QByteArray older = contents(bed.dataPath());
        held->write(entry(kDay, QStringLiteral("second")), held->findRow(kDay));
        if (kind == "older") {
            QVERIFY(QFile::remove(bed.dataPath()));
            overwrite(bed.dataPath(), older);
        } else if (kind == "other") {
            TestBed other;
            lockedBed(other).reset();
            QVERIFY(QFile::remove(bed.dataPath()));
            QVERIFY(QFile::copy(other.dataPath(), bed.dataPath()));
        } else if (kind == "inplace") {
            QByteArray file = contents(bed.dataPath());
            file[200] = char(file[200] ^ 1);
            overwrite(bed.dataPath(), file);
        } else {
            QVERIFY(QFile::remove(bed.dataPath()));
        }
        const QByteArray before = contents(bed.dataPath());
        QVERIFY_THROWS_EXCEPTION(PgError,
                                 held->write(entry(kDay, QStringLiteral("third")), held->findRow(kDay)));
        QCOMPARE(contents(bed.dataPath()), before);
        QCOMPARE(refusals.size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) QVERIFY(refusals.first().contains(told));
        QCOMPARE(held->load(kDay)->diary, QStringLiteral("second"));  // the memory is what was written
    }

    // A save the disk cannot take leaves the file and the memory as they were.
    void aFailedSavePutsTheMemoryBack() {
        TestBed bed;
        auto held = lockedBed(bed);
        const QByteArray before = contents(bed.dataPath());
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{1024, 1024};
            setrlimit(RLIMIT_FSIZE, &cap);
            int code = 3;
            try {
                held->write(entry(kDay.addDays(9), QStringLiteral("lost")), std::nullopt);
            } catch (const PgError&) {
                code = held->load(kDay.addDays(9)) ? 2 : 0;
            }
            _exit(code);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(contents(bed.dataPath()), before);
    }

    // A diary locked by this version must open in every later one: a file it wrote, kept as it was.
    void aFileOfThisVersionStillOpens() {
        TestBed bed;
        QVERIFY(QFile::remove(bed.dataPath()));
        QVERIFY(QFile::copy(QFINDTESTDATA("../fixtures/locked-diary.mdb"), bed.dataPath()));
        QVERIFY(QFile::setPermissions(bed.dataPath(), QFile::ReadOwner | QFile::WriteOwner));
        auto opened = open(bed.dataPath(), kFixturePassphrase);
        QCOMPARE(opened.fault, Fault::None);
        QCOMPARE(opened.file->recordCount(), qint64(kFixtureDays.size()));
        for (const DayEntry& day : kFixtureDays) {
            const std::optional<DayRecord> record = opened.file->load(day.date);
            QVERIFY(record);
            QCOMPARE(record->temp, std::optional(day.tempText.toDouble()));
            QCOMPARE(QStringList({record->memo, record->schedule, record->condition, record->diary}),
                     QStringList({day.memo, day.schedule, day.condition, day.diary}));
            QCOMPARE(std::pair(record->love, record->guest), std::pair(day.love, day.guest));
        }
    }

    // The diary inside a locked file carries the version too: locked as it was, stamped by its first save,
    // and refused, with the plain file's words, when it is newer; nothing is written then.
    void theLockedDiaryKeepsItsVersion() {
        TestBed bed;
        const auto versionIn = [](QByteArrayView bytes) {
            return int(qFromBigEndian<quint32>(bytes.data() + 60));
        };
        saveDay(bed, kDay, QStringLiteral("36.5"), true, kSecretWords);
        QVERIFY(bed.sql("PRAGMA user_version = 0"));
        const QByteArray older = contents(bed.dataPath());
        vault::lockDiary(bed.dataPath(), pass(QStringLiteral("hinoki")), vault::kCheapestCost, {}).reset();
        auto opened = open(bed.dataPath(), QStringLiteral("hinoki"));
        QCOMPARE(versionIn(opened.file->image()), 0);
        opened.file->write(entry(kDay.addDays(1), QStringLiteral("次の日")), std::nullopt);
        opened.file.reset();
        QCOMPARE(versionIn(open(bed.dataPath(), QStringLiteral("hinoki")).file->image()), schema::kVersion);

        QByteArray newer = older;
        qToBigEndian<quint32>(quint32(schema::kVersion + 1), newer.data() + 60);
        overwrite(bed.dataPath(),
                  vault::seal(vault::newKey(pass(QStringLiteral("hinoki")), vault::kCheapestCost), 1, newer));
        const QByteArray sealed = contents(bed.dataPath());
        QCOMPARE(open(bed.dataPath(), QStringLiteral("hinoki")).fault, Fault::UnknownVersion);
        QCOMPARE(vault::faultText(Fault::UnknownVersion), standardErrorText(PgError::NewerFile));
        QCOMPARE(contents(bed.dataPath()), sealed);
    }

    // Each field of a freshly sealed header where docs/locked-file.md puts it.
    void headerFieldsAtTheirOffsets() {
        const vault::KdfCost cost{3, 64};
        const vault::Key key = vault::newKey(pass(QStringLiteral("hinoki")), cost);
        const QByteArray file = vault::seal(key, 0x0102030405060708, "diary");
        const auto* p = reinterpret_cast<const unsigned char*>(file.constData());
        QCOMPARE(file.left(8), QByteArray("SELVLOCK"));
        QCOMPARE(qFromLittleEndian<quint16>(p + 8), quint16(1));
        QCOMPARE(std::pair(int(p[10]), int(p[11])), std::pair(2, 0));
        QCOMPARE(qFromLittleEndian<quint32>(p + 12), cost.passes);
        QCOMPARE(qFromLittleEndian<quint32>(p + 16), cost.memoryKiB);
        QCOMPARE(file.mid(20, 16), QByteArray(reinterpret_cast<const char*>(key.salt.data()), 16));
        QCOMPARE(qFromLittleEndian<quint64>(p + 68), quint64(0x0102030405060708));
        QCOMPARE(file.size(), vault::kHeaderSize + 5 + 16 + 4);
        QCOMPARE(vault::inspect(file), Fault::None);
    }

    // A header asking for a cost no file of ours has is damage, told before any key is made (which would
    // otherwise run for minutes or exhaust the memory).
    void absurdCostsAreDamage_data() {
        QTest::addColumn<int>("at");
        QTest::addColumn<quint32>("value");
        QTest::newRow("passes beyond the limit") << 12 << quint32(65);
        QTest::newRow("passes without end") << 12 << quint32(0xffffffff);
        QTest::newRow("memory beyond a GiB") << 16 << quint32(1024 * 1024 + 1);
    }
    void absurdCostsAreDamage() {
        QFETCH(int, at);
        QFETCH(quint32, value);
        TestBed bed;
        lockedBed(bed).reset();
        QByteArray file = contents(bed.dataPath());
        qToLittleEndian<quint32>(value, file.data() + at);
        putSum(file, 100, 0, 100);
        QCOMPARE(vault::inspect(file), Fault::Damaged);  // first: should it pass, no key is made below
        overwrite(bed.dataPath(), file);
        QCOMPARE(open(bed.dataPath(), QStringLiteral("hinoki")).fault, Fault::Damaged);
    }

    // A diary that earlier versions keyed on the text U+FFFD made of bytes that are no text (which other such
    // bytes make too) opens with the bytes typed then and is keyed on them at once (unless read-only), after
    // which nothing else opens it.
    void aDiaryKeyedOnBytesThatAreNoText() {
        const QByteArray typed(8, char(0xe9));  // Latin-1 "é" eight times
        const std::vector<vault::Secret> read = readLines(typed + "\n" + QByteArray(8, char(0xff)) + "\n");
        QCOMPARE(read.size(), size_t(2));

        TestBed bed;
        saveDay(bed, kDay, QStringLiteral("36.5"), true, kSecretWords);
        const vault::Secret earlier = pass(QString::fromUtf8(typed));  // what an earlier version derived from
        vault::lockDiary(bed.dataPath(), earlier, vault::kCheapestCost, {}).reset();
        const auto openWith = [&bed](const vault::Secret& passphrase) {
            return vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()), passphrase, {}, {});
        };
        QVERIFY(QFile::setPermissions(bed.dataPath(), QFile::ReadOwner));
        const QByteArray lockedBefore = contents(bed.dataPath());
        QCOMPARE(openWith(read[0]).fault, Fault::None);
        QCOMPARE(contents(bed.dataPath()), lockedBefore);

        QVERIFY(QFile::setPermissions(bed.dataPath(), QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(openWith(read[0]).file->load(kDay)->diary, kSecretWords);
        QCOMPARE(openWith(read[1]).fault, Fault::WrongPassphrase);
        QCOMPARE(openWith(earlier).fault, Fault::WrongPassphrase);
        QCOMPARE(openWith(read[0]).fault, Fault::None);
    }

    // Text in one normal form; bytes that are no text kept as they are, not as the U+FFFD that other such
    // bytes make too (Latin-1 "Mädchen" against "Müdchen").
    void passphrasesAreNormalisedAndReadLineByLine() {
        QVERIFY(pass(QStringLiteral("が")) == pass(QStringLiteral("か\u3099")));
        const std::vector<vault::Secret> read = readLines(
            "old one\nあたらしい\r\nM\xe4"
            "dchen\nM\xfc"
            "dchen\n");
        QCOMPARE(read.size(), size_t(4));
        QVERIFY(read[0] == pass(QStringLiteral("old one")));
        QVERIFY(read[1] == pass(QStringLiteral("あたらしい")));
        QVERIFY(!(read[2] == read[3]));
    }

    void strengthAndChoice_data() {
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<int>("strength");
        QTest::newRow("three letters") << "abc" << int(vault::Strength::TooShort);
        QTest::newRow("a run") << "aaaaaaaaaaaa" << int(vault::Strength::Weak);
        QTest::newRow("counting up") << "123456789012" << int(vault::Strength::Weak);
        QTest::newRow("lower case word") << "hinokisan" << int(vault::Strength::Weak);
        QTest::newRow("letters and digits, ten") << "Hinoki2024" << int(vault::Strength::Fair);
        QTest::newRow("with symbols, ten") << "Hin0ki-Sa7" << int(vault::Strength::Strong);
        QTest::newRow("long sentence") << "tsuki ga kirei desu ne 1993" << int(vault::Strength::Strong);
        QTest::newRow("kana") << "つきがきれいですね" << int(vault::Strength::Fair);
    }
    void strengthAndChoice() {
        QFETCH(QString, passphrase);
        QFETCH(int, strength);
        QCOMPARE(int(vault::strengthOf(passphrase)), strength);
        using Action = vault::PassphraseChoice::Action;
        const bool acceptable = strength != int(vault::Strength::TooShort);
        QCOMPARE(vault::choiceProblem(Action::Set, {}, passphrase, passphrase).isEmpty(), acceptable);
        QVERIFY(!vault::choiceProblem(Action::Set, {}, passphrase, passphrase + "x").isEmpty());
        QVERIFY(!vault::choiceProblem(Action::Change, {}, passphrase, passphrase).isEmpty());
        QVERIFY(vault::choiceProblem(Action::Remove, passphrase, {}, {}).isEmpty());
    }

    void lockMinutesReadDefensively_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("minutes");
        QTest::newRow("nothing stored") << QString() << 5;
        QTest::newRow("off") << "0" << 0;
        QTest::newRow("full-width") << "１５" << 15;
        QTest::newRow("too long") << "61" << 5;
        QTest::newRow("negative") << "-1" << 5;
        QTest::newRow("garbage") << "often" << 5;
    }
    void lockMinutesReadDefensively() {
        QFETCH(QString, stored);
        QFETCH(int, minutes);
        TestBed bed;
        if (!stored.isNull()) bed.settings->save(vault::kLockTimeSection, settingkeys::kKey, stored);
        QCOMPARE(vault::lockMinutes(*bed.settings), minutes);
    }
};

int main(int argc, char* argv[]) { return runInOwnTemp<TestLockedFile, QCoreApplication>(argc, argv); }
#include "test_lockedfile.moc"
