// Backups: rotation over a year of use, the newest good backup kept whatever its age, restore refusing what
// it cannot trust, a full disk during an export or a backup, and the commands' exit statuses.
#include "cli/TransferCommands.h"
#include "data/Schema.h"
#include "platform/core/PgError.h"
#include "support/FileBytes.h"
#include "transfer/Backups.h"
#include "transfer/RestorePreview.h"
#include "vault/LockedDiary.h"

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <QtEndian>
#include <csignal>
#include <map>

namespace {

bool run(const QString& path, const QString& sql) {
    const QString name = QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery query(db);
        for (const QString& statement : sql.split(u';', Qt::SkipEmptyParts)) ok = ok && query.exec(statement);
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// A diary of `days` days ending 2024-05-01, each with a diary text of some length.
QString diary(const QTemporaryDir& dir, int days, const QString& name = QStringLiteral("selvane.mdb")) {
    QString path = dir.filePath(name);
    schema::createEmptyDataFile(path);
    run(path,
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                       " INSERT INTO DATA_FIL SELECT date('2024-05-01', '-' || i || ' days'), 36.5, '', '',"
                       " '', printf('%.*c', 100, 'x'), 0, 0 FROM n")
            .arg(days - 1));
    return path;
}

// The diary's header marked for write-ahead logging, as after one session of a tool that switched it so.
QString inWalMode(const QString& path) {
    run(path, QStringLiteral("PRAGMA journal_mode = WAL"));
    return path;
}

// Files of write-ahead logging anywhere under folder.
QStringList walFiles(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(u"-wal") || path.endsWith(u"-shm")) found.append(path);
    }
    return found;
}

const vault::Secret& passphrase() {
    static const vault::Secret secret = vault::Secret::fromText(QStringLiteral("hinoki"));
    return secret;
}

// Sealed backups opened with the diary's key, asking nothing.
std::unique_ptr<DataFile> withDiaryKey(DataFile& diary, const QString& path, bool) {
    return vault::openSealedCopy(path, vault::lockedStore(&diary), {});
}

std::unique_ptr<DataFile> reopen(const QString& path, bool locked) {
    if (!locked) return DataFile::open(path);
    return vault::unlock(path, vault::readLockedFile(path), passphrase(), std::nullopt, {}).file;
}

// The version a database's bytes carry (its user_version).
int versionIn(QByteArrayView bytes) { return int(qFromBigEndian<quint32>(bytes.data() + 60)); }

QStringList names(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Runs work in a child whose files may not grow past limit bytes, as on a nearly full disk; its exit status.
int underFileSizeLimit(rlim_t limit, const std::function<int()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

class TestBackups : public QObject {
    Q_OBJECT

  private slots:
    // A year of use, some days skipped and some with two backups: after each day exactly the backups of the
    // last 7 days that have one and the newest of each of the last 12 months are left.
    void rotationOverASimulatedYear() {
        QTemporaryDir dir;
        const QString data = diary(dir, 3);
        const QString folder = transfer::backupFolderBeside(data);
        auto db = DataFile::open(data);
        QRandomGenerator random(42);
        std::map<QDateTime, QString> made;  // everything ever made
        for (QDate day(2023, 1, 1); day <= QDate(2024, 2, 29); day = day.addDays(1 + random.bounded(3))) {
            const int count = 1 + random.bounded(2);
            for (int i = 0; i < count; ++i) {
                const QDateTime when(day, QTime(9 + i * 5, random.bounded(60)));
                made[when] =
                    QFileInfo(transfer::makeBackup(*db, folder, transfer::BackupReason(i), when).value())
                        .fileName();
                transfer::rotateBackups(*db, folder, day, {});
            }
            QSet<QDate> lastDays;
            QMap<int, QDateTime> newestOfMonth;
            const std::vector<std::pair<QDateTime, QString>> newestFirst(made.rbegin(), made.rend());
            for (const auto& [when, name] : newestFirst) {
                if (lastDays.size() < 7 || lastDays.contains(when.date())) lastDays.insert(when.date());
                const int monthsAgo =
                    (day.year() - when.date().year()) * 12 + day.month() - when.date().month();
                if (monthsAgo < 12 && !newestOfMonth.contains(monthsAgo)) newestOfMonth[monthsAgo] = when;
            }
            QStringList expected;
            for (const auto& [when, name] : made)
                if (lastDays.contains(when.date()) || newestOfMonth.values().contains(when))
                    expected.append(name);
            expected.sort();
            QCOMPARE(names(folder), expected);
        }
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
    }

    // Only an old backup passes the check: the rule would delete it, but it stays. After locking, that is a
    // sealed one that opens with the diary's key, and the plain ones from before age out like the rest.
    void theNewestGoodBackupIsNeverDeleted_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("plain diary") << false;
        QTest::newRow("locked diary") << true;
    }
    void theNewestGoodBackupIsNeverDeleted() {
        QFETCH(bool, locked);
        QTemporaryDir dir;
        const QString data = diary(dir, 3);
        const QString folder = transfer::backupFolderBeside(data);
        const QString older =
            transfer::makeBackup(*DataFile::open(data), folder, transfer::BackupReason::Save,
                                 QDateTime(QDate(2021, 12, 1), QTime(9, 0)))
                .value();
        auto db =
            locked ? vault::lockDiary(data, passphrase(), vault::kCheapestCost, {}) : DataFile::open(data);
        const QString good = transfer::makeBackup(*db, folder, transfer::BackupReason::Save,
                                                  QDateTime(QDate(2022, 1, 10), QTime(9, 0)))
                                 .value();
        for (int day = 1; day <= 8; ++day) {
            const QString path = transfer::makeBackup(*db, folder, transfer::BackupReason::Save,
                                                      QDateTime(QDate(2023, 6, day), QTime(9, 0)))
                                     .value();
            writeFile(path, QByteArray(4096, 'x'));  // damaged since
        }
        transfer::rotateBackups(*db, folder, QDate(2023, 6, 30), withDiaryKey);
        QVERIFY(QFile::exists(good));
        QVERIFY(!QFile::exists(older));
        QCOMPARE(names(folder).size(), 1 + 7);  // the good one and the last 7 days
    }

    // Copies that killed backups left half-written go before the next backup into that folder, once no
    // writer holds them; a file of another name, a link, or one still being written stays.
    void killedBackupsLeaveNothingBehind() {
        QTemporaryDir dir;
        const QString data = diary(dir, 3);
        const QString folder = transfer::backupFolderBeside(data);
        const QString elsewhere = dir.filePath(QStringLiteral("copies"));
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(elsewhere));
        const QStringList left = {folder + "/.selvane.mdb-backup.a1B2c3",
                                  folder + "/.selvane-20240501-090000-save-2.mdb.Zx81Qa",
                                  elsewhere + "/.selvane.mdb-backup.q1w2e3"};
        const QStringList kept = {folder + "/.selvane.mdb-backup.abc",
                                  folder + "/selvane.mdb-backup.abcdef",
                                  folder + "/.backup.abcdef",
                                  folder + "/.selvane.mdb-backup.abcdef.txt",
                                  folder + "/.selvane-2024-save.mdb.abcdef",
                                  elsewhere + "/.notes.mdb.abcdef",
                                  folder + "/.selvane.mdb-backup.HELD01"};
        for (const QString& path : left + kept) writeFile(path, "partial");
        QVERIFY(QFile::link(data, folder + "/.selvane.mdb-backup.link01"));
        QFile writing(folder + "/.selvane.mdb-backup.HELD01");  // a backup being written by another process
        QVERIFY(writing.open(QIODevice::ReadOnly) && ::flock(writing.handle(), LOCK_EX | LOCK_NB) == 0);
        auto db = DataFile::open(data);
        const QDateTime now(QDate(2024, 5, 2), QTime(8, 0));
        QVERIFY(transfer::makeBackup(*db, folder, transfer::BackupReason::Manual, now));
        QVERIFY(transfer::makeBackup(*db, elsewhere, transfer::BackupReason::Manual, now));
        for (const QString& path : left) QVERIFY2(!QFile::exists(path), qPrintable(path));
        for (const QString& path : kept) QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY(QFileInfo(folder + "/.selvane.mdb-backup.link01").isSymLink());
    }

    // damage: SQL that makes the chosen file (CREATE ...) or changes the diary it is (PRAGMA ...).
    void restoreRefusesWhatItCannotTrust_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("says");
        const QString columns = QStringLiteral(
            "(DAT_DATE TEXT NOT NULL, TEMP REAL, Memo TEXT, SCHEDULE TEXT, CONDITION TEXT, DIARY TEXT,"
            " LOVE INTEGER, GUEST INTEGER)");
        QTest::newRow("damaged file") << "garbage"
                                      << "";
        QTest::newRow("another table") << "CREATE TABLE OTHER (x)"
                                       << "DATA_FIL";
        QTest::newRow("a column missing") << "CREATE TABLE DATA_FIL (DAT_DATE TEXT, TEMP REAL, Memo TEXT)"
                                          << "DATA_FIL";
        QTest::newRow("a view") << "CREATE TABLE T " + columns + ";CREATE VIEW DATA_FIL AS SELECT * FROM T"
                                << "DATA_FIL";
        QTest::newRow("a loose table with junk")
            << "CREATE TABLE DATA_FIL " + columns +
                   ";INSERT INTO DATA_FIL VALUES ('x', 'warm', 1, 2, 3, 4, 7, 'y')"
            << "STRICT";
        QTest::newRow("no checks") << "CREATE TABLE DATA_FIL " + columns + " STRICT"
                                   << "CHECK";
        // The table still reads; only the integrity check sees that its index no longer matches it.
        QTest::newRow("an index that does not match its table")
            << "PRAGMA writable_schema = ON;UPDATE sqlite_schema SET sql ="
               " 'CREATE INDEX DATA_FIL_DATE ON DATA_FIL (TEMP)' WHERE name = 'DATA_FIL_DATE'"
            << "整合性の検査に通りません";
        QTest::newRow("a newer version")
            << QStringLiteral("PRAGMA user_version = %1").arg(schema::kVersion + 1)
            << "このﾊﾞｯｸｱｯﾌﾟからは戻せません。\rこのデータファイルは新しい版";
        QTest::newRow("no such file") << "missing"
                                      << "";
        QTest::newRow("its own backup fails") << "no backup folder"
                                              << "";
    }
    void restoreRefusesWhatItCannotTrust() {
        QFETCH(QString, damage);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString data = diary(dir, 20);
        QString chosen = diary(dir, 5, QStringLiteral("chosen.mdb"));
        if (damage == u"garbage") writeFile(chosen, QByteArray(8192, 'x'));
        if (damage == u"missing") chosen = dir.filePath(QStringLiteral("none.mdb"));
        if (damage.startsWith(u"CREATE")) QFile::remove(chosen);
        if (damage.startsWith(u"CREATE") || damage.startsWith(u"PRAGMA")) QVERIFY(run(chosen, damage));
        if (damage == u"no backup folder")
            writeFile(transfer::backupFolderBeside(data), "a file where the folder goes");
        const QByteArray before = contents(data);
        auto db = DataFile::open(data);
        const Result<void> restored = transfer::restoreBackup(*db, chosen, transfer::backupFolderBeside(data),
                                                              QDateTime(QDate(2024, 5, 2), QTime(8, 0)));
        QVERIFY2(!restored, "restored");
        QVERIFY(!restored.message().isEmpty());
        QVERIFY2(restored.message().contains(says), qPrintable(restored.message()));
        QCOMPARE(contents(data), before);
        QCOMPARE(db->recordCount(), 20);  // the open file is still the diary, and still works
    }

    // Against a backup, day by day as the main window shows them (a day's first row): the days it would add,
    // remove and change; a day that differs only in its mark is changed, a second row of a day is no day.
    void aRestoreIsPreviewedDayByDay() {
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("selvane.mdb"));
        const QString copy = dir.filePath(QStringLiteral("chosen.mdb"));
        QVERIFY(schema::createEmptyDataFile(data) && schema::createEmptyDataFile(copy));
        auto day = [](const char* date, double temp) {
            DayRecord record;
            record.date = QDate::fromString(QString::fromLatin1(date), Qt::ISODate);
            record.temp = temp;
            return record;
        };
        auto db = DataFile::open(data);
        QVERIFY(db->importRecords({day("2024-05-01", 36.5), day("2024-05-02", 36.6), day("2024-05-03", 36.7),
                                   day("2024-05-04", 36.8)},
                                  {}) == DataFile::ImportResult::Written);
        db->setExcluded(QDate(2024, 5, 4), true);
        auto backup = DataFile::open(copy);
        QVERIFY(
            backup->importRecords({day("2024-05-02", 36.6), day("2024-05-03", 36.9), day("2024-05-04", 36.8),
                                   day("2024-05-05", 36.4), day("2024-05-05", 37.0)},
                                  {}) == DataFile::ImportResult::Written);
        const transfer::RestorePreview preview = transfer::previewRestore(*db, *backup);
        QCOMPARE(preview.added, 1);    // 5 May
        QCOMPARE(preview.removed, 1);  // 1 May
        QCOMPARE(preview.changed, 2);  // 3 May's reading, 4 May's mark
        QCOMPARE(preview.same, 1);
    }

    void restoreReplacesTheOpenDiaryInOneStep() {
        QTemporaryDir dir;
        const QString data = diary(dir, 20);
        const QString chosen = diary(dir, 3, QStringLiteral("chosen.mdb"));
        // Made by another tool: a day twice and a day no calendar has are no reason to refuse it.
        QVERIFY(run(chosen,
                    QStringLiteral("INSERT INTO DATA_FIL VALUES ('2024-05-01', 36.6, '', '', '', '', 0, 0),"
                                   " ('2001-02-30', NULL, '', '', '', '', 0, 1)")));
        auto db = DataFile::open(data);
        QVERIFY(transfer::restoreBackup(*db, chosen, transfer::backupFolderBeside(data),
                                        QDateTime(QDate(2024, 5, 2), QTime(8, 0))));
        QCOMPARE(db->recordCount(), 5);
        DayEntry entry;
        entry.date = QDate(2024, 6, 1);
        entry.tempText = QStringLiteral("36.6");
        db->write(entry, db->findRow(entry.date));  // the same connection writes on
        QCOMPARE(db->recordCount(), 6);
        const auto before = transfer::listBackups(transfer::backupFolderBeside(data));
        QCOMPARE(before.size(), size_t(1));
        QCOMPARE(before[0].reason, transfer::BackupReason::Restore);
        QCOMPARE(DataFile::inspectFile(before[0].path)->days, 20);
    }

    // A plain backup whose header asks for write-ahead logging goes back into a plain or a locked diary in
    // rollback-journal mode: the diary opens again afterwards, and no -wal or -shm file appears anywhere.
    void aBackupInWalModeRestoresInRollbackMode_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("plain diary") << false;
        QTest::newRow("locked diary") << true;
    }
    void aBackupInWalModeRestoresInRollbackMode() {
        QFETCH(bool, locked);
        QTemporaryDir dir;
        const QString data = diary(dir, 20);
        const QString chosen = inWalMode(diary(dir, 5, QStringLiteral("chosen.mdb")));
        const QString folder = transfer::backupFolderBeside(data);
        auto db =
            locked ? vault::lockDiary(data, passphrase(), vault::kCheapestCost, {}) : DataFile::open(data);
        const QDateTime now(QDate(2024, 5, 2), QTime(8, 0));
        QVERIFY(transfer::restoreBackup(*db, chosen, folder, now, {}, withDiaryKey));
        DayEntry entry;
        entry.date = QDate(2024, 6, 1);
        entry.tempText = QStringLiteral("36.6");
        db->write(entry, db->findRow(entry.date));
        QVERIFY(transfer::makeBackup(*db, folder, transfer::BackupReason::Manual, now.addSecs(60)));
        for (const transfer::Backup& made : transfer::listBackups(folder))
            QVERIFY(locked || DataFile::inspectFile(made.path));
        db.reset();
        const auto reopened = reopen(data, locked);
        QVERIFY(reopened);
        QCOMPARE(reopened->recordCount(), 6);
        QCOMPARE(walFiles(dir.path()), QStringList());
        if (locked) return;
        QCOMPARE(contents(data).mid(18, 2), QByteArray("\x01\x01"));
        // A diary in write-ahead mode all the same (a tool switched it so) gives backups in rollback mode.
        QTemporaryDir other;
        const QString walDiary = inWalMode(diary(other, 2));
        const QString copy =
            transfer::makeBackup(*DataFile::open(walDiary), transfer::backupFolderBeside(walDiary),
                                 transfer::BackupReason::Manual, now)
                .value();
        QCOMPARE(contents(copy).mid(18, 2), QByteArray("\x01\x01"));
    }

    // A backup made before the version was kept goes back into a plain or a locked diary and is brought up to
    // this version there.
    void anOlderBackupIsBroughtUpToDate_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("plain diary") << false;
        QTest::newRow("locked diary") << true;
    }
    void anOlderBackupIsBroughtUpToDate() {
        QFETCH(bool, locked);
        QTemporaryDir dir;
        const QString data = diary(dir, 20);
        const QString chosen = diary(dir, 5, QStringLiteral("chosen.mdb"));
        QVERIFY(run(chosen, QStringLiteral("PRAGMA user_version = 0")));
        auto db =
            locked ? vault::lockDiary(data, passphrase(), vault::kCheapestCost, {}) : DataFile::open(data);
        QVERIFY(transfer::restoreBackup(*db, chosen, transfer::backupFolderBeside(data),
                                        QDateTime(QDate(2024, 5, 2), QTime(8, 0)), {}, withDiaryKey));
        db.reset();
        const auto reopened = reopen(data, locked);
        QCOMPARE(reopened->recordCount(), 5);
        QCOMPARE(versionIn(locked ? reopened->image() : QByteArrayView(contents(data))), schema::kVersion);
    }

    // A locked diary whose image was sealed with the header of write-ahead logging opens again; an image no
    // connection could open is never sealed over hers.
    void aLockedDiaryKeepsAnImageThatOpens() {
        QTemporaryDir dir;
        const QString data = diary(dir, 3);
        const QString wal = inWalMode(diary(dir, 7, QStringLiteral("wal.mdb")));
        vault::Key key = vault::newKey(passphrase(), vault::kCheapestCost);
        writeFile(data, vault::seal(key, 1, contents(wal)));
        auto opened = vault::unlock(data, vault::readLockedFile(data), passphrase(), std::nullopt, {});
        QCOMPARE(int(opened.fault), int(vault::Fault::None));
        QCOMPARE(opened.file->recordCount(), 7);

        const QByteArray before = contents(data);
        auto source = DataFile::open(wal);  // in write-ahead mode: its first page says so
        QVERIFY_THROWS_EXCEPTION(PgError, opened.file->restoreFrom(*source));
        QCOMPARE(contents(data), before);
        QCOMPARE(opened.file->recordCount(), 7);
    }

    // A write killed half-way leaves its journal hot: the check rolls it back first, as every command does.
    void theCheckRollsBackAKilledWrite() {
        QTemporaryDir dir;
        const QString data = diary(dir, 2000);
        const pid_t child = fork();
        if (child == 0) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("killed"));
            db.setDatabaseName(data);
            db.open();
            QSqlQuery query(db);
            // A small cache spills the changed pages into the file before the commit.
            query.exec(QStringLiteral("PRAGMA cache_size = 10"));
            query.exec(QStringLiteral("BEGIN"));
            query.exec(QStringLiteral(
                "UPDATE DATA_FIL SET DIARY = printf('%.*c', 900, 'y'), DAT_DATE = '1999-01-01'"));
            ::raise(SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(QFile::exists(data + QStringLiteral("-journal")));
        QString output;
        QString messages;
        QTextStream out(&output);
        QTextStream err(&messages);
        QCOMPARE(cli::checkCommand(data, out, err), 0);
        QVERIFY2(output.contains(QStringLiteral("整合性：ok\n記録のある日：2000日\n最初の日：2018-11-10")),
                 qPrintable(output + messages));
    }

    // A clear failure (exit 1), the old file at that path untouched and nothing partial left.
    void aFullDiskDuringExportOrBackup() {
        QTemporaryDir dir;
        const QString data = diary(dir, 3000);
        const QString target = dir.filePath(QStringLiteral("export.csv"));
        writeFile(target, "the old export");
        QTextStream err(stderr);
        QCOMPARE(underFileSizeLimit(
                     rlim_t(64) * 1024,
                     [&] { return cli::exportCommand(data, target, transfer::CsvFormat::Selvane, err); }),
                 1);
        QCOMPARE(contents(target), QByteArray("the old export"));
        QCOMPARE(
            underFileSizeLimit(rlim_t(64) * 1024, [&] { return cli::backupCommand(data, QString(), err); }),
            1);
        QCOMPARE(names(transfer::backupFolderBeside(data)), QStringList());
        QCOMPARE(names(dir.path()), QStringList({"export.csv", "selvane.mdb"}));
    }

    void commandExitStatuses() {
        QTemporaryDir dir;
        const QString data = diary(dir, 10);
        QString output;
        QString messages;
        QTextStream out(&output);
        QTextStream err(&messages);
        QCOMPARE(cli::checkCommand(data, out, err), 0);
        // The diary it used comes first.
        QCOMPARE(output, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ：") + data +
                             QStringLiteral("\n整合性：ok\n記録のある日：10日\n最初の日：2024-04-22\n"
                                            "最後の日：2024-05-01\n"));
        // Never written over: her diary itself.
        const QByteArray before = contents(data);
        QCOMPARE(cli::exportCommand(data, data, transfer::CsvFormat::Drip, err), 1);
        QCOMPARE(contents(data), before);
        QCOMPARE(cli::backupCommand(data, dir.filePath(QStringLiteral("elsewhere")), err), 0);
        const QString copy = dir.filePath(QStringLiteral("elsewhere/")) +
                             names(dir.filePath(QStringLiteral("elsewhere"))).value(0);
        QCOMPARE(QFile(copy).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        QCOMPARE(cli::restoreCommand(data, copy, err), 0);
        QCOMPARE(cli::restoreCommand(data, dir.filePath(QStringLiteral("none")), err), 1);
        QCOMPARE(cli::checkCommand(dir.filePath(QStringLiteral("none.mdb")), out, err), 1);
        // The table still reads, the integrity check fails: the verdict counts.
        QVERIFY(run(
            data,
            QStringLiteral("PRAGMA writable_schema = ON;UPDATE sqlite_schema SET sql ="
                           " 'CREATE INDEX DATA_FIL_DATE ON DATA_FIL (TEMP)' WHERE name = 'DATA_FIL_DATE'")));
        QString why;
        QTextStream whyErr(&why);
        QCOMPARE(cli::checkCommand(data, out, whyErr), 1);
        QVERIFY2(why.startsWith(QStringLiteral("検査に通りません：整合性の検査に通りません。")),
                 qPrintable(why));
        writeFile(data, QByteArray(4096, 'x'));
        QCOMPARE(cli::checkCommand(data, out, err), 1);
        QCOMPARE(cli::exportCommand(data, dir.filePath(QStringLiteral("x.csv")), transfer::CsvFormat::Selvane,
                                    err),
                 1);
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "test_backups.moc"
