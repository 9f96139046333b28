#pragma once

#include "gdi/Colors.h"
#include "gdi/GdiRect.h"

#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QString>

#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

class QImage;
class QPaintDevice;

// DrawText format flags, with their Windows values.
inline constexpr unsigned DT_LEFT = 0x000;
inline constexpr unsigned DT_CENTER = 0x001;
inline constexpr unsigned DT_RIGHT = 0x002;
inline constexpr unsigned DT_VCENTER = 0x004;
inline constexpr unsigned DT_BOTTOM = 0x008;
inline constexpr unsigned DT_WORDBREAK = 0x010;
inline constexpr unsigned DT_SINGLELINE = 0x020;
inline constexpr unsigned DT_EXPANDTABS = 0x040;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;

enum class PenStyle { Solid, Clear };
enum class BrushStyle { Solid, Clear };

// A QFont whose character height (the em size, GDI's negative lfHeight) is `height`
// pixels, independent of the device's resolution.
QFont gdiFont(const QString &family, int height, bool bold = false, bool italic = false);
// GDI's lfHeight of a font: minus its character height in pixels (points count at 96 dpi).
int gdiFontHeight(const QFont &font);

// A drawing surface with the pixel rules of the Windows GDI, over QPainter, for paint
// code written in GDI terms. Nothing is antialiased, text included.
//
//  - Coordinates are pixel indices; a box (left, top, right, bottom) covers the pixels
//    left..right-1 and top..bottom-1.
//  - Lines (lineTo, polyline) of a 1-pixel pen are Bresenham lines that leave out their
//    end point; wider pens draw round-capped, round-joined strokes.
//  - ellipse() fills with the brush and outlines with the pen the pixels of
//    EllipticRegion; with a clear pen the filled box is one pixel smaller to the right and
//    bottom, as in GDI. arc() draws the part of that outline swept counter-clockwise from
//    the ray towards the start point to the ray towards the end point.
//  - drawText() follows DrawText: the DT_ flags above, clipping to the rectangle unless
//    DT_NOCLIP, "&" underlining the next character unless DT_NOPREFIX ("&&" is a plain
//    "&"), DT_CALCRECT measuring instead of drawing. The text colour is fontColor(); a
//    solid brush paints the text cells behind it, a clear brush leaves them.
//
// Works on any QPaintDevice: construct it on a widget inside paintEvent, on a QImage, or
// over a painter already open (whose state is restored when the canvas goes away).
class GdiCanvas
{
public:
    explicit GdiCanvas(QPaintDevice *device);
    explicit GdiCanvas(QPainter &painter);
    ~GdiCanvas();
    GdiCanvas(const GdiCanvas &) = delete;
    GdiCanvas &operator=(const GdiCanvas &) = delete;

    // Pen: black, solid, 1 pixel at first.
    void setPenColor(TColor color) { penColor_ = color; }
    TColor penColor() const { return penColor_; }
    void setPenWidth(int width) { penWidth_ = width < 1 ? 1 : width; }
    int penWidth() const { return penWidth_; }
    void setPenStyle(PenStyle style) { penStyle_ = style; }
    PenStyle penStyle() const { return penStyle_; }

    // Brush: white, solid at first.
    void setBrushColor(TColor color) { brushColor_ = color; }
    TColor brushColor() const { return brushColor_; }
    void setBrushStyle(BrushStyle style) { brushStyle_ = style; }
    BrushStyle brushStyle() const { return brushStyle_; }

    // A point-sized font is taken at 96 dpi so that text measures alike on every device.
    void setFont(const QFont &font);
    const QFont &font() const { return font_; }
    void setFontColor(TColor color) { fontColor_ = color; }
    TColor fontColor() const { return fontColor_; }

    void moveTo(int x, int y) { penPos_ = QPoint(x, y); }
    void lineTo(int x, int y);
    QPoint penPos() const { return penPos_; }
    // The box of the pixels lineTo(to) from `from` would set with the current pen, within
    // the device; empty when it sets none. Exact, so that a caller can repaint no more than
    // it drew: a wide pen is measured by drawing it once into a mask (the last few
    // measurements are kept). For a canvas whose painter has no transformation.
    QRect lineBounds(QPoint from, QPoint to) const;
    void polyline(std::span<const QPoint> points);
    void polyline(std::initializer_list<QPoint> points) { polyline(std::span(points.begin(), points.size())); }
    // Filled with the brush (alternate rule) and outlined with the pen, closed.
    void polygon(std::span<const QPoint> points);

    void setPixel(int x, int y, TColor color);
    void fillRect(const GdiRect &rect); // with the brush; a clear brush paints nothing
    void rectangle(const GdiRect &rect); // pen outline inside the box, brush inside that
    void ellipse(const GdiRect &box);
    void ellipse(int left, int top, int right, int bottom) { ellipse(GdiRect{left, top, right, bottom}); }
    void arc(const GdiRect &box, QPoint start, QPoint end);
    void arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
    {
        arc(GdiRect{left, top, right, bottom}, QPoint(xStart, yStart), QPoint(xEnd, yEnd));
    }
    // The Windows 3-D frame: `width` nested rings, top and left edges in `topColor`,
    // bottom and right ones in `bottomColor`; leaves `rect` inset by `width`.
    void FrameRect3D(GdiRect &rect, TColor topColor, TColor bottomColor, int width);
    // The dotted frame of a focused item, drawn by inverting every other pixel.
    void drawFocusRect(const GdiRect &rect);

    // `source` of `image` copied to the top left of `dest`; pixels of `transparentColor`
    // become the brush colour, or stay untouched with a clear brush.
    void brushCopy(QPoint dest, const QImage &image, const QRect &source, TColor transparentColor);

    // DrawText. Returns the height of the text; with DT_VCENTER or DT_BOTTOM, the offset
    // from rect.top to the bottom of the drawn line. With DT_CALCRECT nothing is drawn:
    // rect.right becomes rect.left plus the widest line and rect.bottom rect.top plus the
    // height of all lines (wrapped at rect's width with DT_WORDBREAK).
    int drawText(const QString &text, GdiRect &rect, unsigned flags);
    // Text at (x, y) (the top of the text cell), no prefix processing.
    void textOut(int x, int y, const QString &text);
    // Text at (x, y), clipped to `clip`; a solid brush first fills all of `clip`.
    void textRect(const GdiRect &clip, int x, int y, const QString &text);
    int textWidth(const QString &text) const;
    int textHeight() const; // the height of a line: ascent plus descent

    // The painter underneath, for what GDI terms do not cover.
    QPainter &painter() { return *painter_; }
    // True when the painter scales or turns what it draws: slanted lines and ellipses are
    // then drawn as shapes at the device's resolution rather than as enlarged pixels.
    bool isScaled() const;

private:
    void fillSpan(int x0, int x1, int y, TColor color);
    void addSpan(std::vector<QRect> &spans, int x0, int x1, int y) const;
    void fillSpans(std::vector<QRect> &spans, TColor color);
    QImage *directImage(TColor color) const;
    void plotLine(QPoint from, QPoint to, TColor color);
    void strokeLine(QPoint from, QPoint to);
    void drawTextLine(const QString &line, int underline, int x, int y, bool expandTabs);

    std::optional<QPainter> owned_;
    QPainter *painter_ = nullptr;
    TColor penColor_ = clBlack;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    TColor brushColor_ = clWhite;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QFont font_;
    TColor fontColor_ = clBlack;
    QPoint penPos_;
    // Rows waiting to be filled in one call, kept to spare allocations.
    std::vector<QRect> penSpans_;
    std::vector<QRect> brushSpans_;
};
