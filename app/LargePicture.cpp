#include "app/LargePicture.h"

QPixmap largePicture(const char *name, bool large)
{
    QPixmap p(QStringLiteral(":/pictures/%1%2.png").arg(QLatin1String(name), large ? "@4x" : ""));
    p.setDevicePixelRatio(large ? 4.0 : 1.0);
    return p;
}
