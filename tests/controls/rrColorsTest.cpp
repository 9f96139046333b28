#include "controls/rrColors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kTol = 1e-9;

ColorTriple hlsOf(double r, double g, double b)
{
    ColorTriple hls{-1, -1, -1};
    RGB2HLS({r, g, b}, hls);
    return hls;
}

ColorTriple rgbOf(double h, double l, double s)
{
    ColorTriple rgb{-1, -1, -1};
    HLS2RGB({h, l, s}, rgb);
    return rgb;
}

void expectTriple(const ColorTriple &actual, double a, double b, double c)
{
    EXPECT_NEAR(actual[0], a, kTol);
    EXPECT_NEAR(actual[1], b, kTol);
    EXPECT_NEAR(actual[2], c, kTol);
}

std::string messageOf(void (*convert)(const ColorTriple &, ColorTriple &), ColorTriple in)
{
    ColorTriple out{7, 7, 7};
    try {
        convert(in, out);
    } catch (const EColorConv &e) {
        EXPECT_EQ(out, (ColorTriple{7, 7, 7})) << "output written before the error";
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(HLS2RGB, HueSeamAndGreys)
{
    expectTriple(rgbOf(1, 0.5, 1), 1, 0, 0);
    expectTriple(rgbOf(0, 0.5, 1), 1, 0, 0);
    for (double h : {0.0, 0.2, 0.5, 0.9, 1.0}) {
        expectTriple(rgbOf(h, 0.5, 0), 0.5, 0.5, 0.5);
        expectTriple(rgbOf(h, 0, 0.7), 0, 0, 0);
        expectTriple(rgbOf(h, 1, 0.7), 1, 1, 1);
    }
    expectTriple(rgbOf(1.0 / 6, 0.5, 1), 1, 1, 0);
    expectTriple(rgbOf(0.5, 0.25, 1), 0, 0.5, 0.5);
    expectTriple(rgbOf(0.75, 0.75, 1), 0.75, 0.5, 1); // between blue and magenta, light
}

TEST(HLS2RGB, RejectsOutOfRangeComponentsInOrder)
{
    EXPECT_EQ(messageOf(HLS2RGB, {0, 1.5, 0}), "HLS2RGB: 0 <= Luminance value <= 1 required");
    EXPECT_EQ(messageOf(HLS2RGB, {-0.1, 2, 0}), "HLS2RGB: 0 <= Hue value <= 1 required");
    EXPECT_EQ(messageOf(HLS2RGB, {0, 0, 1.0001}), "HLS2RGB: 0 <= Saturation value <= 1 required");
    EXPECT_EQ(messageOf(HLS2RGB, {std::numeric_limits<double>::quiet_NaN(), 0, 0}),
              "HLS2RGB: 0 <= Hue value <= 1 required");
}

TEST(RGB2HLS, Greys)
{
    expectTriple(hlsOf(0.5, 0.5, 0.5), 0, 0.5, 0);
    expectTriple(hlsOf(0.2, 0.2, 0.2), 0, 0.2, 0);
    expectTriple(hlsOf(0.8, 0.8, 0.8), 0, 0.8, 0);
    expectTriple(hlsOf(0, 0, 0), 0, 0, 0);
    expectTriple(hlsOf(1, 1, 1), 0, 1, 0);
}

TEST(RGB2HLS, PrimariesAndTheRedSeam)
{
    expectTriple(hlsOf(1, 0, 0), 1.0, 0.5, 1.0);
    expectTriple(hlsOf(0, 1, 0), 1.0 / 3, 0.5, 1);
    expectTriple(hlsOf(0, 0, 1), 2.0 / 3, 0.5, 1);
    expectTriple(hlsOf(1, 1, 0), 1.0 / 6, 0.5, 1);
    expectTriple(hlsOf(160 / 255.0, 0, 0), 1.0, 80 / 255.0, 1.0);
}

TEST(RGB2HLS, RejectsOutOfRangeComponentsInOrder)
{
    EXPECT_EQ(messageOf(RGB2HLS, {1.2, 0, 0}), "RGB2HLS: 0 <= Red value <= 1 required");
    EXPECT_EQ(messageOf(RGB2HLS, {0, -0.5, 3}), "RGB2HLS: 0 <= Green value <= 1 required");
    EXPECT_EQ(messageOf(RGB2HLS, {0, 0, std::numeric_limits<double>::quiet_NaN()}),
              "RGB2HLS: 0 <= Blue value <= 1 required");
}

TEST(RGB2HLS, AgreesWithTheDoubleHexconeAndRoundTrips)
{
    for (int r = 0; r <= 255; r += 15)
        for (int g = 0; g <= 255; g += 17)
            for (int b = 0; b <= 255; b += 51) {
                const double x[3] = {r / 255.0, g / 255.0, b / 255.0};
                const double mx = std::max({x[0], x[1], x[2]});
                const double mn = std::min({x[0], x[1], x[2]});
                const ColorTriple hls = hlsOf(x[0], x[1], x[2]);
                const double l = (mx + mn) / 2;
                ASSERT_NEAR(hls[1], l, 1e-9) << r << " " << g << " " << b;
                if (mx - mn > 1e-12) {
                    const double s = l <= 0.5 ? (mx - mn) / (mx + mn) : (mx - mn) / (2 - mx - mn);
                    ASSERT_NEAR(hls[2], s, 1e-9) << r << " " << g << " " << b;
                }
                ColorTriple back;
                HLS2RGB(hls, back);
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(back[c], x[c], 1e-9) << r << " " << g << " " << b;
            }
}

TEST(RGB2HLS, ColoursNextToAGreyKeepTheirHue)
{
    // A channel a few 1e-5 away from the others is far above the tolerance: still a colour.
    expectTriple(hlsOf(0.5002, 0.5, 0.5), 1.0, 0.5001, 0.0002 / 0.9998); // by mid-grey, red seam
    expectTriple(hlsOf(0.3, 0.3, 0.30004), 2.0 / 3, 0.30002, 0.00004 / 0.60004); // dark, bluish
    expectTriple(hlsOf(0.8, 0.8002, 0.8), 1.0 / 3, 0.8001, 0.0002 / 0.3998); // light, greenish
}

TEST(ShadeColor, WorkedValuesOfTheButtonLevels)
{
    struct Case
    {
        TColor color, light, dark;
    } cases[] = {
        {RGB(192, 192, 192), RGB(223, 223, 223), RGB(115, 115, 115)},
        {RGB(160, 0, 0), RGB(207, 127, 127), RGB(96, 0, 0)},
        {RGB(0, 176, 0), RGB(127, 215, 127), RGB(0, 106, 0)},
        {RGB(0, 0, 0), RGB(127, 127, 127), RGB(0, 0, 0)},
        {RGB(255, 255, 255), RGB(255, 255, 255), RGB(153, 153, 153)},
    };
    for (const Case &c : cases) {
        TColor light = 1;
        TColor dark = 1;
        ShadeColor(c.color, 0.5f, 0.6f, light, dark);
        EXPECT_EQ(light, c.light) << std::hex << c.color;
        EXPECT_EQ(dark, c.dark) << std::hex << c.color;
    }
}

TEST(ShadeColor, SystemColourUsesItsRgb)
{
    TColor light = 0;
    TColor dark = 0;
    ShadeColor(clBtnFace, 0.5f, 0.6f, light, dark);
    EXPECT_EQ(light, RGB(223, 223, 223));
    EXPECT_EQ(dark, RGB(115, 115, 115));
}

TEST(ShadeColor, HalvesRoundToEven)
{
    TColor light = 0;
    TColor dark = 0;
    // (256 - 191) * 0.5 = 32.5 -> 32 and (256 - 189) * 0.5 = 33.5 -> 34.
    ShadeColor(RGB(191, 189, 255), 0.5f, 0.6f, light, dark);
    EXPECT_EQ(redOf(light), 255 - 32);
    EXPECT_EQ(greenOf(light), 255 - 34);
    EXPECT_EQ(blueOf(light), 255); // 0.5 -> 0
}

TEST(ShadeColor, DarkFactorAboveOneFailsAfterTheLightColour)
{
    TColor light = 0;
    TColor dark = 12345;
    try {
        ShadeColor(RGB(200, 200, 200), 0.5f, 2.0f, light, dark);
        FAIL() << "no error";
    } catch (const EColorConv &e) {
        EXPECT_STREQ(e.what(), "HLS2RGB: 0 <= Luminance value <= 1 required");
    }
    EXPECT_EQ(light, RGB(227, 227, 227));
    EXPECT_EQ(dark, 12345u);
}

TEST(ShadeColor, LightFactorOutsideTheUnitWraps)
{
    TColor light = 0;
    TColor dark = 0;
    // 255 - (256 * 2) = -257, which is 255 modulo 256.
    ShadeColor(RGB(0, 0, 0), 2.0f, 0.6f, light, dark);
    EXPECT_EQ(light, RGB(255, 255, 255));
}
