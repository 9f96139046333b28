#include "gdi/WideLine.h"

#include "gdi/LineWalk.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>

const WideLine &measureWideLine(QPoint from, QPoint to, int width, const QRect &device)
{
    // Hands and pointers are redrawn where they were: a few recent lines cover the repeats.
    thread_local std::array<WideLine, 16> measured;
    thread_local std::size_t nextSlot = 0;
    for (const WideLine &m : measured) {
        if (m.width == width && m.from == from && m.to == to && m.device == device)
            return m;
    }
    WideLine &line = measured[nextSlot];
    nextSlot = (nextSlot + 1) % measured.size();
    line = {from, to, width, device, QRect(), {}};
    const int reach = width / 2 + 2; // beyond any round cap
    const QRect area = pixelBox(from, to).adjusted(-reach, -reach, reach, reach) & device;
    if (area.isEmpty())
        return line;
    thread_local QImage mask;
    if (mask.width() <= area.right() || mask.height() <= area.bottom())
        mask = QImage(std::max(mask.width(), area.right() + 1), std::max(mask.height(), area.bottom() + 1),
                      QImage::Format_Alpha8);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(mask.scanLine(y) + area.left(), 0, std::size_t(area.width()));
    {
        QPainter painter(&mask);
        painter.setClipRect(area);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(widePen(Qt::black, width));
        painter.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar *row = mask.constScanLine(y);
        for (int x = area.left(); x <= area.right();) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x <= area.right() && row[x] != 0)
                ++x;
            line.spans.emplace_back(x0, y, x - x0, 1);
            line.box |= line.spans.back();
        }
    }
    return line;
}
