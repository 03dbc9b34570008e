#pragma once

#include "platform/core/Twips.h"

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
