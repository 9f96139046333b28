#include "tests/FreePort.h"
#include "tests/app/BoardFixture.h"

#include "feed/FeedPublisher.h"
#include "core/SettingsStore.h"
#include "tests/core/BoardSettingsSamples.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTcpServer>

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
    // The sixteen values, one of them left out or replaced.
    static void writeSixteen(const char *replacedKey = nullptr, QVariant replacement = {})
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
    }
    void startWithAll(const char *replacedKey = nullptr, QVariant replacement = {})
    {
        writeSixteen(replacedKey, std::move(replacement));
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
        EXPECT_EQ(board->model().colour(4), unread("C4") ? clYellow : 0x0000FFu);
        EXPECT_EQ(ctl<QCheckBox>("cbTieBreak")->isChecked(), unread("TieBreak"));
        EXPECT_EQ(board->model().score().setCount(), unread("CountSets") ? 5 : 3);
        EXPECT_EQ(ctl<QCheckBox>("cbAutoSchet")->isChecked(), unread("AutoSchet"));
    }
};

TEST_F(Settings, NoKeyStartsAtTheDesignValues)
{
    startBoard();
    EXPECT_EQ(board->pos(), QPoint(248, 128));
    EXPECT_EQ(board->size(), QSize(792, 547));
    EXPECT_EQ(WindowBounds(*board).outer().size(), QSize(800, 578));
    EXPECT_EQ(ctl<QLineEdit>("eName2")->text(), "Name 2");
    EXPECT_TRUE(ctl<QCheckBox>("cbTieBreak")->isChecked());
    EXPECT_TRUE(ctl<QCheckBox>("cbAutoSchet")->isChecked());
    EXPECT_EQ(board->model().score().setCount(), 5);
    EXPECT_EQ(board->model().colour(2), clWhite);
}

TEST_F(Settings, EveryValueReadsBackAndApplies)
{
    startWithAll();
    expectDefaultsFrom("none");
    EXPECT_EQ(board->size(), QSize(992, 569));
    EXPECT_TRUE(board->model().sound());
    EXPECT_EQ(board->model().monitor(), 2);
    EXPECT_EQ(ctl<QLineEdit>("eName2")->text(), "Seles");
    EXPECT_EQ(board->model().colour(0), 0x000080u);
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
    EXPECT_EQ(board->model().score().setCount(), 3);
    EXPECT_FALSE(ctl<QCheckBox>("cbAutoSchet")->isChecked());
}

TEST_F(Settings, AFeedProvisionedWithoutTheValuesBeforeItStartsOnItsPortAndPin)
{
    const quint16 port = quietPort();
    ASSERT_NE(port, 0);
    writeSixteen();
    startWith({{"Feed", 1}, {"FeedPort", int(port)}, {"FeedPin", "246810"}});
    const FeedServer &server = board->feed().server();
    ASSERT_TRUE(server.isRunning()) << server.errorText().toStdString();
    EXPECT_EQ(server.port(), port);
    EXPECT_EQ(server.pin(), "246810");
}

TEST_F(Settings, BoundsAloneRestoreTheWindowOnly)
{
    startWith({{"L", 10}, {"T", 20}, {"W", 800}, {"H", 578}});
    EXPECT_EQ(WindowBounds(*board).outer(), QRect(10, 20, 800, 578));
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
        const QRect b = WindowBounds(*board).outer();
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
    EXPECT_EQ(board->model().score().setCount(), 3) << "reading went on past the long name";
    EXPECT_FALSE(ctl<QLineEdit>("eName2")->text().isEmpty());
    QTest::keyClick(board.get(), Qt::Key_Pause);
    EXPECT_TRUE(ctl<TLabel3D>("LName2")->isVisible());
}

TEST_F(Settings, SetCountOtherThanThreePlaysFiveSets)
{
    startWithAll("CountSets", 7);
    EXPECT_EQ(board->model().score().setCount(), 5);
    EXPECT_TRUE(countItem(0)->isChecked());
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->width(), 271);
    EXPECT_FALSE(ctl<QCheckBox>("cbAutoSchet")->isChecked()) << "reading went on";
}

TEST_F(Settings, ExitWritesAllSixteenValues)
{
    startBoard();
    ctl<QLineEdit>("eName1")->setText(QStringLiteral("Evert"));
    ctl<QCheckBox>("cbTieBreak")->setChecked(false);
    board->model().execute(MatchCommand::colour(3, clBtnFace));
    board.reset();
    QSettings s = store();
    EXPECT_EQ(s.allKeys().size(), 34) << "the sixteen, Format, TieBreakPoints, FullScreen, the feed's seven, the broker's eight";
    EXPECT_EQ(s.value("Format").toString(), "SET5-S:6");
    EXPECT_EQ(s.value("TieBreakPoints").toInt(), 0);
    EXPECT_EQ(s.value("Comanda1").toString(), "Evert");
    EXPECT_EQ(s.value("TieBreak").toInt(), 0);
    EXPECT_EQ(s.value("C3").toInt(), qint32(clBtnFace)) << "system colours as negative codes";
    EXPECT_EQ(s.value("W").toInt(), 800);
    startBoard();
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Evert");
    EXPECT_EQ(board->model().colour(3), clBtnFace);
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

