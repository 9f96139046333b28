#include "controls/OvalBtn.h"
#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

constexpr TColor kBackground = RGB(255, 0, 255);

QImage render(TOvalButton &button)
{
    QImage image(button.size(), QImage::Format_RGB32);
    image.fill(toQColor(kBackground));
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TColor at(const QImage &image, int x, int y)
{
    return fromQColor(image.pixelColor(x, y));
}

void mouse(TOvalButton &b, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    Qt::MouseButtons buttons = Qt::NoButton;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        buttons = button;
    if (type == QEvent::MouseMove)
        button = Qt::NoButton;
    QMouseEvent event(type, pos, b.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&b, &event);
}

void moveTo(TOvalButton &b, QPoint pos) { mouse(b, QEvent::MouseMove, pos); }
void press(TOvalButton &b, QPoint pos) { mouse(b, QEvent::MouseButtonPress, pos); }
void release(TOvalButton &b, QPoint pos) { mouse(b, QEvent::MouseButtonRelease, pos); }

// The play button of the board.
struct PlayButton : ::testing::Test
{
    TOvalButton button;
    QSignalSpy clicks{&button, &TOvalButton::clicked};
    QSignalSpy downs{&button, &TOvalButton::mouseDown};
    QSignalSpy ups{&button, &TOvalButton::mouseUp};

    PlayButton()
    {
        button.resize(45, 45);
        button.setColor(160);
        button.setCaption("Play");
        button.setFont(gdiFont("Liberation Sans", 11, true));
        button.setFontColor(clYellow);
    }
};

constexpr QPoint kCentre{22, 22};
constexpr QPoint kCorner{1, 1}; // in the rectangle, outside the ellipse

// `count` 16 x 16 images side by side, red, lime and blue, each with an olive
// bottom-left pixel.
QImage glyphStrip(int count)
{
    QImage glyph(16 * count, 16, QImage::Format_RGB32);
    const TColor colors[3] = {clRed, clLime, clBlue};
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                glyph.setPixelColor(16 * i + x, y, toQColor(colors[i]));
        glyph.setPixelColor(16 * i, 15, toQColor(clOlive));
    }
    return glyph;
}

// Smallest rectangle around the pixels of one colour.
QRect boundsOf(const QImage &image, TColor color)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == color)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

TEST(OvalButtonRim, ColoursFollowTheFaceColour)
{
    TOvalButton button;
    EXPECT_EQ(button.LightColor(), RGB(223, 223, 223)); // clBtnFace
    EXPECT_EQ(button.DarkColor(), RGB(115, 115, 115));
    button.setColor(0xB000);
    EXPECT_EQ(button.LightColor(), RGB(127, 215, 127));
    EXPECT_EQ(button.DarkColor(), RGB(0, 106, 0));
    button.setColor(160);
    EXPECT_EQ(button.LightColor(), RGB(207, 127, 127));
    EXPECT_EQ(button.DarkColor(), RGB(96, 0, 0));
}

TEST_F(PlayButton, PaintsOutlineRimAndFace)
{
    const QImage up = render(button);
    EXPECT_EQ(at(up, 21, 0), clBlack);           // outline in the box (0, 0, 44, 44)
    EXPECT_EQ(at(up, 21, 43), clBlack);
    EXPECT_EQ(at(up, 21, 44), kBackground);      // last row and column stay unpainted
    EXPECT_EQ(at(up, 21, 1), RGB(207, 127, 127)); // light upper-left rim
    EXPECT_EQ(at(up, 1, 21), RGB(207, 127, 127));
    EXPECT_EQ(at(up, 21, 42), RGB(96, 0, 0));     // dark lower-right rim
    EXPECT_EQ(at(up, 42, 21), RGB(96, 0, 0));
    EXPECT_EQ(at(up, 8, 21), RGB(160, 0, 0));
    EXPECT_EQ(at(up, 0, 0), kBackground);

    button.setDown(true);
    const QImage down = render(button);
    EXPECT_EQ(at(down, 21, 1), RGB(96, 0, 0));
    EXPECT_EQ(at(down, 21, 42), RGB(207, 127, 127));
}

TEST_F(PlayButton, CaptionCentredAndMovedOnePixelWhenPressed)
{
    GdiRect extent{0, 0, 0, 0};
    int th = 0;
    {
        QImage scratch(1, 1, QImage::Format_RGB32);
        GdiCanvas canvas(&scratch);
        canvas.setFont(button.font());
        canvas.drawText("Play", extent, DT_CALCRECT | DT_SINGLELINE);
        th = canvas.textHeight();
    }
    const QRect cell((45 - extent.width()) / 2, (45 - th) / 2, extent.width(), th);
    const QRect up = boundsOf(render(button), clYellow);
    ASSERT_FALSE(up.isEmpty());
    EXPECT_TRUE(cell.contains(up)) << up.x() << "," << up.y() << " " << up.width() << "x" << up.height();

    moveTo(button, kCentre);
    press(button, kCentre);
    const QRect down = boundsOf(render(button), clYellow);
    EXPECT_EQ(down, up.translated(1, 1));
}

TEST_F(PlayButton, PressOutsideTheEllipseDoesNothing)
{
    moveTo(button, kCorner);
    press(button, kCorner);
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(button.RimState(), 1);
    EXPECT_EQ(downs.count(), 0);
    release(button, kCorner);
    EXPECT_EQ(ups.count(), 0);
    EXPECT_EQ(clicks.count(), 0);
    // The corner press was still a press: dragging into the ellipse sinks the button.
    press(button, kCorner);
    moveTo(button, kCentre);
    EXPECT_TRUE(button.Down());
}

TEST_F(PlayButton, ClickInsideTheEllipse)
{
    moveTo(button, kCentre);
    press(button, kCentre);
    EXPECT_TRUE(button.Down());
    EXPECT_EQ(button.RimState(), -1);
    EXPECT_EQ(downs.count(), 1);
    release(button, kCentre);
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(button.RimState(), 1);
    EXPECT_EQ(ups.count(), 1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].value<TOvalButton *>(), &button);
}

TEST_F(PlayButton, DragOutAndReleaseOutsidePopsUpWithoutClick)
{
    moveTo(button, kCentre);
    press(button, kCentre);
    moveTo(button, kCorner);
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(button.RimState(), 1);
    EXPECT_EQ(at(render(button), 21, 1), RGB(207, 127, 127));
    release(button, kCorner);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(ups.count(), 0);
}

TEST_F(PlayButton, DragBackInSinksAgainAndClicks)
{
    moveTo(button, kCentre);
    press(button, kCentre);
    moveTo(button, kCorner);
    moveTo(button, {20, 20});
    EXPECT_TRUE(button.Down());
    EXPECT_EQ(button.RimState(), -1);
    release(button, {20, 20});
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(PlayButton, DisabledButtonIgnoresTheMouse)
{
    button.setEnabled(false);
    moveTo(button, kCentre);
    press(button, kCentre);
    release(button, kCentre);
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(clicks.count() + downs.count() + ups.count(), 0);
}

TEST_F(PlayButton, ToggleStaysDownUntilTheNextClick)
{
    button.setGroupIndex(1);
    moveTo(button, kCentre);
    press(button, kCentre);
    release(button, kCentre);
    EXPECT_TRUE(button.Down());
    EXPECT_EQ(button.RimState(), -1);
    press(button, kCentre);
    release(button, kCentre);
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(button.RimState(), 1);
    EXPECT_EQ(clicks.count(), 2);

    // Pressed inside, released outside: a toggle stays down.
    press(button, kCentre);
    moveTo(button, kCorner);
    release(button, kCorner);
    EXPECT_TRUE(button.Down());
    EXPECT_EQ(button.RimState(), -1);
}

TEST_F(PlayButton, PressWithoutMoveAfterLeavingStillClicks)
{
    // A dialog opened by the first click takes the pointer away; it comes back at the
    // same spot with no move event.
    moveTo(button, kCentre);
    press(button, kCentre);
    release(button, kCentre);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    press(button, kCentre);
    release(button, kCentre);
    EXPECT_EQ(clicks.count(), 2);
    press(button, QPoint(1, 1)); // a corner, outside the ellipse
    release(button, QPoint(1, 1));
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(PlayButton, AcceleratorClicksOnlyWithThePointerInside)
{
    button.setCaption("&Go");
    EXPECT_FALSE(button.DialogChar('x'));
    EXPECT_TRUE(button.DialogChar('g'));
    EXPECT_EQ(clicks.count(), 0); // pointer never seen inside
    moveTo(button, kCentre);
    EXPECT_TRUE(button.DialogChar('G'));
    EXPECT_EQ(clicks.count(), 1);
    button.setCaption("Go&");
    EXPECT_FALSE(button.DialogChar('&'));
}

TEST(OvalButtonFlat, RimOnlyWhileHovered)
{
    TOvalButton button;
    button.resize(45, 45);
    button.setColor(0xB000);
    button.setFlat(true);
    const TColor face = RGB(0, 176, 0);
    QImage rest = render(button);
    EXPECT_EQ(at(rest, 21, 0), face); // no outline: the face reaches the edge
    EXPECT_EQ(at(rest, 21, 1), face); // no rim
    EXPECT_EQ(button.RimState(), 0);

    moveTo(button, kCentre);
    EXPECT_EQ(button.RimState(), 1);
    EXPECT_EQ(at(render(button), 21, 1), RGB(127, 215, 127));

    moveTo(button, kCorner);
    EXPECT_EQ(button.RimState(), 0);
    moveTo(button, kCentre);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.RimState(), 0);
    EXPECT_EQ(at(render(button), 21, 1), face);
}

TEST(OvalButtonGlyph, ImageByState)
{
    TOvalButton button;
    button.resize(33, 33);
    const QPoint middle(16, 16); // glyph at (8, 8), or (9, 9) pressed
    const TColor face = RGB(192, 192, 192);

    button.setTransparentColor(clBlack);
    button.setGlyph(glyphStrip(1));
    EXPECT_EQ(button.TransparentColor(), clOlive);
    EXPECT_EQ(at(render(button), 16, 16), face); // NumGlyphs 0: no glyph
    button.setNumGlyphs(1);
    button.setEnabled(false);
    EXPECT_EQ(at(render(button), 16, 16), clRed);

    button.setGlyph(glyphStrip(2));
    button.setNumGlyphs(2);
    const QImage disabled = render(button);
    EXPECT_EQ(at(disabled, 16, 16), clLime);
    EXPECT_EQ(at(disabled, 9, 8), clLime);
    EXPECT_EQ(at(disabled, 7, 8), face);
    EXPECT_EQ(at(disabled, 24, 8), face);
    EXPECT_EQ(at(disabled, 8, 23), face); // the transparent pixel shows the face
    button.setEnabled(true);
    moveTo(button, middle);
    press(button, middle);
    EXPECT_EQ(at(render(button), 16, 16), clRed); // two images: pressed shows the first

    button.setGlyph(glyphStrip(3));
    button.setNumGlyphs(3);
    const QImage pressed = render(button);
    EXPECT_EQ(at(pressed, 16, 16), clBlue);
    EXPECT_EQ(at(pressed, 10, 9), clBlue);
    EXPECT_EQ(at(pressed, 8, 9), face);
    release(button, middle);
    EXPECT_EQ(at(render(button), 16, 16), clRed);
}

TEST(OvalButtonGlyph, GlyphBesideTheCaption)
{
    TOvalButton button;
    button.resize(100, 50);
    button.setFont(gdiFont("Liberation Sans", 11));
    button.setFontColor(clBlue);
    button.setGlyph(glyphStrip(1));
    button.setNumGlyphs(1);
    button.setCaption("OK");
    button.setLayout(blGlyphLeft);
    const QRect glyphLeft = boundsOf(render(button), clRed);
    const QRect textLeft = boundsOf(render(button), clBlue);
    EXPECT_EQ(glyphLeft.height(), 16);
    EXPECT_EQ(glyphLeft.top(), (50 - 16) / 2);
    EXPECT_GE(textLeft.left(), glyphLeft.right() + 1 + 4); // Spacing 4
    button.setLayout(blGlyphTop);
    const QRect glyphTop = boundsOf(render(button), clRed);
    const QRect textTop = boundsOf(render(button), clBlue);
    EXPECT_EQ(glyphTop.left(), (100 - 16) / 2);
    EXPECT_GE(textTop.top(), glyphTop.bottom() + 1 + 4);
}

namespace {

// A 100 x 50 button with a red glyph left of a blue caption.
struct GlyphButton : ::testing::Test
{
    TOvalButton button;

    GlyphButton()
    {
        button.resize(100, 50);
        button.setFont(gdiFont("Liberation Sans", 11));
        button.setFontColor(clBlue);
        button.setGlyph(glyphStrip(1));
        button.setNumGlyphs(1);
        button.setCaption("OK");
        button.setLayout(blGlyphLeft);
    }
    QRect glyph() { return boundsOf(render(button), clRed); }
    QRect caption() { return boundsOf(render(button), clBlue); }
};

constexpr QPoint kMiddle{50, 25};
constexpr QPoint kOutside{2, 2}; // in the rectangle, outside the ellipse

} // namespace

TEST_F(GlyphButton, DraggedOffWhilePressedDrawsFullyReleased)
{
    const QRect glyphUp = glyph();
    const QRect captionUp = caption();
    const QImage up = render(button);
    moveTo(button, kMiddle);
    press(button, kMiddle);
    // The glyph moves by 1; a caption right of it by 2 across (the glyph's pixel and its
    // own) and by 1 down.
    ASSERT_EQ(glyph(), glyphUp.translated(1, 1));
    ASSERT_EQ(caption(), captionUp.translated(2, 1));

    moveTo(button, kOutside);
    EXPECT_EQ(glyph(), glyphUp);
    EXPECT_EQ(caption(), captionUp);
    EXPECT_EQ(render(button), up);
}

TEST_F(GlyphButton, DraggedBackInDrawsFullyPressed)
{
    moveTo(button, kMiddle);
    press(button, kMiddle);
    const QImage down = render(button);
    moveTo(button, kOutside);
    moveTo(button, kMiddle);
    EXPECT_EQ(render(button), down);
}

TEST_F(PlayButton, DraggedOffAndBackMovesTheCaptionWithTheRim)
{
    const QRect up = boundsOf(render(button), clYellow);
    moveTo(button, kCentre);
    press(button, kCentre);
    moveTo(button, kCorner);
    EXPECT_EQ(boundsOf(render(button), clYellow), up);
    moveTo(button, kCentre);
    EXPECT_EQ(boundsOf(render(button), clYellow), up.translated(1, 1));
}
