#pragma once
// The Tab order of a window as the screen reads: left to right along a row, rows top to
// bottom, each frame or panel gone through whole before the next (a frame is read as one block
// where it stands). Laid out once the window has its geometry, and again after it changes.

class QWidget;

namespace quarvel::app {

// Chains every visible widget below `root` that takes the focus by Tab in reading order.
void orderTabsByGeometry(QWidget* root);

}  // namespace quarvel::app
