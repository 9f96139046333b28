#include "gdi/SystemColors.h"

#include <gtest/gtest.h>

TEST(SystemColors, ClassicButtonColours)
{
    EXPECT_EQ(colorToRGB(clBtnFace), RGB(192, 192, 192));
    EXPECT_EQ(colorToRGB(clBtnShadow), RGB(128, 128, 128));
    EXPECT_EQ(colorToRGB(clBtnHighlight), RGB(255, 255, 255));
    EXPECT_EQ(colorToRGB(clGrayText), RGB(128, 128, 128));
    EXPECT_EQ(colorToRGB(clHighlight), RGB(0, 0, 128));
    EXPECT_EQ(colorToRGB(clWindow), RGB(255, 255, 255));
    EXPECT_EQ(colorToRGB(clWindowText), RGB(0, 0, 0));
}

TEST(SystemColors, PlainColoursKeepTheirRgb)
{
    EXPECT_EQ(colorToRGB(0x00A0), RGB(160, 0, 0));
    EXPECT_EQ(colorToRGB(0x0000FFFF), clYellow);
    // Only the low three bytes carry RGB; other high bytes are not system colours.
    EXPECT_EQ(colorToRGB(0x02123456), 0x123456u);
}

TEST(SystemColors, EveryListedIndexIsInTheTable)
{
    // The table ends at index 30; beyond it GetSysColor gives black.
    EXPECT_EQ(sysColor(30), RGB(192, 192, 192));
    EXPECT_EQ(sysColor(31), clBlack);
    EXPECT_EQ(sysColor(-1), clBlack);
    EXPECT_EQ(colorToRGB(0xFF0000FF), clBlack);
    EXPECT_EQ(colorToRGB(clHotLight), sysColor(26));
}

TEST(SystemColors, QColorChannelOrder)
{
    EXPECT_EQ(toQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(toQColor(clOlive), QColor(128, 128, 0));
    EXPECT_EQ(toQColor(clBtnShadow), QColor(128, 128, 128));
    EXPECT_EQ(fromQColor(QColor(1, 2, 3)), RGB(1, 2, 3));
}
