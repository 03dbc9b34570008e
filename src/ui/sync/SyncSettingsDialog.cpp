#include "ui/sync/SyncSettingsDialog.h"

#include "data/SettingsStore.h"
#include "platform/ui/Dialogs.h"
#include "session/Module1.h"
#include "sync/SyncSettings.h"
#include "ui/sync/SyncFeature.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace syncui {
namespace {

const QString kTitle = QStringLiteral("同期の設定");

QString statusText(const SyncStatus& status) {
    QStringList lines;
    lines << QStringLiteral("最後の同期：") +
                 (status.lastMerge.isValid()
                      ? QLocale(QLocale::Japanese)
                            .toString(status.lastMerge, QStringLiteral("yyyy年M月d日 H:mm"))
                      : QStringLiteral("まだありません"));
    if (!status.computers.isEmpty())
        lines << QStringLiteral("読んだﾊﾟｿｺﾝ：") + status.computers.join(QStringLiteral("、"));
    for (const QString& problem : status.problems) lines << QStringLiteral("注意：") + problem;
    return lines.join(u'\n');
}

}  // namespace

SyncSettingsDialog::SyncSettingsDialog(const Services& services, const SyncStatus& status, QWidget* parent)
    : QDialog(parent), services_(services) {
    setObjectName(QStringLiteral("SyncSettingsDialog"));
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const syncing::Settings settings = syncing::readSettings(*services.settings);
    txtFolder = new QLineEdit(settings.folder, this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    txtFolder->setToolTip(
        QStringLiteral("Syncthing や Nextcloud などがほかのﾊﾟｿｺﾝと同じに保つﾌｫﾙﾀﾞ。空欄なら同期しません"));
    txtFolder->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    cmdBrowse = new QPushButton(QStringLiteral("参照(&B)..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    txtName = new QLineEdit(settings.name, this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setToolTip(QStringLiteral("ほかのﾊﾟｿｺﾝの同期の競合に表示される、このﾊﾟｿｺﾝの名前"));
    lblStatus = new QLabel(statusText(status), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(cmdBrowse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("同期ﾌｫﾙﾀﾞ(&F)："), folderRow);
    form->addRow(QStringLiteral("このﾊﾟｿｺﾝの名前(&N)："), txtName);

    cmdOff = new QPushButton(QStringLiteral("同期しない(&O)"), this);
    cmdOff->setObjectName(QStringLiteral("cmdOff"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOff);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("日記そのものは同期ﾌｫﾙﾀﾞに置かれません。変更の記録だけが、"
                                                "このﾊﾟｿｺﾝの記録ﾌｧｲﾙとして書き込まれます。"),
                                 this));
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
    for (QLabel* label : findChildren<QLabel*>()) label->setWordWrap(true);

    connect(cmdBrowse, &QPushButton::clicked, this, &SyncSettingsDialog::chooseFolder);
    connect(cmdOff, &QPushButton::clicked, txtFolder, &QLineEdit::clear);
    connect(cmdOK, &QPushButton::clicked, this, &SyncSettingsDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SyncSettingsDialog::chooseFolder() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("同期ﾌｫﾙﾀﾞ"), txtFolder->text());
    if (!chosen.isEmpty()) txtFolder->setText(chosen);
}

void SyncSettingsDialog::cmdOK_Click() {
    const QString folder = txtFolder->text().trimmed();
    if (!folder.isEmpty()) {
        const QString problem = syncing::unusableFolder(folder, services_.appFolder);
        if (!problem.isEmpty()) {
            services_.dialogs->message(this, problem, kTitle, Dialogs::Icon::Exclamation,
                                       Dialogs::Buttons::Ok);
            txtFolder->setFocus();
            return;
        }
    }
    if (!txtName->text().trimmed().isEmpty()) syncing::setName(*services_.settings, txtName->text());
    syncing::setFolder(*services_.settings,
                       folder.isEmpty() ? QString() : QFileInfo(folder).absoluteFilePath());
    accept();
}

}  // namespace syncui
