// The commands on a locked diary as a script runs them: the passphrase from --passphrase-fd (here standard
// input), a wrong one changing nothing, and never the diary in plain text on disk unless she exports it.
#include "../vault/VaultTestSupport.h"
#include "data/Recovery.h"
#include "data/Schema.h"
#include "support/ProgramRun.h"
#include "vault/LockedDiary.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtEndian>

namespace {

const QString kPassphrase = QStringLiteral("hinoki");
const QDate kDay(2024, 5, 3);

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray csvOf(const QString& day, const QString& diary) {
    return "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\n" + day.toUtf8() +
           ",36.5,,,," + diary.toUtf8() + ",0,0\n";
}

using Run = ProgramRun;

// The program copied beside a diary holding the secret words, in a folder of its own.
struct Folder {
    QTemporaryDir dir;
    QString temp;  // TMPDIR of the runs

    explicit Folder(const QString& tempRoot) : temp(tempRoot) {
        QFile::copy(QStringLiteral(SELVANE_EXE), path("selvane"));
        schema::createEmptyDataFile(path("selvane.mdb"));
        writeFile(path("secret.csv"), csvOf(kDay.toString(Qt::ISODate), kSecretWords));
        run({"--import", "secret.csv"});
        QFile::remove(path("secret.csv"));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString data() const { return path("selvane.mdb"); }
    void lockCheaply() const {
        vault::lockDiary(data(), vault::Secret::fromText(kPassphrase), vault::kCheapestCost, {}).reset();
    }
    // lines: what the program reads from --passphrase-fd 0; without them it has no way to ask at all.
    Run run(const QStringList& arguments, const std::optional<QStringList>& lines = std::nullopt) const {
        return start(arguments, lines ? std::optional(lines->join(u'\n').toUtf8() + '\n') : std::nullopt);
    }
    // The same with the bytes of those lines as they are (not all of them text).
    Run start(const QStringList& arguments, const std::optional<QByteArray>& input) const {
        QStringList all = arguments;
        if (input) all << QStringLiteral("--passphrase-fd") << QStringLiteral("0");
        return runProgram(path("selvane"), all,
                          {dir.path(), input, {{QStringLiteral("TMPDIR"), temp}}, 60000});
    }
    // The diary on disk, opened with the passphrase: the day's diary text, or why it did not open.
    QString diaryWith(const QString& passphrase, const QDate& day = kDay) const {
        auto opened = vault::unlock(data(), vault::readLockedFile(data()),
                                    vault::Secret::fromText(passphrase), std::nullopt, {});
        if (!opened.file) return QStringLiteral("fault %1").arg(int(opened.fault));
        const auto record = opened.file->load(day);
        return record ? record->diary : QStringLiteral("no day");
    }
    // The edits kept in the recovery file beside the diary, opened with the diary's key of this passphrase
    // (or plain, without one).
    QString keptWith(const QString& passphrase = {}) const {
        QByteArray bytes = contents(path(recovery::kFileName));
        if (!passphrase.isEmpty()) {
            auto opened = vault::unlock(data(), vault::readLockedFile(data()),
                                        vault::Secret::fromText(passphrase), std::nullopt, {});
            vault::Image plain;
            if (!opened.file ||
                vault::lockedStore(opened.file.get())->unsealCopy(bytes, &plain) != vault::Fault::None)
                return QStringLiteral("<does not open>");
            bytes = plain.view().toByteArray();
        }
        const std::optional<DayEntry> kept = recovery::decode(bytes);
        return kept ? kept->diary : QStringLiteral("<not plain>");
    }
    // The folder lies inside the temporary folder, which a search covers whole.
    QStringList plainCopies() const {
        QStringList found = filesHolding(dir.path()) + filesHolding(temp);
        found.removeDuplicates();
        return found;
    }
};

}  // namespace

class TestLockedCli : public QObject {
    Q_OBJECT

  public:
    QString temp;

  private slots:
    // Every whole-diary command opens a locked diary with the passphrase read from the descriptor; none of
    // them leaves the diary readable on disk, and a wrong or missing passphrase changes nothing.
    void commandsOpenTheLockedDiary() {
        Folder folder(temp);
        folder.lockCheaply();
        const QByteArray locked = contents(folder.data());
        const QDir backups(folder.path("backups"));
        const QStringList earlier = backups.entryList(QDir::Files);  // the plain one before the import

        Run wrong = folder.run({"--check"}, QStringList{"hinok"});
        QCOMPARE(wrong.status, 1);
        QVERIFY2(wrong.err.contains(vault::kWrongPassphrase), qPrintable(wrong.err));
        Run noWay = folder.run({"--backup"});
        QCOMPARE(noWay.status, 1);
        QVERIFY2(noWay.err.contains(QStringLiteral("--passphrase-fd")), qPrintable(noWay.err));
        QVERIFY(folder.run({"--import", "none.csv"}, QStringList{"hinok"}).status == 1);
        QCOMPARE(contents(folder.data()), locked);
        QCOMPARE(backups.entryList(QDir::Files), earlier);

        Run check = folder.run({"--check"}, QStringList{kPassphrase});
        QCOMPARE(check.status, 0);
        QVERIFY2(check.outText().contains(QStringLiteral("記録のある日：1日")),
                 qPrintable(check.outText() + check.err));
        QCOMPARE(folder.run({"--backup"}, QStringList{kPassphrase}).status, 0);
        const QStringList made = backups.entryList(QDir::Files);
        QCOMPARE(made.size(), earlier.size() + 1);
        for (const QString& name : made)
            QCOMPARE(vault::isLockedFile(backups.filePath(name)), !earlier.contains(name));
        QVERIFY(
            writeFile(folder.path("more.csv"), csvOf(QStringLiteral("2024-05-04"), QStringLiteral("晴れ"))));
        QCOMPARE(folder.run({"--import", "more.csv"}, QStringList{kPassphrase}).status, 0);
        QCOMPARE(folder.diaryWith(kPassphrase, kDay.addDays(1)), QStringLiteral("晴れ"));
        QCOMPARE(folder.plainCopies(), QStringList());

        Run report = folder.run({"--report", "chart.pdf"}, QStringList{kPassphrase});  // opened: no period
        QVERIFY2(report.status == 1 && report.err.contains(QStringLiteral("月経の記録がない")),
                 qPrintable(report.err));

        // An export is plain text because she asks for it, and says so.
        QCOMPARE(folder.run({"--export", "wrong.csv"}, QStringList{"x"}).status, 1);
        QVERIFY(!QFile::exists(folder.path("wrong.csv")));
        Run exported = folder.run({"--export", "out.csv"}, QStringList{kPassphrase});
        QCOMPARE(exported.status, 0);
        QVERIFY2(exported.err.contains(QStringLiteral("暗号化されません")), qPrintable(exported.err));
        QCOMPARE(folder.plainCopies(), QStringList{folder.path("out.csv")});
    }

    // Set from a plain diary (one line), changed (old line, new line), removed (one line); a wrong current
    // passphrase or a refused new one changes nothing.
    void settingChangingAndRemovingThePassphrase() {
        Folder folder(temp);
        QCOMPARE(folder.run({"--backup"}).status, 0);  // plain copies made before: this one and the import's
        Run short_ = folder.run({"--set-passphrase"}, QStringList{"abc"});
        QCOMPARE(short_.status, 1);
        QVERIFY(!vault::isLockedFile(folder.data()));

        Run set = folder.run({"--set-passphrase"}, QStringList{kPassphrase});
        QCOMPARE(set.status, 0);
        QVERIFY2(set.err.contains(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟが2個残っています")), qPrintable(set.err));
        QCOMPARE(folder.diaryWith(kPassphrase), kSecretWords);

        const QByteArray locked = contents(folder.data());
        QCOMPARE(folder.run({"--set-passphrase"}, QStringList{"hinok", "sugi-2024"}).status, 1);
        QCOMPARE(folder.run({"--remove-passphrase"}, QStringList{"sugi-2024"}).status, 1);
        QCOMPARE(folder.run({"--set-passphrase", "--format", "drip"}, QStringList{kPassphrase}).status, 2);
        QCOMPARE(contents(folder.data()), locked);

        QCOMPARE(folder.run({"--set-passphrase"}, QStringList{kPassphrase, "sugi-2024"}).status, 0);
        QCOMPARE(folder.diaryWith(kPassphrase),
                 QStringLiteral("fault %1").arg(int(vault::Fault::WrongPassphrase)));
        QCOMPARE(folder.diaryWith(QStringLiteral("sugi-2024")), kSecretWords);
        const QStringList plainBackup = filesHolding(folder.path("backups"));
        QCOMPARE(plainBackup.size(), 1);  // the copy made before: only she may delete it
        QCOMPARE(folder.plainCopies(), plainBackup);

        QCOMPARE(folder.run({"--remove-passphrase"}, QStringList{"sugi-2024"}).status, 0);
        QVERIFY(!vault::isLockedFile(folder.data()));
        QVERIFY(folder.run({"--check"}).outText().contains(QStringLiteral("記録のある日：1日")));
        QCOMPARE(folder.run({"--remove-passphrase"}).status, 1);  // nothing to remove
    }

    // A backup sealed before the passphrase changed opens with the one it was sealed with (the second line);
    // the diary stays locked with its own key. A backup that does not open is refused and changes nothing.
    void restoringASealedBackup() {
        Folder folder(temp);
        folder.lockCheaply();
        QCOMPARE(folder.run({"--backup", "copies"}, QStringList{kPassphrase}).status, 0);
        const QString backup =
            folder.path("copies/" + QDir(folder.path("copies")).entryList(QDir::Files).constFirst());
        QVERIFY(writeFile(folder.path("later.csv"),
                          csvOf(kDay.toString(Qt::ISODate), QStringLiteral("書き直し"))));
        QCOMPARE(folder.run({"--import", "later.csv", "--on-conflict", "replace"}, QStringList{kPassphrase})
                     .status,
                 0);
        QCOMPARE(folder.run({"--set-passphrase"}, QStringList{kPassphrase, "sugi-2024"}).status, 0);

        const QByteArray before = contents(folder.data());
        Run refused = folder.run({"--restore", backup}, QStringList{"sugi-2024", "hinok"});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(vault::kWrongPassphrase), qPrintable(refused.err));
        QCOMPARE(contents(folder.data()), before);

        Run restored = folder.run({"--restore", backup}, QStringList{"sugi-2024", kPassphrase});
        QVERIFY2(restored.status == 0, qPrintable(restored.err));
        QCOMPARE(folder.diaryWith(QStringLiteral("sugi-2024")), kSecretWords);
        QCOMPARE(folder.plainCopies(), QStringList());
    }

    // Edits kept from a run ended by a signal follow every change of the passphrase: sealed with the new key,
    // plain when it is removed, sealed when one is set again.
    void keptEditsFollowThePassphrase() {
        Folder folder(temp);
        folder.lockCheaply();
        const QString edits = kSecretWords + QStringLiteral(" 書きかけ");
        {
            auto opened = vault::unlock(folder.data(), vault::readLockedFile(folder.data()),
                                        vault::Secret::fromText(kPassphrase), std::nullopt, {});
            DayEntry kept;
            kept.date = kDay;
            kept.diary = edits;
            QCOMPARE(vault::lockedStore(opened.file.get())
                         ->writeSealedCopy(folder.path(recovery::kFileName), recovery::encode(kept)),
                     QString());
        }
        Run changed = folder.run({"--set-passphrase"}, QStringList{kPassphrase, "sugi-2024"});
        QVERIFY2(changed.status == 0 && changed.err.contains(QStringLiteral("編集も")),
                 qPrintable(changed.err));
        QCOMPARE(folder.keptWith(QStringLiteral("sugi-2024")), edits);
        QCOMPARE(folder.run({"--remove-passphrase"}, QStringList{"sugi-2024"}).status, 0);
        QCOMPARE(folder.keptWith(), edits);
        QCOMPARE(folder.run({"--set-passphrase"}, QStringList{kPassphrase}).status, 0);
        QCOMPARE(folder.keptWith(kPassphrase), edits);
        QVERIFY(!filesHolding(folder.dir.path()).contains(folder.path(recovery::kFileName)));
    }

    // A new passphrase of bytes that are no text, or a read-only diary, is refused with the reason and
    // leaves the file as it was.
    void refusedNewPassphrasesChangeNothing() {
        Folder folder(temp);
        const QByteArray latin1(
            "M\xe4"
            "dchen-Tagebuch\n");
        const QByteArray plain = contents(folder.data());
        Run notText = folder.start({"--set-passphrase"}, latin1);
        QCOMPARE(notText.status, 1);
        QVERIFY2(notText.err.contains(QStringLiteral("読めないバイト")), qPrintable(notText.err));
        QCOMPARE(contents(folder.data()), plain);

        folder.lockCheaply();
        const QByteArray locked = contents(folder.data());
        QCOMPARE(folder.start({"--set-passphrase"}, kPassphrase.toUtf8() + '\n' + latin1).status, 1);
        QCOMPARE(contents(folder.data()), locked);

        Folder readOnly(temp);
        QVERIFY(QFile::setPermissions(readOnly.data(), QFile::ReadOwner));
        const QByteArray before = contents(readOnly.data());
        Run refused = readOnly.run({"--set-passphrase"}, QStringList{kPassphrase});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("読み取り専用")), qPrintable(refused.err));
        QCOMPARE(contents(readOnly.data()), before);
        QCOMPARE(QFile::permissions(readOnly.data()) & QFile::WriteOwner, QFile::Permissions());
    }

    // A diary made before the version was kept, plain or locked, is checked, exported and backed up as it is
    // and stamped by the first command that writes it; a newer one is refused by every command with the
    // window's words and left byte for byte as it was.
    void diariesOfOtherVersions_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("plain diary") << false;
        QTest::newRow("locked diary") << true;
    }
    void diariesOfOtherVersions() {
        QFETCH(bool, locked);
        Folder folder(temp);
        const QByteArray plain = contents(folder.data());
        const auto asVersion = [&](int version) {
            QByteArray bytes = plain;
            qToBigEndian<quint32>(quint32(version), bytes.data() + 60);  // the header's user_version
            const vault::Key key = vault::newKey(vault::Secret::fromText(kPassphrase), vault::kCheapestCost);
            QVERIFY(writeFile(folder.data(), locked ? vault::seal(key, 1, bytes) : bytes));
        };
        const auto version = [&] {
            auto opened = vault::unlock(folder.data(), vault::readLockedFile(folder.data()),
                                        vault::Secret::fromText(kPassphrase), std::nullopt, {});
            const QByteArray bytes = locked ? opened.file->image().toByteArray() : contents(folder.data());
            return int(qFromBigEndian<quint32>(bytes.constData() + 60));
        };
        const QStringList lines{kPassphrase};
        QVERIFY(
            writeFile(folder.path("more.csv"), csvOf(QStringLiteral("2024-05-04"), QStringLiteral("晴れ"))));
        asVersion(0);
        QCOMPARE(folder.run({"--check"}, lines).status, 0);
        QCOMPARE(folder.run({"--export", "out.csv"}, lines).status, 0);
        QCOMPARE(folder.run({"--backup"}, lines).status, 0);
        QCOMPARE(version(), 0);
        QCOMPARE(folder.run({"--import", "more.csv"}, lines).status, 0);
        QCOMPARE(version(), schema::kVersion);

        asVersion(schema::kVersion + 1);
        const QByteArray newer = contents(folder.data());
        for (const QStringList& arguments : QList<QStringList>{{"--check"},
                                                               {"--export", "newer.csv"},
                                                               {"--import", "more.csv"},
                                                               {"--backup"},
                                                               {"--cycles"},
                                                               {"--set-passphrase"}}) {
            const Run refused = folder.run(arguments, QStringList{kPassphrase, "sugi-2024"});
            QCOMPARE(refused.status, 1);
            QVERIFY2(refused.err.contains(
                         QStringLiteral("このデータファイルは新しい版のSelvaneで保存されています。")),
                     qPrintable(arguments.join(u' ') + refused.err));
        }
        QCOMPARE(contents(folder.data()), newer);
    }

    // A plain backup whose header asks for write-ahead logging (a diary opened so once by another tool) goes
    // back into a locked or a plain diary: the diary opens afterwards, and no -wal or -shm file appears.
    void restoringABackupInWalMode_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("locked diary") << true;
        QTest::newRow("plain diary") << false;
    }
    void restoringABackupInWalMode() {
        QFETCH(bool, locked);
        Folder folder(temp);
        const QString backup = folder.path("wal.mdb");
        QVERIFY(QFile::copy(folder.data(), backup));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("wal"));
            db.setDatabaseName(backup);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA journal_mode = WAL")));
            QVERIFY(query.exec(QStringLiteral(
                "INSERT INTO DATA_FIL VALUES ('2024-05-04', 36.6, '', '', '', '晴れ', 0, 0)")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("wal"));
        QCOMPARE(contents(backup).mid(18, 2), QByteArray("\x02\x02"));
        if (locked) folder.lockCheaply();

        Run restored = folder.run({"--restore", "wal.mdb"}, QStringList{kPassphrase});
        QVERIFY2(restored.status == 0, qPrintable(restored.err));
        Run check = folder.run({"--check"}, QStringList{kPassphrase});
        QVERIFY2(check.status == 0 && check.outText().contains(QStringLiteral("記録のある日：2日")),
                 qPrintable(check.outText() + check.err));
        QCOMPARE(vault::isLockedFile(folder.data()), locked);
        QDirIterator it(folder.dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QVERIFY2(!path.endsWith(u"-wal") && !path.endsWith(u"-shm"), qPrintable(path));
        }
    }
};

int main(int argc, char* argv[]) { return runInOwnTemp<TestLockedCli, QCoreApplication>(argc, argv); }
#include "test_locked_cli.moc"
