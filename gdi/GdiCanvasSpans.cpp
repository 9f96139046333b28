// Row spans, the pixel path that lines and ellipses end in.
#include "gdi/GdiCanvas.h"

#include "gdi/ImageSpans.h"
#include "gdi/SystemColors.h"

#include <QImage>

#include <vector>

void GdiCanvas::fillSpan(int x0, int x1, int y, TColor color)
{
    if (x1 > x0)
        painter_->fillRect(QRect(x0, y, x1 - x0, 1), toQColor(color));
}

void GdiCanvas::addSpan(std::vector<QRect> &spans, int x0, int x1, int y) const
{
    if (x1 > x0)
        spans.emplace_back(x0, y, x1 - x0, 1);
}

// A line or an ellipse has a span per row; filling them in one call costs a fraction of
// one call each.
void GdiCanvas::fillSpans(std::vector<QRect> &spans, TColor color)
{
    if (spans.empty())
        return;
    if (QImage *image = directImage(color)) {
        writeSpans(*image, spans, color);
    } else {
        const QPen pen = painter_->pen();
        const QBrush brush = painter_->brush();
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(toQColor(color));
        painter_->drawRects(spans.data(), int(spans.size()));
        painter_->setPen(pen);
        painter_->setBrush(brush);
    }
    spans.clear();
}

// Spans on a plain image go straight into its rows: QPainter's general paths cost tens of
// instructions a pixel for the one-pixel spans of a thin line, and far more for a wide
// one, and the clock draws its hands ten times a second. Anything the painter would
// change (clip, transform, opacity, a raster operation, a translucent colour) takes the
// painter's path instead. Returns the image, or null for the painter's path.
QImage *GdiCanvas::directImage(TColor color) const
{
    QPaintDevice *device = painter_->device();
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
        && format != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    // A shared image would be copied by bits() and the painter would draw on the old one.
    if (!image->isDetached() || image->devicePixelRatio() != 1.0)
        return nullptr;
    if (painter_->hasClipping() || !painter_->deviceTransform().isIdentity() || painter_->opacity() != 1.0
        || painter_->compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    if (toQColor(color).alpha() != 255)
        return nullptr;
    return image;
}

void GdiCanvas::setPixel(int x, int y, TColor color)
{
    fillSpan(x, x + 1, y, color);
}
