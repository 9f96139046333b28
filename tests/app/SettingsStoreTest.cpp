#include "tests/app/BoardFixture.h"

#include "core/SettingsStore.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QRadioButton>

namespace {

class Settings : public BoardFixture
{
protected:
    void SetUp() override { clearSettings(); }

    static QSettings store()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                         QStringLiteral("Courtlyx"));
    }
    // Writes the values, then starts the board, which reads them while it is created.
    void startWith(std::initializer_list<std::pair<const char *, QVariant>> values)
    {
        {
            QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                        QStringLiteral("Courtlyx"));
            for (const auto &[key, value] : values)
                s.setValue(QLatin1String(key), value);
        }
        startBoard();
    }
    void startWithAll(const char *replacedKey = nullptr, QVariant replacement = {})
    {
        std::vector<std::pair<const char *, QVariant>> all = {
            {"L", 300}, {"T", 200}, {"W", 1000}, {"H", 600}, {"Sound", 1}, {"Monitor", 2},
            {"Comanda1", "Graf"}, {"Comanda2", "Seles"}, {"C0", 0x000080}, {"C1", 0x008000},
            {"C2", 0x00FF00}, {"C3", 0xFF0000}, {"C4", 0x0000FF}, {"TieBreak", 0},
            {"CountSets", 3}, {"AutoSchet", 0}};
        {
            QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                        QStringLiteral("Courtlyx"));
            for (const auto &[key, value] : all) {
                if (replacedKey && qstrcmp(key, replacedKey) == 0) {
                    if (replacement.isValid())
                        s.setValue(QLatin1String(key), replacement);
                } else {
                    s.setValue(QLatin1String(key), value);
                }
            }
        }
        startBoard();
    }
    void expectDefaultsFrom(const char *firstUnread)
    {
        const std::string from = firstUnread;
        auto unread = [&](const char *key) {
            static const char *order[] = {"L", "T", "W", "H", "Sound", "Monitor", "Comanda1",
                                          "Comanda2", "C0", "C1", "C2", "C3", "C4", "TieBreak",
                                          "CountSets", "AutoSchet"};
            int a = 16, b = 0;
            for (int i = 0; i < 16; ++i) {
                if (from == order[i]) a = i;
                if (std::string(key) == order[i]) b = i;
            }
            return b >= a;
        };
        EXPECT_EQ(board->pos(), unread("L") ? QPoint(248, 128) : QPoint(300, 200));
        EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), unread("Comanda1") ? "Name 1" : "Graf");
        EXPECT_EQ(board->schemeColour(4), unread("C4") ? clYellow : 0x0000FFu);
        EXPECT_EQ(ctl<QCheckBox>("cbTieBreak")->isChecked(), unread("TieBreak"));
        EXPECT_EQ(board->score().setCount(), unread("CountSets") ? 5 : 3);
        EXPECT_EQ(ctl<QCheckBox>("cbAutoSchet")->isChecked(), unread("AutoSchet"));
    }
};

TEST_F(Settings, NoKeyStartsAtTheDesignValues)
{
    startBoard();
    EXPECT_EQ(board->pos(), QPoint(248, 128));
    EXPECT_EQ(board->size(), QSize(792, 547));
    EXPECT_EQ(board->outerBounds().size(), QSize(800, 578));
    EXPECT_EQ(ctl<QLineEdit>("eName2")->text(), "Name 2");
    EXPECT_TRUE(ctl<QCheckBox>("cbTieBreak")->isChecked());
    EXPECT_TRUE(ctl<QCheckBox>("cbAutoSchet")->isChecked());
    EXPECT_EQ(board->score().setCount(), 5);
    EXPECT_EQ(board->schemeColour(2), clWhite);
}

TEST_F(Settings, EveryValueReadsBackAndApplies)
{
    startWithAll();
    expectDefaultsFrom("none");
    EXPECT_EQ(board->size(), QSize(992, 569));
    EXPECT_TRUE(board->Sound());
    EXPECT_EQ(board->Monitor(), 2);
    EXPECT_EQ(ctl<QLineEdit>("eName2")->text(), "Seles");
    EXPECT_EQ(board->schemeColour(0), 0x000080u);
    EXPECT_FALSE(ctl<QLabel>("LabelTbOn")->isVisibleTo(board.get()));
    EXPECT_TRUE(countItem(1)->isChecked());
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->width(), 163);
}

TEST_F(Settings, FirstMissingOrMistypedNumberEndsTheReading)
{
    for (const char *key : {"L", "H", "Monitor", "C2", "CountSets"}) {
        SCOPED_TRACE(key);
        clearSettings();
        startWithAll(key);
        expectDefaultsFrom(key);
        clearSettings();
        startWithAll(key, QStringLiteral("abc"));
        expectDefaultsFrom(key);
    }
}

TEST_F(Settings, MissingTextReadsEmptyAndReadingGoesOn)
{
    startWithAll("Comanda1");
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "");
    EXPECT_EQ(ctl<QLineEdit>("eName2")->text(), "Seles");
    EXPECT_EQ(board->score().setCount(), 3);
    EXPECT_FALSE(ctl<QCheckBox>("cbAutoSchet")->isChecked());
}

TEST_F(Settings, BoundsAloneRestoreTheWindowOnly)
{
    startWith({{"L", 10}, {"T", 20}, {"W", 800}, {"H", 578}});
    EXPECT_EQ(board->outerBounds(), QRect(10, 20, 800, 578));
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Name 1");
    EXPECT_TRUE(ctl<QCheckBox>("cbAutoSchet")->isChecked());
}

TEST_F(Settings, SizesOutOfRangeKeepAUsableWindow)
{
    const std::pair<int, int> sizes[] = {{0, 0}, {-500, -1}, {100000, 100000}};
    for (const auto &[w, h] : sizes) {
        SCOPED_TRACE(w);
        clearSettings();
        startWith({{"L", 0}, {"T", 0}, {"W", w}, {"H", h}});
        const QRect b = board->outerBounds();
        EXPECT_GE(b.width(), 800);
        EXPECT_GE(b.height(), 546);
        EXPECT_LE(b.width(), 1920);
        EXPECT_LE(b.height(), 1080);
    }
}

TEST_F(Settings, WindowOffEveryScreenComesBack)
{
    startWith({{"L", -5000}, {"T", 9000}, {"W", 800}, {"H", 578}});
    EXPECT_TRUE(QRect(0, 0, 1920, 1080).contains(board->pos()));
}

TEST_F(Settings, ColourOutside32BitsAndHugeNameDoNotHarm)
{
    startWithAll("C1", QVariant(qint64(1) << 40));
    expectDefaultsFrom("C1");
    clearSettings();
    const QString huge(100 * 1024, u'x');
    startWithAll("Comanda2", huge);
    EXPECT_EQ(board->score().setCount(), 3) << "reading went on past the long name";
    EXPECT_FALSE(ctl<QLineEdit>("eName2")->text().isEmpty());
    QTest::keyClick(board.get(), Qt::Key_Pause);
    EXPECT_TRUE(ctl<TLabel3D>("LName2")->isVisible());
}

TEST_F(Settings, SetCountOtherThanThreePlaysFiveSets)
{
    startWithAll("CountSets", 7);
    EXPECT_EQ(board->score().setCount(), 5);
    EXPECT_TRUE(countItem(0)->isChecked());
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->width(), 271);
    EXPECT_FALSE(ctl<QCheckBox>("cbAutoSchet")->isChecked()) << "reading went on";
}

TEST_F(Settings, ExitWritesAllSixteenValues)
{
    startBoard();
    ctl<QLineEdit>("eName1")->setText(QStringLiteral("Evert"));
    ctl<QCheckBox>("cbTieBreak")->setChecked(false);
    board->setSchemeColour(3, clBtnFace);
    board.reset();
    QSettings s = store();
    EXPECT_EQ(s.allKeys().size(), 25) << "the sixteen, Format, TieBreakPoints, FullScreen and the feed's six";
    EXPECT_EQ(s.value("Format").toString(), "SET5-S:6");
    EXPECT_EQ(s.value("TieBreakPoints").toInt(), 0);
    EXPECT_EQ(s.value("Comanda1").toString(), "Evert");
    EXPECT_EQ(s.value("TieBreak").toInt(), 0);
    EXPECT_EQ(s.value("C3").toInt(), qint32(clBtnFace)) << "system colours as negative codes";
    EXPECT_EQ(s.value("W").toInt(), 800);
    startBoard();
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Evert");
    EXPECT_EQ(board->schemeColour(3), clBtnFace);
    EXPECT_FALSE(ctl<QCheckBox>("cbTieBreak")->isChecked());
}

TEST_F(Settings, LargerWindowKeepsSetPanelAndLogoAtTheRight)
{
    startWith({{"L", 0}, {"T", 0}, {"W", 1000}, {"H", 678}});
    EXPECT_EQ(board->size(), QSize(992, 647));
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->geometry(), QRect(540, 337, 271, 126));
    EXPECT_EQ(ctl<QLabel>("ImageDE")->pos(), QPoint(813, 610));
    EXPECT_EQ(ctl<TLabel3D>("eSchet1")->pos(), QPoint(624, 358)) << "the rest keeps top and left";
    QTest::mouseClick(countItem(1), Qt::LeftButton);
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->geometry(), QRect(648, 337, 163, 126));
}

} // namespace

namespace {

// Every one of the sixteen values away from its default.
BoardSettings allChanged()
{
    BoardSettings s;
    s.L = 301;
    s.T = 202;
    s.W = 1001;
    s.H = 603;
    s.Sound = true;
    s.Monitor = 3;
    s.Comanda1 = QStringLiteral("Graf");
    s.Comanda2 = QStringLiteral("Seles");
    s.C = {0x000080, 0x008000, 0x00FF00, clBtnFace, 0xFF0000};
    s.TieBreak = false;
    s.CountSets = 3;
    s.AutoSchet = false;
    return s;
}

void expectSame(const BoardSettings &a, const BoardSettings &b)
{
    EXPECT_EQ(a.L, b.L);
    EXPECT_EQ(a.T, b.T);
    EXPECT_EQ(a.W, b.W);
    EXPECT_EQ(a.H, b.H);
    EXPECT_EQ(a.Sound, b.Sound);
    EXPECT_EQ(a.Monitor, b.Monitor);
    EXPECT_EQ(a.Comanda1, b.Comanda1);
    EXPECT_EQ(a.Comanda2, b.Comanda2);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(a.C[slot], b.C[slot]) << "C" << slot;
    EXPECT_EQ(a.TieBreak, b.TieBreak);
    EXPECT_EQ(a.CountSets, b.CountSets);
    EXPECT_EQ(a.AutoSchet, b.AutoSchet);
    EXPECT_EQ(a.Feed, b.Feed);
    EXPECT_EQ(a.FeedPort, b.FeedPort);
    EXPECT_EQ(a.FeedNet, b.FeedNet);
    EXPECT_EQ(a.FeedFiles, b.FeedFiles);
    EXPECT_EQ(a.FeedFolder, b.FeedFolder);
    EXPECT_EQ(a.FeedPin, b.FeedPin);
}

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

TEST_F(Settings, DesignStateIsTheDefaultValue)
{
    startBoard();
    expectSame(board->settings(), BoardSettings{});
}

TEST_F(Settings, EverySixteenValuesSurviveARestart)
{
    startBoard();
    const BoardSettings changed = allChanged();
    board->applySettings(changed);
    board.reset();
    startBoard();
    expectSame(board->settings(), changed);
    EXPECT_EQ(board->size(), QSize(993, 572));
    EXPECT_EQ(ctl<QLineEdit>("eName2")->text(), "Seles");
}

TEST_F(Settings, LargerWindowKeepsTheStripDockedAtTheBottom)
{
    startWith({{"L", 0}, {"T", 0}, {"W", 1000}, {"H", 678}});
    board->ObCFGClick();
    EXPECT_EQ(ctl<QFrame>("PanelCFG")->geometry(), QRect(0, 580, 992, 67));
}

} // namespace

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
