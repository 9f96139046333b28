#include "controls/Label3D.h"
#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr TColor kMarker = RGB(255, 0, 255); // never painted by a label in these tests

QImage render(TLabel3D &label)
{
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(toQColor(kMarker));
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TColor at(const QImage &image, int x, int y)
{
    return fromQColor(image.pixelColor(x, y));
}

int countColor(const QImage &image, TColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += at(image, x, y) == color;
    return n;
}

// The board's figure: black, white frame, black bevel colours.
void boardStyle(TLabel3D &label, int w, int h)
{
    label.resize(w, h);
    label.setColor(clBlack);
    label.setBorderStyle(lbNormal);
    label.setBorderColor(clWhite);
    label.setHighLightColor(clBlack);
    label.setShadowColor(clBlack);
    label.setLayout(tlCenter);
    label.setAlignment(taCenter);
}

// A pixel size of Liberation Sans whose line is `height` pixels high.
QFont fontWithLineHeight(int height)
{
    for (int px = 8; px < 120; ++px) {
        const QFont font = gdiFont("Liberation Sans", px, true);
        if (QFontMetrics(font).height() == height)
            return font;
    }
    ADD_FAILURE() << "no font with line height " << height;
    return QFont();
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

void sendMouse(QWidget &w, QEvent::Type type, Qt::MouseButton button, QPoint pos)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

} // namespace

TEST(Label3DFrame, NormalFrameInBorderColour)
{
    TLabel3D label;
    boardStyle(label, 105, 49);
    const QImage image = render(label);
    for (int x = 0; x < 105; ++x) {
        ASSERT_EQ(at(image, x, 0), clWhite) << x;
        ASSERT_EQ(at(image, x, 48), clWhite) << x;
    }
    for (int y = 0; y < 49; ++y) {
        ASSERT_EQ(at(image, 0, y), clWhite) << y;
        ASSERT_EQ(at(image, 104, y), clWhite) << y;
    }
    EXPECT_EQ(at(image, 1, 1), clBlack);
    EXPECT_EQ(at(image, 103, 47), clBlack);
}

TEST(Label3DFrame, InnWithWidthTwoHasFourRingsAndInsetsByFour)
{
    TLabel3D label;
    label.resize(20, 14);
    label.setColor(clRed);
    label.setBorderStyle(lbInn);
    label.setBorderWidth(2);
    const QImage image = render(label);
    const TColor shadow = RGB(128, 128, 128);
    const TColor light = RGB(255, 255, 255);
    // Outer two rings lowered, inner two raised, on every side.
    const TColor leftTop[4] = {shadow, shadow, light, light};
    const TColor rightBottom[4] = {light, light, shadow, shadow};
    for (int ring = 0; ring < 4; ++ring) {
        EXPECT_EQ(at(image, ring, 7), leftTop[ring]) << ring;
        EXPECT_EQ(at(image, 10, ring), leftTop[ring]) << ring;
        EXPECT_EQ(at(image, 19 - ring, 7), rightBottom[ring]) << ring;
        EXPECT_EQ(at(image, 10, 13 - ring), rightBottom[ring]) << ring;
    }
    EXPECT_EQ(at(image, 4, 4), clRed);
    EXPECT_EQ(at(image, 15, 9), clRed);
    EXPECT_EQ(countColor(image, clRed), (20 - 8) * (14 - 8));
}

TEST(Label3DFrame, ZeroWidthNormalFrameDrawsNothing)
{
    TLabel3D label;
    boardStyle(label, 10, 10);
    label.setBorderWidth(0);
    const QImage image = render(label);
    EXPECT_EQ(countColor(image, clBlack), 100);
}

TEST(Label3DGradient, ThreeColumnsGetFirstMiddleAndLast)
{
    TLabel3D label;
    boardStyle(label, 5, 6); // framed area 3 x 4
    label.setFillGradient(true);
    label.setFirstColor(clBlack);
    label.setLastColor(RGB(255, 0, 0));
    const QImage image = render(label);
    for (int y = 1; y < 5; ++y) {
        EXPECT_EQ(at(image, 1, y), RGB(0, 0, 0));
        EXPECT_EQ(at(image, 2, y), RGB(127, 0, 0));
        EXPECT_EQ(at(image, 3, y), RGB(255, 0, 0));
    }
}

TEST(Label3DGradient, VerticalRowsAndTransparentStillFilled)
{
    TLabel3D label;
    label.resize(4, 3);
    label.setFillGradient(true);
    label.setTransparent(true);
    label.setGradientOrientation(goVertical);
    label.setFirstColor(RGB(0, 0, 200));
    label.setLastColor(RGB(0, 0, 100));
    const QImage image = render(label);
    EXPECT_EQ(at(image, 0, 0), RGB(0, 0, 200));
    EXPECT_EQ(at(image, 3, 1), RGB(0, 0, 150));
    EXPECT_EQ(at(image, 2, 2), RGB(0, 0, 100));
}

TEST(Label3DGradient, TooNarrowAreaPaintsNoBackgroundAtAll)
{
    for (TGradientOrientation orientation : {goHorizontal, goVertical}) {
        TLabel3D label;
        boardStyle(label, orientation == goHorizontal ? 3 : 20, orientation == goHorizontal ? 20 : 3);
        label.setColor(clRed);
        label.setFillGradient(true);
        label.setGradientOrientation(orientation);
        const QImage image = render(label);
        EXPECT_EQ(countColor(image, clRed), 0);
        EXPECT_EQ(at(image, 1, 1), kMarker);
    }
}

TEST(Label3DText, DisabledRaisedDrawsLowerCopyAndGreyText)
{
    const auto draw = [](bool enabled, TLabel3DBevel bevel) {
        TLabel3D label;
        label.resize(80, 40);
        label.setFont(gdiFont("Liberation Sans", 24, true));
        label.setCaption("H8");
        label.setColor(clBlack);
        label.setFontColor(clYellow);
        label.setHighLightColor(clRed);
        label.setShadowColor(clBlue);
        label.setBevel(bevel);
        label.setEnabled(enabled);
        return render(label);
    };
    const QImage disabled = draw(false, blRaised);
    EXPECT_EQ(countColor(disabled, clRed), 0);
    EXPECT_GT(countColor(disabled, clBlue), 0);
    EXPECT_GT(countColor(disabled, RGB(128, 128, 128)), 0);
    EXPECT_EQ(countColor(disabled, clYellow), 0);

    const QImage enabled = draw(true, blRaised);
    EXPECT_GT(countColor(enabled, clRed), 0);
    EXPECT_GT(countColor(enabled, clBlue), 0);
    EXPECT_GT(countColor(enabled, clYellow), 0);

    const QImage shadow = draw(true, blShadow);
    EXPECT_EQ(countColor(shadow, clRed), 0);
    EXPECT_GT(countColor(shadow, clBlue), 0);

    const QImage plain = draw(false, blNone);
    EXPECT_GT(countColor(plain, clYellow), 0);
    EXPECT_EQ(countColor(plain, RGB(128, 128, 128)), 0);
    EXPECT_EQ(countColor(plain, clBlue), 0);
}

TEST(Label3DText, LoweredSwapsTheCopies)
{
    TLabel3D label;
    label.resize(60, 40);
    label.setFont(gdiFont("Liberation Sans", 24, true));
    label.setCaption("I");
    label.setColor(clBlack);
    label.setFontColor(clBlack);
    label.setHighLightColor(clRed);
    label.setShadowColor(clBlue);
    label.setBevel(blLowered);
    const QImage image = render(label);
    // An upright stroke shows its left edge in the upper-left copy's colour.
    int firstX = -1;
    TColor firstColor = clBlack;
    for (int x = 0; x < 60 && firstX < 0; ++x)
        for (int y = 0; y < 40; ++y)
            if (at(image, x, y) != clBlack) {
                firstX = x;
                firstColor = at(image, x, y);
                break;
            }
    EXPECT_EQ(firstColor, clBlue);
}

TEST(Label3DLayout, TallTextIsCentredUpwardsAndNotCutBelow)
{
    const QFont font = fontWithLineHeight(52);
    const auto draw = [&](TTextLayout layout) {
        TLabel3D label;
        boardStyle(label, 105, 49); // framed area 47 high
        label.setFont(font);
        label.setFontColor(clYellow);
        label.setBevel(blNone);
        label.setCaption("40");
        label.setLayout(layout);
        return render(label);
    };
    // dy = (47 - 52) / 2 = -2: the text starts two pixels above the framed top (y = 1).
    QImage expected(105, 49, QImage::Format_RGB32);
    expected.fill(toQColor(kMarker));
    {
        GdiCanvas canvas(&expected);
        GdiRect r{0, 0, 105, 49};
        canvas.FrameRect3D(r, clWhite, clWhite, 1);
        canvas.setBrushColor(clBlack);
        canvas.fillRect(r);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.setFont(font);
        canvas.setFontColor(clYellow);
        GdiRect text{1, -1, 104, 53};
        canvas.drawText("40", text, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    }
    const QImage centred = draw(tlCenter);
    EXPECT_EQ(centred, expected);
    EXPECT_NE(centred, draw(tlTop));
}

TEST(Label3DLayout, TextThatFitsStaysAtTheFramedTop)
{
    const QFont font = fontWithLineHeight(20);
    const auto draw = [&](TTextLayout layout) {
        TLabel3D label;
        boardStyle(label, 105, 49);
        label.setFont(font);
        label.setFontColor(clYellow);
        label.setCaption("15");
        label.setLayout(layout);
        return render(label);
    };
    const QImage top = draw(tlTop);
    EXPECT_EQ(draw(tlCenter), top);
    EXPECT_EQ(draw(tlBottom), top);
}

TEST(Label3DLayout, TallTextAtTheBottomIsShiftedByTheWholeOverflow)
{
    const QFont font = fontWithLineHeight(52);
    TLabel3D label;
    boardStyle(label, 105, 49);
    label.setFont(font);
    label.setFontColor(clYellow);
    label.setBevel(blNone);
    label.setCaption("40");
    label.setLayout(tlBottom);
    QImage expected(105, 49, QImage::Format_RGB32);
    {
        GdiCanvas canvas(&expected);
        GdiRect r{0, 0, 105, 49};
        canvas.FrameRect3D(r, clWhite, clWhite, 1);
        canvas.setBrushColor(clBlack);
        canvas.fillRect(r);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.setFont(font);
        canvas.setFontColor(clYellow);
        GdiRect text{1, 1 - 5, 104, 53};
        canvas.drawText("40", text, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    }
    EXPECT_EQ(render(label), expected);
}

TEST(Label3DLayout, EvenOverflowIsCentredByHalf)
{
    const QFont font = fontWithLineHeight(51);
    TLabel3D label;
    boardStyle(label, 105, 49); // framed area 47 high
    label.setFont(font);
    label.setFontColor(clYellow);
    label.setBevel(blNone);
    label.setCaption("30");
    // dy = (47 - 51) / 2 = -2: the text starts at y = 1 - 2.
    QImage expected(105, 49, QImage::Format_RGB32);
    {
        GdiCanvas canvas(&expected);
        GdiRect r{0, 0, 105, 49};
        canvas.FrameRect3D(r, clWhite, clWhite, 1);
        canvas.setBrushColor(clBlack);
        canvas.fillRect(r);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.setFont(font);
        canvas.setFontColor(clYellow);
        GdiRect text{1, 1 - 2, 104, 1 + 51};
        canvas.drawText("30", text, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    }
    EXPECT_EQ(render(label), expected);
}

TEST(Label3DText, AmpersandMarksTheAcceleratorOnlyWithShowAccelChar)
{
    const QFont font = gdiFont("Liberation Sans", 16);
    const auto drawLabel = [&](bool showAccelChar) {
        TLabel3D label;
        label.resize(90, 30);
        label.setFont(font);
        label.setColor(clWhite);
        label.setFontColor(clBlack);
        label.setBevel(blNone);
        label.setLayout(tlCenter);
        label.setCaption("M&&N &ox");
        label.setShowAccelChar(showAccelChar);
        return render(label);
    };
    const auto drawText = [&](unsigned flags) {
        QImage image(90, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        GdiCanvas canvas(&image);
        canvas.setFont(font);
        canvas.setFontColor(clBlack);
        canvas.setBrushStyle(BrushStyle::Clear);
        GdiRect r{0, 0, 90, 30};
        canvas.drawText("M&&N &ox", r, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | flags);
        return image;
    };
    const QImage marked = drawText(0);
    const QImage literal = drawText(DT_NOPREFIX);
    ASSERT_NE(marked, literal);
    EXPECT_EQ(drawLabel(true), marked);
    EXPECT_EQ(drawLabel(false), literal);
}

TEST(Label3DText, LoneAmpersandDrawsNothing)
{
    const auto draw = [](const QString &caption) {
        TLabel3D label;
        label.resize(40, 30);
        label.setFont(gdiFont("Liberation Sans", 16));
        label.setColor(clWhite);
        label.setFontColor(clBlack);
        label.setLayout(tlCenter);
        label.setCaption(caption);
        return render(label);
    };
    const QImage empty = draw(QString());
    EXPECT_EQ(countColor(empty, clBlack), 0);
    EXPECT_EQ(draw("&"), empty); // no underlined space
}

TEST(Label3DRepaint, UnchangedPropertyQueuesNoPaint)
{
    TLabel3D label;
    boardStyle(label, 40, 20);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    QCoreApplication::processEvents();
    PaintCounter counter;
    label.installEventFilter(&counter);

    label.setBorderColor(clWhite);
    label.setBorderStyle(lbNormal);
    label.setCaption(QString());
    label.setShadowSize(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    label.setBorderColor(clRed);
    QCoreApplication::processEvents();
    EXPECT_GE(counter.paints, 1);
}

TEST(Label3DMouse, ClickAndMouseDownWithButton)
{
    TLabel3D label;
    label.resize(50, 20);
    QSignalSpy clicks(&label, &TLabel3D::clicked);
    QSignalSpy downs(&label, &TLabel3D::mouseDown);

    sendMouse(label, QEvent::MouseButtonPress, Qt::RightButton, {5, 5});
    sendMouse(label, QEvent::MouseButtonRelease, Qt::RightButton, {5, 5});
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs[0][1].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(downs[0][3].toInt(), 5);
    EXPECT_EQ(downs[0][4].toInt(), 5);
    EXPECT_EQ(clicks.count(), 0);

    sendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
    sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, {6, 6});
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].value<TLabel3D *>(), &label);

    // Released outside the label: no click.
    sendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
    sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, {60, 5});
    EXPECT_EQ(clicks.count(), 1);

    // A double-click is two mouse-downs but one click.
    downs.clear();
    sendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
    sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
    sendMouse(label, QEvent::MouseButtonDblClick, Qt::LeftButton, {5, 5});
    sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
    EXPECT_EQ(downs.count(), 2);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(Label3DHint, TooltipOnlyWhenShown)
{
    TLabel3D label;
    label.setHint("F2");
    EXPECT_TRUE(label.toolTip().isEmpty());
    label.setShowHint(true);
    EXPECT_EQ(label.toolTip(), "F2");
}

// Enlarged, as full screen shows it: drawn at the enlarged size once and copied until
// what the label shows changes.
TEST(Label3DEnlarged, ShowsEveryChangeAsAFreshLabelWould)
{
    const auto enlarged = [](TLabel3D &label) {
        QImage image(label.size() * 3 + QSize(4, 4), QImage::Format_RGB32);
        image.fill(toQColor(kMarker));
        QPainter p(&image);
        p.translate(1.5, 2.25);
        p.scale(3, 3);
        label.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    const auto fresh = [&](auto &&setUp) {
        TLabel3D label;
        label.resize(60, 30);
        setUp(label);
        return enlarged(label);
    };
    TLabel3D label;
    label.resize(60, 30);
    label.setCaption(QStringLiteral("15"));
    const QImage before = enlarged(label);
    EXPECT_EQ(enlarged(label), before);
    label.setCaption(QStringLiteral("30"));
    EXPECT_EQ(enlarged(label), fresh([](TLabel3D &l) { l.setCaption(QStringLiteral("30")); }));
    label.setFontColor(clRed);
    label.setBorderStyle(lbNormal);
    EXPECT_EQ(enlarged(label), fresh([](TLabel3D &l) {
        l.setCaption(QStringLiteral("30"));
        l.setFontColor(clRed);
        l.setBorderStyle(lbNormal);
    }));
    QFont big = label.font();
    big.setPixelSize(20);
    label.setFont(big);
    label.resize(50, 30);
    EXPECT_EQ(enlarged(label), [&] {
        TLabel3D other;
        other.resize(50, 30);
        other.setCaption(QStringLiteral("30"));
        other.setFontColor(clRed);
        other.setBorderStyle(lbNormal);
        other.setFont(big);
        return enlarged(other);
    }()) << "a font and a size change";
    label.setEnabled(false);
    EXPECT_NE(enlarged(label), before);
}

TEST(Label3DEnlarged, ATransparentLabelShowsWhatLiesBeneath)
{
    TLabel3D label;
    label.resize(40, 20);
    label.setCaption(QStringLiteral("T"));
    label.setTransparent(true);
    QImage image(130, 70, QImage::Format_RGB32);
    image.fill(toQColor(kMarker));
    {
        QPainter p(&image);
        p.scale(3, 3);
        label.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    EXPECT_GT(countColor(image, kMarker), 130 * 70 / 2) << "the ground around the letter";
    EXPECT_LT(countColor(image, kMarker), 130 * 70) << "the letter";
}

// Enlarged, the bevel's copies come from one filled mask: they must land where the copies
// drawn one by one land, in the same colours and order, and exactly so when the offset is
// a whole number of device pixels.
TEST(Label3DEnlarged, BevelCopiesMatchTheTextDrawnOncePerCopy)
{
    const auto byHand = [](double scale, TLabel3DBevel bevel, bool enabled) {
        QImage image((QSizeF(60, 30) * scale).toSize(), QImage::Format_RGB32);
        QPainter p(&image);
        p.scale(scale, scale);
        GdiCanvas canvas(p);
        canvas.setBrushColor(clBtnFace);
        canvas.fillRect({0, 0, 60, 30});
        canvas.setBrushStyle(BrushStyle::Clear);
        QFont font;
        font.setPixelSize(14);
        canvas.setFont(font);
        const unsigned flags = DT_EXPANDTABS | DT_WORDBREAK | DT_CENTER;
        const TColor first = bevel == blLowered ? clBlue : clRed;
        const TColor second = bevel == blLowered ? clRed : clBlue;
        const auto copy = [&](TColor color, int d) {
            GdiRect r{d, d, 60 + d, 30 + d};
            canvas.setFontColor(color);
            canvas.drawText(QStringLiteral("12:05"), r, flags);
        };
        if (enabled)
            copy(first, -2);
        copy(second, 2);
        copy(enabled ? clGreen : clGrayText, 0);
        return image;
    };
    const auto label = [](double scale, TLabel3DBevel bevel, bool enabled) {
        TLabel3D l;
        l.resize(60, 30);
        QFont font;
        font.setPixelSize(14);
        l.setFont(font);
        l.setCaption(QStringLiteral("12:05"));
        l.setAlignment(taCenter);
        l.setBevel(bevel);
        l.setShadowSize(2);
        l.setHighLightColor(clRed);
        l.setShadowColor(clBlue);
        l.setFontColor(clGreen);
        l.setEnabled(enabled);
        QImage image((QSizeF(60, 30) * scale).toSize(), QImage::Format_RGB32);
        image.fill(toQColor(kMarker));
        QPainter p(&image);
        p.scale(scale, scale);
        l.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    for (const TLabel3DBevel bevel : {blRaised, blLowered}) {
        for (const bool enabled : {true, false}) {
            SCOPED_TRACE(int(bevel) * 2 + enabled);
            const QImage expected = byHand(3, bevel, enabled);
            EXPECT_GT(countColor(expected, clRed) + countColor(expected, clBlue), 100) << "copies to compare";
            EXPECT_EQ(label(3, bevel, enabled), expected);
        }
    }
    // At a fractional scale a copy may move by up to half a device pixel: only its edges differ.
    const QImage expected = byHand(2.42, blRaised, true);
    const QImage shown = label(2.42, blRaised, true);
    ASSERT_EQ(shown.size(), expected.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            differing += shown.pixel(x, y) != expected.pixel(x, y);
    const int inked = countColor(expected, clRed) + countColor(expected, clBlue) + countColor(expected, clGreen);
    EXPECT_GT(inked, 300);
    EXPECT_LT(differing, inked / 3);
}

// An opaque label paints every pixel of its own, so nothing beneath it need be painted.
TEST(Label3DOpaque, PaintsEveryPixelInEveryFrameStyle)
{
    for (const TLabel3DBorderStyle style : {lbNone, lbNormal, lbLowered, lbRaised, lbInn, lbOut}) {
        for (const bool gradient : {false, true}) {
            SCOPED_TRACE(int(style) * 2 + gradient);
            TLabel3D label;
            label.resize(61, 33);
            label.setCaption(QStringLiteral("Ad"));
            label.setBorderStyle(style);
            label.setBorderWidth(3);
            label.setFillGradient(gradient);
            EXPECT_TRUE(label.testAttribute(Qt::WA_OpaquePaintEvent));
            EXPECT_EQ(countColor(render(label), kMarker), 0);
        }
    }
    TLabel3D see;
    see.setTransparent(true);
    EXPECT_FALSE(see.testAttribute(Qt::WA_OpaquePaintEvent)) << "a transparent label shows what lies beneath";
}
