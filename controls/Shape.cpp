#include "controls/Shape.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TShape::setPenColor(const QColor &color)
{
    if (color == pen_)
        return;
    pen_ = color;
    update();
}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(pen_);
    p.setBrush(Qt::NoBrush);
    // The outline fills the box whose right and bottom edges are exclusive.
    p.drawEllipse(QRect(0, 0, width() - 1, height() - 1));
}

void TShape::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button());
}
