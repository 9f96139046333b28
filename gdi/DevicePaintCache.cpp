#include "gdi/DevicePaintCache.h"

#include <QPainter>

#include <cmath>

namespace {

bool same(const QTransform &a, const QTransform &b)
{
    constexpr double e = 1e-9;
    return std::abs(a.m11() - b.m11()) < e && std::abs(a.m22() - b.m22()) < e && std::abs(a.dx() - b.dx()) < e
           && std::abs(a.dy() - b.dy()) < e;
}

} // namespace

bool DevicePaintCache::serves(const QPainter &painter)
{
    const QTransform t = painter.deviceTransform();
    return t.type() == QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
}

QRect DevicePaintCache::coveredPixels(const QTransform &device, QSize size)
{
    const QRectF area = device.mapRect(QRectF(QPointF(), QSizeF(size)));
    return QRect(QPoint(qRound(area.left()), qRound(area.top())), QPoint(qRound(area.right()) - 1, qRound(area.bottom()) - 1));
}

void DevicePaintCache::paint(QPainter &painter, QSize size, const QRectF &exposed, Cover cover,
                             const std::function<void(QPainter &)> &draw)
{
    const QTransform device = painter.deviceTransform();
    // Partly covered, every device pixel the area touches, the painter's fills deciding
    // which of them it sets.
    const QRect box = cover == Cover::Opaque ? coveredPixels(device, size)
                                             : device.mapRect(QRectF(QPointF(), QSizeF(size))).toAlignedRect();
    if (box.isEmpty())
        return;
    const QTransform local = device * QTransform::fromTranslate(-box.x(), -box.y());
    if (image_.size() != box.size() || cover != cover_ || !same(local, madeFor_)) {
        image_ = QImage(box.size(), cover == Cover::Opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        image_.fill(Qt::transparent);
        QPainter p(&image_);
        p.setRenderHints(painter.renderHints());
        p.setFont(painter.font());
        p.setTransform(local);
        draw(p);
        madeFor_ = local;
        cover_ = cover;
    }
    paintParts(painter, size, {exposed}, cover);
}

void DevicePaintCache::paintParts(QPainter &painter, QSize size, const std::vector<QRectF> &exposed, Cover cover)
{
    const QTransform device = painter.deviceTransform();
    const QRect box = cover == Cover::Opaque ? coveredPixels(device, size)
                                             : device.mapRect(QRectF(QPointF(), QSizeF(size))).toAlignedRect();
    if (image_.size() != box.size())
        return;
    painter.save();
    // Pixel for pixel, onto whole device pixels, so each copy is a plain blit: a smoothing
    // hint would send it through the filtering path. The paint's own clip keeps it to what
    // needs showing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setWorldTransform(device.inverted() * painter.worldTransform());
    for (const QRectF &part : exposed) {
        const QRect target = box & device.mapRect(part).toAlignedRect();
        if (!target.isEmpty())
            painter.drawImage(target.topLeft(), image_, target.translated(-box.topLeft()));
    }
    painter.restore();
}
