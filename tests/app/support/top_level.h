#pragma once
// The visible top-level window of that objectName (a picture or analysis window a click opened).

#include <QApplication>
#include <QString>
#include <QWidget>

namespace quarvel::apptest {

template <class T>
T* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return qobject_cast<T*>(w);
    return nullptr;
}

}  // namespace quarvel::apptest
