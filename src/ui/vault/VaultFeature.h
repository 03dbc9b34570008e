#pragma once

#include "session/FeatureHost.h"
#include "vault/Secret.h"

#include <functional>
#include <memory>
#include <optional>

namespace vaultui {

class LockController;
class PassphrasePrompt;

// The locked diary in the main window: the Settings menu's passphrase and lock-time items, the passphrase at
// start-up, the lock, and a save that finds the locked file rewritten by another program.
class VaultFeature : public session::Feature {
    Q_OBJECT

  public:
    explicit VaultFeature(session::FeatureHost& host);
    ~VaultFeature() override;

    // Where she is asked for her passphrases: the program's own dialogs unless another prompt is set (tests).
    void setPrompt(PassphrasePrompt* prompt);
    // Asks for the passphrase of a backup sealed with another one than the diary's; nothing on Cancel.
    std::function<std::optional<vault::Secret>(QWidget* parent)> backupPassphrase();
    // Asks for the passphrase her sync folder is sealed with.
    std::function<std::optional<vault::Secret>(QWidget* parent)> folderPassphrase();

    bool openAtStart() override;
    bool beforeSave() override;

  private:
    void setPassphrase();
    void setLockTime();

    std::unique_ptr<PassphrasePrompt> ownPrompt_;
    PassphrasePrompt* prompt_ = nullptr;
    LockController* lock_ = nullptr;
};

}  // namespace vaultui
