#include "app/WindowBounds.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// A stored size may be anything; the window stays between its minimum and the desktop.
int boundedOuter(int stored, int minimum, int desktop)
{
    return std::clamp(stored, minimum, std::max(minimum, desktop));
}

} // namespace

QRect WindowBounds::outer() const
{
    return QRect(window_.pos(), window_.size() + QSize(kFrameWidth, kFrameHeight));
}

void WindowBounds::setOuter(const QRect &wanted)
{
    const QRect now = outer();
    if (wanted.topLeft() != now.topLeft())
        window_.move(wanted.topLeft());
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (wanted.width() != now.width()) {
        const int desktop = screen ? screen->virtualGeometry().width() : kMinOuterWidth;
        window_.setFixedWidth(boundedOuter(wanted.width(), kMinOuterWidth, desktop) - kFrameWidth);
    }
    if (wanted.height() != now.height()) {
        const int desktop = screen ? screen->virtualGeometry().height() : kMinOuterHeight;
        window_.setFixedHeight(boundedOuter(wanted.height(), kMinOuterHeight, desktop) - kFrameHeight);
    }
}

void WindowBounds::keepOnScreen()
{
    // The caption strip must be reachable, or the operator cannot drag the window back.
    const QRect caption(window_.pos(), QSize(window_.width(), kFrameHeight));
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(caption))
            return;
    }
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        window_.move(primary->availableGeometry().topLeft());
}
