#include "controls/Shape.h"
#include "app/TitleFilePlace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

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

TEST(TitleFileStart, EqualStampsReadTheDataFolderCopy)
{
    // Coarse file times (two seconds on FAT) make a fallback save and a save beside the
    // program stamp alike; the data folder's copy was the fallback's and is kept.
    QTemporaryDir tmp;
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(-60);
    for (const QString &file : {tmp.filePath("bin/courtlyx.rtf"), tmp.filePath("data/courtlyx.rtf")}) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 title}");
        f.flush();
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(QFileInfo(tmp.filePath("bin/courtlyx.rtf")).lastModified(),
              QFileInfo(tmp.filePath("data/courtlyx.rtf")).lastModified());
    const TitleFilePlace place(tmp.filePath("bin/courtlyx"), tmp.filePath("data"));
    EXPECT_EQ(place.startFile(), tmp.filePath("data/courtlyx.rtf"));
}

TEST(TitleFileDefault, AFolderThatRefusesWritesEvenToRootSendsItToTheDataFolder)
{
    // Permission bits do not stop root; a process folder of procfs refuses everyone.
    const QString refusing = QStringLiteral("/proc/1");
    if (!QFileInfo(refusing).isDir() || QFileInfo(refusing).isWritable())
        GTEST_SKIP() << "no folder here that refuses this user's writes";
    QTemporaryDir tmp;
    const TitleFilePlace place(refusing + QStringLiteral("/courtlyx"), tmp.filePath("data"));
    EXPECT_EQ(place.defaultFile(), tmp.filePath("data/courtlyx.rtf"));
}
