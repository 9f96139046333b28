#pragma once

#include <QRect>

// A Windows RECT: right and bottom are exclusive, so width = right - left.
// Kept apart from QRect, whose right() is inclusive, to avoid off-by-one slips
// when code follows GDI coordinates.
struct GdiRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }

    constexpr GdiRect offset(int dx, int dy) const
    {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr GdiRect inset(int d) const { return {left + d, top + d, right - d, bottom - d}; }

    // The pixels covered; empty when right <= left or bottom <= top.
    QRect toQRect() const { return QRect(left, top, width(), height()); }

    friend constexpr bool operator==(const GdiRect &, const GdiRect &) = default;
};
