#include "core/SettingsStore.h"
#include "tests/core/BoardSettingsSamples.h"

#include <QFile>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

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
        EXPECT_EQ(s.allKeys().size(), 34)
            << "the sixteen, Format, TieBreakPoints, FullScreen, the feed's seven and the broker's eight";
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
    written.FeedHost = QStringLiteral("court1.club.example");
    {
        QSettings s(path(), QSettings::IniFormat);
        SettingsStore::write(s, written);
        const QStringList keys = s.allKeys();
        for (const char *key : {"Feed", "FeedPort", "FeedNet", "FeedFiles", "FeedFolder", "FeedPin", "FeedHost"})
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

TEST_F(StoreFile, AFeedProvisionedWithoutTheValuesBeforeItReadsOnItsPortAndPin)
{
    writeRaw(QByteArray(kAllButNames) + "Comanda1=A\nComanda2=B\nFeed=1\nFeedPort=9001\nFeedPin=246810\n");
    const BoardSettings read = readOverDefaults();
    EXPECT_TRUE(read.Feed);
    EXPECT_EQ(read.FeedPort, 9001);
    EXPECT_EQ(read.FeedPin, "246810");
    EXPECT_FALSE(read.FullScreen);
    EXPECT_FALSE(read.FeedNet);
    EXPECT_TRUE(read.FeedHost.isEmpty());
}

TEST_F(StoreFile, TheBrokerValuesFollowTheFeedsAndAStoreWithoutThemLeavesItOff)
{
    writeRaw(QByteArray(kAllButNames) + "Comanda1=A\nComanda2=B\nFeed=1\nFeedHost=court1\n");
    BoardSettings read = readOverDefaults();
    EXPECT_FALSE(read.Broker);
    EXPECT_EQ(read.BrokerPort, 1883);
    EXPECT_EQ(read.BrokerCourt, "1");
    EXPECT_EQ(read.FeedHost, "court1");
    file = QStringLiteral("Broker.conf");
    writeRaw(QByteArray(kAllButNames)
             + "Broker=1\nBrokerHost=desk.club\nBrokerPort=0\nBrokerCourt=3\nBrokerUser=court-3\nBrokerTls=1\n");
    read = readOverDefaults();
    EXPECT_TRUE(read.Broker);
    EXPECT_EQ(read.BrokerHost, "desk.club");
    EXPECT_EQ(read.BrokerPort, 1883) << "port 0";
    EXPECT_EQ(read.BrokerCourt, "3");
    EXPECT_EQ(read.BrokerUser, "court-3");
    EXPECT_TRUE(read.BrokerPassword.isEmpty());
    EXPECT_TRUE(read.BrokerTls);
    for (const char *court : {"", "a/b", "court#", "Platz+1", "123456789012345678901234567890123", "Plätz"}) {
        file = QStringLiteral("Court%1.conf").arg(qHash(QByteArray(court)));
        writeRaw(QByteArray(kAllButNames) + "BrokerCourt=" + court + "\n");
        EXPECT_EQ(readOverDefaults().BrokerCourt, "1") << court << " is no topic level of ours";
    }
    EXPECT_TRUE(SettingsStore::isCourtName(QStringLiteral("12345678901234567890123456789012")));
    EXPECT_TRUE(SettingsStore::isCourtName(QStringLiteral("Centre_Court-2")));
}

// The password of the board's broker user is no one else's business on a shared PC.
TEST_F(StoreFile, AStoreHoldingAPasswordIsTheUsersAlone)
{
    namespace fs = std::filesystem;
    const auto mode = [this] { return fs::status(path().toStdString()).permissions(); };
    BoardSettings s;
    {
        QSettings store(path(), QSettings::IniFormat);
        SettingsStore::write(store, s);
    }
    EXPECT_NE(mode() & fs::perms::others_read, fs::perms::none) << "no password: as the system makes files";
    s.BrokerPassword = QStringLiteral("s3cret");
    {
        QSettings store(path(), QSettings::IniFormat);
        SettingsStore::write(store, s);
    }
    EXPECT_EQ(mode(), fs::perms::owner_read | fs::perms::owner_write) << "0600";
    EXPECT_EQ(readOverDefaults().BrokerPassword, "s3cret");
    file = QStringLiteral("New.conf");
    {
        QSettings store(path(), QSettings::IniFormat);
        SettingsStore::write(store, s);
    }
    EXPECT_EQ(mode(), fs::perms::owner_read | fs::perms::owner_write) << "a new file";
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

using Key = SettingsStore::Key;
using Kind = SettingsStore::Kind;

std::vector<std::string> keyNames(std::optional<SettingsStore::Reading> reading = std::nullopt)
{
    std::vector<std::string> names;
    for (const Key &key : SettingsStore::keys())
        if (!reading || key.reading == *reading)
            names.emplace_back(key.name);
    return names;
}

const Key &keyNamed(const std::string &name)
{
    const auto keys = SettingsStore::keys();
    return *std::ranges::find_if(keys, [&](const Key &key) { return name == key.name; });
}

// A value of the key's kind other than its default, as the key takes it.
QVariant awayFromDefault(const Key &key)
{
    switch (key.kind) {
    case Kind::Number:
        return key.fallback.toLongLong() + 1;
    case Kind::Flag:
        return qint64(key.fallback.toLongLong() == 0);
    case Kind::Colour:
        return qint64(clBtnFace);
    case Kind::Text:
        return key.fallback.toString() + QStringLiteral("Graf, Stéfi");
    case Kind::Format:
        return QStringLiteral("SET3-S:6/TB7");
    case Kind::Court:
        return QStringLiteral("Centre_Court-2");
    }
    return {};
}

class DeclaredValue : public StoreFile, public ::testing::WithParamInterface<std::string> {};

// A value changed alone is held by its key alone and comes back from the store.
TEST_P(DeclaredValue, RoundTripsAwayFromItsDefault)
{
    const Key &changedKey = keyNamed(GetParam());
    const BoardSettings defaults;
    BoardSettings written;
    changedKey.take(written, awayFromDefault(changedKey));
    for (const Key &key : SettingsStore::keys())
        EXPECT_EQ(key.give(written) != key.give(defaults), &key == &changedKey) << key.name;
    {
        QSettings s(path(), QSettings::IniFormat);
        SettingsStore::write(s, written);
    }
    const BoardSettings read = readOverDefaults();
    EXPECT_EQ(changedKey.give(read), changedKey.give(written));
    EXPECT_TRUE(read == written);
}

INSTANTIATE_TEST_SUITE_P(EveryKey, DeclaredValue, ::testing::ValuesIn(keyNames()),
                         [](const auto &info) { return info.param; });

enum class Fault { Missing, Malformed };

// What the store may hold instead of a value the key can take: not a text, not a format's
// code, not a number.
QVariant malformed(const Key &key)
{
    if (key.kind == Kind::Text)
        return QRect(1, 2, 3, 4);
    if (key.kind == Kind::Court)
        return QStringLiteral("Platz 3");
    return key.kind == Kind::Format ? QStringLiteral("SET9-Q") : QStringLiteral("12a");
}

class LaterValue : public StoreFile, public ::testing::WithParamInterface<std::tuple<std::string, Fault>> {};

// A club's store may leave out any value added after the sixteen, or hold it mistyped.
TEST_P(LaterValue, MissingOrMalformedTakesItsDefaultAndTheOthersStillRead)
{
    const auto &[name, fault] = GetParam();
    const Key &faulty = keyNamed(name);
    BoardSettings changed;
    for (const Key &key : SettingsStore::keys())
        key.take(changed, awayFromDefault(key));
    {
        QSettings s(path(), QSettings::IniFormat);
        SettingsStore::write(s, changed);
        if (fault == Fault::Missing)
            s.remove(QLatin1String(faulty.name));
        else
            s.setValue(QLatin1String(faulty.name), malformed(faulty));
    }
    const BoardSettings read = readOverDefaults();
    for (const Key &key : SettingsStore::keys())
        EXPECT_EQ(key.give(read), key.give(&key == &faulty ? BoardSettings{} : changed)) << key.name;
}

INSTANTIATE_TEST_SUITE_P(
    AfterTheSixteen, LaterValue,
    ::testing::Combine(::testing::ValuesIn(keyNames(SettingsStore::Reading::OnItsOwn)),
                       ::testing::Values(Fault::Missing, Fault::Malformed)),
    [](const auto &info) {
        return std::get<0>(info.param) + (std::get<1>(info.param) == Fault::Missing ? "_Missing" : "_Malformed");
    });

} // namespace
