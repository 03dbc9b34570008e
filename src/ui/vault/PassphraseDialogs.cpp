#include "ui/vault/PassphraseDialogs.h"

#include "platform/ui/Pictures.h"
#include "ui/vault/PassphrasePrompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vaultui {

namespace {

const QString kForgotten = QStringLiteral(
    "ﾊﾟｽﾜｰﾄﾞを忘れると、日記は誰にも開けなくなります。\n"
    "忘れたﾊﾟｽﾜｰﾄﾞを調べる方法も、日記を取り出す方法もありません。");
const QString kReadable = QStringLiteral(
    "ﾊﾟｽﾜｰﾄﾞを解除すると、ﾃﾞｰﾀﾌｧｲﾙは暗号化されずに保存され、\n"
    "ﾌｧｲﾙを手にした人は誰でも日記を読めるようになります。");

QLabel* wrappedLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

void prepare(QDialog* dialog, const QString& title) {
    dialog->setWindowTitle(title);
    dialog->setWindowIcon(pictures::windowIcon());
    dialog->setModal(true);
}

}  // namespace

QLineEdit* passphraseField(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(accessibleName);
    field->setEchoMode(QLineEdit::Password);
    field->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                               Qt::ImhNoAutoUppercase);
    field->setContextMenuPolicy(Qt::NoContextMenu);
    return field;
}

void wipeField(QLineEdit* field) {
    if (field) field->clear();
}

UnlockDialog::UnlockDialog(QWidget* parent, const QString& text) : QDialog(parent) {
    prepare(this, QStringLiteral("Selvane - ﾛｯｸ解除"));
    auto* layout = new QVBoxLayout(this);
    QLabel* label = wrappedLabel(
        this, "lblUnlock",
        text.isEmpty() ? QStringLiteral("日記はﾛｯｸされています。ﾊﾟｽﾜｰﾄﾞを入力して下さい。") : text);
    layout->addWidget(label);
    field = passphraseField(this, "txtPassphrase", QStringLiteral("ﾊﾟｽﾜｰﾄﾞ"));
    label->setBuddy(field);
    layout->addWidget(field);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto refresh = [this, box] { box->button(QDialogButtonBox::Ok)->setEnabled(!field->text().isEmpty()); };
    connect(field, &QLineEdit::textChanged, this, refresh);
    refresh();
    layout->addWidget(box);
    setMinimumWidth(360);
}

UnlockDialog::~UnlockDialog() { wipeField(field); }

vault::Secret UnlockDialog::passphrase() const { return vault::Secret::fromText(field->text()); }

PassphraseDialog::PassphraseDialog(bool locked, QWidget* parent) : QDialog(parent) {
    prepare(this, QStringLiteral("ﾊﾟｽﾜｰﾄﾞの設定"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    if (locked) {
        current = passphraseField(this, "txtCurrent", QStringLiteral("現在のﾊﾟｽﾜｰﾄﾞ"));
        form->addRow(QStringLiteral("現在のﾊﾟｽﾜｰﾄﾞ(&C)："), current);
        remove = new QCheckBox(QStringLiteral("ﾊﾟｽﾜｰﾄﾞを解除する（暗号化をやめる）(&R)"), this);
        remove->setObjectName(QStringLiteral("chkRemove"));
        form->addRow(remove);
        connect(current, &QLineEdit::textChanged, this, &PassphraseDialog::refresh);
        connect(remove, &QCheckBox::toggled, this, &PassphraseDialog::refresh);
    }
    next = passphraseField(this, "txtNew", QStringLiteral("新しいﾊﾟｽﾜｰﾄﾞ"));
    again = passphraseField(this, "txtAgain", QStringLiteral("新しいﾊﾟｽﾜｰﾄﾞをもう一度"));
    form->addRow(QStringLiteral("新しいﾊﾟｽﾜｰﾄﾞ(&N)："), next);
    form->addRow(QStringLiteral("もう一度(&A)："), again);
    strength = wrappedLabel(this, "lblStrength");
    form->addRow(strength);
    layout->addLayout(form);
    problem = wrappedLabel(this, "lblProblem");
    problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    layout->addWidget(problem);
    warning = wrappedLabel(this, "lblWarning");
    layout->addWidget(warning);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(next, &QLineEdit::textChanged, this, &PassphraseDialog::refresh);
    connect(again, &QLineEdit::textChanged, this, &PassphraseDialog::refresh);
    refresh();
    setMinimumWidth(420);
}

PassphraseDialog::~PassphraseDialog() {
    for (QLineEdit* field : {current, next, again}) wipeField(field);
}

vault::PassphraseChoice::Action PassphraseDialog::action() const {
    using Action = vault::PassphraseChoice::Action;
    if (!current) return Action::Set;
    return remove->isChecked() ? Action::Remove : Action::Change;
}

void PassphraseDialog::refresh() {
    const auto chosen = action();
    const bool removing = chosen == vault::PassphraseChoice::Action::Remove;
    next->setEnabled(!removing);
    again->setEnabled(!removing);
    strength->setText(removing ? QString() : vault::strengthText(vault::strengthOf(next->text())));
    const QString why =
        vault::choiceProblem(chosen, current ? current->text() : QString(), next->text(), again->text());
    // Nothing typed yet is no mistake to point at.
    const bool untouched =
        next->text().isEmpty() && again->text().isEmpty() && (!current || current->text().isEmpty());
    problem->setText(untouched ? QString() : why);
    warning->setText(removing ? kReadable : kForgotten);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(why.isEmpty());
}

vault::PassphraseChoice PassphraseDialog::choice() const {
    vault::PassphraseChoice chosen;
    chosen.action = action();
    if (current) chosen.current = vault::Secret::fromText(current->text());
    if (chosen.action != vault::PassphraseChoice::Action::Remove)
        chosen.next = vault::Secret::fromText(next->text());
    return chosen;
}

std::optional<vault::Secret> QtPassphrasePrompt::askUnlock(QWidget* parent) {
    UnlockDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.passphrase();
}

std::optional<vault::Secret> QtPassphrasePrompt::askBackup(QWidget* parent) {
    UnlockDialog dialog(parent, kBackupPassphraseText);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.passphrase();
}

std::optional<vault::Secret> QtPassphrasePrompt::askFolder(QWidget* parent) {
    UnlockDialog dialog(parent, kFolderPassphraseText);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.passphrase();
}

std::optional<vault::PassphraseChoice> QtPassphrasePrompt::askChoice(QWidget* parent, bool locked) {
    PassphraseDialog dialog(locked, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

}  // namespace vaultui
