#pragma once

#include "session/FeatureHost.h"
#include "sync/Session.h"
#include "sync/SyncSettings.h"
#include "vault/Secret.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>
#include <memory>

namespace syncui {

// What she sees of the sync in its window: when it last merged, whose journals it read, what went wrong.
struct SyncStatus {
    QDateTime lastMerge;
    QStringList computers;
    QStringList problems;
};

// Her diary kept in step with her other computers, in the main window: the Settings menu's two items, a
// session over the open diary (every save recorded with it), merges at the start, after each change, when the
// folder changes and every minute, and her open day following what a merge wrote.
class SyncFeature : public session::Feature {
    Q_OBJECT

  public:
    explicit SyncFeature(session::FeatureHost& host);
    ~SyncFeature() override;

    void diaryOpened() override;
    void diaryClosing() override;
    bool beforeSave() override;
    void recordsChanged(session::Change change) override;

    // Asks for the passphrase of a sealed folder (a locked diary's); nothing on Cancel.
    using FolderPassphrase = std::function<std::optional<vault::Secret>(QWidget* parent)>;
    void openSealedFoldersWith(FolderPassphrase ask) { folderPassphrase_ = std::move(ask); }

    // Reads the other computers' journals now (later when a window waits for her answer).
    void mergeNow();
    const SyncStatus& status() const { return status_; }

  private:
    // A session over the diary open now when the sync is on; false when there is none. Only when she may be
    // asked (not under a save) is the passphrase of a sealed folder asked for.
    bool ensure(bool mayAsk = false);
    // The sealer a locked diary or a sealed folder needs: true when none is needed or it is there.
    bool seal(bool locked, bool mayAsk);
    void drop();
    void watch();
    void openSettings();
    void openConflicts();

    syncing::Settings settings_;
    DataFile* bound_ = nullptr;
    std::unique_ptr<syncing::Sealer> sealer_;  // kept until the diary closes: the folder's key
    bool declined_ = false;                    // she gave no passphrase for the folder since it opened
    FolderPassphrase folderPassphrase_;
    std::unique_ptr<syncing::Session> session_;
    QFileSystemWatcher watcher_;
    QTimer soon_;   // a merge shortly after a change, once for many
    QTimer every_;  // the fallback when the watcher sees nothing (a network folder)
    SyncStatus status_;
};

}  // namespace syncui
