#include "app/BoardFonts.h"

#include "gdi/GdiCanvas.h"

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

// MS Sans Serif keeps its name and Qt draws it with the narrow cut, so that text typed
// in that font (the title area's) is saved under the name word processors know. Arial
// goes by its twin's name, which every RTF reader maps back to Arial's metrics.
QString requestedFamily(const QString &family)
{
    if (family != u"MS Sans Serif")
        return freeFamily(family);
    static const bool substituted = [&] {
        QFont::insertSubstitution(family, freeFamily(family));
        return true;
    }();
    (void)substituted;
    return family;
}

} // namespace

QFont boardFont(const QString &family, int pixelHeight, bool bold)
{
    QFont font = gdiFont(requestedFamily(family), pixelHeight, bold);
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}
