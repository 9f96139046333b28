#include "gdi/DevicePaintCache.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QColor kBeneath(255, 0, 255);
const QSize kArea(40, 24);

// What a control might paint: a frame, a filled inside and a slanted stroke.
void control(QPainter &p)
{
    p.fillRect(QRect(QPoint(), kArea), QColor(0, 0, 128));
    p.fillRect(QRect(2, 2, kArea.width() - 4, kArea.height() - 4), Qt::yellow);
    p.setPen(QPen(Qt::red, 3));
    p.drawLine(QPointF(4.5, 4.5), QPointF(34.5, 19.5));
}

// Only a disc: the rest of the area is left alone.
void disc(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::darkGreen);
    p.drawEllipse(QRectF(8, 4, 16, 16));
}

QImage screen()
{
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(kBeneath);
    return image;
}

QTransform enlarging(double factor, QPointF at)
{
    return QTransform::fromScale(factor, factor) * QTransform::fromTranslate(at.x(), at.y());
}

// The control painted straight through `t`, as without a cache.
QImage direct(const QTransform &t, void (*draw)(QPainter &))
{
    QImage image = screen();
    QPainter p(&image);
    p.setTransform(t);
    draw(p);
    return image;
}

} // namespace

TEST(DevicePaintCache, ServesOnlyAScalingPainter)
{
    QImage image = screen();
    QPainter p(&image);
    EXPECT_FALSE(DevicePaintCache::serves(p));
    p.translate(3, 4);
    EXPECT_FALSE(DevicePaintCache::serves(p)) << "a shifted painter draws the control's own pixels";
    p.scale(2.5, 2.5);
    EXPECT_TRUE(DevicePaintCache::serves(p));
    p.rotate(10);
    EXPECT_FALSE(DevicePaintCache::serves(p));
}

TEST(DevicePaintCache, CopyIsWhatThePainterItselfDraws)
{
    for (const QPointF at : {QPointF(0, 0), QPointF(7.3, 2.6), QPointF(11.5, 0.25)}) {
        SCOPED_TRACE(at.x());
        const QTransform t = enlarging(3.949, at);
        DevicePaintCache cache;
        QImage first = screen();
        {
            QPainter p(&first);
            p.setTransform(t);
            cache.paint(p, kArea, QRectF(QPointF(), QSizeF(kArea)), DevicePaintCache::Cover::Opaque, control);
        }
        EXPECT_EQ(first, direct(t, control)) << "every pixel, the edges' included";
        QImage beneath = screen();
        {
            QPainter p(&beneath);
            p.setTransform(t);
            DevicePaintCache partly;
            partly.paint(p, kArea, QRectF(QPointF(), QSizeF(kArea)), DevicePaintCache::Cover::Partly, disc);
        }
        EXPECT_EQ(beneath, direct(t, disc)) << "what the control leaves alone shows what lies beneath";
    }
}

TEST(DevicePaintCache, DrawsOnceUntilDroppedOrMovedToAnotherScaleOrSubPixel)
{
    DevicePaintCache cache;
    int draws = 0;
    const auto counted = [&draws](QPainter &p) {
        ++draws;
        control(p);
    };
    QImage image = screen();
    const auto paintAt = [&](const QTransform &t) {
        QPainter p(&image);
        p.setTransform(t);
        cache.paint(p, kArea, QRectF(QPointF(), QSizeF(kArea)), DevicePaintCache::Cover::Opaque, counted);
    };
    paintAt(enlarging(2.5, {3.25, 1}));
    paintAt(enlarging(2.5, {3.25, 1}));
    EXPECT_EQ(draws, 1);
    paintAt(enlarging(2.5, {13.25, 6})); // whole pixels further on: the same picture
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(image, [] {
        QImage both = direct(enlarging(2.5, {3.25, 1}), control);
        QPainter p(&both);
        p.setTransform(enlarging(2.5, {13.25, 6}));
        control(p);
        return both;
    }());
    paintAt(enlarging(2.5, {13.5, 6}));
    EXPECT_EQ(draws, 2) << "another sub-pixel position";
    paintAt(enlarging(3, {13.5, 6}));
    EXPECT_EQ(draws, 3) << "another scale";
    cache.drop();
    EXPECT_TRUE(cache.isEmpty());
    paintAt(enlarging(3, {13.5, 6}));
    EXPECT_EQ(draws, 4);
}

TEST(DevicePaintCache, CopiesOnlyTheExposedParts)
{
    const QTransform t = enlarging(3, {5, 5});
    DevicePaintCache cache;
    QImage image = screen();
    QPainter p(&image);
    p.setTransform(t);
    cache.paint(p, kArea, QRectF(0, 0, 10, 10), DevicePaintCache::Cover::Opaque, control);
    cache.paintParts(p, kArea, {QRectF(30, 14, 10, 10)}, DevicePaintCache::Cover::Opaque);
    p.end();
    const QImage whole = direct(t, control);
    for (const QPoint inside : {QPoint(6, 6), QPoint(33, 33), QPoint(5 + 95, 5 + 50), QPoint(5 + 119, 5 + 71)})
        EXPECT_EQ(image.pixel(inside), whole.pixel(inside)) << inside.x() << "," << inside.y();
    for (const QPoint outside : {QPoint(5 + 60, 5 + 10), QPoint(5 + 10, 5 + 60)})
        EXPECT_EQ(QColor(image.pixel(outside)), kBeneath) << outside.x() << "," << outside.y();
}
