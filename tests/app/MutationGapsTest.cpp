#include "app/Shape.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage rendered(TShape &shape)
{
    QImage image(shape.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    shape.render(&image);
    return image;
}

} // namespace

TEST(ServeMark, OutlineFillsItsBoxSymmetrically)
{
    TShape shape;
    shape.setPenColor(Qt::red);
    shape.resize(49, 49);
    const QImage image = rendered(shape);
    const QRgb red = QColor(Qt::red).rgba();
    // The widest points sit on all four edges, the right and bottom ones included.
    EXPECT_EQ(image.pixel(0, 24), red);
    EXPECT_EQ(image.pixel(24, 0), red);
    EXPECT_EQ(image.pixel(48, 24), red);
    EXPECT_EQ(image.pixel(24, 48), red);
    EXPECT_EQ(image.pixel(24, 24), QColor(Qt::transparent).rgba()) << "hollow";
    int asymmetric = 0;
    for (int y = 0; y < 49; ++y) {
        for (int x = 0; x < 49; ++x) {
            asymmetric += image.pixel(x, y) != image.pixel(48 - x, y);
            asymmetric += image.pixel(x, y) != image.pixel(x, 48 - y);
        }
    }
    EXPECT_EQ(asymmetric, 0);
}
