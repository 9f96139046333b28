#include "core/SettingsStore.h"
#include "tests/core/BoardSettingsSamples.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A store in a file of its own, written as an operator might have edited it.
class StoreFile : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(file); }
    void writeRaw(const QByteArray &lines)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\n" + lines);
    }
    BoardSettings readOverDefaults()
    {
        QSettings s(path(), QSettings::IniFormat);
        const std::optional<BoardSettings> read = SettingsStore::read(s, BoardSettings{});
        EXPECT_TRUE(read.has_value());
        return read.value_or(BoardSettings{});
    }
    QTemporaryDir dir;
    // Qt keeps a store's file in memory; a file rewritten at once needs a new name.
    QString file = QStringLiteral("Courtlyx.conf");
};

constexpr auto kAllButNames = "L=1\nT=2\nW=800\nH=578\nSound=0\nMonitor=0\n"
                              "C0=0\nC1=0\nC2=0\nC3=0\nC4=0\nTieBreak=0\nCountSets=3\nAutoSchet=0\n";

TEST_F(StoreFile, EverySixteenValuesRoundTrip)
{
    const BoardSettings written = allChanged();
    const BoardSettings defaults;
    ASSERT_NE(written.L, defaults.L);
    ASSERT_NE(written.Monitor, defaults.Monitor);
    {
        QSettings s(path(), QSettings::IniFormat);
        SettingsStore::write(s, written);
        EXPECT_EQ(s.allKeys().size(), 25) << "the sixteen, Format, TieBreakPoints, FullScreen and the feed's six";
    }
    expectSame(readOverDefaults(), written);
}

TEST_F(StoreFile, TheFeedValuesRoundTripAfterTheOthers)
{
    BoardSettings written = allChanged();
    written.Feed = true;
    written.FeedPort = 9001;
    written.FeedNet = true;
    written.FeedFiles = true;
    written.FeedFolder = QStringLiteral("/srv/obs/court 1");
    written.FeedPin = QStringLiteral("013579");
    {
        QSettings s(path(), QSettings::IniFormat);
        SettingsStore::write(s, written);
        const QStringList keys = s.allKeys();
        for (const char *key : {"Feed", "FeedPort", "FeedNet", "FeedFiles", "FeedFolder", "FeedPin"})
            EXPECT_TRUE(keys.contains(QLatin1String(key))) << key;
    }
    expectSame(readOverDefaults(), written);
}

TEST_F(StoreFile, AStoreWithoutTheFeedLeavesItOffAndAPortOutOfRangeIsTheDefault)
{
    writeRaw(QByteArray(kAllButNames) + "Comanda1=Graf\nComanda2=Seles\nTieBreakPoints=1\n");
    BoardSettings read = readOverDefaults();
    EXPECT_TRUE(read.TieBreakPoints);
    EXPECT_FALSE(read.Feed);
    EXPECT_EQ(read.FeedPort, 8765);
    file = QStringLiteral("LowPort.conf");
    writeRaw(QByteArray(kAllButNames) + "TieBreakPoints=0\nFullScreen=0\nFeed=1\nFeedPort=80\nFeedNet=1\nFeedFiles=0\nFeedPin=111111\n");
    read = readOverDefaults();
    EXPECT_TRUE(read.Feed);
    EXPECT_EQ(read.FeedPort, 8765) << "below 1024";
    EXPECT_TRUE(read.FeedNet) << "reading went on";
    EXPECT_EQ(read.FeedPin, "111111");
    file = QStringLiteral("HighPort.conf");
    writeRaw(QByteArray(kAllButNames) + "TieBreakPoints=0\nFullScreen=0\nFeed=1\nFeedPort=65536\n");
    EXPECT_EQ(readOverDefaults().FeedPort, 8765);
}

TEST_F(StoreFile, NameSplitAtAnUnquotedCommaReadsWhole)
{
    writeRaw(QByteArray(kAllButNames) + "Comanda1=Graf, Steffi\nComanda2=Seles\n");
    const BoardSettings read = readOverDefaults();
    EXPECT_EQ(read.Comanda1, "Graf, Steffi");
    EXPECT_EQ(read.Comanda2, "Seles") << "reading went on";
    EXPECT_FALSE(read.AutoSchet);
}

TEST_F(StoreFile, ColourUpToTheUnsigned32BitLimitReads)
{
    writeRaw(QByteArray(kAllButNames).replace("C4=0", "C4=4294967295"));
    BoardSettings read = readOverDefaults();
    EXPECT_EQ(read.C[4], TColor(0xFFFFFFFF));
    EXPECT_EQ(read.CountSets, 3) << "reading went on";
    file = QStringLiteral("Beyond.conf");
    writeRaw(QByteArray(kAllButNames).replace("C4=0", "C4=4294967296"));
    read = readOverDefaults();
    EXPECT_EQ(read.C[4], clYellow) << "one past the limit ends the reading";
    EXPECT_EQ(read.CountSets, 5);
}

TEST_F(StoreFile, AnyNonZeroNumberReadsAsTrue)
{
    writeRaw(QByteArray(kAllButNames).replace("Sound=0", "Sound=2").replace("AutoSchet=0", "AutoSchet=-1"));
    const BoardSettings read = readOverDefaults();
    EXPECT_TRUE(read.Sound);
    EXPECT_TRUE(read.AutoSchet);
}

TEST_F(StoreFile, FullScreenFollowsTheSixteenAndIsOffWithoutIt)
{
    writeRaw(QByteArray(kAllButNames) + "Comanda1=A\nComanda2=B\n");
    EXPECT_FALSE(readOverDefaults().FullScreen) << "a store of an older board starts as before";
    writeRaw(QByteArray(kAllButNames) + "Comanda1=A\nComanda2=B\nFormat=SET3-S:6/TB7\nTieBreakPoints=1\n");
    EXPECT_FALSE(readOverDefaults().FullScreen) << "a store with the formats' values but not FullScreen";
    writeRaw(QByteArray(kAllButNames)
             + "Comanda1=A\nComanda2=B\nFormat=SET3-S:6/TB7\nTieBreakPoints=1\nFullScreen=1\n");
    EXPECT_TRUE(readOverDefaults().FullScreen) << "FullScreen comes after Format and TieBreakPoints";
    BoardSettings on;
    on.FullScreen = true;
    {
        QSettings s(path(), QSettings::IniFormat);
        SettingsStore::write(s, on);
        EXPECT_EQ(s.value("FullScreen").toInt(), 1);
    }
    EXPECT_TRUE(readOverDefaults().FullScreen);
}

} // namespace
