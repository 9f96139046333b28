#include "controls/oClrBox.h"
#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// The board's picker: pure colours and the user entry.
struct BoardPicker : ::testing::Test
{
    ToColorCombo combo;
    QSignalSpy changes{&combo, &ToColorCombo::changed};

    BoardPicker()
    {
        combo.setColorSet({clrPure, clrUser});
        changes.clear();
    }
};

QImage drawItem(const ToColorCombo &combo, int index, bool selected = false)
{
    QImage image(73, 19, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    GdiCanvas canvas(&image);
    combo.DrawItem(canvas, index, GdiRect{0, 0, 73, 19}, selected, false);
    return image;
}

TColor at(const QImage &image, int x, int y)
{
    return fromQColor(image.pixelColor(x, y));
}

} // namespace

TEST(ColorComboList, GroupsInOrderWithTheirTextsAndValues)
{
    ToColorCombo combo;
    EXPECT_EQ(combo.ColorSet(), (ToColorSet{clrPure, clrCtrl}));
    ASSERT_EQ(combo.count(), 16 + 21);
    const char *pure[16] = {"Black", "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal", "Gray",
                            "Silver", "Red",   "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};
    const TColor pureValues[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                   0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                   0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(combo.itemText(i), pure[i]);
        EXPECT_EQ(combo.ItemColor(i), pureValues[i]) << i;
    }
    const char *control[21] = {"ScrollBar",      "Background",     "ActiveCaption", "InactiveCaption",
                               "Menu",           "Window",         "WindowFrame",   "MenuText",
                               "WindowText",     "CaptionText",    "ActiveBorder",  "InactiveBorder",
                               "AppWorkSpace",   "Highlight",      "HighlightText", "BtnFace",
                               "BtnShadow",      "GrayText",       "BtnText",       "InactiveCaptionText",
                               "BtnHighlight"};
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(combo.itemText(16 + i), control[i]);
        EXPECT_EQ(combo.ItemColor(16 + i), 0xFF000000u + TColor(i));
    }
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.ColorValue(), clBlack);
}

TEST_F(BoardPicker, SeventeenEntriesWithTheUserEntryLast)
{
    ASSERT_EQ(combo.count(), 17);
    EXPECT_EQ(combo.itemText(16), "Other...");
    EXPECT_EQ(combo.ItemColor(16), clWhite);
    EXPECT_EQ(combo.currentIndex(), 0);
}

TEST_F(BoardPicker, ListedColourSelectsItsEntry)
{
    combo.setColorValue(clYellow);
    EXPECT_EQ(combo.currentIndex(), 11);
    EXPECT_EQ(combo.currentText(), "Yellow");
    EXPECT_EQ(combo.ColorValue(), clYellow);
    EXPECT_EQ(changes.count(), 1);
    // White is listed, so the user entry's initial white does not take it.
    combo.setColorValue(clWhite);
    EXPECT_EQ(combo.currentIndex(), 15);
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(BoardPicker, UnlistedColourGoesToOther)
{
    combo.setColorValue(RGB(1, 2, 3));
    EXPECT_EQ(combo.currentIndex(), 16);
    EXPECT_EQ(combo.itemText(16), "Other...");
    EXPECT_EQ(combo.ItemColor(16), RGB(1, 2, 3));
    EXPECT_EQ(combo.ColorValue(), RGB(1, 2, 3));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(at(drawItem(combo, 16), 10, 9), RGB(1, 2, 3));
    // A system colour is not a pure one, whatever its RGB.
    combo.setColorValue(clBtnFace);
    EXPECT_EQ(combo.currentIndex(), 16);
    EXPECT_EQ(combo.ItemColor(16), clBtnFace);
}

TEST_F(BoardPicker, SameValueChangesNothing)
{
    combo.setColorValue(clRed);
    combo.setCurrentIndex(3);
    changes.clear();
    combo.setColorValue(clRed);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(combo.currentIndex(), 3);
}

TEST_F(BoardPicker, ColorUserSetsTheValue)
{
    combo.setColorUser(clYellow);
    EXPECT_EQ(combo.ColorValue(), clYellow);
    EXPECT_EQ(changes.count(), 1);
    combo.setColorUser(clBlack);
    EXPECT_EQ(combo.ColorValue(), clBlack);
    EXPECT_EQ(combo.currentIndex(), 0);
}

TEST_F(BoardPicker, UserSelectionSetsTheValueAndNotifiesOnce)
{
    QSignalSpy clicks(&combo, &ToColorCombo::clicked);
    combo.setCurrentIndex(9);
    emit combo.activated(9); // what QComboBox raises for a pick in the list
    EXPECT_EQ(combo.ColorValue(), clRed);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(changes.count(), 1);
    // The user entry yields the colour it holds: white until an unlisted one was set.
    combo.setCurrentIndex(16);
    emit combo.activated(16);
    EXPECT_EQ(combo.ColorValue(), clWhite);
}

TEST(ColorComboSet, PureOnlyIgnoresUnlistedColours)
{
    ToColorCombo combo;
    combo.setColorSet({clrPure});
    QSignalSpy changes(&combo, &ToColorCombo::changed);
    combo.setColorValue(RGB(1, 2, 3));
    EXPECT_EQ(combo.ColorValue(), clBlack);
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(changes.count(), 0);
    combo.setColorUser(clRed); // ignored without the user entry
    EXPECT_EQ(combo.ColorValue(), clBlack);
}

TEST(ColorComboSet, EmptySetBecomesUserOnly)
{
    ToColorCombo combo;
    combo.setColorSet({});
    EXPECT_EQ(combo.ColorSet(), (ToColorSet{clrUser}));
    ASSERT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.itemText(0), "Other...");
}

TEST(ColorComboSet, RebuildKeepsTheValueAndResetsTheUserEntry)
{
    ToColorCombo combo;
    combo.setColorSet({clrPure, clrUser});
    combo.setColorValue(RGB(9, 9, 9));
    combo.setColorSet({clrPure, clrCtrl, clrUser});
    EXPECT_EQ(combo.count(), 38);
    EXPECT_EQ(combo.ColorValue(), RGB(9, 9, 9));
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.ItemColor(37), clWhite);
}

TEST(ColorComboItem, HeightFromTheFont)
{
    ToColorCombo combo;
    combo.setFont(gdiFont("Liberation Sans", 11));
    EXPECT_EQ(combo.ItemHeight(), 13);
    combo.setFont(gdiFont("Liberation Sans", 7)); // MulDiv gives -8: below the minimum
    EXPECT_EQ(combo.ItemHeight(), 10);
    combo.setFont(gdiFont("Liberation Sans", 15)); // -18
    EXPECT_EQ(combo.ItemHeight(), 18);
    EXPECT_EQ(combo.count(), 37); // a font change keeps each entry once
}

TEST(ColorComboItem, SwatchWithAndWithoutName)
{
    ToColorCombo combo;
    const QImage named = drawItem(combo, 11); // Yellow
    EXPECT_EQ(at(named, 1, 1), RGB(255, 255, 255)); // entry background clWindow
    EXPECT_EQ(at(named, 2, 2), clBlack);             // frame of (2, 2, 24, 17)
    EXPECT_EQ(at(named, 23, 16), clBlack);
    EXPECT_EQ(at(named, 3, 3), clYellow);
    EXPECT_EQ(at(named, 22, 15), clYellow);
    EXPECT_EQ(at(named, 24, 9), RGB(255, 255, 255));
    bool text = false;
    for (int x = 28; x < 73; ++x)
        for (int y = 0; y < 19; ++y)
            text |= at(named, x, y) == clBlack;
    EXPECT_TRUE(text);

    combo.setDrawColorName(false);
    const QImage bare = drawItem(combo, 11);
    EXPECT_EQ(at(bare, 2, 2), clBlack);
    EXPECT_EQ(at(bare, 70, 16), clBlack); // frame of (2, 2, 71, 17)
    EXPECT_EQ(at(bare, 69, 15), clYellow);
    EXPECT_EQ(at(bare, 71, 9), RGB(255, 255, 255));

    const QImage selected = drawItem(combo, 11, true);
    EXPECT_EQ(at(selected, 1, 1), RGB(0, 0, 128)); // clHighlight
    EXPECT_EQ(at(drawItem(combo, -1), 10, 9), RGB(255, 255, 255));
}

TEST(ColorComboItem, HeightRoundsToTheNearestPixel)
{
    ToColorCombo combo;
    combo.setFont(gdiFont("Liberation Sans", 14)); // 16.8
    EXPECT_EQ(combo.ItemHeight(), 17);
    combo.setFont(gdiFont("Liberation Sans", 9)); // 10.8
    EXPECT_EQ(combo.ItemHeight(), 11);
    combo.setFont(gdiFont("Liberation Sans", 12)); // 14.4
    EXPECT_EQ(combo.ItemHeight(), 14);
}

TEST(ColorComboItem, NameStartsFourPixelsRightOfTheSwatch)
{
    ToColorCombo combo;
    const QImage named = drawItem(combo, 11); // Yellow
    int first = -1;
    for (int x = 24; x < 73 && first < 0; ++x) {
        for (int y = 0; y < 19; ++y) {
            if (at(named, x, y) == clBlack) {
                first = x;
                break;
            }
        }
    }
    EXPECT_GE(first, 28) << "the gap between the swatch and the name stays blank";
    EXPECT_LE(first, 29);
}
