#include "platform/GdiCanvas.h"

#include "platform/EllipticRegion.h"
#include "platform/SystemColors.h"

#include <QFontMetrics>
#include <QImage>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cstring>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kTabChars = 8; // GDI's default tab stop: eight average characters

// A piece of text with, per character, whether an "&" marked it.
struct MarkedText
{
    QString text;
    std::vector<bool> marked;

    MarkedText mid(qsizetype from, qsizetype to) const
    {
        MarkedText part;
        part.text = text.mid(from, to - from);
        part.marked.assign(marked.begin() + from, marked.begin() + to);
        return part;
    }
    // GDI underlines only the last marked character of a line.
    int underline() const
    {
        for (qsizetype i = qsizetype(marked.size()) - 1; i >= 0; --i)
            if (marked[std::size_t(i)])
                return int(i);
        return -1;
    }
};

MarkedText stripPrefixes(const QString &text, bool prefixes)
{
    MarkedText out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        bool mark = false;
        if (prefixes && c == u'&') {
            if (i + 1 >= text.size())
                break; // a trailing "&" marks nothing and is not shown
            ++i;
            mark = text[i] != u'&';
        }
        out.text += text[i];
        out.marked.push_back(mark);
    }
    return out;
}

class TextMeasure
{
public:
    TextMeasure(const QFont &font, bool expandTabs)
        : metrics_(font), expandTabs_(expandTabs),
          tabWidth_(kTabChars * std::max(1, metrics_.averageCharWidth()))
    {
    }

    // Width of `text` drawn from a line start, tabs expanded to the next stop.
    int width(QStringView text) const
    {
        if (!expandTabs_)
            return metrics_.horizontalAdvance(text.toString());
        int x = 0;
        qsizetype from = 0;
        while (true) {
            const qsizetype tab = text.indexOf(u'\t', from);
            x += metrics_.horizontalAdvance(text.mid(from, (tab < 0 ? text.size() : tab) - from).toString());
            if (tab < 0)
                return x;
            x = (x / tabWidth_ + 1) * tabWidth_;
            from = tab + 1;
        }
    }
    int tabWidth() const { return tabWidth_; }
    const QFontMetrics &metrics() const { return metrics_; }

private:
    QFontMetrics metrics_;
    bool expandTabs_;
    int tabWidth_;
};

// Greedy word wrap: a line breaks at the last space that lets it fit; spaces at a break
// are dropped; a word wider than the line is broken between characters.
void wrapParagraph(const MarkedText &para, int maxWidth, const TextMeasure &measure,
                   std::vector<MarkedText> &lines)
{
    const QString &s = para.text;
    const qsizetype n = s.size();
    qsizetype start = 0;
    while (start < n) {
        // Most lines fit whole: one measurement instead of one per character.
        if (measure.width(QStringView(s).mid(start)) <= maxWidth) {
            lines.push_back(para.mid(start, n));
            return;
        }
        qsizetype end = start;
        while (end < n && measure.width(QStringView(s).mid(start, end + 1 - start)) <= maxWidth)
            ++end;
        if (end == n) {
            lines.push_back(para.mid(start, n));
            return;
        }
        qsizetype lineEnd = -1;
        const qsizetype space = s[end] == u' ' ? end : s.lastIndexOf(u' ', end - 1);
        if (space >= start) {
            lineEnd = space;
            while (lineEnd > start && s[lineEnd - 1] == u' ')
                --lineEnd;
        }
        qsizetype next;
        if (lineEnd > start) {
            next = space;
            while (next < n && s[next] == u' ')
                ++next;
        } else {
            lineEnd = std::max(end, start + 1);
            next = lineEnd;
        }
        lines.push_back(para.mid(start, lineEnd));
        start = next;
    }
}

std::vector<MarkedText> layoutLines(const MarkedText &text, unsigned flags, int maxWidth,
                                    const TextMeasure &measure)
{
    std::vector<MarkedText> lines;
    if (flags & DT_SINGLELINE) {
        MarkedText line;
        for (std::size_t i = 0; i < std::size_t(text.text.size()); ++i) {
            const QChar c = text.text[qsizetype(i)];
            if (c == u'\r' || c == u'\n')
                continue;
            line.text += c;
            line.marked.push_back(text.marked[i]);
        }
        lines.push_back(line);
        return lines;
    }
    const QString &s = text.text;
    qsizetype start = 0;
    while (start < s.size()) {
        qsizetype end = start;
        while (end < s.size() && s[end] != u'\r' && s[end] != u'\n')
            ++end;
        const MarkedText para = text.mid(start, end);
        if ((flags & DT_WORDBREAK) && !para.text.isEmpty())
            wrapParagraph(para, maxWidth, measure, lines);
        else
            lines.push_back(para);
        if (end < s.size() && s[end] == u'\r' && end + 1 < s.size() && s[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

double rayAngle(double dx, double dy)
{
    // Screen y grows downwards; counter-clockwise is measured with y up.
    double a = std::atan2(-dy, dx);
    if (a < 0)
        a += 2 * std::numbers::pi;
    return a;
}

// Opaque spans into the rows of an image GdiCanvas::directImage() accepted, clipped to it.
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

} // namespace

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

namespace {

// Pixel i of the 1-pixel line from `from` to `to`, which has max(|dx|, |dy|) pixels: the
// minor coordinate rounded to nearest, halves upwards; the end point is left out.
QPoint linePixel(QPoint from, QPoint to, int i)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const auto along = [steps](int i, int delta) {
        const int num = 2 * i * delta + steps;
        const int den = 2 * steps;
        return num >= 0 ? num / den : -((-num + den - 1) / den);
    };
    if (std::abs(dx) >= std::abs(dy))
        return {from.x() + (dx > 0 ? i : -i), from.y() + along(i, dy)};
    return {from.x() + along(i, dx), from.y() + (dy > 0 ? i : -i)};
}

// The pixels of linePixel() in order, one step at a time: the clock plots its thin hands
// ten times a second, and a division a pixel was most of that.
class LineWalk
{
public:
    LineWalk(QPoint from, QPoint to)
    {
        const int dx = to.x() - from.x();
        const int dy = to.y() - from.y();
        steps_ = std::max(std::abs(dx), std::abs(dy));
        xMajor_ = std::abs(dx) >= std::abs(dy);
        major_ = xMajor_ ? from.x() : from.y();
        majorStep_ = (xMajor_ ? dx : dy) > 0 ? 1 : -1;
        minorBase_ = xMajor_ ? from.y() : from.x();
        // minor = base + floor((2 i delta + steps) / (2 steps)), kept as quotient and remainder
        minorDelta_ = 2 * (xMajor_ ? dy : dx);
        remainder_ = steps_;
        settle();
    }
    int steps() const { return steps_; }
    QPoint pixel() const
    {
        return xMajor_ ? QPoint(major_, minorBase_ + quotient_) : QPoint(minorBase_ + quotient_, major_);
    }
    void next()
    {
        major_ += majorStep_;
        remainder_ += minorDelta_;
        settle();
    }

private:
    void settle()
    {
        const int den = 2 * steps_;
        if (den == 0)
            return;
        // |minorDelta_| <= den, so one correction each way is enough after a step.
        while (remainder_ >= den) {
            remainder_ -= den;
            ++quotient_;
        }
        while (remainder_ < 0) {
            remainder_ += den;
            --quotient_;
        }
    }

    int steps_ = 0;
    bool xMajor_ = true;
    int major_ = 0;
    int majorStep_ = 1;
    int minorBase_ = 0;
    int minorDelta_ = 0;
    int quotient_ = 0;
    int remainder_ = 0;
};

// The box with a and b as corners, both inside it (QRect::normalized() moves a corner
// of an upside-down box by one pixel).
QRect pixelBox(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QPen widePen(const QColor &color, int width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The pixels a round-capped wide line sets, as row spans, found by drawing it where it
// lies. Its caps are polygons whose pixels depend on the position, so no formula gets them
// exact. The reference stays valid until the next call.
struct WideLine
{
    QPoint from;
    QPoint to;
    int width = 0;
    QRect device;
    QRect box;
    std::vector<QRect> spans;
};

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

} // namespace

QRect GdiCanvas::lineBounds(QPoint from, QPoint to) const
{
    if (penStyle_ == PenStyle::Clear || from == to)
        return {};
    const QPaintDevice *device = painter_->device();
    const QRect within(0, 0, device->width(), device->height());
    if (penWidth_ > 1)
        return measureWideLine(from, to, penWidth_, within).box;
    const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    const QRect box = pixelBox(from, linePixel(from, to, steps - 1));
    if (within.contains(box))
        return box;
    // A line that leaves the device: only its pixels on it count.
    QRect on;
    LineWalk walk(from, to);
    for (int i = 0; i < steps; ++i, walk.next()) {
        if (const QPoint pixel = walk.pixel(); within.contains(pixel))
            on |= QRect(pixel, QSize(1, 1));
    }
    return on;
}

void GdiCanvas::plotLine(QPoint from, QPoint to, TColor color)
{
    LineWalk walk(from, to);
    int runStart = 0;
    int runY = 0;
    int runEnd = 0;
    bool open = false;
    for (int i = 0; i < walk.steps(); ++i, walk.next()) {
        const QPoint pixel = walk.pixel();
        const int x = pixel.x();
        const int y = pixel.y();
        // Merge pixels of one row into a span to keep the number of fills small.
        if (open && y == runY && (x == runEnd || x == runStart - 1)) {
            runStart = std::min(runStart, x);
            runEnd = std::max(runEnd, x + 1);
            continue;
        }
        if (open)
            addSpan(penSpans_, runStart, runEnd, runY);
        runStart = x;
        runEnd = x + 1;
        runY = y;
        open = true;
    }
    if (open)
        addSpan(penSpans_, runStart, runEnd, runY);
    fillSpans(penSpans_, color);
}

void GdiCanvas::strokeLine(QPoint from, QPoint to)
{
    if (penStyle_ == PenStyle::Clear)
        return;
    if (penWidth_ <= 1) {
        plotLine(from, to, penColor_);
        return;
    }
    if (QImage *image = directImage(penColor_)) {
        writeSpans(*image, measureWideLine(from, to, penWidth_, image->rect()).spans, penColor_);
        return;
    }
    painter_->save();
    painter_->setPen(widePen(toQColor(penColor_), penWidth_));
    painter_->drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
    painter_->restore();
}

void GdiCanvas::lineTo(int x, int y)
{
    strokeLine(penPos_, QPoint(x, y));
    penPos_ = QPoint(x, y);
}

void GdiCanvas::polyline(std::span<const QPoint> points)
{
    if (points.size() < 2 || penStyle_ == PenStyle::Clear)
        return;
    if (penWidth_ <= 1) {
        for (std::size_t i = 1; i < points.size(); ++i)
            plotLine(points[i - 1], points[i], penColor_);
        return;
    }
    QPolygonF stroke;
    for (const QPoint &p : points)
        stroke << QPointF(p) + QPointF(0.5, 0.5);
    painter_->save();
    painter_->setPen(widePen(toQColor(penColor_), penWidth_));
    painter_->drawPolyline(stroke);
    painter_->restore();
}

void GdiCanvas::polygon(std::span<const QPoint> points)
{
    if (points.size() < 2)
        return;
    if (brushStyle_ == BrushStyle::Solid) {
        painter_->save();
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(toQColor(brushColor_));
        painter_->drawPolygon(points.data(), int(points.size()), Qt::OddEvenFill);
        painter_->restore();
    }
    std::vector<QPoint> closed(points.begin(), points.end());
    closed.push_back(points.front());
    polyline(std::span<const QPoint>(closed));
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

namespace {

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

int GdiCanvas::textWidth(const QString &text) const
{
    return QFontMetrics(font_).horizontalAdvance(text);
}

int GdiCanvas::textHeight() const
{
    return QFontMetrics(font_).height();
}

void GdiCanvas::drawTextLine(const QString &line, int underline, int x, int y, bool expandTabs)
{
    const TextMeasure measure(font_, expandTabs);
    const int baseline = y + measure.metrics().ascent();
    painter_->setFont(font_);
    painter_->setPen(toQColor(fontColor_));
    if (!expandTabs || !line.contains(u'\t')) {
        painter_->drawText(QPoint(x, baseline), line);
    } else {
        qsizetype from = 0;
        while (from <= line.size()) {
            qsizetype tab = line.indexOf(u'\t', from);
            if (tab < 0)
                tab = line.size();
            const int segX = x + measure.width(QStringView(line).left(from));
            painter_->drawText(QPoint(segX, baseline), line.mid(from, tab - from));
            from = tab + 1;
        }
    }
    if (underline >= 0) {
        // As GDI does it: under the marked character, one pixel below the baseline.
        const int x0 = x + measure.width(QStringView(line).left(underline));
        const int x1 = x + measure.width(QStringView(line).left(underline + 1)) - 1;
        fillSpan(x0, x1, baseline + 1, fontColor_);
    }
}

int GdiCanvas::drawText(const QString &text, GdiRect &rect, unsigned flags)
{
    const bool expandTabs = flags & DT_EXPANDTABS;
    const TextMeasure measure(font_, expandTabs);
    const int lineHeight = measure.metrics().height();
    const MarkedText shown = stripPrefixes(text, !(flags & DT_NOPREFIX));

    std::vector<MarkedText> lines;
    if (!shown.text.isEmpty() || (flags & DT_SINGLELINE))
        lines = layoutLines(shown, flags, rect.width(), measure);

    int widest = 0;
    std::vector<int> widths;
    for (const MarkedText &line : lines) {
        widths.push_back(measure.width(line.text));
        widest = std::max(widest, widths.back());
    }
    const int textHeight = int(lines.size()) * lineHeight;

    if (flags & DT_CALCRECT) {
        rect.right = rect.left + widest;
        rect.bottom = rect.top + textHeight;
        return textHeight;
    }

    int y = rect.top;
    const bool single = flags & DT_SINGLELINE;
    if (single && (flags & DT_VCENTER))
        y = rect.top + (rect.height() - lineHeight) / 2;
    else if (single && (flags & DT_BOTTOM))
        y = rect.bottom - lineHeight;

    const bool clip = !(flags & DT_NOCLIP);
    if (clip) {
        painter_->save();
        painter_->setClipRect(rect.toQRect(), Qt::IntersectClip);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int w = widths[i];
        int x = rect.left;
        if (flags & DT_CENTER)
            x = (rect.left + rect.right - w) / 2;
        else if (flags & DT_RIGHT)
            x = rect.right - w;
        if (brushStyle_ == BrushStyle::Solid)
            painter_->fillRect(QRect(x, y, w, lineHeight), toQColor(brushColor_));
        drawTextLine(lines[i].text, lines[i].underline(), x, y, expandTabs);
        y += lineHeight;
    }
    if (clip)
        painter_->restore();
    if (single && (flags & (DT_VCENTER | DT_BOTTOM)))
        return y - rect.top;
    return textHeight;
}

void GdiCanvas::textOut(int x, int y, const QString &text)
{
    if (brushStyle_ == BrushStyle::Solid)
        painter_->fillRect(QRect(x, y, textWidth(text), textHeight()), toQColor(brushColor_));
    drawTextLine(text, -1, x, y, false);
}

void GdiCanvas::textRect(const GdiRect &clip, int x, int y, const QString &text)
{
    painter_->save();
    painter_->setClipRect(clip.toQRect(), Qt::IntersectClip);
    fillRect(clip);
    drawTextLine(text, -1, x, y, false);
    painter_->restore();
}
