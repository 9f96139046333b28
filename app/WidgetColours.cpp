#include "app/WidgetColours.h"

#include "gdi/SystemColors.h"

#include <QPalette>
#include <QWidget>

void setTextColour(QWidget *w, TColor c)
{
    QPalette pal = w->palette();
    if (pal.color(QPalette::WindowText) == toQColor(c) && pal.color(QPalette::Text) == toQColor(c))
        return;
    pal.setColor(QPalette::WindowText, toQColor(c));
    pal.setColor(QPalette::Text, toQColor(c));
    w->setPalette(pal);
}

void setGround(QWidget *w, TColor c)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    if (pal.color(QPalette::Window) == toQColor(c) && pal.color(QPalette::Base) == toQColor(c))
        return;
    pal.setColor(QPalette::Window, toQColor(c));
    pal.setColor(QPalette::Base, toQColor(c));
    w->setPalette(pal);
}
