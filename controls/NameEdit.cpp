#include "controls/NameEdit.h"

#include "gdi/SystemColors.h"

#include <QMouseEvent>
#include <QPainter>

NameEdit::NameEdit(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
}

void NameEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter p(this);
    const QRect r = rect();
    // Each line pair: top and left in the first colour, bottom and right in the second;
    // the top line runs to the right edge's column, the left one to the bottom line.
    auto edge = [&p](const QRect &box, TColor topLeft, TColor bottomRight) {
        p.setPen(toQColor(topLeft));
        p.drawLine(box.left(), box.top(), box.right() - 1, box.top());
        p.drawLine(box.left(), box.top(), box.left(), box.bottom() - 1);
        p.setPen(toQColor(bottomRight));
        p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
        p.drawLine(box.right(), box.top(), box.right(), box.bottom());
    };
    edge(r, clBtnShadow, clBtnHighlight);
    edge(r.adjusted(1, 1, -1, -1), cl3DDkShadow, clBtnFace);
}

void NameEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    selectAll();
    event->accept();
}
