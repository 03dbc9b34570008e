#include "data/SettingsStore.h"
#include "platform/core/PgError.h"
#include "settings/DiaryExport.h"
#include "settings/Purge.h"
#include "settings/SettingEntry.h"
#include "support/FileBytes.h"
#include "support/ScriptedDialogs.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using settingentry::Verdict;

namespace {

// Owner, group and other bits (Qt's "user" bits repeat the owner's for one's own file).
const QFileDevice::Permissions kEveryone(0x7777 & ~0x0700);

// Runs work in a child limited to files of 4 KB, as a nearly full disk would; its exit status.
int underFileSizeLimit(const std::function<bool()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit cap{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QStringList namesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

  private slots:
    void entries_data() {
        QTest::addColumn<bool>("cycle");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<QString>("stored");
        QTest::newRow("temp 33.4 rounds to 33") << false << "33.4" << Verdict::OutOfRange << "";
        QTest::newRow("temp 33.5 rounds to 34") << false << "33.5" << Verdict::Accepted << "33.5";
        QTest::newRow("temp 40.5 rounds to 40") << false << "40.5" << Verdict::Accepted << "40.5";
        QTest::newRow("temp 40.6 rounds to 41") << false << "40.6" << Verdict::OutOfRange << "";
        QTest::newRow("temp kept as typed") << false << "36.50" << Verdict::Accepted << "36.50";
        QTest::newRow("cycle 9") << true << "9" << Verdict::OutOfRange << "";
        QTest::newRow("cycle 9.5 rounds to 10") << true << "9.5" << Verdict::Accepted << "9.5";
        QTest::newRow("cycle 60.5 rounds to 60") << true << "60.5" << Verdict::Accepted << "60.5";
        QTest::newRow("cycle 61") << true << "61" << Verdict::OutOfRange << "";
        QTest::newRow("full-width stored narrow") << true << "２９．６" << Verdict::Accepted << "29.6";
        QTest::newRow("sign and spaces") << true << " +28 " << Verdict::Accepted << " +28 ";
        QTest::newRow("negative") << true << "-28" << Verdict::OutOfRange << "";
        QTest::newRow("letters") << true << "abc" << Verdict::NotANumber << "";
        QTest::newRow("digits and letters") << false << "36.5度" << Verdict::NotANumber << "";
        QTest::newRow("comma") << true << "28,5" << Verdict::NotANumber << "";
        QTest::newRow("only a point") << true << "." << Verdict::NotANumber << "";
        QTest::newRow("empty is a cancel") << true << "" << Verdict::Cancelled << "";
    }
    void entries() {
        QFETCH(bool, cycle);
        QFETCH(QString, entry);
        QFETCH(Verdict, verdict);
        QFETCH(QString, stored);
        const auto& dialog = cycle ? settingentry::cyclePrompt() : settingentry::temperaturePrompt();
        const settingentry::Check result = settingentry::check(entry, dialog);
        QCOMPARE(result.verdict, verdict);
        QCOMPARE(result.stored, stored);
    }

    // A value holding a comma (a folder's name may) is written quoted and read back whole; one written by
    // hand without quotes reads as written.
    void valuesWithACommaReadBackWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SELVANE.ini"));
        SettingsStore store(path);
        store.save(QStringLiteral("ANY"), QStringLiteral("DATA"), QStringLiteral("日記,2024"));
        QCOMPARE(SettingsStore(path).get(QStringLiteral("ANY"), QStringLiteral("DATA")),
                 QStringLiteral("日記,2024"));
        writeFile(path, "[G_CYCLE]\nDATA=28,5\n");
        QCOMPARE(store.get(QStringLiteral("G_CYCLE"), QStringLiteral("DATA")), QStringLiteral("28,5"));
    }

    void entryBeyondSixteenBitsIsAnOverflow() {
        for (const QString& entry :
             {QStringLiteral("32767.5"), QStringLiteral("-40000"), QStringLiteral("１０００００")}) {
            try {
                settingentry::check(entry, settingentry::cyclePrompt());
                QFAIL(qPrintable(entry));
            } catch (const PgError& error) {
                QCOMPARE(error.number(), int(PgError::Overflow));
            }
        }
        QCOMPARE(settingentry::check("32766.5", settingentry::cyclePrompt()).verdict, Verdict::OutOfRange);
    }

    void purgeQuestionHasZeroPaddedDateAndLoneReturns() {
        QCOMPARE(
            purge::question(QDate(2001, 1, 5)),
            QStringLiteral(
                "2001年01月05日以前のﾃﾞｰﾀは完全に消去されます。\r続けますか？\r(この操作は元に戻せません)"));
    }

    void proposedPath_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain folder") << "/home/u/selvane"
                                      << "/home/u/selvane/20010315s_diary";
        QTest::newRow("folder ending in a separator") << "/home/u/selvane/"
                                                      << "/home/u/selvane/20010315s_diary";
        QTest::newRow("root") << "/"
                              << "/20010315s_diary";
    }
    void proposedPath() {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(diaryexport::proposedPath(folder, QDate(2001, 3, 15)), path);
    }

    void exportAsksForAnyExistingFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("new file, no question")
            << "20010315s_diary" << false << false << QByteArray("一行目\n二行目");
        QTest::newRow("name typed with .txt") << "mine.txt" << false << false << QByteArray("一行目\n二行目");
        QTest::newRow("existing, yes replaces") << "old.txt" << true << true << QByteArray("一行目\n二行目");
        QTest::newRow("existing, no keeps") << "old.txt" << true << false << QByteArray("old content");
        QTest::newRow("hidden file is asked about")
            << ".hidden" << true << false << QByteArray("old content");
    }
    void exportAsksForAnyExistingFile() {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(bool, yes);
        QFETCH(QByteArray, result);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (exists) {
            writeFile(path, "old content");
            QFile::setPermissions(path,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadGroup);
        }
        ScriptedDialogs dialogs;
        dialogs.saveFiles.enqueue(path);
        dialogs.answers.enqueue(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        diaryexport::run(dialogs, nullptr, dir.path(), QDate(2001, 3, 15), QStringLiteral("一行目\n二行目"));

        QCOMPARE(dialogs.calls.size(), exists ? 2 : 1);
        const auto& file = dialogs.calls[0];
        QCOMPARE(file.kind, ScriptedDialogs::Call::SaveFile);
        QCOMPARE(file.title, QStringLiteral("ﾌｧｲﾙの保存"));
        QCOMPARE(file.filter, QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt"));
        QCOMPARE(file.initial, dir.filePath("20010315s_diary"));
        if (exists) {
            QCOMPARE(dialogs.calls[1].text, QStringLiteral("上書きしますか？"));
            QCOMPARE(dialogs.calls[1].title, QStringLiteral("上書き確認"));
            QCOMPARE(dialogs.calls[1].icon, Dialogs::Icon::Question);
            QCOMPARE(dialogs.calls[1].buttons, Dialogs::Buttons::YesNo);
        }
        QCOMPARE(contents(path), result);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 1);  // nothing else, no ".txt" added
        if (result != "old content")
            QCOMPARE(QFile::permissions(path) & kEveryone, QFile::ReadOwner | QFile::WriteOwner);
    }

    void exportRefusesAFolderAndCancelsSilently() {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        dialogs.saveFiles.enqueue(dir.path());
        dialogs.saveFiles.enqueue(std::nullopt);
        diaryexport::run(dialogs, nullptr, dir.path(), QDate(2001, 3, 15), QStringLiteral("日記"));
        QCOMPARE(dialogs.calls.size(), 2);
        QCOMPARE(dialogs.calls[1].text, diaryexport::kIsFolder);
        QCOMPARE(dialogs.calls[1].icon, Dialogs::Icon::Exclamation);
        diaryexport::run(dialogs, nullptr, dir.path(), QDate(2001, 3, 15), QStringLiteral("日記"));
        QCOMPARE(dialogs.calls.size(), 3);  // the file dialog only
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void exportWritesAnEmptyDiaryAsAnEmptyFile() {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        dialogs.saveFiles.enqueue(dir.filePath("empty"));
        diaryexport::run(dialogs, nullptr, dir.path(), QDate(2001, 3, 15), QString());
        QCOMPARE(dialogs.calls.size(), 1);
        QVERIFY(QFile::exists(dir.filePath("empty")));
        QCOMPARE(contents(dir.filePath("empty")), QByteArray());
    }

    void exportWriteFailureShowsItsDescription() {
        QTemporaryDir dir;
        const QString path = dir.filePath("no such folder/diary.txt");
        ScriptedDialogs dialogs;
        dialogs.saveFiles.enqueue(path);
        diaryexport::run(dialogs, nullptr, dir.path(), QDate(2001, 3, 15), QStringLiteral("日記"));
        QCOMPARE(dialogs.calls.size(), 2);
        QCOMPARE(dialogs.calls[1].title, QStringLiteral("Selvane"));
        QCOMPARE(dialogs.calls[1].icon, Dialogs::Icon::None);
        QVERIFY(dialogs.calls[1].text.startsWith(QStringLiteral("ファイルに書き込めません。\r")));
        QVERIFY(dialogs.calls[1].text.contains(path));
        QVERIFY(!QFile::exists(path));
    }

    // A diary or a setting that does not fit the disk: the failure is told, the old file stays whole and
    // nothing is left beside it, whether the bytes overflow at a write or only at the final flush.
    void aFullDiskKeepsTheOldFileAndSaysSo_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::newRow("export over a file, 10 KB") << "diary.txt" << 10 * 1024;
        QTest::newRow("export over a file, 40 KB") << "diary.txt" << 40 * 1024;
        QTest::newRow("export to a new name") << "new.txt" << 10 * 1024;
        QTest::newRow("settings change") << "SELVANE.ini" << 10 * 1024;
    }
    void aFullDiskKeepsTheOldFileAndSaysSo() {
        QFETCH(QString, name);
        QFETCH(int, size);
        QTemporaryDir dir;
        const QByteArray old = "[G_CYCLE]\nDATA=28\n";
        for (const char* existing : {"diary.txt", "SELVANE.ini"}) writeFile(dir.filePath(existing), old);
        const QString path = dir.filePath(name);
        const QString text(size / 3, QChar(0x65E5));  // 日: three bytes each in UTF-8
        const int reported = underFileSizeLimit([&] {
            if (name.endsWith(".ini")) {
                try {
                    SettingsStore(path).save("AVE_TEMP", "DATA", text);
                    return false;
                } catch (const PgError& error) {
                    return error.number() == PgError::PermissionDenied;
                }
            }
            ScriptedDialogs dialogs;
            dialogs.saveFiles.enqueue(path);
            dialogs.answers.enqueue(Dialogs::Answer::Yes);
            diaryexport::run(dialogs, nullptr, dir.path(), QDate(2001, 3, 15), text);
            return dialogs.calls.constLast().text.startsWith(QStringLiteral("ファイルに書き込めません。\r"));
        });
        QCOMPARE(reported, 0);
        QCOMPARE(contents(path), QFile::exists(path) ? old : QByteArray("<missing>"));
        QCOMPARE(namesIn(dir.path()), (QStringList{"SELVANE.ini", "diary.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
