#include "controls/UndoMark.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

UndoMark::UndoMark(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void UndoMark::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::WindowText);
    const qreal size = std::min(width(), height()) * 0.8;
    const qreal stroke = std::max<qreal>(1.5, size / 9);
    // A half circle open to the bottom, the head on its left end pointing down.
    const qreal r = size / 2 - stroke;
    const QPointF centre(width() / 2.0, height() / 2.0 + r / 2);
    QPainterPath arc;
    arc.moveTo(centre.x() + r, centre.y());
    arc.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 0, 180);
    p.setPen(QPen(ink, stroke, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    const qreal head = stroke * 2.2;
    const QPointF tip(centre.x() - r, centre.y() + head);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({tip, {tip.x() - head, centre.y() - stroke / 2}, {tip.x() + head, centre.y() - stroke / 2}}));
}
