// Lines, polylines and polygons of GdiCanvas.
#include "gdi/GdiCanvas.h"

#include "gdi/ImageSpans.h"
#include "gdi/LineWalk.h"
#include "gdi/SystemColors.h"
#include "gdi/WideLine.h"

#include <QImage>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>
#include <vector>

QRect GdiCanvas::lineBounds(QPoint from, QPoint to) const
{
    if (penStyle_ == PenStyle::Clear || from == to)
        return {};
    const QPaintDevice *device = painter_->device();
    const QRect within(0, 0, device->width(), device->height());
    if (penWidth_ > 1)
        return measureWideLine(from, to, penWidth_, within).box;
    const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    const QRect box = pixelBox(from, linePixel(from, to, steps - 1));
    if (within.contains(box))
        return box;
    // A line that leaves the device: only its pixels on it count.
    QRect on;
    LineWalk walk(from, to);
    for (int i = 0; i < steps; ++i, walk.next()) {
        if (const QPoint pixel = walk.pixel(); within.contains(pixel))
            on |= QRect(pixel, QSize(1, 1));
    }
    return on;
}

bool GdiCanvas::isScaled() const
{
    const QTransform t = painter_->deviceTransform();
    return t.type() > QTransform::TxTranslate;
}

void GdiCanvas::plotLine(QPoint from, QPoint to, TColor color)
{
    // A scaled straight line is still exact as enlarged pixels; a slanted one is not.
    if (from.x() != to.x() && from.y() != to.y() && isScaled()) {
        painter_->save();
        painter_->setPen(QPen(toQColor(color), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        painter_->drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
        painter_->restore();
        return;
    }
    LineWalk walk(from, to);
    int runStart = 0;
    int runY = 0;
    int runEnd = 0;
    bool open = false;
    for (int i = 0; i < walk.steps(); ++i, walk.next()) {
        const QPoint pixel = walk.pixel();
        const int x = pixel.x();
        const int y = pixel.y();
        // Merge pixels of one row into a span to keep the number of fills small.
        if (open && y == runY && (x == runEnd || x == runStart - 1)) {
            runStart = std::min(runStart, x);
            runEnd = std::max(runEnd, x + 1);
            continue;
        }
        if (open)
            addSpan(penSpans_, runStart, runEnd, runY);
        runStart = x;
        runEnd = x + 1;
        runY = y;
        open = true;
    }
    if (open)
        addSpan(penSpans_, runStart, runEnd, runY);
    fillSpans(penSpans_, color);
}

void GdiCanvas::strokeLine(QPoint from, QPoint to)
{
    if (penStyle_ == PenStyle::Clear)
        return;
    if (penWidth_ <= 1) {
        plotLine(from, to, penColor_);
        return;
    }
    if (QImage *image = directImage(penColor_)) {
        writeSpans(*image, measureWideLine(from, to, penWidth_, image->rect()).spans, penColor_);
        return;
    }
    painter_->save();
    painter_->setPen(widePen(toQColor(penColor_), penWidth_));
    painter_->drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
    painter_->restore();
}

void GdiCanvas::lineTo(int x, int y)
{
    strokeLine(penPos_, QPoint(x, y));
    penPos_ = QPoint(x, y);
}

void GdiCanvas::polyline(std::span<const QPoint> points)
{
    if (points.size() < 2 || penStyle_ == PenStyle::Clear)
        return;
    if (penWidth_ <= 1) {
        for (std::size_t i = 1; i < points.size(); ++i)
            plotLine(points[i - 1], points[i], penColor_);
        return;
    }
    QPolygonF stroke;
    for (const QPoint &p : points)
        stroke << QPointF(p) + QPointF(0.5, 0.5);
    painter_->save();
    painter_->setPen(widePen(toQColor(penColor_), penWidth_));
    painter_->drawPolyline(stroke);
    painter_->restore();
}

void GdiCanvas::polygon(std::span<const QPoint> points)
{
    if (points.size() < 2)
        return;
    if (brushStyle_ == BrushStyle::Solid) {
        painter_->save();
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(toQColor(brushColor_));
        painter_->drawPolygon(points.data(), int(points.size()), Qt::OddEvenFill);
        painter_->restore();
    }
    std::vector<QPoint> closed(points.begin(), points.end());
    closed.push_back(points.front());
    polyline(std::span<const QPoint>(closed));
}
