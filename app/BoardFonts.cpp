#include "app/BoardFonts.h"

namespace {

QString freeFamily(const QString &family)
{
    // Liberation Sans is metric-compatible with Arial; MS Sans Serif has no free twin,
    // and the same face keeps the small operator texts within their boxes.
    if (family == u"Arial" || family == u"MS Sans Serif")
        return QStringLiteral("Liberation Sans");
    return family;
}

} // namespace

QFont boardFont(const QString &family, int pixelHeight, bool bold)
{
    QFont font(freeFamily(family));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}
