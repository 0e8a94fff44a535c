#pragma once
// The hourglass while a command works: set on construction, the previous cursor restored on
// destruction, whatever way the command ends.

#include <QApplication>
#include <QCursor>

namespace quarvel::app {

class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace quarvel::app
