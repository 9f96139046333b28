#pragma once

#include <QColor>
#include <QPen>
#include <QPoint>
#include <QRect>

#include <vector>

inline QPen widePen(const QColor &color, int width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The pixels a round-capped wide line sets, as row spans, found by drawing it where it
// lies. Its caps are polygons whose pixels depend on the position, so no formula gets them
// exact. The reference stays valid until the next call.
struct WideLine
{
    QPoint from;
    QPoint to;
    int width = 0;
    QRect device;
    QRect box;
    std::vector<QRect> spans;
};

const WideLine &measureWideLine(QPoint from, QPoint to, int width, const QRect &device);
