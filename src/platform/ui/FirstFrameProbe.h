#pragma once

class QWidget;

// For the start-up benchmark only: when SELVANE_QUIT_AFTER_FIRST_FRAME is set, the program ends as soon as
// the window has drawn its first frame. Does nothing otherwise.
void quitAfterFirstFrameIfAsked(QWidget* window);
