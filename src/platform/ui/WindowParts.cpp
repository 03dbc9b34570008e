#include "platform/ui/WindowParts.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace windowparts {

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& tip, int left,
                    int top, int width, int height) {
    auto* widget = placeAt<QPushButton>(parent, name, left, top, width, height);
    widget->setText(text);
    widget->setToolTip(tip);
    widget->setAutoDefault(false);
    return widget;
}

QLabel* titleLabel(QWidget* frame, const char* name, const QString& text, int left, int width, int height) {
    auto* label = placeLabel(frame, name, text, left, 240, width, height);
    label->setFont(titleFont());
    return label;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace windowparts
