#include "app/FocusHome.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

FocusHome::FocusHome(QWidget &window, QWidget &home, const QList<QWidget *> &editors)
    : QObject(&window), window_(window), home_(home), editors_(editors)
{
    qApp->installEventFilter(this);
}

bool FocusHome::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
        return false;
    auto *target = static_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    // A control that takes the keys on a click gets them the platform's way.
    if (!editors_.contains(focus) || target->window() != &window_ || focus == target
        || focus->isAncestorOf(target) || (target->focusPolicy() & Qt::ClickFocus))
        return false;
    home_.setFocus(Qt::MouseFocusReason);
    return false;
}
