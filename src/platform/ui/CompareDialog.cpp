// Her choice between hers and another's, item by item, as Qt shows it: a tree of the items (ticked: the
// other's is taken), each opened on the lines of what differs, and buttons that tick or clear every item at
// once.
#include "platform/ui/Dialogs.h"
#include "platform/ui/ScreenFit.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget* itemTree(QWidget* parent, const QStringList& headings,
                      const std::vector<Dialogs::Difference>& items) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("treDifferences"));
    tree->setColumnCount(int(headings.size()));
    tree->setHeaderLabels(headings);
    tree->setAllColumnsShowFocus(true);
    tree->setUniformRowHeights(true);
    for (const Dialogs::Difference& difference : items) {
        auto* item = new QTreeWidgetItem(tree, {difference.caption});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        for (const QString& line : difference.lines) {
            auto* part = new QTreeWidgetItem(item, line.split(QLatin1Char('\t')));
            for (int c = 0; c < part->columnCount(); ++c) part->setToolTip(c, part->text(c));
        }
    }
    tree->expandAll();
    for (int c = 0; c < tree->columnCount(); ++c) tree->resizeColumnToContents(c);
    return tree;
}

}  // namespace

std::optional<std::vector<bool>> QtDialogs::compare(QWidget* parent, const QString& text,
                                                    const QString& title, const QStringList& headings,
                                                    const std::vector<Difference>& items) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setObjectName(QStringLiteral("CompareDialog"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);
    QTreeWidget* tree = itemTree(&dialog, headings, items);
    tree->setAccessibleName(headings.value(0));
    label->setBuddy(tree);
    layout->addWidget(tree, 1);
    auto* all = new QHBoxLayout;
    for (const bool take : {false, true}) {
        auto* button = new QPushButton(
            QStringLiteral("すべて%1(&%2)")
                .arg(headings.value(take ? 2 : 1), take ? QStringLiteral("F") : QStringLiteral("K")),
            &dialog);
        button->setObjectName(take ? QStringLiteral("cmdTakeAll") : QStringLiteral("cmdKeepAll"));
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, &dialog, [tree, take] {
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                tree->topLevelItem(i)->setCheckState(0, take ? Qt::Checked : Qt::Unchecked);
        });
        all->addWidget(button);
    }
    all->addStretch();
    layout->addLayout(all);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    int width = 2 * tree->frameWidth() + 32;
    for (int c = 0; c < tree->columnCount(); ++c) width += tree->columnWidth(c);
    // As wide as the columns want, within the screen: on a small one the list scrolls.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry().marginsRemoved(screenfit::kFrame) : QRect();
    dialog.resize(qMax(width, 480), 420);
    if (room.isValid()) dialog.resize(dialog.size().boundedTo(room.size()));
    if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<bool> ticked;
    ticked.reserve(size_t(tree->topLevelItemCount()));
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        ticked.push_back(tree->topLevelItem(i)->checkState(0) == Qt::Checked);
    return ticked;
}
