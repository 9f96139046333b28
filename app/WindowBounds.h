#pragma once

#include <QRect>

class QWidget;

// The window's bounds as the settings keep them: the frame's left and top, and the outer
// size of a Windows frame around the client area.
class WindowBounds
{
public:
    // A Windows frame adds this much around the client area.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 31;
    static constexpr int kMinOuterWidth = 800;
    static constexpr int kMinOuterHeight = 546;

    explicit WindowBounds(QWidget &window) : window_(window) {}

    QRect outer() const;
    // Sets only what differs from the bounds now, so bounds left as they are stay exactly
    // as they are. The outer size never falls below 800 x 546 nor grows past the desktop.
    void setOuter(const QRect &wanted);
    // Moves a window that lies on no screen back onto the primary one.
    void keepOnScreen();

private:
    QWidget &window_;
};
