// The locked diary in the program: the passphrase before the main window, setting and removing it from the
// Settings menu, and the lock with edits pending; never the diary in plain on disk meanwhile.
#include "VaultTestSupport.h"
#include "data/Recovery.h"
#include "main/EditGuard.h"
#include "main/frmMain.h"
#include "support/MainBed.h"
#include "transfer/Backups.h"
#include "ui/vault/LockController.h"
#include "ui/vault/PassphraseDialogs.h"
#include "ui/vault/PassphrasePrompt.h"
#include "ui/vault/VaultFeature.h"
#include "vault/LockedDiary.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>

namespace {

using Panel = frmMain::Panel;

using Action = vault::PassphraseChoice::Action;
using Answer = Dialogs::Answer;

const QDate kToday(2001, 5, 20);
const QString kPassphrase = QStringLiteral("hinoki");

// Plays the passphrase dialogs from a script.
class ScriptedPassphrases : public vaultui::PassphrasePrompt {
  public:
    struct Choice {
        Action action;
        QString current;
        QString next;
    };
    std::optional<vault::Secret> askUnlock(QWidget*) override {
        ++unlockAsked;
        if (whileAsked) whileAsked();
        if (unlocks.isEmpty()) return std::nullopt;
        return vault::Secret::fromText(unlocks.takeFirst());
    }
    std::optional<vault::PassphraseChoice> askChoice(QWidget*, bool locked) override {
        askedLocked.append(locked);
        if (choices.isEmpty()) return std::nullopt;
        const Choice next = choices.takeFirst();
        vault::PassphraseChoice choice;
        choice.action = next.action;
        choice.current = vault::Secret::fromText(next.current);
        choice.next = vault::Secret::fromText(next.next);
        return choice;
    }
    QStringList unlocks;
    QList<Choice> choices;
    QList<bool> askedLocked;
    int unlockAsked = 0;
    std::function<void()> whileAsked;
};

// A bed whose diary holds the secret words today, locked cheaply with kPassphrase.
void lockBed(MainBed& bed) {
    saveDay(bed, kToday, QStringLiteral("36.6"), true, kSecretWords);
    vault::lockDiary(bed.dataPath(), vault::Secret::fromText(kPassphrase), vault::kCheapestCost, {}).reset();
}

// The main window started with its passphrases asked from the script.
frmMain* startWith(MainBed& bed, ScriptedPassphrases& prompts) {
    bed.makeMain()->findChild<vaultui::VaultFeature*>()->setPrompt(&prompts);
    return bed.startMain();
}

// A locked bed open in the main window.
frmMain* startLocked(MainBed& bed, ScriptedPassphrases& prompts) {
    lockBed(bed);
    prompts.unlocks = {kPassphrase};
    return startWith(bed, prompts);
}

vaultui::LockController* lockOf(frmMain* w) { return w->findChild<vaultui::LockController*>(); }

QString diaryOnDisk(const MainBed& bed, const QString& passphrase) {
    auto opened = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                vault::Secret::fromText(passphrase), std::nullopt, {});
    return opened.file ? opened.file->load(kToday)->diary : QStringLiteral("<does not open>");
}

}  // namespace

class TestLockWindow : public QObject {
    Q_OBJECT

  public:
    QString temp;

  private slots:
    void initTestCase() { initTestApplication(); }

    void startUpAsksUntilThePassphraseFits() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        lockBed(bed);
        prompts.unlocks = {QStringLiteral("hinok"), kPassphrase};
        frmMain* w = startWith(bed, prompts);
        QVERIFY(w);
        QCOMPARE(prompts.unlockAsked, 2);
        QCOMPARE(bed.dialogs.texts(), QStringList{vault::kWrongPassphrase});
        QCOMPARE(ui(w).rtbDiary->toPlainText(), kSecretWords);
        QVERIFY(ui(w).chkMens->isChecked());
        QVERIFY(!vault::dumpable());
    }

    // Cancel, or a file that cannot be opened: the program ends without writing anything.
    void startUpEndsWithoutTouchingTheFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("told");
        QTest::newRow("cancel") << "cancel" << QString();
        QTest::newRow("damaged") << "damaged" << vault::faultText(vault::Fault::Damaged);
    }
    void startUpEndsWithoutTouchingTheFile() {
        QFETCH(QString, kind);
        QFETCH(QString, told);
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        lockBed(bed);
        QByteArray file = contents(bed.dataPath());
        if (kind == "damaged") file[300] = char(file[300] ^ 4);
        QFile out(bed.dataPath());
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(file);
        out.close();
        if (kind != "cancel") prompts.unlocks = {kPassphrase};
        QVERIFY(!startWith(bed, prompts));
        QCOMPARE(bed.dialogs.texts(), told.isEmpty() ? QStringList() : QStringList{told});
        QCOMPARE(prompts.unlockAsked, kind == "cancel" ? 1 : 0);  // no passphrase for a file that cannot open
        QCOMPARE(contents(bed.dataPath()), file);
    }

    // Set from the menu: the file is locked in one step and the plain backup offered for deletion; the diary
    // is saved locked from then on; removing it takes the current passphrase and makes the file plain again.
    void settingAndRemovingThePassphrase() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        saveDay(bed, kToday, QStringLiteral("36.6"), false, kSecretWords);
        QVERIFY(QDir(bed.dir.path()).mkdir(QStringLiteral("backups")));
        QVERIFY(QFile::copy(bed.dataPath(), bed.dir.filePath(QStringLiteral("backups/20010519.mdb"))));
        frmMain* w = startWith(bed, prompts);
        QVERIFY(w);
        QVERIFY(ui(w).mnuSet->actions().indexOf(menuItem(w, "mnuSetPassphrase")) >
                ui(w).mnuSet->actions().indexOf(menuItem(w, "mnuSetMente")));

        prompts.choices = {{Action::Set, {}, QStringLiteral("Hinoki-2024")}};
        bed.dialogs.answers << Answer::Yes;  // delete the plain backup
        menuItem(w, "mnuSetPassphrase")->trigger();
        QCOMPARE(prompts.askedLocked, QList<bool>{false});
        QVERIFY(bed.dialogs.texts().last().contains(QStringLiteral("1個")));
        QVERIFY(contents(bed.dataPath()).startsWith("SELVLOCK"));
        QCOMPARE(filesHolding(temp), QStringList());
        QVERIFY(vault::lockedStore(bed.module.Db.get()));

        ui(w).rtbDiary->setPlainText(kSecretWords + QStringLiteral(" 続き"));
        bed.dialogs.answers << Answer::Yes;  // overwrite
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QCOMPARE(filesHolding(temp), QStringList());
        QCOMPARE(diaryOnDisk(bed, QStringLiteral("Hinoki-2024")), kSecretWords + QStringLiteral(" 続き"));

        const QByteArray locked = contents(bed.dataPath());
        prompts.choices = {{Action::Remove, QStringLiteral("hinoki-2024"), {}},
                           {Action::Remove, QStringLiteral("Hinoki-2024"), {}}};
        bed.dialogs.clear();
        menuItem(w, "mnuSetPassphrase")->trigger();
        QCOMPARE(bed.dialogs.texts(), QStringList{vault::kWrongPassphrase});
        QCOMPARE(contents(bed.dataPath()), locked);
        menuItem(w, "mnuSetPassphrase")->trigger();
        QVERIFY(!vault::lockedStore(bed.module.Db.get()));
        QCOMPARE(bed.scalar("SELECT DIARY FROM DATA_FIL").toString(), kSecretWords + QStringLiteral(" 続き"));
    }

    // A lock asks once about pending edits; while locked nothing of the diary is in the window or in plain on
    // disk; after unlocking she is on the same day, with the edits only if she saved them.
    void lockWithEditsPending_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved when asked") << true;
        QTest::newRow("not saved (or no answer in time)") << false;
    }
    void lockWithEditsPending() {
        QFETCH(bool, save);
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        lockBed(bed);
        prompts.unlocks = {kPassphrase, kPassphrase};
        frmMain* w = startWith(bed, prompts);
        QVERIFY(w);
        ui(w).rtbDiary->setPlainText(QStringLiteral("書きかけ"));
        bed.dialogs.clear();
        if (save) bed.dialogs.answers << Answer::Yes << Answer::Yes;  // save, overwrite
        bool checked = false;
        prompts.whileAsked = [&] {
            QVERIFY(!bed.module.Db);
            QCOMPARE(ui(w).rtbDiary->toPlainText(), QString());
            QCOMPARE(w->panelText(Panel::NextPeriod), QString());
            QCOMPARE(filesHolding(temp), QStringList());
            QVERIFY(!vault::dumpable());  // no key left, but freed memory may still hold the diary
            checked = true;
        };
        lockOf(w)->lockNow();
        QVERIFY(checked);
        QCOMPARE(bed.dialogs.calls.first().title, QStringLiteral("保存確認"));
        QCOMPARE(w->panelText(Panel::Date), QStringLiteral("2001年05月20日"));
        const QString expected = save ? QStringLiteral("書きかけ") : kSecretWords;
        QCOMPARE(ui(w).rtbDiary->toPlainText(), expected);
        QVERIFY(!bed.module.DataChanged);
        QCOMPARE(diaryOnDisk(bed, kPassphrase), expected);

        prompts.whileAsked = nullptr;
        lockOf(w)->lockNow();  // and Cancel at the passphrase ends the run
        QCOMPARE(bed.processEnds, 1);
        QVERIFY(!bed.module.Db);
    }

    // With the forecast from her records on, the cycle panel shows nothing of them while locked, and the
    // cycle from her records again after the unlock, the forecast counting with it.
    void aLockHidesTheCycleFromHerRecords() {
        MainBed bed(QDate(2024, 3, 20));
        addPeriods(bed, QDate(2023, 10, 1), {29, 30, 31, 30, 32, 20});
        bed.settings->save(QStringLiteral("HISTORY_CYCLE"), settingkeys::kKey, QStringLiteral("1"));
        vault::lockDiary(bed.dataPath(), vault::Secret::fromText(kPassphrase), vault::kCheapestCost, {})
            .reset();
        ScriptedPassphrases prompts;
        prompts.unlocks = {kPassphrase, kPassphrase};
        frmMain* w = startWith(bed, prompts);
        QVERIFY(w);
        const QString fromRecords = QStringLiteral("月経周期：　30日(記録)");
        QCOMPARE(w->panelText(Panel::Cycle), fromRecords);
        bool checked = false;
        prompts.whileAsked = [&] {
            QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　28日"));
            checked = true;
        };
        lockOf(w)->lockNow();
        QVERIFY(checked);
        QCOMPARE(w->panelText(Panel::Cycle), fromRecords);
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2024年03月31日 日曜日です"));
        QVERIFY(bed.dialogs.calls.isEmpty());
    }

    // The desktop's screen lock and idle time both lock; a dialog open at that moment is closed first.
    void screenLockAndIdleTimeLock() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) QSKIP("no dbus-daemon");
        QProcess bus;
        bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address")});
        QVERIFY(bus.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        QDBusConnection listener = QDBusConnection::connectToBus(address, QStringLiteral("listener"));
        QDBusConnection sender = QDBusConnection::connectToBus(address, QStringLiteral("sender"));
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        lockBed(bed);
        prompts.unlocks = {kPassphrase, kPassphrase, kPassphrase};
        frmMain* w = startWith(bed, prompts);
        QVERIFY(lockOf(w)->watchScreenSaver(listener));

        std::optional<bool> answered;
        QTimer::singleShot(0, w, [w, &answered] {  // a real question is open...
            QtDialogs real;
            answered = real.askYesNo(w, QStringLiteral("上書きしますか？"), kAppTitle);
        });
        QTimer::singleShot(50, [&sender] {
            QDBusMessage locked = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                             QStringLiteral("org.freedesktop.ScreenSaver"),
                                                             QStringLiteral("ActiveChanged"));
            locked << true;
            sender.send(locked);
        });
        QTRY_COMPARE_WITH_TIMEOUT(prompts.unlockAsked, 2, 10000);  // ...and answered No for the lock
        QCOMPARE(answered, std::optional(false));
        QVERIFY(bed.module.Db);

        lockOf(w)->setIdleInterval(std::chrono::milliseconds(100));
        QTRY_COMPARE_WITH_TIMEOUT(prompts.unlockAsked, 3, 10000);
        QCOMPARE(ui(w).rtbDiary->toPlainText(), kSecretWords);
        QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
        QDBusConnection::disconnectFromBus(QStringLiteral("sender"));
        bus.kill();
        bus.waitForFinished();
    }

    // A locked diary's backup is sealed like the diary, and an import into it reaches the disk.
    void backupsAndImportsFollowTheLock() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        lockBed(bed);
        auto opened = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                    vault::Secret::fromText(kPassphrase), std::nullopt, {});
        const QString backup =
            transfer::makeBackup(*opened.file, transfer::backupFolderBeside(bed.dataPath()),
                                 transfer::BackupReason::Manual, QDateTime(kToday, QTime(9, 0)))
                .value();
        QVERIFY(contents(backup).startsWith("SELVLOCK"));
        QCOMPARE(filesHolding(temp), QStringList());
        DayRecord imported;
        imported.date = kToday.addDays(-1);
        imported.diary = QStringLiteral("読み込んだ日");
        QVERIFY(opened.file->importRecords({imported}, {}) == DataFile::ImportResult::Written);
        opened.file.reset();
        auto again = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                   vault::Secret::fromText(kPassphrase), std::nullopt, {});
        QCOMPARE(again.file->load(imported.date)->diary, imported.diary);
        auto fromBackup = vault::unlock(backup, vault::readLockedFile(backup),
                                        vault::Secret::fromText(kPassphrase), std::nullopt, {});
        QCOMPARE(fromBackup.file->load(kToday)->diary, kSecretWords);
    }

    // Sealed backups are listed and put back from the Settings menu: with the diary's key, or with the
    // passphrase they were sealed with (asked; a wrong one is refused and changes nothing). The diary stays
    // locked throughout and nothing of it reaches the disk in plain text.
    void restoringSealedBackupsFromTheWindow() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        frmMain* w = startLocked(bed, prompts);
        QVERIFY(w);
        const QString folder = transfer::backupFolderBeside(bed.dataPath());
        QVERIFY(transfer::makeBackup(*bed.module.Db, folder, transfer::BackupReason::Manual,
                                     QDateTime(kToday.addDays(-2), QTime(9, 0))));
        vault::LockedStore* store = vault::lockedStore(bed.module.Db.get());
        store->changeKey(
            bed.module.Db->image(),
            vault::newKey(vault::Secret::fromText(QStringLiteral("sugi")), vault::kCheapestCost));
        QVERIFY(transfer::makeBackup(*bed.module.Db, folder, transfer::BackupReason::Manual,
                                     QDateTime(kToday.addDays(-1), QTime(9, 0))));
        ui(w).rtbDiary->setPlainText(QStringLiteral("書き直し"));
        bed.dialogs.answers << Answer::Yes;  // overwrite
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        const QByteArray rewritten = contents(bed.dataPath());

        auto restore = [&](int index, const QStringList& passphrases) {
            bed.dialogs.clear();
            bed.dialogs.choices << index;
            bed.dialogs.answers << Answer::Yes;
            prompts.unlocks = passphrases;
            menuItem(w, "mnuSetRestore")->trigger();
        };
        restore(1, {});  // newest first: the save's, yesterday's (this key), the one before (the old key)
        const QStringList lines = bed.dialogs.calls.first().options;
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[1].contains(QStringLiteral("1日分")) &&
                     lines[2].contains(QStringLiteral("暗号化されています")),
                 qPrintable(lines.join(u'\n')));
        QCOMPARE(ui(w).rtbDiary->toPlainText(), kSecretWords);
        QCOMPARE(diaryOnDisk(bed, QStringLiteral("sugi")), kSecretWords);

        const QByteArray restored = contents(bed.dataPath());
        restore(3, {QStringLiteral("hinok")});
        QVERIFY2(bed.dialogs.texts().last().contains(vault::kWrongPassphrase),
                 qPrintable(bed.dialogs.texts().last()));
        QCOMPARE(contents(bed.dataPath()), restored);
        restore(3, {kPassphrase});
        QCOMPARE(bed.dialogs.texts().last(), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻しました。"));
        QVERIFY(vault::lockedStore(bed.module.Db.get()));
        QCOMPARE(diaryOnDisk(bed, QStringLiteral("sugi")), kSecretWords);
        QVERIFY(contents(bed.dataPath()) != rewritten);
        QCOMPARE(filesHolding(temp), QStringList());
    }

    // Exporting a locked diary warns first that the file is not sealed; No writes nothing.
    void exportWarnsThatTheFileIsPlain() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        frmMain* w = startLocked(bed, prompts);
        QVERIFY(w);
        bed.dialogs.clear();
        bed.dialogs.answers << Answer::No;
        menuItem(w, "mnuFileExportAll")->trigger();
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QVERIFY(bed.dialogs.calls.first().text.contains(QStringLiteral("暗号化されません")));
        QCOMPARE(bed.dialogs.calls.first().buttons, Dialogs::Buttons::YesNo);
        const QString out = bed.dir.filePath(QStringLiteral("out.csv"));
        bed.dialogs.answers << Answer::Yes;
        bed.dialogs.chosenFiles << Dialogs::FileChoice{out, 0};
        menuItem(w, "mnuFileExportAll")->trigger();
        QCOMPARE(filesHolding(temp), QStringList{out});
    }

    // Edits kept at a session's end are sealed with the diary's key, and offered again after the unlock.
    void keptEditsOfALockedDiaryAreSealed() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        frmMain* w = startLocked(bed, prompts);
        QVERIFY(w);
        const QString kept = bed.dir.filePath(recovery::kFileName);
        {
            mainwindow::EditGuard guard(*w, bed.module, kept);
            ui(w).rtbDiary->setPlainText(kSecretWords + QStringLiteral(" 書きかけ"));
        }  // the run ends without the closing questions
        QVERIFY(contents(kept).startsWith("SELVLOCK"));
        QCOMPARE(filesHolding(temp), QStringList());

        bed.main.reset();
        bed.module = Module1();
        bed.dialogs.clear();
        prompts.unlocks = {kPassphrase};
        bed.dialogs.answers << Answer::Yes << Answer::Yes;  // save them, overwrite
        QVERIFY(startWith(bed, prompts));
        QVERIFY(bed.dialogs.texts().first().contains(QStringLiteral("保存されずに終了した編集")));
        QCOMPARE(diaryOnDisk(bed, kPassphrase), kSecretWords + QStringLiteral(" 書きかけ"));
        QVERIFY(!QFile::exists(kept));
    }

    // A lock's question that nobody answers (she walked away) keeps her edits sealed, to offer after the
    // unlock as after a kill; an answered No still gives them up.
    void anUnansweredLockKeepsTheEdits() {
        // A real box, which only the lock's timer closes.
        struct WaitingDialogs : ScriptedDialogs {
            Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                           Buttons buttons) override {
                if (!text.startsWith(QStringLiteral("日記をﾛｯｸします")))
                    return ScriptedDialogs::message(parent, text, title, icon, buttons);
                QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No);
                return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
            }
        } dialogs;
        MainBed bed(kToday);
        bed.services.dialogs = &dialogs;
        ScriptedPassphrases prompts;
        lockBed(bed);
        prompts.unlocks = {kPassphrase, kPassphrase};
        frmMain* w = startWith(bed, prompts);
        QVERIFY(w);
        lockOf(w)->setAnswerTime(std::chrono::milliseconds(300));
        ui(w).rtbDiary->setPlainText(QStringLiteral("歩いて行った ") + kSecretWords);
        const QString kept = bed.dir.filePath(recovery::kFileName);
        prompts.whileAsked = [&] {
            QVERIFY(contents(kept).startsWith("SELVLOCK"));
            QCOMPARE(filesHolding(temp), QStringList());
        };
        dialogs.answers << Answer::Yes << Answer::Yes;  // after the unlock: save them, overwrite
        lockOf(w)->lockNow();
        QVERIFY(dialogs.texts().first().contains(QStringLiteral("保存されずに終了した編集")));
        QCOMPARE(diaryOnDisk(bed, kPassphrase), QStringLiteral("歩いて行った ") + kSecretWords);
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("歩いて行った ") + kSecretWords);
        QVERIFY(!QFile::exists(kept));
    }

    // Another program rewrote the locked file under the window: her save offers to load it, keeps her edits
    // on screen, and writes them over the changed diary, the rest of the day as the other program left it.
    void aLockedFileChangedUnderTheWindow() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        frmMain* w = startLocked(bed, prompts);
        QVERIFY(w);
        ui(w).txtCondition->setText(QStringLiteral("頭痛"));
        {
            auto other = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                       vault::Secret::fromText(kPassphrase), std::nullopt, {});
            QVERIFY(other.file);
            DayEntry entry;
            entry.date = kToday;
            entry.tempText = QStringLiteral("36.9");
            entry.memo = QStringLiteral("ﾛｷｿﾆﾝ");
            entry.diary = kSecretWords;
            entry.edited = dayfield::Temp | dayfield::Memo;
            other.file->write(entry, other.file->findRow(kToday));
        }
        bed.dialogs.clear();
        bed.dialogs.answers << Answer::Yes << Answer::Yes;  // load the changed diary, overwrite
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QVERIFY(bed.dialogs.texts().first().contains(QStringLiteral("書き換えられた日記を読み込みますか")));
        auto opened = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                    vault::Secret::fromText(kPassphrase), std::nullopt, {});
        const DayRecord day = *opened.file->load(kToday);
        QCOMPARE(day.condition, QStringLiteral("頭痛"));
        QCOMPARE(day.memo, QStringLiteral("ﾛｷｿﾆﾝ"));
        QCOMPARE(*day.temp, 36.9);
        QCOMPARE(ui(w).txtMemo->text(), QStringLiteral("ﾛｷｿﾆﾝ"));

        // Declined, nothing is written and her edits stay.
        ui(w).txtCondition->setText(QStringLiteral("腹痛"));
        vault::lockedStore(opened.file.get())->save(opened.file->image());  // rewritten once more
        bed.dialogs.clear();
        bed.dialogs.answers << Answer::No;
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
        QCOMPARE(ui(w).txtCondition->text(), QStringLiteral("腹痛"));
        QVERIFY(bed.module.DataChanged);
    }

    // A purge over a locked file rewritten under the window: the refusal says so once, no second box.
    void aRefusalIsToldOnce() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        frmMain* w = startLocked(bed, prompts);
        QVERIFY(w);
        {
            auto other = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                       vault::Secret::fromText(kPassphrase), std::nullopt, {});
            QVERIFY(other.file);
            vault::lockedStore(other.file.get())->save(other.file->image());
        }
        bed.dialogs.clear();
        bed.dialogs.answers << Answer::Yes;  // purge
        w->mnuSetMente_Click();
        QStringList refusals = bed.dialogs.texts();
        refusals.removeFirst();  // the question
        QCOMPARE(refusals.size(), 1);
        QVERIFY2(refusals[0].contains(QStringLiteral("書き換えられています")), qPrintable(refusals[0]));
    }

    // A change of the passphrase takes the kept edits of an ended session along (and a removal writes them
    // plain again), and offers again to delete the plain backups from before the lock.
    void aChangeTakesKeptEditsAlongAndOffersPlainBackups() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        frmMain* w = startLocked(bed, prompts);
        QVERIFY(w);
        QVERIFY(QDir(bed.dir.path()).mkpath(QStringLiteral("backups")));
        const QString plainBackup = bed.dir.filePath(QStringLiteral("backups/20010519.mdb"));
        QFile backup(plainBackup);
        QVERIFY(backup.open(QIODevice::WriteOnly) && backup.write(QByteArray("SQLite format 3\0", 16)) == 16);
        backup.close();
        const QString kept = bed.dir.filePath(recovery::kFileName);
        DayEntry edits;
        edits.date = kToday;
        edits.diary = kSecretWords + QStringLiteral(" 書きかけ");
        QCOMPARE(vault::lockedStore(bed.module.Db.get())->writeSealedCopy(kept, recovery::encode(edits)),
                 QString());

        prompts.choices = {{Action::Change, kPassphrase, QStringLiteral("sugi-2024")}};
        bed.dialogs.clear();
        bed.dialogs.answers << Answer::No;  // keep the plain backup
        menuItem(w, "mnuSetPassphrase")->trigger();
        QCOMPARE(bed.dialogs.texts().size(), 2);
        QVERIFY(bed.dialogs.texts().last().contains(QStringLiteral("1個")));
        QVERIFY(QFile::exists(plainBackup));
        auto opened = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                    vault::Secret::fromText(QStringLiteral("sugi-2024")), std::nullopt, {});
        vault::Image plain;
        QCOMPARE(vault::lockedStore(opened.file.get())->unsealCopy(contents(kept), &plain),
                 vault::Fault::None);
        QCOMPARE(recovery::decode(plain.view().toByteArray())->diary, edits.diary);
        opened.file.reset();

        prompts.choices = {{Action::Remove, QStringLiteral("sugi-2024"), {}}};
        menuItem(w, "mnuSetPassphrase")->trigger();
        QCOMPARE(recovery::read(kept)->diary, edits.diary);
    }

    // Her read-only diary is not replaced by a locked one: refused with the reason, the file as it was.
    void aReadOnlyDiaryIsNotLocked() {
        MainBed bed(kToday);
        ScriptedPassphrases prompts;
        saveDay(bed, kToday, QStringLiteral("36.6"), false, kSecretWords);
        frmMain* w = startWith(bed, prompts);
        QVERIFY(w);
        QVERIFY(QFile::setPermissions(bed.dataPath(), QFile::ReadOwner));
        const QByteArray before = contents(bed.dataPath());
        prompts.choices = {{Action::Set, {}, QStringLiteral("Hinoki-2024")}};
        bed.dialogs.clear();
        menuItem(w, "mnuSetPassphrase")->trigger();
        QCOMPARE(bed.dialogs.texts().size(), 1);
        QVERIFY2(bed.dialogs.texts().first().contains(QStringLiteral("読み取り専用")),
                 qPrintable(bed.dialogs.texts().first()));
        QCOMPARE(contents(bed.dataPath()), before);
        QCOMPARE(QFile::permissions(bed.dataPath()) & QFile::WriteOwner, QFile::Permissions());
        QVERIFY(bed.module.Db && !vault::lockedStore(bed.module.Db.get()));
    }

    // The passphrase dialog accepts only what can be used, hints the strength and warns in plain words.
    void thePassphraseDialog() {
        vaultui::PassphraseDialog dialog(true);
        QPushButton* ok = dialog.buttons->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());
        dialog.current->setText(kPassphrase);
        dialog.next->setText(QStringLiteral("Tsuki-ga-kirei-1993"));
        dialog.again->setText(QStringLiteral("Tsuki-ga-kirei-199"));
        QVERIFY(!ok->isEnabled());
        QVERIFY(!dialog.problem->text().isEmpty());
        dialog.again->setText(dialog.next->text());
        QVERIFY(ok->isEnabled());
        QCOMPARE(dialog.strength->text(), QStringLiteral("強さ：強い"));
        QVERIFY(dialog.warning->text().contains(QStringLiteral("忘れる")));
        QCOMPARE(dialog.next->echoMode(), QLineEdit::Password);
        QVERIFY(dialog.choice().next == vault::Secret::fromText(QStringLiteral("Tsuki-ga-kirei-1993")));
        dialog.remove->setChecked(true);
        QVERIFY(!dialog.next->isEnabled());
        QVERIFY(dialog.warning->text().contains(QStringLiteral("誰でも")));
        QCOMPARE(dialog.choice().action, Action::Remove);
        // Every box is named for a screen reader.
        vaultui::UnlockDialog unlock(nullptr);
        QCOMPARE(unnamedInputs(&unlock), QStringList());
        QCOMPARE(unnamedInputs(&dialog), QStringList());
        QCOMPARE(dialog.next->accessibleName(), QStringLiteral("新しいﾊﾟｽﾜｰﾄﾞ"));
    }
};

int main(int argc, char* argv[]) { return runInOwnTemp<TestLockWindow, QApplication>(argc, argv); }
#include "test_lockwindow.moc"
