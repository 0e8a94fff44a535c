#pragma once
// Mouse gestures as the window system delivers them to a widget.

#include <QtTest>

namespace quarvel::apptest {

// A double click: press, release, double click, release.
inline void doubleClickAt(QWidget* w, const QPoint& at) {
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

}  // namespace quarvel::apptest
