#include "ui/sync/SyncFeature.h"

#include "data/DataFile.h"
#include "platform/ui/Dialogs.h"
#include "ui/sync/ConflictsWindow.h"
#include "ui/sync/SyncSettingsDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>

namespace syncui {
namespace {

constexpr int kAfterChangeMs = 300;
constexpr int kAfterFolderChangeMs = 1000;
constexpr int kWhileAskingMs = 2000;
constexpr int kEveryMs = 60 * 1000;

const QString kTitle = QStringLiteral("同期");

}  // namespace

SyncFeature::SyncFeature(session::FeatureHost& host) : Feature(host) {
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
    if (ensure()) soon_.start(0);  // once the window shows her day
}

void SyncFeature::diaryClosing() { drop(); }

bool SyncFeature::beforeSave() {
    ensure();  // the save is recorded in its own transaction
    return true;
}

void SyncFeature::recordsChanged(session::Change change) {
    if (change != session::Change::Merged && ensure()) soon_.start(kAfterChangeMs);
}

bool SyncFeature::ensure() {
    DataFile* open = host_.module().Db.get();
    if (session_ && (open != bound_ || open->recorder() != &session_->recorder())) drop();
    if (session_ || !open) return session_ != nullptr;
    settings_ = syncing::readSettings(*host_.services().settings);
    if (settings_.folder.isEmpty()) return false;
    if (open->store()) {
        status_.problems = {QStringLiteral("ﾊﾟｽﾜｰﾄﾞを設定した日記の同期は、この版ではできません。")};
        return false;
    }
    session_ = std::make_unique<syncing::Session>(*open, settings_.folder, settings_.id, settings_.name,
                                                  [] { return QDateTime::currentMSecsSinceEpoch(); });
    bound_ = open;
    if (const Result<void> started = session_->start(); !started) status_.problems = {started.message()};
    watch();
    every_.start();
    return true;
}

void SyncFeature::drop() {
    every_.stop();
    soon_.stop();
    if (!session_) return;
    // A diary replaced under the session (a passphrase set) is gone: the session must not touch it.
    DataFile* open = host_.module().Db.get();
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
        for (const QFileInfo& file : QDir(journals).entryInfoList(QDir::Files)) paths << file.filePath();
    }
    QStringList fresh;
    const QStringList watched = watcher_.files() + watcher_.directories();
    for (const QString& path : paths)
        if (!watched.contains(path)) fresh << path;
    if (!fresh.isEmpty()) watcher_.addPaths(fresh);
}

void SyncFeature::mergeNow() {
    if (!ensure()) return;
    // Never under a question she is answering (a save's, a lock's): the day it asks about stays as shown.
    if (QApplication::activeModalWidget()) {
        soon_.start(kWhileAskingMs);
        return;
    }
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

void SyncFeature::openSettings() {
    SyncSettingsDialog dialog(host_.services(), status_, host_.mainWindow());
    if (!dialog.exec()) return;
    drop();
    status_ = {};
    mergeNow();
}

void SyncFeature::openConflicts() {
    if (!ensure()) {
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
