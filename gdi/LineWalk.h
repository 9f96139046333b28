#pragma once

#include <QPoint>
#include <QRect>

#include <algorithm>
#include <cstdlib>

// Pixel i of the 1-pixel line from `from` to `to`, which has max(|dx|, |dy|) pixels: the
// minor coordinate rounded to nearest, halves upwards; the end point is left out.
inline QPoint linePixel(QPoint from, QPoint to, int i)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const auto along = [steps](int i, int delta) {
        const int num = 2 * i * delta + steps;
        const int den = 2 * steps;
        return num >= 0 ? num / den : -((-num + den - 1) / den);
    };
    if (std::abs(dx) >= std::abs(dy))
        return {from.x() + (dx > 0 ? i : -i), from.y() + along(i, dy)};
    return {from.x() + along(i, dx), from.y() + (dy > 0 ? i : -i)};
}

// The pixels of linePixel() in order, one step at a time: the clock plots its thin hands
// ten times a second, and a division a pixel was most of that.
class LineWalk
{
public:
    LineWalk(QPoint from, QPoint to)
    {
        const int dx = to.x() - from.x();
        const int dy = to.y() - from.y();
        steps_ = std::max(std::abs(dx), std::abs(dy));
        xMajor_ = std::abs(dx) >= std::abs(dy);
        major_ = xMajor_ ? from.x() : from.y();
        majorStep_ = (xMajor_ ? dx : dy) > 0 ? 1 : -1;
        minorBase_ = xMajor_ ? from.y() : from.x();
        // minor = base + floor((2 i delta + steps) / (2 steps)), kept as quotient and remainder
        minorDelta_ = 2 * (xMajor_ ? dy : dx);
        remainder_ = steps_;
        settle();
    }
    int steps() const { return steps_; }
    QPoint pixel() const
    {
        return xMajor_ ? QPoint(major_, minorBase_ + quotient_) : QPoint(minorBase_ + quotient_, major_);
    }
    void next()
    {
        major_ += majorStep_;
        remainder_ += minorDelta_;
        settle();
    }

private:
    void settle()
    {
        const int den = 2 * steps_;
        if (den == 0)
            return;
        // |minorDelta_| <= den, so one correction each way is enough after a step.
        while (remainder_ >= den) {
            remainder_ -= den;
            ++quotient_;
        }
        while (remainder_ < 0) {
            remainder_ += den;
            --quotient_;
        }
    }

    int steps_ = 0;
    bool xMajor_ = true;
    int major_ = 0;
    int majorStep_ = 1;
    int minorBase_ = 0;
    int minorDelta_ = 0;
    int quotient_ = 0;
    int remainder_ = 0;
};

// The box with a and b as corners, both inside it (QRect::normalized() moves a corner
// of an upside-down box by one pixel).
inline QRect pixelBox(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}
