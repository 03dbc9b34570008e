#pragma once

#include "platform/core/Twips.h"

#include <QLabel>
#include <QString>
#include <QWidget>

// A control made at its designed position, given in twips, and named for tests and accessibility tools.
template <typename W>
W* placeAt(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(twips::rect(left, top, width, height));
    return widget;
}

// A label with its caption at its designed position.
inline QLabel* placeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                          int width, int height, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = placeAt<QLabel>(parent, name, left, top, width, height);
    label->setText(caption);
    label->setAlignment(alignment);
    return label;
}
