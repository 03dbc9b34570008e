#pragma once

#include <QStyledItemDelegate>

class QTableView;

namespace listview {

// Draws the text of a merged block in the middle of the block's visible part, so a year or month stays
// readable however far the table is scrolled into the block.
class MergedCellDelegate : public QStyledItemDelegate {
  public:
    explicit MergedCellDelegate(QTableView* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    QTableView* view_;
};

}  // namespace listview
