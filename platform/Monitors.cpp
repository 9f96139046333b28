#include "platform/Monitors.h"

#include <QGuiApplication>
#include <QScreen>

QList<QRect> ScreenMonitorSource::monitors() const
{
    QList<QRect> out;
    for (const QScreen *screen : QGuiApplication::screens())
        out.append(screen->geometry());
    return out;
}
