#pragma once

#include <QMargins>

class QWidget;

// Windows keep the fixed sizes of their design. On a screen too small for one (a small laptop, a large
// scale factor), its content scrolls inside a window that fits and is placed on the screen.
namespace screenfit {

// The room a window manager takes around a window for its title bar and borders, allowed for before the
// window is shown and its frame can be measured.
inline constexpr QMargins kFrame{4, 32, 4, 4};

// A window (with its fixed size set and its controls in place) that fits the available area of its screen
// is left exactly as it is; otherwise its content moves into a scroll area. True when the window changed.
bool fit(QWidget* window);

// A window that its layout sizes (a file dialog): no larger than the available area of its screen and placed
// on it, so that its buttons and choices stay in reach; parts that only help (a file dialog's side bar of
// places) give way where the room is too narrow for them.
void shrinkInto(QWidget* window);

}  // namespace screenfit
