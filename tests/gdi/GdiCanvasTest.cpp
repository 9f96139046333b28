#include "gdi/EllipticRegion.h"
#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QFontMetrics>
#include <QImage>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QImage blank(int w, int h, TColor color = clWhite)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(toQColor(color));
    return image;
}

TColor at(const QImage &image, int x, int y)
{
    return fromQColor(image.pixelColor(x, y));
}

int countColor(const QImage &image, TColor color, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += at(image, x, y) == color;
    return n;
}

QFont testFont(int height = 16)
{
    return gdiFont("Liberation Sans", height);
}

} // namespace

TEST(GdiLines, LineLeavesOutItsEndPoint)
{
    QImage image = blank(12, 12);
    {
        GdiCanvas canvas(&image);
        canvas.moveTo(2, 5);
        canvas.lineTo(8, 5);
        canvas.lineTo(8, 10);
        EXPECT_EQ(canvas.penPos(), QPoint(8, 10));
    }
    EXPECT_EQ(at(image, 2, 5), clBlack);
    EXPECT_EQ(at(image, 7, 5), clBlack);
    EXPECT_EQ(at(image, 8, 5), clBlack); // start of the second line
    EXPECT_EQ(at(image, 8, 9), clBlack);
    EXPECT_EQ(at(image, 8, 10), clWhite);
    EXPECT_EQ(countColor(image, clBlack), 6 + 5);
}

TEST(GdiLines, DiagonalAndPolyline)
{
    QImage image = blank(12, 12);
    {
        GdiCanvas canvas(&image);
        canvas.setPenColor(clRed);
        canvas.moveTo(0, 0);
        canvas.lineTo(4, 4);
        canvas.setPenColor(clBlue);
        canvas.polyline({{6, 1}, {10, 1}, {10, 6}});
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(at(image, i, i), clRed);
    EXPECT_EQ(at(image, 4, 4), clWhite);
    EXPECT_EQ(countColor(image, clRed), 4);
    EXPECT_EQ(at(image, 10, 1), clBlue); // inner vertex drawn
    EXPECT_EQ(at(image, 10, 5), clBlue);
    EXPECT_EQ(at(image, 10, 6), clWhite); // last point left out
    EXPECT_EQ(countColor(image, clBlue), 4 + 5);
}

TEST(GdiLines, ThinLinesRoundTheMinorCoordinateHalfUp)
{
    QRandomGenerator random(3);
    for (int n = 0; n < 300; ++n) {
        const QPoint from(random.bounded(0, 40), random.bounded(0, 40));
        const QPoint to(random.bounded(0, 40), random.bounded(0, 40));
        QImage image = blank(40, 40);
        {
            GdiCanvas canvas(&image);
            canvas.moveTo(from.x(), from.y());
            canvas.lineTo(to.x(), to.y());
        }
        QImage expected = blank(40, 40);
        const int dx = to.x() - from.x();
        const int dy = to.y() - from.y();
        const int steps = std::max(std::abs(dx), std::abs(dy));
        for (int i = 0; i < steps; ++i) {
            const auto rounded = [&](int delta) { return int(std::floor(double(i) * delta / steps + 0.5)); };
            const QPoint pixel = std::abs(dx) >= std::abs(dy)
                                     ? QPoint(from.x() + (dx > 0 ? i : -i), from.y() + rounded(dy))
                                     : QPoint(from.x() + rounded(dx), from.y() + (dy > 0 ? i : -i));
            expected.setPixelColor(pixel, toQColor(clBlack));
        }
        ASSERT_EQ(image, expected) << "from " << from.x() << "," << from.y() << " to " << to.x() << "," << to.y();
    }
}

TEST(GdiLines, ClearPenDrawsNothing)
{
    QImage image = blank(8, 8);
    {
        GdiCanvas canvas(&image);
        canvas.setPenStyle(PenStyle::Clear);
        canvas.polyline({{0, 0}, {7, 0}, {7, 7}});
        canvas.arc(0, 0, 8, 8, 8, 0, 0, 8);
    }
    EXPECT_EQ(countColor(image, clWhite), 64);
}

TEST(GdiLines, BoundsAreExactlyThePixelsALineSets)
{
    // Random lines of every pen width, some running off the device or of no length.
    QRandomGenerator random(5);
    int wrong = 0;
    for (int i = 0; i < 600; ++i) {
        const int width = 1 + i % 8;
        const QPoint from(random.bounded(-10, 70), random.bounded(-10, 70));
        const QPoint to = i % 50 == 0 ? from : QPoint(random.bounded(-10, 70), random.bounded(-10, 70));
        QImage image = blank(60, 60);
        QRect bounds;
        {
            GdiCanvas canvas(&image);
            canvas.setPenWidth(width);
            bounds = canvas.lineBounds(from, to);
            canvas.moveTo(from.x(), from.y());
            canvas.lineTo(to.x(), to.y());
            EXPECT_EQ(canvas.lineBounds(from, to), bounds) << "measured again";
        }
        QRect drawn;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (at(image, x, y) != clWhite)
                    drawn |= QRect(x, y, 1, 1);
        if (drawn != bounds) {
            ++wrong;
            ADD_FAILURE() << "width " << width << " from " << from.x() << "," << from.y() << " to " << to.x() << ","
                          << to.y();
        }
    }
    EXPECT_EQ(wrong, 0);

    QImage image = blank(8, 8);
    GdiCanvas canvas(&image);
    canvas.setPenStyle(PenStyle::Clear);
    EXPECT_TRUE(canvas.lineBounds({0, 0}, {7, 7}).isEmpty());
}

// Lines of every width and ellipses write their spans straight into an image's rows;
// through a clipped painter they go the painter's way. Both must set the same pixels.
TEST(GdiLines, ImageRowsMatchThePaintersPath)
{
    auto draw = [](GdiCanvas &canvas) {
        QRandomGenerator random(9);
        for (int i = 0; i < 60; ++i) {
            canvas.setPenColor(i % 2 ? clRed : clBlue);
            canvas.setPenWidth(1 + i % 6);
            canvas.moveTo(random.bounded(-20, 80), random.bounded(-20, 80));
            canvas.lineTo(random.bounded(-20, 80), random.bounded(-20, 80));
        }
        canvas.setPenColor(clYellow);
        canvas.setPenWidth(1);
        canvas.setBrushColor(clTeal);
        canvas.ellipse(-5, 30, 40, 70);
    };
    QImage direct = blank(60, 60);
    {
        GdiCanvas canvas(&direct);
        draw(canvas);
    }
    QImage premultiplied(60, 60, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(toQColor(clWhite));
    {
        GdiCanvas canvas(&premultiplied);
        draw(canvas);
    }
    QImage painted = blank(60, 60);
    {
        QPainter painter(&painted);
        painter.setClipRect(painted.rect());
        GdiCanvas canvas(painter);
        draw(canvas);
    }
    EXPECT_GT(countColor(painted, clRed), 300);
    EXPECT_GT(countColor(painted, clTeal), 300);
    EXPECT_EQ(direct, painted);
    EXPECT_EQ(premultiplied.convertToFormat(QImage::Format_RGB32), painted);
}

TEST(GdiFill, FillRectExcludesRightAndBottom)
{
    QImage image = blank(6, 6);
    {
        GdiCanvas canvas(&image);
        canvas.setBrushColor(clBtnShadow);
        canvas.fillRect({1, 1, 4, 3});
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.fillRect({0, 0, 6, 6});
    }
    EXPECT_EQ(countColor(image, RGB(128, 128, 128)), 3 * 2);
    EXPECT_EQ(at(image, 3, 2), RGB(128, 128, 128));
    EXPECT_EQ(at(image, 4, 2), clWhite);
    EXPECT_EQ(at(image, 3, 3), clWhite);
}

TEST(GdiFill, RectangleOutlinesInsideItsBox)
{
    QImage image = blank(8, 8);
    {
        GdiCanvas canvas(&image);
        canvas.setBrushColor(clRed);
        canvas.rectangle({1, 1, 6, 5});
    }
    EXPECT_EQ(at(image, 1, 1), clBlack);
    EXPECT_EQ(at(image, 5, 4), clBlack);
    EXPECT_EQ(at(image, 6, 4), clWhite);
    EXPECT_EQ(at(image, 2, 2), clRed);
    EXPECT_EQ(countColor(image, clRed), 3 * 2);
}

TEST(GdiEllipse, OutlineAndFillCoverTheRegionOfItsBox)
{
    QImage image = blank(50, 50);
    {
        GdiCanvas canvas(&image);
        canvas.setBrushColor(clRed);
        canvas.ellipse(0, 0, 45, 45);
    }
    const EllipticRegion region(0, 0, 45, 45);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(at(image, x, y) != clWhite, region.contains(x, y)) << x << "," << y;
    EXPECT_EQ(at(image, 22, 0), clBlack);
    EXPECT_EQ(at(image, 22, 1), clRed); // one-pixel outline
    EXPECT_EQ(at(image, 0, 22), clBlack);
    EXPECT_EQ(at(image, 44, 22), clBlack);
    EXPECT_EQ(at(image, 22, 44), clBlack);
    EXPECT_EQ(at(image, 22, 22), clRed);
}

TEST(GdiEllipse, OutlineIsClosedAndThin)
{
    // Every outline pixel has exactly two outline neighbours among its eight: no gaps,
    // no doubled steps.
    QImage image = blank(40, 30);
    {
        GdiCanvas canvas(&image);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.ellipse(2, 3, 37, 26);
    }
    for (int y = 1; y < 29; ++y)
        for (int x = 1; x < 39; ++x) {
            if (at(image, x, y) != clBlack)
                continue;
            int neighbours = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    neighbours += (dx || dy) && at(image, x + dx, y + dy) == clBlack;
            ASSERT_GE(neighbours, 2) << x << "," << y;
            ASSERT_LE(neighbours, 3) << x << "," << y;
        }
}

TEST(GdiEllipse, ClearPenFillsOnePixelLess)
{
    QImage image = blank(30, 30);
    {
        GdiCanvas canvas(&image);
        canvas.setPenStyle(PenStyle::Clear);
        canvas.setBrushColor(clBlue);
        canvas.ellipse(0, 0, 21, 21);
    }
    const EllipticRegion smaller(0, 0, 20, 20);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(at(image, x, y) == clBlue, smaller.contains(x, y)) << x << "," << y;
}

TEST(GdiArc, CounterClockwiseFromStartRayToEndRay)
{
    QImage image = blank(21, 21);
    {
        GdiCanvas canvas(&image);
        canvas.setPenColor(clRed);
        // From the upper right round the top to the lower left: the upper-left half.
        canvas.arc(0, 0, 21, 21, 20, 0, 0, 20);
        canvas.setPenColor(clBlue);
        canvas.arc(0, 0, 21, 21, 0, 20, 20, 0);
    }
    EXPECT_EQ(at(image, 10, 0), clRed);
    EXPECT_EQ(at(image, 0, 10), clRed);
    EXPECT_EQ(at(image, 10, 20), clBlue);
    EXPECT_EQ(at(image, 20, 10), clBlue);
    EXPECT_EQ(at(image, 10, 10), clWhite);
    // Together the halves make the whole outline.
    QImage whole = blank(21, 21);
    {
        GdiCanvas canvas(&whole);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.ellipse(0, 0, 21, 21);
    }
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            ASSERT_EQ(at(image, x, y) != clWhite, at(whole, x, y) == clBlack) << x << "," << y;
}

TEST(GdiArc, EqualRaysDrawTheWholeEllipse)
{
    QImage image = blank(15, 15);
    {
        GdiCanvas canvas(&image);
        canvas.arc(0, 0, 15, 15, 14, 7, 14, 7);
    }
    EXPECT_EQ(at(image, 7, 0), clBlack);
    EXPECT_EQ(at(image, 7, 14), clBlack);
    EXPECT_EQ(at(image, 0, 7), clBlack);
    EXPECT_EQ(at(image, 14, 7), clBlack);
}

TEST(GdiFrame, FrameRect3DRingsAndInset)
{
    QImage image = blank(6, 5);
    GdiRect r{0, 0, 6, 5};
    {
        GdiCanvas canvas(&image);
        canvas.FrameRect3D(r, clRed, clBlue, 1);
    }
    EXPECT_EQ(r, (GdiRect{1, 1, 5, 4}));
    EXPECT_EQ(at(image, 0, 0), clRed);
    EXPECT_EQ(at(image, 4, 0), clRed);
    EXPECT_EQ(at(image, 0, 3), clRed);
    // The bottom colour owns both far corners.
    EXPECT_EQ(at(image, 5, 0), clBlue);
    EXPECT_EQ(at(image, 0, 4), clBlue);
    EXPECT_EQ(at(image, 5, 4), clBlue);
    EXPECT_EQ(at(image, 1, 1), clWhite);
    EXPECT_EQ(countColor(image, clRed), 4 + 4);
    EXPECT_EQ(countColor(image, clBlue), 4 + 6);
}

TEST(GdiFrame, ZeroWidthLeavesRectAlone)
{
    QImage image = blank(6, 5);
    GdiRect r{0, 0, 6, 5};
    {
        GdiCanvas canvas(&image);
        canvas.FrameRect3D(r, clRed, clBlue, 0);
    }
    EXPECT_EQ(r, (GdiRect{0, 0, 6, 5}));
    EXPECT_EQ(countColor(image, clWhite), 30);
}

TEST(GdiImage, BrushCopyReplacesTheTransparentColour)
{
    QImage glyph(2, 1, QImage::Format_RGB32);
    glyph.setPixelColor(0, 0, toQColor(clOlive));
    glyph.setPixelColor(1, 0, toQColor(clRed));
    QImage image = blank(4, 2);
    {
        GdiCanvas canvas(&image);
        canvas.setBrushColor(clBlue);
        canvas.brushCopy({0, 0}, glyph, glyph.rect(), clOlive);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.brushCopy({2, 1}, glyph, glyph.rect(), clOlive);
    }
    EXPECT_EQ(at(image, 0, 0), clBlue);
    EXPECT_EQ(at(image, 1, 0), clRed);
    EXPECT_EQ(at(image, 2, 1), clWhite);
    EXPECT_EQ(at(image, 3, 1), clRed);
}

TEST(GdiImage, FocusRectInvertsEveryOtherPixel)
{
    QImage image = blank(5, 4);
    {
        GdiCanvas canvas(&image);
        canvas.drawFocusRect({0, 0, 5, 4});
    }
    EXPECT_EQ(at(image, 0, 0), clBlack);
    EXPECT_EQ(at(image, 1, 0), clWhite);
    EXPECT_EQ(at(image, 2, 0), clBlack);
    EXPECT_EQ(at(image, 0, 2), clBlack);
    EXPECT_EQ(at(image, 2, 2), clWhite); // inside untouched
    {
        GdiCanvas canvas(&image);
        canvas.drawFocusRect({0, 0, 5, 4});
    }
    EXPECT_EQ(countColor(image, clWhite), 20);
}

TEST(GdiText, MeasuresOneLine)
{
    QImage image = blank(10, 10);
    GdiCanvas canvas(&image);
    canvas.setFont(testFont());
    const QFontMetrics fm(canvas.font());
    GdiRect r{5, 7, 500, 500};
    EXPECT_EQ(canvas.drawText("Courtlyx", r, DT_CALCRECT | DT_SINGLELINE | DT_CENTER), fm.height());
    EXPECT_EQ(r, (GdiRect{5, 7, 5 + fm.horizontalAdvance("Courtlyx"), 7 + fm.height()}));
    // A trailing blank counts: right-aligned names are set off from the edge by it.
    GdiRect blank{0, 0, 500, 500};
    canvas.drawText("Name ", blank, DT_CALCRECT);
    EXPECT_EQ(blank.right, fm.horizontalAdvance("Name "));
}

TEST(GdiText, WordBreakWrapsAtSpacesAndInsideLongWords)
{
    QImage image = blank(10, 10);
    GdiCanvas canvas(&image);
    canvas.setFont(testFont());
    const QFontMetrics fm(canvas.font());
    const int width = fm.horizontalAdvance("aaa bbb");
    GdiRect r{0, 0, width, 0};
    EXPECT_EQ(canvas.drawText("aaa bbb ccc", r, DT_CALCRECT | DT_WORDBREAK), 2 * fm.height());
    EXPECT_EQ(r.right, width);
    GdiRect narrow{0, 0, fm.horizontalAdvance("www"), 0};
    canvas.drawText("wwwwwwww", narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(narrow.bottom, 3 * fm.height());
    // Without DT_WORDBREAK only line breaks start lines; a final break adds none.
    GdiRect lines{0, 0, 1, 0};
    canvas.drawText("aaa bbb\r\nc\nd\n", lines, DT_CALCRECT);
    EXPECT_EQ(lines.bottom, 3 * fm.height());
    EXPECT_EQ(lines.right, fm.horizontalAdvance("aaa bbb"));
}

TEST(GdiText, EmptyTextMeasuresNothingUnlessSingleLine)
{
    QImage image = blank(10, 10);
    GdiCanvas canvas(&image);
    canvas.setFont(testFont());
    GdiRect r{3, 4, 50, 50};
    EXPECT_EQ(canvas.drawText("", r, DT_CALCRECT | DT_WORDBREAK), 0);
    EXPECT_EQ(r, (GdiRect{3, 4, 3, 4}));
    GdiRect single{3, 4, 50, 50};
    EXPECT_EQ(canvas.drawText("", single, DT_CALCRECT | DT_SINGLELINE), canvas.textHeight());
}

TEST(GdiText, PrefixesAndTabs)
{
    QImage image = blank(10, 10);
    GdiCanvas canvas(&image);
    canvas.setFont(testFont());
    const QFontMetrics fm(canvas.font());
    const auto width = [&](const QString &text, unsigned flags) {
        GdiRect r{0, 0, 1000, 0};
        canvas.drawText(text, r, flags | DT_CALCRECT | DT_SINGLELINE);
        return r.right;
    };
    EXPECT_EQ(width("&Save", 0), fm.horizontalAdvance("Save"));
    EXPECT_EQ(width("A&&B", 0), fm.horizontalAdvance("A&B"));
    EXPECT_EQ(width("&Save", DT_NOPREFIX), fm.horizontalAdvance("&Save"));
    EXPECT_EQ(width("Go&", 0), fm.horizontalAdvance("Go"));
    EXPECT_EQ(width("\tX", DT_EXPANDTABS), 8 * fm.averageCharWidth() + fm.horizontalAdvance("X"));
}

TEST(GdiText, AcceleratorIsUnderlined)
{
    const auto draw = [](const QString &text) {
        QImage image = blank(60, 30);
        GdiCanvas canvas(&image);
        canvas.setFont(testFont());
        canvas.setBrushStyle(BrushStyle::Clear);
        GdiRect r{2, 2, 60, 30};
        canvas.drawText(text, r, DT_SINGLELINE);
        return image;
    };
    const QImage marked = draw("&ab");
    const QImage plain = draw("ab");
    const QImage literal = draw("&&");
    const int row = 2 + QFontMetrics(testFont()).ascent() + 1;
    const QRect underlineRow(0, row, 60, 1);
    EXPECT_GT(countColor(marked, clBlack, underlineRow), countColor(plain, clBlack, underlineRow));
    const int letter = QFontMetrics(testFont()).horizontalAdvance("a");
    EXPECT_EQ(countColor(marked, clBlack, QRect(2, row, letter - 1, 1)), letter - 1);
    // "&&" is a plain ampersand, a lone trailing "&" shows nothing.
    EXPECT_GT(countColor(literal, clBlack), 0);
    EXPECT_EQ(countColor(draw("&"), clBlack), 0);
    QImage unprefixed = blank(60, 30);
    {
        GdiCanvas canvas(&unprefixed);
        canvas.setFont(testFont());
        canvas.setBrushStyle(BrushStyle::Clear);
        GdiRect r{2, 2, 60, 30};
        canvas.drawText("&", r, DT_SINGLELINE | DT_NOPREFIX);
    }
    EXPECT_EQ(literal, unprefixed);
}

TEST(GdiText, UnderlineIsOnePixelShorterThanItsCharacter)
{
    const QFontMetrics fm(testFont());
    const auto draw = [](const QString &text) {
        QImage image = blank(80, 30);
        GdiCanvas canvas(&image);
        canvas.setFont(testFont());
        canvas.setBrushStyle(BrushStyle::Clear);
        GdiRect r{2, 2, 80, 30};
        canvas.drawText(text, r, DT_SINGLELINE);
        return image;
    };
    // No letter here reaches below the baseline, so the row under it is the underline alone.
    const int row = 2 + fm.ascent() + 1;
    for (const QString &text : {QStringLiteral("&xo"), QStringLiteral("x&oe"), QStringLiteral("xo&m")}) {
        const QImage image = draw(text);
        const qsizetype amp = text.indexOf(u'&');
        const QString shown = QString(text).remove(u'&');
        const int x0 = 2 + fm.horizontalAdvance(shown.left(amp));
        const int x1 = 2 + fm.horizontalAdvance(shown.left(amp + 1)) - 1;
        QRect drawn;
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, row) == clBlack)
                drawn |= QRect(x, row, 1, 1);
        EXPECT_EQ(drawn, QRect(QPoint(x0, row), QPoint(x1 - 1, row))) << text.toStdString();
    }
}

TEST(GdiText, PlacementAndOpaqueBackground)
{
    // A solid brush paints the text cell, which shows where each flag puts the line.
    QImage image = blank(100, 40);
    const QFontMetrics fm(testFont());
    const int w = fm.horizontalAdvance("Xy");
    int offset = 0;
    {
        GdiCanvas canvas(&image);
        canvas.setFont(testFont());
        canvas.setBrushColor(clYellow);
        GdiRect r{10, 0, 90, 40};
        offset = canvas.drawText("Xy", r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    const int top = (40 - fm.height()) / 2;
    EXPECT_EQ(offset, top + fm.height());
    EXPECT_EQ(at(image, 90 - w, top), clYellow);
    EXPECT_EQ(at(image, 89, top + fm.height() - 1), clYellow);
    EXPECT_EQ(at(image, 90 - w - 1, top), clWhite);
    EXPECT_EQ(at(image, 90, top), clWhite);
    EXPECT_EQ(at(image, 89, top - 1), clWhite);

    QImage centred = blank(100, 40);
    {
        GdiCanvas canvas(&centred);
        canvas.setFont(testFont());
        canvas.setBrushColor(clYellow);
        GdiRect r{10, 5, 90, 40};
        canvas.drawText("Xy", r, DT_CENTER);
    }
    const int left = (10 + 90 - w) / 2;
    EXPECT_EQ(at(centred, left, 5), clYellow);
    EXPECT_EQ(at(centred, left - 1, 5), clWhite);
    EXPECT_EQ(at(centred, left + w - 1, 5), clYellow);
    EXPECT_EQ(at(centred, left + w, 5), clWhite);
}

TEST(GdiText, ClipsToTheRectangleUnlessNoClip)
{
    const auto draw = [](unsigned flags) {
        QImage image = blank(80, 40);
        GdiCanvas canvas(&image);
        canvas.setFont(testFont(24));
        canvas.setBrushColor(clYellow);
        GdiRect r{10, 10, 20, 20};
        canvas.drawText("WWWW", r, flags | DT_SINGLELINE);
        return image;
    };
    const QImage clipped = draw(0);
    EXPECT_EQ(countColor(clipped, clWhite, QRect(0, 0, 80, 10)), 80 * 10);
    EXPECT_EQ(countColor(clipped, clWhite, QRect(20, 0, 60, 40)), 60 * 40);
    const QImage loose = draw(DT_NOCLIP);
    EXPECT_LT(countColor(loose, clWhite, QRect(20, 0, 60, 40)), 60 * 40);
}

TEST(GdiText, DrawsWithoutAntialiasing)
{
    QImage image = blank(80, 40);
    {
        GdiCanvas canvas(&image);
        canvas.setFont(testFont(24));
        canvas.setFontColor(clRed);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.textOut(2, 2, "Sag");
    }
    EXPECT_GT(countColor(image, clRed), 20);
    EXPECT_EQ(countColor(image, clRed) + countColor(image, clWhite), 80 * 40);
}
