#pragma once

#include "platform/ui/AppSetup.h"
#include "platform/ui/Placement.h"

#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

// Small helpers for windows laid out at their designed positions in twips.
namespace windowparts {

// The font of the title line of the list and graph windows.
inline QFont titleFont() { return appsetup::japaneseFont(15.75, true); }
// A command button with its caption and tooltip; Enter does not press it on its own.
QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& tip, int left,
                    int top, int width, int height);
// A label of the title line, 240 twips down its frame.
QLabel* titleLabel(QWidget* frame, const char* name, const QString& text, int left, int width, int height);

// Paints the widget's own background in colour (children that set no colour of their own follow it).
void setBackground(QWidget* widget, const QColor& colour);

}  // namespace windowparts
