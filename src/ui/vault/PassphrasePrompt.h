#pragma once

#include "vault/Passphrase.h"

#include <QString>
#include <optional>

class QWidget;

namespace vaultui {

// Where the program asks for her passphrase: our own small dialogs in production, a script in tests.
class PassphrasePrompt {
  public:
    virtual ~PassphrasePrompt() = default;
    // The passphrase that opens the locked diary; nothing on Cancel.
    virtual std::optional<vault::Secret> askUnlock(QWidget* parent) = 0;
    // Setting a passphrase (plain diary), or changing or removing it (locked diary); nothing on Cancel.
    virtual std::optional<vault::PassphraseChoice> askChoice(QWidget* parent, bool locked) = 0;
    // The passphrase of a backup sealed with another one than the diary's; nothing on Cancel.
    virtual std::optional<vault::Secret> askBackup(QWidget* parent) { return askUnlock(parent); }
    // The passphrase her sync folder is sealed with; nothing on Cancel.
    virtual std::optional<vault::Secret> askFolder(QWidget* parent) { return askUnlock(parent); }
};

inline const QString kBackupPassphraseText =
    QStringLiteral("このﾊﾞｯｸｱｯﾌﾟは別のﾊﾟｽﾜｰﾄﾞで暗号化されています。そのﾊﾟｽﾜｰﾄﾞを入力して下さい。");

inline const QString kFolderPassphraseText =
    QStringLiteral("同期ﾌｫﾙﾀﾞは暗号化されています。同期するには、そのﾊﾟｽﾜｰﾄﾞを入力して下さい。");

// Production: the unlock dialog and the passphrase dialog.
class QtPassphrasePrompt : public PassphrasePrompt {
  public:
    std::optional<vault::Secret> askUnlock(QWidget* parent) override;
    std::optional<vault::PassphraseChoice> askChoice(QWidget* parent, bool locked) override;
    std::optional<vault::Secret> askBackup(QWidget* parent) override;
    std::optional<vault::Secret> askFolder(QWidget* parent) override;
};

}  // namespace vaultui
