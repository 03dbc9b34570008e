#include "list/FittedNumberDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

namespace listview {

QString FittedNumberDelegate::shownText(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    return QString(qMax(1, width / metrics.horizontalAdvance(QLatin1Char('#'))), QLatin1Char('#'));
}

void FittedNumberDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QStyle* style = option->widget ? option->widget->style() : QApplication::style();
    // The style keeps this margin on each side of a cell's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1;
    option->text = shownText(option->text, option->fontMetrics, option->rect.width() - 2 * margin);
}

}  // namespace listview
