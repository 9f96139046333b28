#include "controls/OvalBtn.h"

#include "controls/rrColors.h"
#include "gdi/EllipticRegion.h"
#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcut>

namespace {

constexpr int kLightLevel = 5;
constexpr int kDarkLevel = 4;
constexpr int kMaxNumGlyphs = 4;

} // namespace

void ShadeColorLevels(TColor color, int lightLevel, int darkLevel, TColor &light, TColor &dark)
{
    ShadeColor(color, float(10 - lightLevel) / 10.0f, float(10 - darkLevel) / 10.0f, light, dark);
}

TOvalButton::TOvalButton(QWidget *parent)
    : QWidget(parent)
{
    resize(100, 50);
    setMouseTracking(true); // hot tracking and "pointer last inside" need every move
    ShadeColorLevels(color_, kLightLevel, kDarkLevel, lightColor_, darkColor_);
}

void TOvalButton::setCaption(const QString &caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    updateAccelerator();
    update();
}

void TOvalButton::setColor(TColor color)
{
    if (color_ == color)
        return;
    color_ = color;
    ShadeColorLevels(color_, kLightLevel, kDarkLevel, lightColor_, darkColor_);
    update();
}

void TOvalButton::setDown(bool down)
{
    if (down_ == down)
        return;
    down_ = down;
    rimState_ = down_ ? -1 : (flat_ ? 0 : 1);
    update();
}

void TOvalButton::setFlat(bool flat)
{
    if (flat_ == flat)
        return;
    flat_ = flat;
    rimState_ = flat_ ? 0 : 1;
    update();
}

void TOvalButton::setFontColor(TColor color) { change(fontColor_, color, this); }
void TOvalButton::setLayout(TButtonLayout layout) { change(layout_, layout, this); }
void TOvalButton::setMargin(std::int32_t margin) { change(margin_, margin, this); }
void TOvalButton::setNumGlyphs(TNumGlyphs count) { change(numGlyphs_, TNumGlyphs(std::min<int>(count, kMaxNumGlyphs)), this); }
void TOvalButton::setSpacing(std::int32_t spacing) { change(spacing_, spacing, this); }
void TOvalButton::setTransparent(bool transparent) { change(transparent_, transparent, this); }
void TOvalButton::setTransparentColor(TColor color) { change(transparentColor_, color, this); }

void TOvalButton::setGlyph(const QImage &glyph)
{
    glyph_ = glyph;
    // An empty picture has no corner pixel; the transparent colour then stays.
    if (!glyph_.isNull())
        transparentColor_ = fromQColor(glyph_.pixelColor(0, glyph_.height() - 1));
    update();
}

void TOvalButton::setHint(const QString &hint)
{
    hint_.setText(*this, hint);
}

void TOvalButton::setShowHint(bool show)
{
    hint_.setShown(*this, show);
}

void TOvalButton::updateAccelerator()
{
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (key.isEmpty()) {
        delete accelerator_;
        accelerator_ = nullptr;
        return;
    }
    if (!accelerator_) {
        accelerator_ = new QShortcut(this);
        connect(accelerator_, &QShortcut::activated, this, [this] {
            const qsizetype amp = caption_.indexOf(u'&');
            if (amp >= 0 && amp + 1 < caption_.size())
                DialogChar(caption_[amp + 1]);
        });
    }
    accelerator_->setKey(key);
}

bool TOvalButton::InEllipse(int x, int y) const
{
    return EllipticRegion(0, 0, width(), height()).contains(x, y);
}

void TOvalButton::paintEvent(QPaintEvent *)
{
    GdiCanvas canvas(this);
    Paint(canvas);
}

void TOvalButton::setFaceBrush(GdiCanvas &canvas) const
{
    if (transparent_) {
        canvas.setBrushStyle(BrushStyle::Clear);
    } else {
        canvas.setBrushStyle(BrushStyle::Solid);
        canvas.setBrushColor(color_);
    }
}

void TOvalButton::Paint(GdiCanvas &canvas)
{
    canvas.setFont(font());
    setFaceBrush(canvas);
    if (flat_) {
        canvas.setPenStyle(PenStyle::Clear);
    } else {
        canvas.setPenStyle(PenStyle::Solid);
        canvas.setPenColor(clBlack);
    }
    canvas.setPenWidth(1);
    canvas.ellipse(0, 0, width() - 1, height() - 1);
    PaintFace(canvas);
}

void TOvalButton::DrawRim(GdiCanvas &canvas)
{
    const int w = width();
    const int h = height();
    canvas.setPenStyle(PenStyle::Solid);
    if (rimState_ == -1)
        canvas.setPenColor(darkColor_);
    else if (rimState_ == 1)
        canvas.setPenColor(lightColor_);
    else
        canvas.setPenStyle(PenStyle::Clear);
    canvas.arc(1, 1, w - 2, h - 2, 4 * (w / 5), h / 5, w / 5, 4 * (h / 5)); // upper-left half

    if (rimState_ == -1)
        canvas.setPenColor(lightColor_);
    else if (rimState_ == 1)
        canvas.setPenColor(darkColor_);
    canvas.arc(1, 1, w - 2, h - 2, w / 5, 4 * (h / 5), 4 * (w / 5), h / 5); // lower-right half
    canvas.setPenStyle(PenStyle::Solid);
}

void TOvalButton::PaintFace(GdiCanvas &canvas)
{
    DrawRim(canvas);

    const int w = width();
    const int h = height();
    const bool hasCaption = !caption_.isEmpty();
    int tw = 0;
    int th = 0;
    if (hasCaption) {
        GdiRect extent{0, 0, 0, 0};
        canvas.drawText(caption_, extent, DT_SINGLELINE | DT_CALCRECT);
        tw = extent.width();
        th = canvas.textHeight();
    }

    const bool showGlyph = numGlyphs_ > 0;
    const int iw = showGlyph ? glyph_.width() / numGlyphs_ : 0;
    const int ih = showGlyph ? glyph_.height() : 0;
    GdiRect g;
    if (showGlyph) {
        int image = 0;
        if (!isEnabled() && numGlyphs_ > 1)
            image = 1;
        if (rimState_ == -1 && numGlyphs_ > 2)
            image = 2; // the pressed look wins over the disabled one

        int left;
        if (!hasCaption || layout_ == blGlyphTop || layout_ == blGlyphBottom)
            left = (w - iw) / 2;
        else if (layout_ == blGlyphLeft)
            left = (w - (tw + spacing_ + iw)) / 2 - margin_;
        else
            left = (tw + spacing_ + iw + w) / 2 + margin_ - iw;
        int top;
        if (!hasCaption || layout_ == blGlyphLeft || layout_ == blGlyphRight)
            top = (h - ih) / 2;
        else if (layout_ == blGlyphTop)
            top = (h - th - ih - spacing_) / 2 - margin_;
        else
            top = (th + ih + spacing_ + h) / 2 + margin_ - ih;
        g = {left, top, left + iw, top + ih};

        // Erase the column and row that the glyph uncovers when it moves by a pixel.
        if (transparent_) {
            canvas.setPenStyle(PenStyle::Clear);
        } else {
            canvas.setPenStyle(PenStyle::Solid);
            canvas.setPenColor(color_);
        }
        if (rimState_ == -1) {
            g = g.offset(1, 1);
            canvas.polyline({{g.left - 1, g.bottom}, {g.left - 1, g.top - 1}, {g.right, g.top - 1}});
        } else {
            canvas.polyline({{g.right, g.top}, {g.right, g.bottom}, {g.left, g.bottom}});
        }
        canvas.setPenStyle(PenStyle::Solid);

        setFaceBrush(canvas);
        canvas.brushCopy({g.left, g.top}, glyph_, QRect(image * iw, 0, iw, ih), transparentColor_);
    }

    if (!hasCaption)
        return;
    int x = (w - tw) / 2;
    if (showGlyph && layout_ == blGlyphRight)
        x = g.left - tw - spacing_;
    else if (showGlyph && layout_ == blGlyphLeft)
        x = g.left + iw + spacing_;
    int y = (h - th) / 2;
    if (showGlyph && layout_ == blGlyphTop)
        y = g.top + ih + spacing_;
    else if (showGlyph && layout_ == blGlyphBottom)
        y = g.top - th - spacing_;
    if (rimState_ == -1) {
        ++x;
        ++y;
    }

    setFaceBrush(canvas);
    if (rimState_ == -1)
        canvas.fillRect({x, y, x + tw, y + th});
    else
        canvas.fillRect({x + 1, y + 1, x + 1 + tw, y + 1 + th}); // where the pressed caption was
    canvas.setFontColor(fontColor_);
    GdiRect textRect{x, y, x + tw, y + th};
    canvas.drawText(caption_, textRect, DT_SINGLELINE);
}

void TOvalButton::Click()
{
    if (isEnabled() && mouseInside_)
        emit clicked(this);
}

void TOvalButton::DblClick()
{
    if (isEnabled() && mouseInside_)
        emit doubleClicked(this);
}

bool TOvalButton::DialogChar(QChar c)
{
    const qsizetype amp = caption_.indexOf(u'&');
    if (amp < 0 || amp + 1 >= caption_.size() || caption_[amp + 1].toUpper() != c.toUpper())
        return false;
    if (isEnabled())
        Click();
    return true;
}

void TOvalButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (isEnabled() && InEllipse(x, y)) {
        downBeforePress_ = down_;
        down_ = true;
        rimState_ = -1;
        update();
        emit mouseDown(this, button, shift, x, y);
    }
    mousePressed_ = true;
}

void TOvalButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (isEnabled() && InEllipse(x, y)) {
        if (groupIndex_ != 0) {
            setDown(!downBeforePress_);
        } else {
            down_ = false;
            rimState_ = 1;
            update();
        }
        emit mouseUp(this, button, shift, x, y);
    }
    mousePressed_ = false;
}

void TOvalButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        clickArmed_ = true;
    const QPoint p = event->position().toPoint();
    // The press is a sighting of the pointer too. Qt sends no move before a press at the
    // spot where the pointer rested while a dialog was open (and left the button), so
    // without this a second click on an unmoved pointer would be lost.
    if (!mousePressed_)
        MouseMove(event->modifiers(), p.x(), p.y());
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TOvalButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click raises the double-click, not another click.
    if (event->button() == Qt::LeftButton)
        DblClick();
    const QPoint p = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TOvalButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const bool armed = clickArmed_;
        clickArmed_ = false;
        if (armed && rect().contains(p))
            Click();
    }
    MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TOvalButton::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    MouseMove(event->modifiers(), p.x(), p.y());
}

void TOvalButton::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    const QPoint p(x, y);
    const bool inside = InEllipse(p.x(), p.y());
    if (mousePressed_) {
        if (inside) {
            if (rimState_ == 1 && groupIndex_ == 0) { // sinks again when dragged back in
                mouseInside_ = true;
                down_ = true;
                rimState_ = -1;
                update();
            }
        } else {
            if (rimState_ == -1 && groupIndex_ == 0 && mouseInside_) { // pops up when dragged off
                down_ = false;
                rimState_ = 1;
                update();
            }
            mouseInside_ = false;
        }
    } else if (flat_ && !down_) {
        if (inside) {
            mouseInside_ = true;
            rimState_ = 1;
            update();
        } else if (mouseInside_) {
            mouseInside_ = false;
            rimState_ = 0;
            update();
        }
    } else {
        mouseInside_ = inside;
    }
    if (mouseInside_)
        emit mouseMoved(this, shift, p.x(), p.y());
}

void TOvalButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    emit mouseEntered(this);
}

void TOvalButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (mouseInside_ && isEnabled()) {
        mouseInside_ = false;
        if (flat_ && !down_) {
            rimState_ = 0;
            update();
        }
    }
    emit mouseExited(this);
}
