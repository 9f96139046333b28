#include "tests/app/BoardFixture.h"

#include "controls/Shape.h"
#include "controls/PLNClock.h"
#include "controls/oClrBox.h"
#include "gdi/SystemColors.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTextEdit>

namespace {

using Role = MatchScore::TextRole;

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *w) { w->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

class Layout : public BoardFixture {};

TEST_F(Layout, ControlsStandWhereTheBoardPutsThem)
{
    const std::pair<QWidget *, QRect> places[] = {
        {ctl<TPLNClock>("PLNClock1"), {2, 10, 249, 249}},   {ctl<TLabel3D>("eTime"), {8, 274, 195, 44}},
        {ctl<TOvalButton>("bPlay"), {207, 274, 45, 45}},      {ctl<QTextEdit>("eTitle"), {256, 8, 530, 320}},
        {ctl<QLineEdit>("eName2"), {8, 414, 324, 50}},      {ctl<TLabel3D>("LName2"), {8, 414, 324, 49}},
        {ctl<TLabel3D>("eSchet2"), {624, 414, 105, 49}},   {ctl<TShape>("Shape2"), {736, 414, 49, 49}},
        {ctl<QLabel>("ImageBall"), {736, 358, 49, 49}},  {ctl<QLabel>("LabelTieBreak"), {620, 327, 113, 32}},
        {ctl<TLabel3D>("LabTBreak2"), {512, 498, 55, 44}}, {ctl<QLabel>("ImageDE"), {613, 510, 175, 32}},
        {ctl<TOvalButton>("ObCFG"), {2, 512, 33, 33}},        {ctl<TOvalButton>("bReset"), {36, 512, 33, 33}},
        {ctl<QLabel>("LabelTbOn"), {74, 514, 18, 32}},   {ctl<TLabel3D>("S1_5"), {216, 21, 55, 49}},
        {ctl<TLabel3D>("S2_1"), {0, 77, 55, 49}},         {ctl<QLabel>("LabelS3"), {108, 0, 56, 20}},
        {ctl<QGroupBox>("gbFarbe"), {32, 2, 377, 60}},      {picker(4), {297, 16, 73, 19}},
        {ctl<QComboBox>("cbMonitor"), {684, 38, 102, 21}},
    };
    for (const auto &[w, rect] : places)
        EXPECT_EQ(w->geometry(), rect) << w->objectName().toStdString();
    EXPECT_EQ(ctl<TLabel3D>("LName1")->Hint(), "F1");
    EXPECT_TRUE(ctl<TLabel3D>("LName1")->ShowHint());
    EXPECT_EQ(ctl<TLabel3D>("LName2")->Hint(), "F2");
    EXPECT_FALSE(ctl<TLabel3D>("LName2")->ShowHint()) << "LName2 keeps its hint but shows none";
    EXPECT_FALSE(ctl<TLabel3D>("LabTBreak1")->isVisibleTo(board.get()));
    EXPECT_EQ(ctl<TOvalButton>("bReset")->Tag(), -1);
}

TEST_F(Layout, PicturesAreOursAtTheirSizes)
{
    EXPECT_EQ(ctl<QLabel>("ImageBall")->pixmap().size(), QSize(49, 49));
    EXPECT_TRUE(ctl<QLabel>("ImageBall")->pixmap().hasAlphaChannel()) << "transparent around the ball";
    EXPECT_EQ(ctl<QLabel>("ImageDE")->pixmap().size(), QSize(175, 32));
    EXPECT_EQ(ctl<TOvalButton>("ObCFG")->Glyph().size(), QSize(32, 16));
    EXPECT_EQ(ctl<TOvalButton>("bReset")->Glyph().size(), QSize(32, 16));
    EXPECT_EQ(dialog->Icon->pixmap().size(), QSize(32, 32));
}

TEST_F(Layout, FiguresShareTheBoardLook)
{
    for (int entry : {MatchScore::pointsEntry(1), MatchScore::gamesEntry(2, 3), MatchScore::kLabTBreak1}) {
        const TLabel3D *f = board->fieldLabel(entry);
        EXPECT_EQ(f->BorderStyle(), lbNormal);
        EXPECT_EQ(f->HighLightColor(), clBlack);
        EXPECT_EQ(f->ShadowColor(), clBlack);
        EXPECT_EQ(f->Bevel(), blRaised);
        EXPECT_EQ(f->Layout(), tlCenter);
        EXPECT_EQ(f->BorderColor(), clWhite);
    }
    EXPECT_EQ(ctl<TLabel3D>("eSchet1")->font().pixelSize(), 45);
    EXPECT_TRUE(ctl<TLabel3D>("eSchet1")->font().bold());
    EXPECT_EQ(ctl<TLabel3D>("eSchet1")->font().family(), "Liberation Sans");
}

class Scheme : public BoardFixture
{
protected:
    void pick(int slot, TColor colour) { picker(slot)->setColorValue(colour); }
};

TEST_F(Scheme, PickersStartWithTheSchemeColours)
{
    const TColor expected[] = {clBlack, clBlack, clWhite, clWhite, clYellow};
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(picker(slot)->ColorValue(), expected[slot]) << slot;
        EXPECT_EQ(picker(slot)->Tag(), slot);
    }
}

TEST_F(Scheme, TextColourRecoloursEveryFieldAndClearsLeaderMarks)
{
    key(Qt::Key_Pause);
    for (int i = 0; i < 6; ++i)
        board->model().execute(MatchCommand::of(MatchCommand::Kind::GameAward)); // equal points: six games to side 2
    EXPECT_EQ(ctl<TLabel3D>("S2_1")->FontColor(), clYellow) << "6 against 0 shows in TextHi";
    EXPECT_EQ(ctl<TLabel3D>("S1_1")->FontColor(), clWhite);
    pick(2, clRed);
    EXPECT_EQ(ctl<TLabel3D>("S2_1")->FontColor(), clRed) << "the mark is gone until the next set";
    for (QWidget *w : {static_cast<QWidget *>(ctl<TLabel3D>("eSchet1")), static_cast<QWidget *>(ctl<TLabel3D>("eTime")),
                       static_cast<QWidget *>(ctl<TLabel3D>("LName2")), static_cast<QWidget *>(ctl<TLabel3D>("S1_5"))})
        EXPECT_EQ(static_cast<TLabel3D *>(w)->FontColor(), clRed) << w->objectName().toStdString();
    EXPECT_EQ(ctl<QLineEdit>("eName1")->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(ctl<QLabel>("LabelS5")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(board->model().colour(2), clRed);
}

TEST_F(Scheme, LeaderMarkUsesTheCurrentHighlight)
{
    pick(4, clAqua);
    board->model().execute(MatchCommand::gamesCorrection(MatchScore::gamesEntry(1, 3), Qt::LeftButton)); // 0 against blank
    key(Qt::Key_Pause);
    for (int i = 0; i < 4; ++i)
        board->model().execute(MatchCommand::of(MatchCommand::Kind::GameAward));
    board->model().execute(MatchCommand::of(MatchCommand::Kind::NextSet));
    EXPECT_EQ(ctl<TLabel3D>("S2_1")->FontColor(), clAqua);
    EXPECT_EQ(ctl<TLabel3D>("S1_3")->FontColor(), clAqua) << "0 leads a blank field";
    EXPECT_EQ(ctl<TLabel3D>("S2_3")->FontColor(), clWhite);
    EXPECT_EQ(ctl<TLabel3D>("S1_2")->FontColor(), clWhite) << "the new set at 0:0";
}

TEST_F(Scheme, DisplayColourReachesGroundsButNotTextFields)
{
    pick(0, clNavy);
    EXPECT_EQ(board->palette().color(QPalette::Window), toQColor(clNavy));
    EXPECT_EQ(ctl<TPLNClock>("PLNClock1")->Color(), clNavy);
    EXPECT_EQ(ctl<QTextEdit>("eTitle")->palette().color(QPalette::Base), toQColor(clNavy));
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->palette().color(QPalette::Window), toQColor(clNavy));
    EXPECT_EQ(ctl<TLabel3D>("S1_1")->Color(), clBlack) << "text fields keep TextFon";
    pick(1, clGreen);
    EXPECT_EQ(ctl<TLabel3D>("S1_1")->Color(), clGreen);
    EXPECT_EQ(ctl<QLineEdit>("eName2")->palette().color(QPalette::Base), toQColor(clGreen));
    pick(3, clPurple);
    EXPECT_EQ(ctl<TLabel3D>("eSchet2")->BorderColor(), clPurple);
    EXPECT_EQ(ctl<TShape>("Shape1")->penColor(), toQColor(clPurple));
}

TEST_F(Scheme, UnchangedSchemeRepaintsNothing)
{
    QApplication::processEvents();
    PaintCounter figure(ctl<TLabel3D>("eSchet1"));
    PaintCounter clock(ctl<TPLNClock>("PLNClock1"));
    PaintCounter games(ctl<TLabel3D>("S1_3"));
    int changes = 0;
    QObject::connect(picker(2), &ToColorCombo::changed, [&] { ++changes; });
    pick(2, clWhite); // the colour it already shows
    // Every view shows the whole scheme again, and only the set leaders' colour changed.
    board->model().execute(MatchCommand::colour(4, clAqua));
    QApplication::processEvents();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(figure.paints, 0);
    EXPECT_EQ(games.paints, 0);
    EXPECT_LE(clock.paints, 1) << "at most the clock's own tick";
}

} // namespace
