#include "controls/ClickLabel.h"

#include <QMouseEvent>

#include <utility>

bool ClickLabel::press(QMouseEvent *event, bool second)
{
    const Qt::MouseButton b = event->button();
    if (b != Qt::LeftButton && b != Qt::RightButton && b != Qt::MiddleButton)
        return false;
    secondPress_ = second;
    event->accept();
    emit pressed();
    return true;
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (!press(event, false))
        QLabel::mousePressEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!press(event, true))
        QLabel::mouseDoubleClickEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool second = std::exchange(secondPress_, false);
    if (!second && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
