#include "app/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quarvel::app {

namespace {

// Room for a title bar and frame that the window system adds around the window's own area.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

}  // namespace

void fitToScreen(QWidget* window, QSize wanted) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window->resize(wanted);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize room(std::max(200, area.width() - kFrameWidth),
                     std::max(150, area.height() - kFrameHeight));
    const QSize size = wanted.boundedTo(room);
    window->resize(size);
    // Centred on the area: a window opened from another one must not start half off-screen.
    const QPoint topLeft(area.left() + (area.width() - size.width() - kFrameWidth) / 2,
                         area.top() + (area.height() - size.height() - kFrameHeight) / 2);
    window->move(topLeft);
}

}  // namespace quarvel::app
