#pragma once

#include <QStyledItemDelegate>

class QFontMetrics;

namespace listview {

// Draws a number that does not fit its cell as a row of "#", as spreadsheets do: a number cut short would
// read as another number. The cell's text itself stays whole for the graph and for copying.
class FittedNumberDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // What a cell of the given inner width shows of text.
    static QString shownText(const QString& text, const QFontMetrics& metrics, int width);

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace listview
