#include "list/MergedCellDelegate.h"

#include <QScrollBar>
#include <QTableView>

namespace listview {

MergedCellDelegate::MergedCellDelegate(QTableView* view) : QStyledItemDelegate(view), view_(view) {
    // Scrolling moves the visible part of a block, and with it the text: repaint whole, not in strips.
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, view->viewport(),
            qOverload<>(&QWidget::update));
}

void MergedCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (view_->rowSpan(index.row(), index.column()) <= 1) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem visible(option);
    visible.rect = option.rect.intersected(view_->viewport()->rect());
    if (visible.rect.isEmpty()) return;
    QStyledItemDelegate::paint(painter, visible, index);
}

}  // namespace listview
