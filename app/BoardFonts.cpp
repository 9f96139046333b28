#include "app/BoardFonts.h"

#include "platform/GdiCanvas.h"

namespace {

QString freeFamily(const QString &family)
{
    // Liberation Sans has Arial's metrics. MS Sans Serif has no free twin; the narrow cut
    // keeps the operator's small captions inside boxes sized for that narrow face.
    if (family == u"Arial")
        return QStringLiteral("Liberation Sans");
    if (family == u"MS Sans Serif")
        return QStringLiteral("Liberation Sans Narrow");
    return family;
}

} // namespace

QFont boardFont(const QString &family, int pixelHeight, bool bold)
{
    QFont font = gdiFont(freeFamily(family), pixelHeight, bold);
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}
