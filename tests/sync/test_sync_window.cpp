// Her diary kept in step in the main window, as she meets it: another computer's days appear, her open day
// follows a merge unless she has edits on it, a conflict is told once and can be taken in its window, and
// the settings refuse a folder that would carry the diary itself.
#include "data/Schema.h"
#include "support/MainBed.h"
#include "sync/Session.h"
#include "sync/SyncSettings.h"
#include "ui/sync/SyncFeature.h"
#include "vault/FolderSeal.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {

using Answer = Dialogs::Answer;
const QDate kDay(2024, 3, 28);

// Her other computer: a diary of its own, writing into the shared folder with a clock of 2023.
struct Laptop {
    std::unique_ptr<DataFile> file;
    qint64 now = 1700000000000;
    std::unique_ptr<syncing::Session> session;

    Laptop(const QString& path, const QString& folder, const syncing::Sealer* sealer = nullptr) {
        schema::createEmptyDataFile(path);
        file = DataFile::open(path);
        session = std::make_unique<syncing::Session>(
            *file, folder, syncing::ComputerId(16, 'b'), QStringLiteral("ﾉｰﾄ"),
            [this] { return now += 1000; }, sealer);
        static_cast<void>(session->start());
    }
    void write(const QDate& day, const QString& diary) {
        DayEntry entry;
        entry.date = day;
        entry.tempText = QStringLiteral("36.7");
        entry.diary = diary;
        file->write(entry, file->findRow(day));
        QVERIFY(session->flush());
    }
};

// Runs the action and, once its window is up, works it.
template <typename Window>
void whileOpen(QAction* action, const std::function<void(Window*)>& work) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window) {
            seen = true;
            work(window);
        }
        if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
    });
    action->trigger();
    QVERIFY(seen);
}

}  // namespace

class TestSyncWindow : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    void herOpenDayFollowsAMerge() {
        MainBed bed(kDay);
        const QTemporaryDir elsewhere;
        const QString shared = elsewhere.path();
        syncing::setFolder(*bed.settings, shared);
        Laptop laptop(bed.dir.filePath(QStringLiteral("laptop.mdb")), shared);
        laptop.write(kDay, QStringLiteral("ﾉｰﾄで書いた"));
        frmMain* w = bed.startMain();
        auto* sync = w->findChild<syncui::SyncFeature*>();
        QTRY_COMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("ﾉｰﾄで書いた"));
        QCOMPARE(sync->status().computers, QStringList{QStringLiteral("ﾉｰﾄ")});

        // Her unsaved words stay on screen; her save asks about the day changed meanwhile.
        ui(w).rtbDiary->setPlainText(QStringLiteral("机で書いている"));
        laptop.write(kDay, QStringLiteral("ﾉｰﾄで書き直した"));
        sync->mergeNow();
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("机で書いている"));
        bed.dialogs.answers << Answer::Yes;
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QVERIFY(bed.dialogs.texts().last().startsWith(QStringLiteral("この日のﾃﾞｰﾀは、表示した後に")));
        sync->mergeNow();
        QVERIFY(laptop.session->merge());
        QCOMPARE(laptop.file->load(kDay)->diary, QStringLiteral("机で書いている"));

        // Without edits the merged day is shown as soon as the folder changes.
        laptop.write(kDay, QStringLiteral("ﾉｰﾄで三度目"));
        QTRY_COMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("ﾉｰﾄで三度目"));
    }

    void aConflictIsToldOnceAndCanBeTaken() {
        MainBed bed(kDay);
        const QTemporaryDir elsewhere;
        const QString shared = elsewhere.path();
        syncing::setFolder(*bed.settings, shared);
        Laptop laptop(bed.dir.filePath(QStringLiteral("laptop.mdb")), shared);
        frmMain* w = bed.startMain();
        auto* sync = w->findChild<syncui::SyncFeature*>();
        sync->mergeNow();
        // Both write the day before either has seen the other's.
        ui(w).rtbDiary->setPlainText(QStringLiteral("机の方"));
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        laptop.write(kDay, QStringLiteral("ﾉｰﾄの方"));
        bed.dialogs.clear();
        sync->mergeNow();
        sync->mergeNow();
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QVERIFY(bed.dialogs.calls[0].text.startsWith(
            QStringLiteral("ほかのﾊﾟｿｺﾝでも同じ日が変更されていました（1件）")));
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("机の方"));  // the later of the two

        whileOpen<QDialog>(menuItem(w, "mnuSetSyncConflicts"), [](QDialog* window) {
            auto* days = window->findChild<QListWidget*>(QStringLiteral("lstDays"));
            QCOMPARE(days->count(), 1);
            QVERIFY(days->item(0)->text().contains(QStringLiteral("ﾉｰﾄ")));
            window->findChild<QPushButton*>(QStringLiteral("cmdTakeOther"))->click();
            QCOMPARE(days->count(), 0);
        });
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("ﾉｰﾄの方"));
        QVERIFY(laptop.session->merge());
        QCOMPARE(laptop.file->load(kDay)->diary, QStringLiteral("ﾉｰﾄの方"));
        QVERIFY(laptop.session->conflicts().empty());
    }

    // A folder sealed by her locked laptop: the window asks for its passphrase, merges nothing with a
    // wrong one and says so, and takes everything with the right one.
    void aSealedFolderAsksForItsPassphrase() {
        MainBed bed(kDay);
        const QTemporaryDir elsewhere;
        const QString shared = elsewhere.path();
        syncing::setFolder(*bed.settings, shared);
        auto sealer = vault::openFolderSeal(shared, vault::Secret::fromText(QStringLiteral("hinoki")),
                                            vault::kCheapestCost);
        QVERIFY(sealer);
        Laptop laptop(bed.dir.filePath(QStringLiteral("laptop.mdb")), shared, sealer->get());
        laptop.write(kDay, QStringLiteral("封をした朝"));
        frmMain* w = bed.makeMain();
        auto* sync = w->findChild<syncui::SyncFeature*>();
        QStringList given{QStringLiteral("sugi"), QStringLiteral("hinoki")};
        sync->openSealedFoldersWith([&](QWidget*) -> std::optional<vault::Secret> {
            if (given.isEmpty()) return std::nullopt;
            return vault::Secret::fromText(given.takeFirst());
        });
        bed.startMain();
        sync->mergeNow();
        QCOMPARE(bed.dialogs.texts(), QStringList{vault::kOtherFolderPassphrase});
        QVERIFY(ui(w).rtbDiary->toPlainText().isEmpty());
        sync->diaryOpened();  // as after an unlock: asked again
        sync->mergeNow();
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("封をした朝"));
        QVERIFY(given.isEmpty());

        // The folder away (a stick unplugged): the key is kept while it runs, and after a lock nothing is
        // asked until the folder is back.
        const QString away = shared + QStringLiteral("-away");
        QVERIFY(QDir().rename(shared, away));
        sync->mergeNow();
        sync->diaryClosing();
        sync->diaryOpened();
        given << QStringLiteral("hinoki");
        sync->mergeNow();
        QCOMPARE(given.size(), 1);
        QVERIFY(QDir().rename(away, shared));
        sync->mergeNow();
        QVERIFY(given.isEmpty());
        QCOMPARE(bed.dialogs.texts().size(), 1);
    }

    // Her passphrase changed on one computer: the folder is sealed anew with it, that computer's journal
    // follows, and the others are asked for the new one and follow too.
    void aChangedPassphraseIsAskedForOnTheOthers() {
        MainBed bed(kDay);
        const QTemporaryDir elsewhere;
        const QString shared = elsewhere.path();
        syncing::setFolder(*bed.settings, shared);
        const auto secret = [](const char* text) { return vault::Secret::fromText(QString::fromUtf8(text)); };
        auto old = vault::openFolderSeal(shared, secret("hinoki"), vault::kCheapestCost);
        QVERIFY(old);
        auto laptop =
            std::make_unique<Laptop>(bed.dir.filePath(QStringLiteral("laptop.mdb")), shared, old->get());
        laptop->write(kDay.addDays(-2), QStringLiteral("前の鍵"));
        frmMain* w = bed.makeMain();
        auto* sync = w->findChild<syncui::SyncFeature*>();
        QStringList given{QStringLiteral("hinoki"), QStringLiteral("keyaki")};
        sync->openSealedFoldersWith([&](QWidget*) { return vault::Secret::fromText(given.takeFirst()); });
        bed.startMain();
        sync->mergeNow();
        QCOMPARE(given.size(), 1);

        const vault::Secret sugi = secret("sugi");
        sync->passphraseChanged(&sugi);
        ui(w).rtbDiary->setPlainText(QStringLiteral("新しい鍵"));
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        sync->mergeNow();
        QVERIFY(!vault::sealStillFits(shared, *old.value()));
        auto fresh = vault::openFolderSeal(shared, sugi);
        QVERIFY(fresh);
        const auto rows = [](DataFile& file) {
            QStringList all;
            file.forEachRow([&](const StoredRow& row) { return all << row.date + row.diary, true; });
            return all;
        };
        // The laptop, given the new passphrase, writes its journal anew and reads the desk's.
        laptop->session = std::make_unique<syncing::Session>(
            *laptop->file, shared, syncing::ComputerId(16, 'b'), QStringLiteral("ﾉｰﾄ"),
            [] { return qint64(1700000000000); }, fresh->get());
        QVERIFY(laptop->session->merge());
        QVERIFY(laptop->session->conflicts().empty());
        QCOMPARE(rows(*laptop->file).size(), 2);

        // The laptop seals it anew once more: the window asks for the new one.
        auto third = vault::resealFolder(shared, secret("keyaki"), vault::kCheapestCost);
        QVERIFY(third);
        laptop->session = std::make_unique<syncing::Session>(
            *laptop->file, shared, syncing::ComputerId(16, 'b'), QStringLiteral("ﾉｰﾄ"),
            [] { return qint64(1700000000000); }, third->get());
        laptop->write(kDay.addDays(-1), QStringLiteral("三つ目の鍵"));
        sync->mergeNow();
        QVERIFY(given.isEmpty());
        QCOMPARE(rows(*bed.module.Db).size(), 3);
        QVERIFY(laptop->session->merge());
        QCOMPARE(rows(*laptop->file), rows(*bed.module.Db));
    }

    // Off by default: nothing of the sync in her settings; a folder holding the diary is refused.
    void theSettingsWindow() {
        MainBed bed(kDay);
        frmMain* w = bed.startMain();
        ui(w).rtbDiary->setPlainText(QStringLiteral("今日"));
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QVERIFY(bed.settings->get(QStringLiteral("SYNC_ID"), settingkeys::kKey).isEmpty());
        const QTemporaryDir elsewhere;
        const QString shared = elsewhere.path();
        whileOpen<QDialog>(menuItem(w, "mnuSetSync"), [&](QDialog* dialog) {
            auto* folder = dialog->findChild<QLineEdit*>(QStringLiteral("txtFolder"));
            auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
            QVERIFY(folder->text().isEmpty());
            QVERIFY(QDir().mkpath(bed.dir.filePath(QStringLiteral("inside"))));
            for (const QString& wrong : {bed.dir.path(), bed.dir.filePath(QStringLiteral("inside")),
                                         bed.dir.filePath(QStringLiteral("missing"))}) {
                folder->setText(wrong);
                ok->click();
                QVERIFY(dialog->isVisible());
            }
            QCOMPARE(bed.dialogs.calls.size(), 3);
            folder->setText(shared);
            ok->click();
        });
        QCOMPARE(bed.settings->get(QStringLiteral("SYNC_FOLDER"), settingkeys::kKey), shared);
        QVERIFY(QFileInfo::exists(shared + QStringLiteral("/Selvane")));  // her day went into the journal
    }
};

QTEST_MAIN(TestSyncWindow)
#include "test_sync_window.moc"
