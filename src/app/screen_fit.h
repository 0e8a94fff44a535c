#pragma once
// Windows open within the screen's available area (without the panels of the desktop), their
// title bar and frame included, so that no close button, scroll bar or status bar is cut off
// on a small screen (1024×768).

#include <QSize>

class QWidget;

namespace quarvel::app {

// Resizes `window` to `wanted`, no larger than the available area of its screen less room for
// the frame, and moves it so that it lies within that area.
void fitToScreen(QWidget* window, QSize wanted);

}  // namespace quarvel::app
