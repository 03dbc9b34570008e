#include "ui/sync/ConflictsWindow.h"

#include "platform/core/JaText.h"
#include "platform/ui/Dialogs.h"
#include "session/Module1.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace syncui {
namespace {

const QString kTitle = QStringLiteral("同期の競合");
// The fields in the order of the main window.
const QStringList kFields{QStringLiteral("基礎体温"), QStringLiteral("体調"),     QStringLiteral("月経"),
                          QStringLiteral("SEX"),      QStringLiteral("服薬など"), QStringLiteral("ｽｹｼﾞｭｰﾙ"),
                          QStringLiteral("日記"),     QStringLiteral("除外")};

QStringList fieldTexts(const std::optional<syncing::DayContent>& day) {
    if (!day) return QStringList(kFields.size(), QString()) << QStringLiteral("（削除）");
    const auto mark = [](bool on) { return on ? QStringLiteral("✓") : QString(); };
    return {day->temp ? jatext::shortestText(float(*day->temp)) + QStringLiteral("℃") : QString(),
            day->condition,
            mark(day->guest),
            mark(day->love),
            day->memo,
            day->schedule,
            day->diary,
            mark(day->excluded)};
}

}  // namespace

ConflictsWindow::ConflictsWindow(syncing::Session& session, const Services& services, QWidget* parent)
    : QDialog(parent), session_(session), services_(services) {
    setObjectName(QStringLiteral("ConflictsWindow"));
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    lstDays = new QListWidget(this);
    lstDays->setObjectName(QStringLiteral("lstDays"));
    lstDays->setAccessibleName(QStringLiteral("競合のある日"));
    grdSides = new QTableWidget(int(kFields.size()), 2, this);
    grdSides->setObjectName(QStringLiteral("grdSides"));
    grdSides->setVerticalHeaderLabels(kFields);
    grdSides->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSides->setWordWrap(true);
    grdSides->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdSides->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    cmdTakeOther = new QPushButton(QStringLiteral("ほかのﾊﾟｿｺﾝの方にする(&T)"), this);
    cmdTakeOther->setObjectName(QStringLiteral("cmdTakeOther"));
    cmdKeep = new QPushButton(QStringLiteral("この日記の方を残す(&K)"), this);
    cmdKeep->setObjectName(QStringLiteral("cmdKeep"));
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* sides = new QHBoxLayout;
    sides->addWidget(lstDays, 1);
    sides->addWidget(grdSides, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTakeOther);
    buttons->addWidget(cmdKeep);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ほかのﾊﾟｿｺﾝと同じ時に変更された日です。日記には新しい方が"
                                                "入っています。どちらを残すか選んで下さい。"),
                                 this));
    layout->addLayout(sides, 1);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 24);

    connect(lstDays, &QListWidget::currentRowChanged, this, &ConflictsWindow::showChosen);
    connect(cmdTakeOther, &QPushButton::clicked, this, [this] { decide(true); });
    connect(cmdKeep, &QPushButton::clicked, this, [this] { decide(false); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    reload();
}

void ConflictsWindow::reload() {
    conflicts_ = session_.conflicts();
    lstDays->clear();
    for (const syncing::Conflict& conflict : conflicts_)
        lstDays->addItem(jatext::kanjiDate(conflict.day) + QStringLiteral("（") + conflict.otherComputer +
                         QStringLiteral("）"));
    if (!conflicts_.empty()) lstDays->setCurrentRow(0);
    showChosen();
}

void ConflictsWindow::showChosen() {
    const int row = lstDays->currentRow();
    const bool any = row >= 0 && row < int(conflicts_.size());
    cmdTakeOther->setEnabled(any);
    cmdKeep->setEnabled(any);
    grdSides->setHorizontalHeaderLabels(
        {QStringLiteral("この日記"),
         any ? QStringLiteral("ほかのﾊﾟｿｺﾝ（%1）").arg(conflicts_[size_t(row)].otherComputer)
             : QStringLiteral("ほかのﾊﾟｿｺﾝ")});
    const QStringList kept =
        any ? fieldTexts(conflicts_[size_t(row)].kept) : QStringList(kFields.size(), QString());
    const QStringList other =
        any ? fieldTexts(conflicts_[size_t(row)].other) : QStringList(kFields.size(), QString());
    for (int field = 0; field < int(kFields.size()); ++field) {
        grdSides->setItem(field, 0, new QTableWidgetItem(kept.value(field)));
        grdSides->setItem(field, 1, new QTableWidgetItem(other.value(field)));
    }
}

void ConflictsWindow::decide(bool takeOther) {
    const int row = lstDays->currentRow();
    if (row < 0 || row >= int(conflicts_.size())) return;
    const syncing::Conflict conflict = conflicts_[size_t(row)];
    const Result<void> chosen = session_.choose(conflict.day, takeOther ? conflict.other : conflict.kept);
    if (!chosen) {
        services_.dialogs->message(this, chosen.message(), kTitle, Dialogs::Icon::Exclamation,
                                   Dialogs::Buttons::Ok);
        return;
    }
    emit dayChosen(conflict.day);
    reload();
}

}  // namespace syncui
