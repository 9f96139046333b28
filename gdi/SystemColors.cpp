#include "gdi/SystemColors.h"

#include <array>

namespace {

// The "Windows Standard" scheme of Windows 95 to 2000.
constexpr std::array<TColor, kSystemColorCount> kSystemColors = {
    RGB(192, 192, 192), // 0 scroll bar
    RGB(0, 128, 128),   // 1 desktop background
    RGB(0, 0, 128),     // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(192, 192, 192), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(192, 192, 192), // 10 active border
    RGB(192, 192, 192), // 11 inactive border
    RGB(128, 128, 128), // 12 application workspace
    RGB(0, 0, 128),     // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(192, 192, 192), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 grey text
    RGB(0, 0, 0),       // 18 button text
    RGB(192, 192, 192), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(0, 0, 0),       // 21 3-D dark shadow
    RGB(223, 223, 223), // 22 3-D light
    RGB(0, 0, 0),       // 23 tooltip text
    RGB(255, 255, 225), // 24 tooltip background
    RGB(180, 180, 180), // 25 alternate button face
    RGB(0, 0, 128),     // 26 hot-track
    RGB(16, 132, 208),  // 27 active caption gradient end
    RGB(181, 181, 181), // 28 inactive caption gradient end
    RGB(0, 0, 128),     // 29 flat-menu highlight
    RGB(192, 192, 192), // 30 flat-menu bar
};

} // namespace

TColor sysColor(int index)
{
    if (index < 0 || index >= kSystemColorCount)
        return clBlack;
    return kSystemColors[static_cast<std::size_t>(index)];
}

TColor colorToRGB(TColor color)
{
    if (isSystemColor(color))
        return sysColor(int(color & 0xFFu));
    return color & 0x00FFFFFFu;
}

QColor toQColor(TColor color)
{
    const TColor rgb = colorToRGB(color);
    return QColor(redOf(rgb), greenOf(rgb), blueOf(rgb));
}

TColor fromQColor(const QColor &color)
{
    return RGB(std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue()));
}
