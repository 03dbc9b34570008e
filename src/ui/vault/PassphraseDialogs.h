#pragma once

#include "vault/Passphrase.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace vaultui {

// A passphrase field: no echo, no completion, no prediction, nothing kept by the input method.
QLineEdit* passphraseField(QWidget* parent, const char* name, const QString& accessibleName);
// Empties a field, so the passphrase does not outlive the dialog in it.
void wipeField(QLineEdit* field);

// Asked before the main window when the diary is locked.
class UnlockDialog : public QDialog {
    Q_OBJECT
  public:
    // text: what is asked, when it is not the locked diary's passphrase.
    explicit UnlockDialog(QWidget* parent = nullptr, const QString& text = {});
    ~UnlockDialog() override;
    vault::Secret passphrase() const;

    QLineEdit* field = nullptr;
};

// Sets a passphrase on a plain diary, or changes or removes the one of a locked diary: asked twice, with a
// hint of its strength and the plain warning that a forgotten passphrase cannot be recovered.
class PassphraseDialog : public QDialog {
    Q_OBJECT
  public:
    PassphraseDialog(bool locked, QWidget* parent = nullptr);
    ~PassphraseDialog() override;
    vault::PassphraseChoice choice() const;

    QLineEdit* current = nullptr;  // locked diary only
    QCheckBox* remove = nullptr;   // locked diary only
    QLineEdit* next = nullptr;
    QLineEdit* again = nullptr;
    QLabel* strength = nullptr;
    QLabel* problem = nullptr;
    QLabel* warning = nullptr;
    QDialogButtonBox* buttons = nullptr;

  private:
    vault::PassphraseChoice::Action action() const;
    void refresh();
};

}  // namespace vaultui
