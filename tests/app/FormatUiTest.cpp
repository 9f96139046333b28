#include "tests/app/BoardFixture.h"

#include "app/FormatChoice.h"
#include "core/MatchFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QAbstractItemView>
#include <QImage>
#include <QLineEdit>

namespace {

class Formats : public BoardFixture
{
protected:
    QComboBox *combo() const { return ctl<QComboBox>("cbFormat"); }
    QLineEdit *code() const { return ctl<QLineEdit>("eFormatCode"); }
    QCheckBox *tbPoints() const { return ctl<QCheckBox>("cbTBPoints"); }

    // Through the keyboard, as an operator without a mouse picks it.
    void choosePreset(int index)
    {
        board->ObCFGClick();
        combo()->setFocus();
        key(Qt::Key_Home, Qt::NoModifier, combo());
        for (int i = 0; i < index; ++i)
            key(Qt::Key_Down, Qt::NoModifier, combo());
    }
    void typeCode(const QString &text)
    {
        board->ObCFGClick();
        code()->setFocus();
        code()->selectAll();
        QTest::keyClicks(code(), text);
        key(Qt::Key_Return, Qt::NoModifier, code());
    }
    void points(int side, int count)
    {
        for (int i = 0; i < count; ++i)
            key(side == 1 ? Qt::Key_F1 : Qt::Key_F2, Qt::NoModifier, board.get());
    }
    // Games won without a point for the other side: four points each.
    void games(int side, int count) { points(side, 4 * count); }
    void start()
    {
        board->sbCloseClick();
        board->bPlayClick();
    }
    QString mark(const char *field) const
    {
        auto *m = ctl<QLabel>(QString::fromLatin1(field) + QStringLiteral("_TB"));
        return m && m->isVisibleTo(board.get()) ? m->text() : QString();
    }
};

TEST_F(Formats, EachPresetSetsTheFormatAndWritesItsCode)
{
    const auto &presets = FormatChoice::presets();
    ASSERT_EQ(presets.size(), 7u);
    EXPECT_EQ(combo()->itemText(2), "No-Ad + Match-Tiebreak (doubles)");
    EXPECT_EQ(combo()->geometry(), QRect(516, 6, 102, 21));
    EXPECT_EQ(code()->geometry(), QRect(478, 27, 140, 19));
    EXPECT_EQ(tbPoints()->geometry(), QRect(478, 47, 68, 16));
    for (int i = int(presets.size()) - 1; i >= 0; --i) {
        SCOPED_TRACE(presets[i].name.toStdString());
        choosePreset(i);
        EXPECT_EQ(board->model().score().format(), presets[i].format);
        EXPECT_EQ(code()->text(), presets[i].format.code());
        EXPECT_EQ(combo()->currentIndex(), i);
        EXPECT_EQ(board->settings().Format, presets[i].format.code());
        const int sets = presets[i].format.bestOf;
        EXPECT_EQ(ctl<QFrame>("PanelSatz")->width(), 54 * sets + 1);
        EXPECT_EQ(countItem(0)->isChecked(), sets == 5);
        EXPECT_EQ(countItem(1)->isChecked(), sets == 3);
        EXPECT_TRUE(ctl<QCheckBox>("cbTieBreak")->isChecked());
    }
}

TEST_F(Formats, BadCodeShowsItsErrorAndKeepsTheLastGoodFormat)
{
    choosePreset(1);
    typeCode(QStringLiteral("SET3-S:6/TB7-F:XX"));
    EXPECT_EQ(board->model().score().format(), kMatchTiebreakFormat);
    EXPECT_TRUE(code()->toolTip().contains(QStringLiteral("XX"))) << code()->toolTip().toStdString();
    EXPECT_EQ(code()->palette().color(QPalette::Text), QColor(0xC0, 0, 0));
    EXPECT_EQ(code()->text(), "SET3-S:6/TB7-F:XX") << "the operator's text stays to be corrected";

    typeCode(QStringLiteral("SET5-S:4/TB7@4"));
    EXPECT_EQ(board->model().score().format().bestOf, 5);
    EXPECT_EQ(board->model().score().format().set.setTo, 4);
    EXPECT_EQ(code()->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_FALSE(code()->toolTip().startsWith(QStringLiteral("Ung")));
    EXPECT_EQ(combo()->currentIndex(), -1) << "no preset plays it";
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->width(), 271);
}

TEST_F(Formats, SetCountAndTieBreakOptionEditTheShownCode)
{
    choosePreset(1);
    QTest::mouseClick(countItem(0), Qt::LeftButton);
    EXPECT_EQ(code()->text(), "SET5-S:6/TB7-F:TB10");
    ctl<QCheckBox>("cbTieBreak")->click();
    EXPECT_EQ(code()->text(), "SET5-S:6-F:TB10");
    EXPECT_EQ(board->model().score().format().code(), "SET5-S:6-F:TB10");
    EXPECT_EQ(combo()->currentIndex(), -1);
}

TEST_F(Formats, NoAdDeuceShowsTheDecidingPoint)
{
    choosePreset(2);
    start();
    points(1, 3);
    points(2, 2);
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "40");
    points(2, 1);
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "DP");
    EXPECT_EQ(text(MatchScore::pointsEntry(2)), "DP");
    points(2, 1);
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "0");
    EXPECT_EQ(ctl<TLabel3D>("S2_1")->Caption(), "1") << "the deciding point won the game";
}

TEST_F(Formats, TodaysFormatsShowNoDecidingPoint)
{
    start();
    points(1, 3);
    points(2, 3);
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "40");
    EXPECT_EQ(text(MatchScore::pointsEntry(2)), "40");
    EXPECT_EQ(board->settings().Format, "SET5-S:6/TB7");
}

TEST_F(Formats, FinishedMatchTiebreakMarksTheWinnerAndTakesNoPoints)
{
    choosePreset(2);
    start();
    games(1, 6);
    games(2, 6);
    EXPECT_TRUE(board->model().score().tieBreakMode()) << "the third set is the match tie-break";
    EXPECT_EQ(ctl<TLabel3D>("S1_3")->Caption(), "0");
    for (int i = 0; i < 8; ++i) {
        points(1, 1);
        points(2, 1);
    }
    points(1, 1);
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "9");
    EXPECT_EQ(text(MatchScore::pointsEntry(2)), "8");
    EXPECT_EQ(ctl<TLabel3D>("S1_3")->Caption(), "0") << "the column holds 0:0 while it is played";
    EXPECT_EQ(ctl<TLabel3D>("LName1")->FontColor(), clWhite);
    points(1, 1);
    EXPECT_EQ(ctl<TLabel3D>("S1_3")->Caption(), "10");
    EXPECT_EQ(ctl<TLabel3D>("S2_3")->Caption(), "8");
    EXPECT_TRUE(board->model().score().matchOver());
    EXPECT_EQ(ctl<TLabel3D>("LName1")->FontColor(), clYellow);
    EXPECT_EQ(ctl<TLabel3D>("LName2")->FontColor(), clWhite);
    EXPECT_EQ(ctl<QLineEdit>("eName1")->palette().color(QPalette::Text), QColor(Qt::yellow));

    points(1, 1);
    EXPECT_EQ(ctl<TLabel3D>("S1_3")->Caption(), "10") << "F1 after the match changes nothing";
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "") << "no game under way";
    EXPECT_EQ(text(MatchScore::pointsEntry(2)), "");
    EXPECT_FALSE(ctl<QWidget>("ImageBall")->isVisibleTo(board.get())) << "nobody serves";

    board->model().execute(MatchCommand::colour(4, 0x0000FF));
    EXPECT_EQ(ctl<TLabel3D>("LName1")->FontColor(), 0x0000FFu) << "the mark follows TextHi";

    QTest::mouseClick(ctl<TLabel3D>("S1_3"), Qt::RightButton);
    EXPECT_FALSE(board->model().score().matchOver());
    EXPECT_EQ(ctl<TLabel3D>("LName1")->FontColor(), clWhite) << "the correction reopened the match";
    EXPECT_TRUE(ctl<QWidget>("ImageBall")->isVisibleTo(board.get()));
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "0");
    QTest::mouseClick(ctl<TLabel3D>("S1_3"), Qt::LeftButton);
    EXPECT_EQ(ctl<TLabel3D>("LName1")->FontColor(), 0x0000FFu);
    whenAsked([](TFDlgYesNo *d) { d->OKBtn->click(); });
    board->bResetClick();
    EXPECT_EQ(ctl<TLabel3D>("LName1")->FontColor(), clWhite) << "a reset clears the mark";
}

TEST_F(Formats, TieBreakPointsShowBesideTheLosersGames)
{
    start();
    for (int i = 0; i < 6; ++i) {
        games(1, 1);
        games(2, 1);
    }
    ASSERT_TRUE(board->model().score().tieBreakMode());
    for (int i = 0; i < 5; ++i) {
        points(1, 1);
        points(2, 1);
    }
    points(1, 2);
    ASSERT_EQ(ctl<TLabel3D>("S1_1")->Caption(), "7");
    EXPECT_EQ(mark("S2_1"), "") << "off by default: the board as it always was";
    EXPECT_EQ(mark("S1_1"), "");
    board->ObCFGClick();
    tbPoints()->click();
    EXPECT_EQ(mark("S2_1"), "5");
    EXPECT_EQ(mark("S1_1"), "") << "only the loser's figure";
    EXPECT_EQ(mark("S2_2"), "");
    EXPECT_EQ(ctl<TLabel3D>("S2_1")->Caption(), "6") << "the games figure keeps its text";
    const QRect inside = ctl<QLabel>("S2_1_TB")->geometry();
    EXPECT_TRUE(QRect(1, 1, 53, 47).contains(inside)) << "within the figure's frame";
    EXPECT_GE(inside.height(), 13) << "readable";
    tbPoints()->click();
    EXPECT_EQ(mark("S2_1"), "");
}

// The figure's ink, the mark hidden: where it lies against the figure's ground.
bool inkIn(TLabel3D *figure, const QRect &area)
{
    const QImage image = figure->grab().toImage();
    const QRgb ground = image.pixel(1, 1);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != ground)
                return true;
        }
    }
    return false;
}

TEST_F(Formats, TwoDigitGamesShowWholeAndClearOfTheTieBreakMark)
{
    typeCode(QStringLiteral("SET1-S:6/TB7@12"));
    tbPoints()->click();
    start();
    for (int i = 0; i < 12; ++i) {
        games(1, 1);
        games(2, 1);
    }
    points(2, 5);
    points(1, 7);
    auto *winner = ctl<TLabel3D>("S1_1");
    auto *loser = ctl<TLabel3D>("S2_1");
    ASSERT_EQ(winner->Caption(), "13");
    ASSERT_EQ(loser->Caption(), "12");
    ASSERT_EQ(mark("S2_1"), "5");
    QLabel *tb = ctl<QLabel>("S2_1_TB");
    tb->hide();
    EXPECT_FALSE(inkIn(loser, tb->geometry())) << "the 5 beside the 12 touches it";
    EXPECT_TRUE(inkIn(loser, QRect(1, 2, tb->x() - 1, loser->height() - 4))) << "the 12 shows";
    tb->show();
    // Inside the 1-pixel frame, the columns next to it stay clear: nothing is cut off.
    for (TLabel3D *figure : {winner, loser}) {
        EXPECT_FALSE(inkIn(figure, QRect(1, 1, 1, figure->height() - 2))) << figure->objectName().toStdString();
        EXPECT_FALSE(inkIn(figure, QRect(figure->width() - 2, 1, 1, figure->height() - 2)))
            << figure->objectName().toStdString();
    }
}

TEST_F(Formats, MatchTiebreakColumnHasNoLoserMark)
{
    choosePreset(1);
    tbPoints()->click();
    start();
    games(1, 6);
    points(2, 24);
    for (int i = 0; i < 8; ++i) {
        points(1, 1);
        points(2, 1);
    }
    points(2, 2);
    EXPECT_EQ(ctl<TLabel3D>("S2_3")->Caption(), "10");
    EXPECT_EQ(mark("S1_3"), "") << "its games are its points";
}

class FormatSettings : public Formats
{
protected:
    void SetUp() override { clearSettings(); }
    static void store(std::initializer_list<std::pair<const char *, QVariant>> values)
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                    QStringLiteral("Courtlyx"));
        for (const auto &[k, v] : values)
            s.setValue(QLatin1String(k), v);
    }
    static void storeSixteen()
    {
        store({{"L", 300}, {"T", 200}, {"W", 800}, {"H", 578}, {"Sound", 0}, {"Monitor", 0},
               {"Comanda1", "Graf"}, {"Comanda2", "Seles"}, {"C0", 0}, {"C1", 0}, {"C2", 0xFFFFFF},
               {"C3", 0xFFFFFF}, {"C4", 0x00FFFF}, {"TieBreak", 0}, {"CountSets", 3}, {"AutoSchet", 1}});
    }
};

TEST_F(FormatSettings, FormatAndTieBreakPointsSurviveARestart)
{
    startBoard();
    choosePreset(5);
    tbPoints()->click();
    board.reset();
    startBoard();
    EXPECT_EQ(board->model().score().format(), kFast4Format);
    EXPECT_EQ(code()->text(), kFast4Format.code());
    EXPECT_EQ(combo()->currentIndex(), 5);
    EXPECT_TRUE(tbPoints()->isChecked());
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->width(), 163);
}

TEST_F(FormatSettings, FileWithoutThemStartsAsToday)
{
    storeSixteen();
    startBoard();
    EXPECT_EQ(board->model().score().format().code(), "SET3-S:6");
    EXPECT_EQ(code()->text(), "SET3-S:6");
    EXPECT_FALSE(tbPoints()->isChecked());
    EXPECT_FALSE(ctl<QCheckBox>("cbTieBreak")->isChecked());
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Graf");
}

TEST_F(FormatSettings, BadStoredCodeIsIgnoredAndReadingGoesOn)
{
    storeSixteen();
    store({{"Format", "SET3-Q:6"}, {"TieBreakPoints", 1}});
    startBoard();
    EXPECT_EQ(board->model().score().format().code(), "SET3-S:6") << "the set count and option give it";
    EXPECT_TRUE(tbPoints()->isChecked());
}

TEST_F(FormatSettings, MistypedTieBreakPointsReadsOff)
{
    storeSixteen();
    store({{"Format", "SET1-S:8/TB7@8"}, {"TieBreakPoints", "abc"}});
    startBoard();
    EXPECT_EQ(board->model().score().format(), kProSetFormat);
    EXPECT_FALSE(countItem(0)->isChecked());
    EXPECT_FALSE(countItem(1)->isChecked());
    EXPECT_FALSE(tbPoints()->isChecked());
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Graf") << "the sixteen stand";
}

} // namespace

namespace {

TEST_F(Formats, OpeningTheFormatListKeepsTheStripOpen)
{
    board->ObCFGClick();
    combo()->setFocus();
    combo()->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([this] { return combo()->view()->isVisible(); }));
    EXPECT_TRUE(ctl<QFrame>("PanelCFG")->isVisible()) << "the list's popup lies outside the strip's window";
    QTest::keyClick(combo()->view(), Qt::Key_Down);
    QTest::keyClick(combo()->view(), Qt::Key_Return);
    EXPECT_TRUE(ctl<QFrame>("PanelCFG")->isVisible());
    EXPECT_EQ(board->model().score().format(), FormatChoice::presets()[1].format);
}

} // namespace
