#include "controls/Label3D.h"

#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

TLabel3D::TLabel3D(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel is the label's own unless it is transparent: nothing beneath to paint.
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent_);
}

void TLabel3D::setCaption(const QString &caption) { change(caption_, caption, [this] { changed(); }); }
void TLabel3D::setAlignment(TAlignment alignment) { change(alignment_, alignment, [this] { changed(); }); }
void TLabel3D::setLayout(TTextLayout layout) { change(layout_, layout, [this] { changed(); }); }
void TLabel3D::setColor(TColor color) { change(color_, color, [this] { changed(); }); }
void TLabel3D::setFontColor(TColor color) { change(fontColor_, color, [this] { changed(); }); }
void TLabel3D::setTransparent(bool transparent)
{
    if (change(transparent_, transparent, [this] { changed(); }))
        setAttribute(Qt::WA_OpaquePaintEvent, !transparent_);
}
void TLabel3D::setShowAccelChar(bool show) { change(showAccelChar_, show, [this] { changed(); }); }
void TLabel3D::setFirstColor(TColor color) { change(firstColor_, color, [this] { changed(); }); }
void TLabel3D::setLastColor(TColor color) { change(lastColor_, color, [this] { changed(); }); }
void TLabel3D::setFillGradient(bool fill) { change(fillGradient_, fill, [this] { changed(); }); }
void TLabel3D::setGradientOrientation(TGradientOrientation orientation) { change(gradientOrientation_, orientation, [this] { changed(); }); }
void TLabel3D::setHighLightColor(TColor color) { change(highLightColor_, color, [this] { changed(); }); }
void TLabel3D::setShadowColor(TColor color) { change(shadowColor_, color, [this] { changed(); }); }
void TLabel3D::setBevel(TLabel3DBevel bevel) { change(bevel_, bevel, [this] { changed(); }); }
void TLabel3D::setShadowSize(std::uint8_t size) { change(shadowSize_, size, [this] { changed(); }); }
void TLabel3D::setBorderColor(TColor color) { change(borderColor_, color, [this] { changed(); }); }
void TLabel3D::setBorderWidth(std::int32_t width) { change(borderWidth_, width, [this] { changed(); }); }
void TLabel3D::setBorderStyle(TLabel3DBorderStyle style) { change(borderStyle_, style, [this] { changed(); }); }

void TLabel3D::setHint(const QString &hint)
{
    hint_.setText(*this, hint);
}

void TLabel3D::setShowHint(bool show)
{
    hint_.setShown(*this, show);
}

void TLabel3D::changed()
{
    cache_.drop();
    update();
}

void TLabel3D::changeEvent(QEvent *event)
{
    // A font, palette or enabled change alters what the label shows.
    cache_.drop();
    QWidget::changeEvent(event);
}

void TLabel3D::resizeEvent(QResizeEvent *event)
{
    cache_.drop();
    QWidget::resizeEvent(event);
}

void TLabel3D::paintEvent(QPaintEvent *event)
{
    GdiCanvas canvas(this);
    // Enlarged, the caption's glyphs are outlines filled anew on every paint: drawn once.
    if (DevicePaintCache::serves(canvas.painter())) {
        cache_.paint(canvas.painter(), size(), event->rect(), transparent_ ? DevicePaintCache::Cover::Partly : DevicePaintCache::Cover::Opaque, [this](QPainter &painter) {
            GdiCanvas enlarged(painter);
            drawingEnlarged_ = true;
            Paint(enlarged);
            drawingEnlarged_ = false;
        });
        return;
    }
    cache_.drop();
    Paint(canvas);
}

void TLabel3D::Paint(GdiCanvas &canvas)
{
    GdiRect r{0, 0, width(), height()};

    switch (borderStyle_) {
    case lbNone:
        break;
    case lbNormal:
        canvas.FrameRect3D(r, borderColor_, borderColor_, borderWidth_);
        break;
    case lbLowered:
        canvas.FrameRect3D(r, clBtnShadow, clBtnHighlight, borderWidth_);
        break;
    case lbRaised:
        canvas.FrameRect3D(r, clBtnHighlight, clBtnShadow, borderWidth_);
        break;
    case lbInn:
        canvas.FrameRect3D(r, clBtnShadow, clBtnHighlight, borderWidth_);
        canvas.FrameRect3D(r, clBtnHighlight, clBtnShadow, borderWidth_);
        break;
    case lbOut:
        canvas.FrameRect3D(r, clBtnHighlight, clBtnShadow, borderWidth_);
        canvas.FrameRect3D(r, clBtnShadow, clBtnHighlight, borderWidth_);
        break;
    }

    if (fillGradient_) {
        PaintGradient(canvas, r);
    } else if (!transparent_) {
        canvas.setBrushStyle(BrushStyle::Solid);
        canvas.setBrushColor(color_);
        canvas.fillRect(r);
    }

    canvas.setBrushStyle(BrushStyle::Clear); // no text background boxes

    unsigned flags = DT_EXPANDTABS | DT_WORDBREAK;
    flags |= alignment_ == taRightJustify ? DT_RIGHT : alignment_ == taCenter ? DT_CENTER : DT_LEFT;

    if (layout_ != tlTop) {
        GdiRect c = r;
        DrawLabelText(canvas, c, flags | DT_CALCRECT);
        const int h = r.bottom - r.top;
        const int t = c.bottom - c.top;
        const int dy = layout_ == tlCenter ? (h - t) / 2 : h - t;
        r = r.offset(0, dy);
        // Keep the whole measured text inside the rectangle DrawText clips to.
        if (c.bottom > r.bottom)
            r.bottom = c.bottom;
        if (c.top < r.top)
            r.top = c.top;
    }

    DrawLabelText(canvas, r, flags);
}

void TLabel3D::DrawLabelText(GdiCanvas &canvas, GdiRect &rect, unsigned flags)
{
    QString s = caption_;
    // An empty caption still measures one line high.
    if ((flags & DT_CALCRECT) && (s.isEmpty() || (showAccelChar_ && s == u"&")))
        s += u' ';
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    canvas.setFont(font());

    switch (bevel_) {
    case blNone:
        canvas.setFontColor(fontColor_);
        canvas.drawText(s, rect, flags);
        break;
    case blLowered:
        DrawBevelText(canvas, s, rect, flags, shadowColor_, highLightColor_);
        break;
    case blRaised:
        DrawBevelText(canvas, s, rect, flags, highLightColor_, shadowColor_);
        break;
    case blShadow:
        DrawBevelText(canvas, s, rect, flags, clBlack, shadowColor_); // no first copy
        break;
    }
}

void TLabel3D::DrawBevelText(GdiCanvas &canvas, const QString &text, GdiRect &rect, unsigned flags,
                             TColor first, TColor second)
{
    if (drawingEnlarged_ && !(flags & DT_CALCRECT)) {
        DrawEnlargedBevelText(canvas, text, rect, flags, first, second);
        return;
    }
    // The copies measure in rectangles of their own: only the main text reports its size.
    if (bevel_ != blShadow) {
        GdiRect upperLeft = rect.offset(-shadowSize_, -shadowSize_);
        canvas.setFontColor(first);
        if (isEnabled())
            canvas.drawText(text, upperLeft, flags);
    }
    GdiRect lowerRight = rect.offset(shadowSize_, shadowSize_);
    canvas.setFontColor(second);
    canvas.drawText(text, lowerRight, flags);

    canvas.setFont(font());
    canvas.setFontColor(isEnabled() ? fontColor_ : clGrayText);
    canvas.drawText(text, rect, flags);
}

void TLabel3D::DrawEnlargedBevelText(GdiCanvas &canvas, const QString &text, GdiRect &rect, unsigned flags,
                                     TColor first, TColor second)
{
    // Glyphs this large miss the glyph cache and are filled as outlines, each copy anew:
    // the text is filled once into a mask at the device's resolution, and each copy is
    // that mask in its colour, moved by the copies' offset rounded to whole device pixels.
    QPainter &painter = canvas.painter();
    const QTransform device = painter.deviceTransform();
    const QPoint step(qRound(device.m11() * shadowSize_), qRound(device.m22() * shadowSize_));
    // What lies just off the device may be moved onto it.
    const QRect reach = QRect(0, 0, painter.device()->width(), painter.device()->height())
                            .adjusted(-step.x(), -step.y(), step.x(), step.y());
    // Only the lines' cells (and what glyphs may overhang them) are recoloured and copied.
    GdiRect ink = rect;
    canvas.drawText(text, ink, flags | DT_CALCRECT);
    const int widest = ink.right - ink.left;
    const int left = flags & DT_CENTER ? (rect.left + rect.right - widest) / 2
                     : flags & DT_RIGHT ? rect.right - widest
                                        : rect.left;
    const int overhang = canvas.textHeight() / 4 + 1;
    const QRect cells = QRect(left - overhang, ink.top - 1, widest + 2 * overhang + 1, ink.bottom - ink.top + 2)
                        & rect.toQRect();
    const QRect area = device.mapRect(QRectF(cells)).toAlignedRect() & reach;
    if (area.isEmpty())
        return;
    const bool upperLeft = bevel_ != blShadow && isEnabled();
    // Filled in the colour of the first copy, which then needs no recolouring.
    TColor drawn = upperLeft ? first : second;
    QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setRenderHints(painter.renderHints());
        m.setTransform(device * QTransform::fromTranslate(-area.x(), -area.y()));
        GdiCanvas once(m);
        once.setFont(font());
        once.setBrushStyle(BrushStyle::Clear);
        once.setFontColor(drawn);
        once.drawText(text, rect, flags);
    }
    painter.save();
    painter.setWorldTransform(device.inverted() * painter.worldTransform());
    // The mask's pixels are all or nothing: recolouring it in place keeps its shape.
    const auto copy = [&](TColor color, QPoint offset) {
        if (color != drawn) {
            QPainter tint(&mask);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(mask.rect(), toQColor(color));
            drawn = color;
        }
        painter.drawImage(area.topLeft() + offset, mask);
    };
    if (upperLeft)
        copy(first, -step);
    copy(second, step);
    copy(isEnabled() ? fontColor_ : clGrayText, QPoint());
    painter.restore();
}

void TLabel3D::PaintGradient(GdiCanvas &canvas, const GdiRect &rect)
{
    const TColor first = colorToRGB(firstColor_);
    const TColor last = colorToRGB(lastColor_);
    const int r1 = redOf(first), g1 = greenOf(first), b1 = blueOf(first);
    const int r2 = redOf(last), g2 = greenOf(last), b2 = blueOf(last);

    const int n = gradientOrientation_ == goHorizontal ? rect.right - rect.left - 1 : rect.bottom - rect.top - 1;
    if (n <= 0)
        return;
    canvas.setBrushStyle(BrushStyle::Solid);
    for (int i = 0; i <= n; ++i) {
        const auto mix = [&](int a, int b) { return std::uint8_t(((n - i) * a + i * b) / n); };
        canvas.setBrushColor(RGB(mix(r1, r2), mix(g1, g2), mix(b1, b2)));
        if (gradientOrientation_ == goHorizontal)
            canvas.fillRect({rect.left + i, rect.top, rect.left + i + 1, rect.bottom});
        else
            canvas.fillRect({rect.left, rect.top + i, rect.right, rect.top + i + 1});
    }
}

void TLabel3D::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    const QPoint p = event->position().toPoint();
    emit mouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
}

void TLabel3D::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click reports a mouse-down but arms no click, so a
    // double-click is one click, as on Windows.
    const QPoint p = event->position().toPoint();
    emit mouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
}

void TLabel3D::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressed = leftPressed_;
    leftPressed_ = false;
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit clicked(this);
}
