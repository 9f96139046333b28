// The canvas itself: fonts, its painter, rectangles, frames and image copies.
#include "gdi/GdiCanvas.h"

#include "gdi/SystemColors.h"

#include <QImage>

#include <algorithm>
#include <cmath>

QFont gdiFont(const QString &family, int height, bool bold, bool italic)
{
    QFont font(family);
    font.setPixelSize(std::max(1, std::abs(height)));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

int gdiFontHeight(const QFont &font)
{
    if (font.pixelSize() > 0)
        return -font.pixelSize();
    return -int(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

GdiCanvas::GdiCanvas(QPaintDevice *device)
{
    owned_.emplace(device);
    painter_ = &*owned_;
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
    setFont(QFont());
}

GdiCanvas::GdiCanvas(QPainter &painter)
    : painter_(&painter)
{
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
    setFont(painter.font());
}

GdiCanvas::~GdiCanvas()
{
    if (!owned_)
        painter_->restore();
}

void GdiCanvas::setFont(const QFont &font)
{
    font_ = font;
    if (font_.pixelSize() <= 0)
        font_.setPixelSize(std::max(1, -gdiFontHeight(font)));
    font_.setStyleStrategy(QFont::NoAntialias);
}

void GdiCanvas::fillRect(const GdiRect &rect)
{
    if (brushStyle_ == BrushStyle::Solid && !rect.isEmpty())
        painter_->fillRect(rect.toQRect(), toQColor(brushColor_));
}

void GdiCanvas::rectangle(const GdiRect &rect)
{
    if (penStyle_ == PenStyle::Clear) {
        fillRect(GdiRect{rect.left, rect.top, rect.right - 1, rect.bottom - 1});
        return;
    }
    const int w = std::min({penWidth_, (rect.width() + 1) / 2, (rect.height() + 1) / 2});
    fillRect(rect.inset(w));
    if (rect.isEmpty())
        return;
    const QColor pen = toQColor(penColor_);
    painter_->fillRect(QRect(rect.left, rect.top, rect.width(), w), pen);
    painter_->fillRect(QRect(rect.left, rect.bottom - w, rect.width(), w), pen);
    painter_->fillRect(QRect(rect.left, rect.top, w, rect.height()), pen);
    painter_->fillRect(QRect(rect.right - w, rect.top, w, rect.height()), pen);
}

void GdiCanvas::FrameRect3D(GdiRect &rect, TColor topColor, TColor bottomColor, int width)
{
    if (width <= 0)
        return;
    setPenWidth(1);
    setPenStyle(PenStyle::Solid);
    --rect.right;
    --rect.bottom;
    for (int ring = 0; ring < width; ++ring) {
        setPenColor(topColor);
        polyline({{rect.left, rect.bottom}, {rect.left, rect.top}, {rect.right, rect.top}});
        setPenColor(bottomColor);
        polyline({{rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left - 1, rect.bottom}});
        rect = rect.inset(1);
    }
    ++rect.right;
    ++rect.bottom;
}

void GdiCanvas::drawFocusRect(const GdiRect &rect)
{
    if (rect.isEmpty())
        return;
    painter_->save();
    painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const auto dot = [&](int x, int y) {
        if (((x - rect.left) + (y - rect.top)) % 2 == 0)
            painter_->fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = rect.left; x < rect.right; ++x) {
        dot(x, rect.top);
        if (rect.bottom - 1 > rect.top)
            dot(x, rect.bottom - 1);
    }
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        dot(rect.left, y);
        if (rect.right - 1 > rect.left)
            dot(rect.right - 1, y);
    }
    painter_->restore();
}

void GdiCanvas::brushCopy(QPoint dest, const QImage &image, const QRect &source, TColor transparentColor)
{
    const QRect from = source.intersected(image.rect());
    if (from.isEmpty())
        return;
    QImage piece = image.copy(from).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = toQColor(transparentColor).rgb() & 0xFFFFFFu;
    const QRgb fill = toQColor(brushColor_).rgb();
    const bool solid = brushStyle_ == BrushStyle::Solid;
    for (int y = 0; y < piece.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(piece.scanLine(y));
        for (int x = 0; x < piece.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == key)
                line[x] = solid ? fill : 0u;
            else
                line[x] |= 0xFF000000u;
        }
    }
    painter_->drawImage(dest, piece);
}
