#pragma once

#include "controls/PropertyChange.h"
#include "gdi/DevicePaintCache.h"
#include "gdi/Colors.h"
#include "gdi/GdiRect.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class GdiCanvas;

// Horizontal and vertical text placement of a label.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

enum TLabel3DBevel : std::uint8_t { blNone, blLowered, blRaised, blShadow };
enum TGradientOrientation : std::uint8_t { goHorizontal, goVertical };
enum TLabel3DBorderStyle : std::uint8_t { lbNone, lbNormal, lbLowered, lbRaised, lbInn, lbOut };

// A label whose caption is drawn with a bevel or shadow (up to three offset copies in
// different colours), over a solid or gradient background, inside one of six frames.
// Every setter stores and repaints only when the value changes.
class TLabel3D : public QWidget
{
    Q_OBJECT

public:
    explicit TLabel3D(QWidget *parent = nullptr);

    // What a plain label offers.
    QString Caption() const { return caption_; }
    void setCaption(const QString &caption);
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void setLayout(TTextLayout layout);
    using QWidget::setLayout;
    TColor Color() const { return color_; }
    void setColor(TColor color);
    TColor FontColor() const { return fontColor_; } // the font is QWidget::font()
    void setFontColor(TColor color);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    bool ShowAccelChar() const { return showAccelChar_; }
    void setShowAccelChar(bool show);
    bool WordWrap() const { return wordWrap_; } // kept, but text always wraps
    void setWordWrap(bool wrap) { wordWrap_ = wrap; }
    QString Hint() const { return hint_.text(); }
    void setHint(const QString &hint);
    bool ShowHint() const { return hint_.shown(); }
    void setShowHint(bool show);
    std::int32_t Tag() const { return tag_; }
    void setTag(std::int32_t tag) { tag_ = tag; }

    // Its own.
    TColor FirstColor() const { return firstColor_; }
    void setFirstColor(TColor color);
    TColor LastColor() const { return lastColor_; }
    void setLastColor(TColor color);
    bool FillGradient() const { return fillGradient_; }
    void setFillGradient(bool fill);
    TGradientOrientation GradientOrientation() const { return gradientOrientation_; }
    void setGradientOrientation(TGradientOrientation orientation);
    TColor HighLightColor() const { return highLightColor_; }
    void setHighLightColor(TColor color);
    TColor ShadowColor() const { return shadowColor_; }
    void setShadowColor(TColor color);
    TLabel3DBevel Bevel() const { return bevel_; }
    void setBevel(TLabel3DBevel bevel);
    std::uint8_t ShadowSize() const { return shadowSize_; }
    void setShadowSize(std::uint8_t size);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);
    std::int32_t BorderWidth() const { return borderWidth_; }
    void setBorderWidth(std::int32_t width);
    TLabel3DBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TLabel3DBorderStyle style);

signals:
    // Left button pressed and released over the label.
    void clicked(TLabel3D *sender);
    void mouseDown(TLabel3D *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

    virtual void Paint(GdiCanvas &canvas);

private:
    void changed();
    void DrawLabelText(GdiCanvas &canvas, GdiRect &rect, unsigned flags);
    void DrawBevelText(GdiCanvas &canvas, const QString &text, GdiRect &rect, unsigned flags, TColor first,
                       TColor second);
    void DrawEnlargedBevelText(GdiCanvas &canvas, const QString &text, GdiRect &rect, unsigned flags,
                               TColor first, TColor second);
    void PaintGradient(GdiCanvas &canvas, const GdiRect &rect);

    QString caption_;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    TColor color_ = clBtnFace;
    TColor fontColor_ = clWindowText;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool wordWrap_ = false;
    HintText hint_;
    std::int32_t tag_ = 0;
    bool leftPressed_ = false;
    DevicePaintCache cache_; // while shown enlarged
    bool drawingEnlarged_ = false; // while cache_ is drawn

    TColor highLightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    TLabel3DBevel bevel_ = blRaised;
    std::uint8_t shadowSize_ = 1;
    TColor firstColor_ = clWhite;
    TColor lastColor_ = clTeal;
    bool fillGradient_ = false;
    TGradientOrientation gradientOrientation_ = goHorizontal;
    TColor borderColor_ = clBlack;
    std::int32_t borderWidth_ = 1;
    TLabel3DBorderStyle borderStyle_ = lbNone;
};
