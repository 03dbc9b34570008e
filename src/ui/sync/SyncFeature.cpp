#include "ui/sync/SyncFeature.h"

#include "data/DataFile.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "ui/sync/ConflictsWindow.h"
#include "ui/sync/SyncSettingsDialog.h"
#include "vault/FolderSeal.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace syncui {
namespace {

constexpr int kAfterChangeMs = 300;
constexpr int kAfterFolderChangeMs = 1000;
constexpr int kWhileAskingMs = 2000;
constexpr int kEveryMs = 60 * 1000;

const QString kTitle = QStringLiteral("同期");

}  // namespace

SyncFeature::SyncFeature(session::FeatureHost& host) : Feature(host), module_(host.module()) {
    using session::Menu;
    host.addMenuSeparator(Menu::Settings, "mnuSetPartitionSync");
    connect(host.addMenuItem(Menu::Settings, "mnuSetSync", QStringLiteral("同期の設定(&Y)...")),
            &QAction::triggered, this, &SyncFeature::openSettings);
    connect(host.addMenuItem(Menu::Settings, "mnuSetSyncConflicts", QStringLiteral("同期の競合(&K)...")),
            &QAction::triggered, this, &SyncFeature::openConflicts);
    soon_.setSingleShot(true);
    connect(&soon_, &QTimer::timeout, this, &SyncFeature::mergeNow);
    every_.setInterval(kEveryMs);
    connect(&every_, &QTimer::timeout, this, &SyncFeature::mergeNow);
    const auto changed = [this] { soon_.start(kAfterFolderChangeMs); };
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, changed);
}

SyncFeature::~SyncFeature() { drop(); }

void SyncFeature::diaryOpened() {
    declined_ = false;
    if (!syncing::readSettings(*host_.services().settings).folder.isEmpty())
        soon_.start(0);  // once her day shows
}

void SyncFeature::diaryClosing() {
    drop();
    sealer_.reset();  // the folder's key goes with the diary's
}

bool SyncFeature::beforeSave() {
    ensure();  // the save is recorded in its own transaction
    return true;
}

void SyncFeature::recordsChanged(session::Change change) {
    if (change != session::Change::Merged && ensure()) soon_.start(kAfterChangeMs);
}

bool SyncFeature::ensure(bool mayAsk) {
    DataFile* open = module_.Db.get();
    if (session_ && (open != bound_ || open->recorder() != &session_->recorder())) drop();
    if (session_ || !open) return session_ != nullptr;
    settings_ = syncing::readSettings(*host_.services().settings);
    if (settings_.folder.isEmpty() || !seal(open->store() != nullptr, mayAsk)) return false;
    try {
        session_ = std::make_unique<syncing::Session>(
            *open, settings_.folder, settings_.id, settings_.name,
            [] { return QDateTime::currentMSecsSinceEpoch(); }, sealer_.get());
    } catch (const PgError& error) {
        status_.problems = {error.description()};  // her saves go on; the next start records them
        return false;
    }
    bound_ = open;
    if (const Result<void> started = session_->start(); !started) status_.problems = {started.message()};
    watch();
    every_.start();
    return true;
}

bool SyncFeature::seal(bool locked, bool mayAsk) {
    if (sealer_ || !(locked || vault::folderSealed(settings_.folder))) return true;
    if (!QFileInfo(settings_.folder).isDir()) {  // nothing to ask for until the folder is back
        status_.problems = {QStringLiteral("同期ﾌｫﾙﾀﾞが見つかりません。")};
        return false;
    }
    if (!mayAsk || declined_ || !folderPassphrase_) {
        if (declined_)
            status_.problems = {
                QStringLiteral("同期ﾌｫﾙﾀﾞのﾊﾟｽﾜｰﾄﾞが入力されていないので、同期していません。")};
        return false;
    }
    const std::optional<vault::Secret> passphrase = folderPassphrase_(host_.mainWindow());
    if (!passphrase) {
        declined_ = true;
        return seal(locked, false);
    }
    Result<std::unique_ptr<syncing::Sealer>> opened = vault::openFolderSeal(settings_.folder, *passphrase);
    if (!opened) {
        declined_ = true;
        status_.problems = {opened.message()};
        host_.services().dialogs->message(host_.mainWindow(), opened.message(), kTitle,
                                          Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return false;
    }
    sealer_ = std::move(opened.value());
    return true;
}

void SyncFeature::drop() {
    every_.stop();
    soon_.stop();
    if (!session_) return;
    // A diary replaced under the session (a passphrase set) is gone: the session must not touch it.
    DataFile* open = module_.Db.get();
    if (open != bound_ || !open || open->recorder() != &session_->recorder()) session_->detach();
    session_.reset();
    bound_ = nullptr;
    const QStringList watched = watcher_.files() + watcher_.directories();
    if (!watched.isEmpty()) watcher_.removePaths(watched);
}

void SyncFeature::watch() {
    const QString journals = QDir(settings_.folder).filePath(QStringLiteral("Selvane"));
    QStringList paths{settings_.folder};
    if (QDir(journals).exists()) {
        paths << journals;
        // Not its own journal: what it appends itself is nothing to read.
        const QString own = syncing::Folder(settings_.folder).journalOf(settings_.id);
        for (const QFileInfo& file : QDir(journals).entryInfoList(QDir::Files))
            if (file.filePath() != own) paths << file.filePath();
    }
    QStringList fresh;
    const QStringList watched = watcher_.files() + watcher_.directories();
    for (const QString& path : paths)
        if (!watched.contains(path)) fresh << path;
    if (!fresh.isEmpty()) watcher_.addPaths(fresh);
}

void SyncFeature::mergeNow() {
    // Never under a question she is answering (a save's, a lock's): the day it asks about stays as shown.
    if (QApplication::activeModalWidget()) {
        soon_.start(kWhileAskingMs);
        return;
    }
    // Sealed anew on another computer (her passphrase changed there): asked for the new one.
    if (sealer_ && !vault::sealStillFits(settings_.folder, *sealer_)) {
        drop();
        sealer_.reset();
        declined_ = false;
    }
    // Sealed since the session began (by another computer, or a folder that was away): its key is needed.
    if (session_ && !sealer_ && vault::folderSealed(settings_.folder)) drop();
    if (!ensure(true)) return;
    const Result<syncing::MergeReport> merged = session_->merge();
    status_.lastMerge = QDateTime::currentDateTime();
    if (!merged) {
        status_.problems = {merged.message()};
        return;
    }
    status_.computers = merged->computers;
    status_.problems = merged->problems;
    watch();
    if (!merged->daysTaken.empty()) host_.daysMerged(merged->daysTaken);
    if (merged->newConflicts > 0)
        host_.services().dialogs->message(
            host_.mainWindow(),
            QStringLiteral("ほかのﾊﾟｿｺﾝでも同じ日が変更されていました（%1件）。\r"
                           "日記には新しい方を残しました。もう一方は 設定 → 同期の競合 で見られます。")
                .arg(merged->newConflicts),
            kTitle, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

void SyncFeature::passphraseChanged(const vault::Secret* next) {
    settings_ = syncing::readSettings(*host_.services().settings);
    if (settings_.folder.isEmpty() || !next) return;  // a plain diary goes on with the folder's key
    Result<std::unique_ptr<syncing::Sealer>> sealed = vault::folderSealed(settings_.folder)
                                                          ? vault::resealFolder(settings_.folder, *next)
                                                          : vault::openFolderSeal(settings_.folder, *next);
    if (!sealed) {
        status_.problems = {sealed.message()};
        return;
    }
    drop();
    sealer_ = std::move(sealed.value());
    declined_ = false;
    soon_.start(0);
}

void SyncFeature::openSettings() {
    SyncSettingsDialog dialog(host_.services(), status_, host_.mainWindow());
    if (!dialog.exec()) return;
    drop();
    sealer_.reset();  // another folder may have another salt
    declined_ = false;
    status_ = {};
    mergeNow();
}

void SyncFeature::openConflicts() {
    if (!ensure(true)) {
        host_.services().dialogs->message(host_.mainWindow(), QStringLiteral("同期が設定されていません。"),
                                          kTitle, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        return;
    }
    ConflictsWindow window(*session_, host_.services(), host_.mainWindow());
    connect(&window, &ConflictsWindow::dayChosen, this,
            [this](const QDate& day) { host_.daysMerged({day}); });
    window.exec();
}

}  // namespace syncui
