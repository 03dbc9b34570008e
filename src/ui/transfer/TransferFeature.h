#pragma once

#include "session/FeatureHost.h"
#include "vault/Secret.h"

#include <functional>
#include <optional>

class QAction;

namespace transferui {

// The whole diary in the main window: export and import in the File menu, the restore in the Settings menu,
// a backup before the purge and after the day's first save.
class TransferFeature : public session::Feature {
    Q_OBJECT

  public:
    explicit TransferFeature(session::FeatureHost& host);

    // Asks for the passphrase of a backup sealed with another one than the diary's; nothing on Cancel.
    using BackupPassphrase = std::function<std::optional<vault::Secret>(QWidget* parent)>;
    void openSealedBackupsWith(BackupPassphrase ask) { backupPassphrase_ = std::move(ask); }

    bool beforePurge() override;
    void recordsChanged(session::Change change) override;

  private:
    void exportAll();
    void importFile();
    void restore();

    BackupPassphrase backupPassphrase_;
    bool backupFailureTold_ = false;  // a failed daily backup is told once per run
};

}  // namespace transferui
