#pragma once

#include "controls/PropertyChange.h"
#include "gdi/Colors.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>

class GdiCanvas;
class QShortcut;

enum TButtonLayout : std::uint8_t { blGlyphBottom, blGlyphLeft, blGlyphRight, blGlyphTop };
using TNumGlyphs = std::uint8_t; // 0..4 images side by side in the glyph

// The button's rim colours: ShadeColor with the factors (10 - level) / 10.
void ShadeColorLevels(TColor color, int lightLevel, int darkLevel, TColor &light, TColor &dark);

// An elliptical push button: a face in Color with a black outline and a two-tone rim
// (light upper left, dark lower right, swapped while pressed), an optional glyph and a
// one-line caption. Only points inside the ellipse are hits. A non-zero GroupIndex makes
// it a toggle that stays down until the next click; a Flat button shows no outline and
// its rim only while the pointer is over it.
//
// A click counts only if the pointer was last seen inside the ellipse, so presses that
// start in the corners, or drags that end outside, click nothing. Setters other than
// setGlyph store and repaint only on a change.
class TOvalButton : public QWidget
{
    Q_OBJECT

public:
    explicit TOvalButton(QWidget *parent = nullptr);

    QString Caption() const { return caption_; }
    void setCaption(const QString &caption);
    TColor Color() const { return color_; }
    void setColor(TColor color);
    TColor LightColor() const { return lightColor_; } // rim colours derived from Color
    TColor DarkColor() const { return darkColor_; }
    bool Down() const { return down_; }
    void setDown(bool down);
    bool Flat() const { return flat_; }
    void setFlat(bool flat);
    TColor FontColor() const { return fontColor_; } // the font is QWidget::font()
    void setFontColor(TColor color);
    const QImage &Glyph() const { return glyph_; }
    // Always repaints; TransparentColor becomes the colour of the bottom-left pixel.
    void setGlyph(const QImage &glyph);
    std::int32_t GroupIndex() const { return groupIndex_; }
    void setGroupIndex(std::int32_t index) { groupIndex_ = index; }
    TButtonLayout Layout() const { return layout_; }
    void setLayout(TButtonLayout layout);
    using QWidget::setLayout;
    std::int32_t Margin() const { return margin_; }
    void setMargin(std::int32_t margin);
    TNumGlyphs NumGlyphs() const { return numGlyphs_; }
    void setNumGlyphs(TNumGlyphs count);
    std::int32_t Spacing() const { return spacing_; }
    void setSpacing(std::int32_t spacing);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    TColor TransparentColor() const { return transparentColor_; }
    void setTransparentColor(TColor color);
    QString Hint() const { return hint_.text(); }
    void setHint(const QString &hint);
    bool ShowHint() const { return hint_.shown(); }
    void setShowHint(bool show);
    std::int32_t Tag() const { return tag_; }
    void setTag(std::int32_t tag) { tag_ = tag; }

    // The rim as drawn: -1 sunken, 0 none, 1 raised.
    int RimState() const { return rimState_; }

    // Accelerator key c: clicks (under the same condition as the mouse) when c is the
    // letter after the caption's first "&". Returns whether the key was the accelerator.
    // Alt+letter reaches it through a window shortcut.
    bool DialogChar(QChar c);

signals:
    void clicked(TOvalButton *sender);
    void doubleClicked(TOvalButton *sender);
    void mouseEntered(TOvalButton *sender);
    void mouseExited(TOvalButton *sender);
    void mouseDown(TOvalButton *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouseUp(TOvalButton *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouseMoved(TOvalButton *sender, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

    virtual void Paint(GdiCanvas &canvas);

private:
    void DrawRim(GdiCanvas &canvas);
    void PaintFace(GdiCanvas &canvas);
    void setFaceBrush(GdiCanvas &canvas) const;
    bool InEllipse(int x, int y) const;
    void Click();
    void DblClick();
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void updateAccelerator();

    QString caption_;
    TColor color_ = clBtnFace;
    TColor lightColor_ = clWhite;
    TColor darkColor_ = clBlack;
    bool down_ = false;
    bool downBeforePress_ = false;
    bool flat_ = false;
    TColor fontColor_ = clWindowText;
    QImage glyph_;
    std::int32_t groupIndex_ = 0;
    TButtonLayout layout_ = blGlyphBottom;
    std::int32_t margin_ = 0;
    TNumGlyphs numGlyphs_ = 0;
    std::int32_t spacing_ = 4;
    int rimState_ = 1;
    bool transparent_ = false;
    TColor transparentColor_ = clBlack;
    bool mousePressed_ = false;
    bool mouseInside_ = false;
    bool clickArmed_ = false; // left button went down on the control
    HintText hint_;
    std::int32_t tag_ = 0;
    QShortcut *accelerator_ = nullptr;
};
