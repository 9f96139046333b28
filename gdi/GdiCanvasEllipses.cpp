// Ellipses and arcs of GdiCanvas, over the pixels of EllipticRegion.
#include "gdi/GdiCanvas.h"

#include "gdi/EllipticRegion.h"
#include "gdi/SystemColors.h"

#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

double rayAngle(double dx, double dy)
{
    // Screen y grows downwards; counter-clockwise is measured with y up.
    double a = std::atan2(-dy, dx);
    if (a < 0)
        a += 2 * std::numbers::pi;
    return a;
}

// For each row of an ellipse: the whole span and the part inside its outline.
struct OutlineRow
{
    int y;
    int x0, x1; // all pixels of the row
    int i0, i1; // inner pixels, i0 >= i1 when there are none
};

std::vector<OutlineRow> outlineRows(const GdiRect &box, int penWidth)
{
    const EllipticRegion outer(box.left, box.top, box.right, box.bottom);
    const EllipticRegion inner(box.left + penWidth, box.top + penWidth, box.right - penWidth,
                               box.bottom - penWidth);
    std::vector<OutlineRow> rows;
    for (int y = outer.top(); y < outer.bottom(); ++y) {
        const auto [x0, x1] = outer.span(y);
        int i0;
        int i1;
        if (penWidth == 1) {
            // A pixel is on the outline when one of its four neighbours is outside.
            const auto above = outer.span(y - 1);
            const auto below = outer.span(y + 1);
            i0 = std::max({x0 + 1, above.first, below.first});
            i1 = std::min({x1 - 1, above.second, below.second});
            if (above.first == above.second || below.first == below.second)
                i1 = i0;
        } else {
            const auto in = inner.span(y);
            i0 = std::max(x0, in.first);
            i1 = std::min(x1, in.second);
            if (in.first == in.second)
                i1 = i0;
        }
        rows.push_back({y, x0, x1, i0, std::max(i0, i1)});
    }
    return rows;
}


} // namespace

void GdiCanvas::ellipse(const GdiRect &box)
{
    if (isScaled()) {
        // As a shape whose outer edge is the box's, at the device's resolution.
        if (box.isEmpty())
            return;
        const bool pen = penStyle_ == PenStyle::Solid;
        const double w = pen ? penWidth_ : 0.0;
        painter_->save();
        painter_->setPen(pen ? QPen(toQColor(penColor_), w) : QPen(Qt::NoPen));
        painter_->setBrush(brushStyle_ == BrushStyle::Solid ? QBrush(toQColor(brushColor_)) : QBrush());
        const QRectF outer(box.left, box.top, box.width() - (pen ? 0 : 1), box.height() - (pen ? 0 : 1));
        painter_->drawEllipse(outer.adjusted(w / 2, w / 2, -w / 2, -w / 2));
        painter_->restore();
        return;
    }
    if (penStyle_ == PenStyle::Clear) {
        if (brushStyle_ != BrushStyle::Solid)
            return;
        const EllipticRegion fill(box.left, box.top, box.right - 1, box.bottom - 1);
        for (int y = fill.top(); y < fill.bottom(); ++y) {
            const auto [x0, x1] = fill.span(y);
            addSpan(brushSpans_, x0, x1, y);
        }
        fillSpans(brushSpans_, brushColor_);
        return;
    }
    // The filling and the outline share no pixel, so their order does not matter.
    for (const OutlineRow &row : outlineRows(box, penWidth_)) {
        if (brushStyle_ == BrushStyle::Solid)
            addSpan(brushSpans_, row.i0, row.i1, row.y);
        if (row.i0 < row.i1) {
            addSpan(penSpans_, row.x0, row.i0, row.y);
            addSpan(penSpans_, row.i1, row.x1, row.y);
        } else {
            addSpan(penSpans_, row.x0, row.x1, row.y);
        }
    }
    fillSpans(brushSpans_, brushColor_);
    fillSpans(penSpans_, penColor_);
}

void GdiCanvas::arc(const GdiRect &box, QPoint start, QPoint end)
{
    if (penStyle_ == PenStyle::Clear)
        return;
    // Doubled coordinates relative to the box centre, as in EllipticRegion.
    const auto dx = [&](int x) { return double(2 * x + 1 - (box.left + box.right)); };
    const auto dy = [&](int y) { return double(2 * y + 1 - (box.top + box.bottom)); };
    const double from = rayAngle(dx(start.x()), dy(start.y()));
    double sweep = rayAngle(dx(end.x()), dy(end.y())) - from;
    if (sweep <= 0)
        sweep += 2 * std::numbers::pi; // equal rays: the whole ellipse
    const auto onArc = [&](int x, int y) {
        double a = rayAngle(dx(x), dy(y)) - from;
        if (a < 0)
            a += 2 * std::numbers::pi;
        return a <= sweep + 1e-12;
    };
    const auto plotRun = [&](int x0, int x1, int y) {
        for (int x = x0; x < x1; ++x)
            if (onArc(x, y))
                setPixel(x, y, penColor_);
    };
    for (const OutlineRow &row : outlineRows(box, penWidth_)) {
        if (row.i0 < row.i1) {
            plotRun(row.x0, row.i0, row.y);
            plotRun(row.i1, row.x1, row.y);
        } else {
            plotRun(row.x0, row.x1, row.y);
        }
    }
}
