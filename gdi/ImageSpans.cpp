#include "gdi/ImageSpans.h"

#include "gdi/SystemColors.h"

#include <QImage>

#include <algorithm>

void writeSpans(QImage &image, const std::vector<QRect> &spans, TColor color)
{
    const QRgb pixel = toQColor(color).rgba(); // opaque: the same premultiplied or not
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int width = image.width();
    const int height = image.height();
    for (const QRect &span : spans) {
        const int x0 = std::max(span.left(), 0);
        const int x1 = std::min(span.left() + span.width(), width);
        const int y1 = std::min(span.top() + span.height(), height);
        for (int y = std::max(span.top(), 0); y < y1 && x0 < x1; ++y) {
            auto *row = reinterpret_cast<QRgb *>(bits + y * stride);
            std::fill(row + x0, row + x1, pixel);
        }
    }
}
