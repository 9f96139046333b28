#include "gdi/EllipticRegion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string picture(const EllipticRegion &region, int width, int height)
{
    std::string rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            rows += region.contains(x, y) ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

} // namespace

TEST(EllipticRegion, SmallCircleByPixelCentres)
{
    EXPECT_EQ(picture(EllipticRegion(0, 0, 5, 5), 5, 5),
              ".###.\n"
              "#####\n"
              "#####\n"
              "#####\n"
              ".###.\n");
}

TEST(EllipticRegion, RightAndBottomAreExclusive)
{
    const EllipticRegion region(0, 0, 45, 45);
    EXPECT_TRUE(region.contains(0, 22));
    EXPECT_TRUE(region.contains(44, 22));
    EXPECT_FALSE(region.contains(45, 22));
    EXPECT_TRUE(region.contains(22, 44));
    EXPECT_FALSE(region.contains(22, 45));
    EXPECT_FALSE(region.contains(0, 0));
    EXPECT_FALSE(region.contains(44, 44));
    EXPECT_EQ(region.top(), 0);
    EXPECT_EQ(region.bottom(), 45);
}

TEST(EllipticRegion, SymmetricInBothAxes)
{
    const EllipticRegion region(3, 2, 40, 27);
    for (int y = 2; y < 27; ++y)
        for (int x = 3; x < 40; ++x) {
            ASSERT_EQ(region.contains(x, y), region.contains(3 + 40 - 1 - x, y)) << x << "," << y;
            ASSERT_EQ(region.contains(x, y), region.contains(x, 2 + 27 - 1 - y)) << x << "," << y;
        }
}

TEST(EllipticRegion, DegenerateBoxes)
{
    EXPECT_TRUE(EllipticRegion(5, 5, 5, 9).isEmpty());
    EXPECT_TRUE(EllipticRegion(5, 5, 3, 9).isEmpty());
    const EllipticRegion dot(2, 2, 3, 3);
    EXPECT_TRUE(dot.contains(2, 2));
    EXPECT_FALSE(dot.contains(3, 2));
}
