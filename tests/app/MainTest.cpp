#include "tests/app/BoardFixture.h"

#include "controls/Shape.h"
#include "controls/PLNClock.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>

namespace {

constexpr int kPoints1 = MatchScore::pointsEntry(1);
constexpr int kPoints2 = MatchScore::pointsEntry(2);

class BoardKeys : public BoardFixture {};

TEST_F(BoardKeys, CaptionAndFixedClientSize)
{
    EXPECT_EQ(board->windowTitle(), "Courtlyx 0.94");
    EXPECT_EQ(board->size(), QSize(792, 547));
    EXPECT_EQ(ctl<TLabel3D>("LName1")->y(), 358);
    EXPECT_EQ(ctl<TLabel3D>("LName2")->y(), 414);
    EXPECT_TRUE(ctl<QFrame>("PanelCFG")->isHidden());
    EXPECT_EQ(ctl<QFrame>("PanelCFG")->geometry(), QRect(0, 480, 792, 67));
    EXPECT_EQ(ctl<TLabel3D>("eTime")->Caption(), board->model().match().timer().timeZeroText());
    EXPECT_FALSE(ctl<TLabel3D>("eTime")->Caption().contains(u't'));
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget *>(ctl<TPLNClock>("PLNClock1"))) << "the clock has the first focus";
}

TEST_F(BoardKeys, PointBeforeFirstStartIsIgnoredAndPauseStartsTheMatch)
{
    key(Qt::Key_F1);
    EXPECT_EQ(text(kPoints1), "");
    key(Qt::Key_Pause);
    EXPECT_EQ(board->model().match().timer().MatchPhase(), MatchTimer::Running);
    EXPECT_EQ(board->model().score().CurrentSet(), 1);
    EXPECT_EQ(ctl<TLabel3D>("S1_1")->Caption(), "0");
    EXPECT_EQ(ctl<QLabel>("LabelS1")->font().bold(), true);
    EXPECT_EQ(ctl<TOvalButton>("bPlay")->Caption(), "Pause");
    EXPECT_TRUE(ctl<TLabel3D>("LName1")->isVisible());
    EXPECT_FALSE(ctl<QLineEdit>("eName1")->isVisible());
    EXPECT_EQ(ctl<TLabel3D>("LName1")->Caption(), "Name 1 ");
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_F1);
    for (int i = 0; i < 4; ++i)
        key(Qt::Key_F2);
    EXPECT_EQ(text(kPoints1), "40");
    EXPECT_EQ(text(kPoints2), "ADV");
    key(Qt::Key_F1);
    EXPECT_EQ(text(kPoints2), "40");
}

TEST_F(BoardKeys, FunctionKeyInNameEditScoresAndLeavesTheText)
{
    key(Qt::Key_Pause);
    key(Qt::Key_Pause);
    ASSERT_EQ(board->model().match().timer().MatchPhase(), MatchTimer::Paused);
    ASSERT_TRUE(ctl<QLineEdit>("eName1")->isVisible());
    ctl<QLineEdit>("eName1")->setFocus();
    ctl<QLineEdit>("eName1")->setText(QStringLiteral("Graf"));
    key(Qt::Key_F1, Qt::NoModifier, ctl<QLineEdit>("eName1"));
    EXPECT_EQ(text(kPoints1), "15");
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Graf");
    key(Qt::Key_Pause, Qt::NoModifier, ctl<QLineEdit>("eName1"));
    EXPECT_EQ(ctl<TLabel3D>("LName1")->Caption(), "Graf ") << "names edited in a pause show at the resume";
}

TEST_F(BoardKeys, ControlKeysReachTheBoardFromEveryEdit)
{
    const char *items[] = {"Reset1", "Config1", "Game1", "Set1", "mTieBreak", "Rek1", "Rek5", "Rek9"};
    const int keys[][2] = {{Qt::Key_0, 0}, {Qt::Key_E, 0}, {Qt::Key_G, 0}, {Qt::Key_S, 0},
                           {Qt::Key_T, 0}, {Qt::Key_1, 0}, {Qt::Key_5, 0}, {Qt::Key_9, 0}};
    for (QWidget *edit : {static_cast<QWidget *>(ctl<QLineEdit>("eName1")), static_cast<QWidget *>(ctl<QTextEdit>("eTitle"))}) {
        for (size_t i = 0; i < std::size(items); ++i) {
            int fired = 0;
            QAction *a = board->findChild<QAction *>(QString::fromLatin1(items[i]));
            ASSERT_NE(a, nullptr) << items[i];
            auto c = QObject::connect(a, &QAction::triggered, [&] { ++fired; });
            if (i == 0)
                whenAsked([](TFDlgYesNo *d) { d->CancelBtn->click(); });
            board->sbCloseClick();
            reactivate();
            edit->setFocus();
            key(keys[i][0], Qt::ControlModifier, edit);
            QObject::disconnect(c);
            EXPECT_EQ(fired, 1) << items[i] << " from " << edit->objectName().toStdString();
        }
    }
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Name 1");
}

TEST_F(BoardKeys, EveryMenuRowHasItsShortcut)
{
    const std::pair<const char *, QKeySequence> rows[] = {
        {"mPause", QKeySequence(Qt::Key_Pause)},
        {"Reset1", QKeySequence(Qt::CTRL | Qt::Key_0)},
        {"mPodacha", QKeySequence(Qt::Key_F5)},
        {"Config1", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"mSchet1", QKeySequence(Qt::Key_F1)},
        {"mSchet2", QKeySequence(Qt::Key_F2)},
        {"Game1", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"Set1", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"mTieBreak", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {"Rek1", QKeySequence(Qt::CTRL | Qt::Key_1)},
        {"Rek9", QKeySequence(Qt::CTRL | Qt::Key_9)},
    };
    for (const auto &[name, seq] : rows) {
        QAction *a = board->findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->shortcut(), seq) << name;
    }
    EXPECT_EQ(board->findChild<QAction *>(QStringLiteral("Rek7"))->data().toInt(), 7);
    EXPECT_FALSE(ctl<QMenu>("Keys1")->menuAction()->isVisible());
    EXPECT_FALSE(ctl<QMenu>("Reklama1")->menuAction()->isVisible());
}

class BoardMouse : public BoardFixture {};

TEST_F(BoardMouse, ButtonsStepPointsAndGames)
{
    QTest::mouseClick(ctl<TLabel3D>("eSchet1"), Qt::LeftButton);
    EXPECT_EQ(text(kPoints1), "0");
    QTest::mouseClick(ctl<TLabel3D>("eSchet1"), Qt::RightButton);
    EXPECT_EQ(text(kPoints1), "");
    QTest::mouseClick(ctl<TLabel3D>("eSchet1"), Qt::MiddleButton);
    EXPECT_EQ(board->model().score().points(1), 5);

    TLabel3D *games = ctl<TLabel3D>("S2_3");
    QTest::mouseClick(games, Qt::LeftButton);
    QTest::mouseClick(games, Qt::LeftButton);
    EXPECT_EQ(games->Caption(), "1");
    QTest::mouseClick(games, Qt::MiddleButton);
    QTest::mouseClick(games, Qt::RightButton);
    EXPECT_EQ(games->Caption(), "0");
    EXPECT_EQ(board->model().score().games(2, 3), 0);
}

TEST_F(BoardMouse, EveryButtonOnBallOrMarkPassesTheServe)
{
    const int top1 = ctl<TShape>("Shape1")->y();
    const int top2 = ctl<TShape>("Shape2")->y();
    EXPECT_EQ(ctl<QLabel>("ImageBall")->y(), top1);
    QTest::mouseClick(ctl<QLabel>("ImageBall"), Qt::RightButton);
    EXPECT_EQ(ctl<QLabel>("ImageBall")->y(), top2);
    EXPECT_EQ(board->model().score().server(), 1);
    QTest::mouseClick(ctl<TShape>("Shape2"), Qt::MiddleButton);
    EXPECT_EQ(ctl<QLabel>("ImageBall")->y(), top1);
    QTest::mouseClick(ctl<TShape>("Shape1"), Qt::LeftButton);
    EXPECT_EQ(ctl<QLabel>("ImageBall")->y(), top2) << "the serving side's own mark moves the serve too";
}

TEST_F(BoardMouse, ClicksOnNamesHeadersAndTieBreakMark)
{
    key(Qt::Key_Pause);
    QTest::mouseClick(ctl<TLabel3D>("LName2"), Qt::LeftButton);
    EXPECT_EQ(text(kPoints2), "15");
    QTest::mouseClick(ctl<TLabel3D>("LName2"), Qt::RightButton);
    EXPECT_EQ(text(kPoints2), "15") << "clicks react to the left button only";
    QTest::mouseClick(ctl<QLabel>("LabelS4"), Qt::LeftButton);
    EXPECT_TRUE(ctl<QLabel>("LabelS4")->font().bold());
    EXPECT_FALSE(ctl<QLabel>("LabelS1")->font().bold());
    ctl<QCheckBox>("cbAutoSchet")->setChecked(false);
    QTest::mouseClick(ctl<QLabel>("LabelTbOn"), Qt::LeftButton);
    EXPECT_TRUE(ctl<QLabel>("LabelTieBreak")->isVisible());
    ctl<QCheckBox>("cbTieBreak")->setChecked(false);
    EXPECT_FALSE(ctl<QLabel>("LabelTbOn")->isVisible());
}

TEST_F(BoardMouse, PressInsideReleasedOutsideIsNoClick)
{
    key(Qt::Key_Pause);
    ctl<QCheckBox>("cbAutoSchet")->setChecked(false);
    auto pressOutRelease = [](QWidget *w) {
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(w->width() + 5, w->height() + 5));
    };
    pressOutRelease(ctl<QLabel>("LabelS4"));
    EXPECT_FALSE(ctl<QLabel>("LabelS4")->font().bold());
    EXPECT_TRUE(ctl<QLabel>("LabelS1")->font().bold());
    pressOutRelease(ctl<QLabel>("ImageDE"));
    EXPECT_TRUE(shell.opened.isEmpty());
    pressOutRelease(ctl<QLabel>("LabelTbOn"));
    EXPECT_FALSE(ctl<QLabel>("LabelTieBreak")->isVisible());
}

TEST_F(BoardMouse, ThreeSetsNarrowThePanelAndWidenTheNames)
{
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->geometry(), QRect(340, 337, 271, 126));
    EXPECT_EQ(ctl<QLineEdit>("eName1")->geometry().right() + 1, 332);
    QTest::mouseClick(countItem(1), Qt::LeftButton);
    EXPECT_EQ(board->model().score().setCount(), 3);
    EXPECT_EQ(ctl<QFrame>("PanelSatz")->geometry(), QRect(448, 337, 163, 126));
    EXPECT_EQ(ctl<TLabel3D>("LName2")->width(), 432);
    EXPECT_EQ(ctl<QLineEdit>("eName2")->width(), 432);
}

class Questions : public BoardFixture {};

TEST_F(Questions, ResetAnsweredNeinChangesNothingJaResets)
{
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    ticks.advance(5'000);
    QTest::qWait(2 * MatchTimer::kIntervalMs); // the timer shows the 5 s
    whenAsked([](TFDlgYesNo *d) { QTest::keyClick(d->focusWidget(), Qt::Key_Return); });
    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(asked, "Reset?");
    EXPECT_EQ(text(kPoints1), "15");
    EXPECT_TRUE(board->model().match().timer().isRunning());

    whenAsked([](TFDlgYesNo *d) { QTest::keyClick(d, Qt::Key_Escape); });
    click(ctl<TOvalButton>("bReset"));
    EXPECT_EQ(asked, "Reset?");
    EXPECT_EQ(text(kPoints1), "15");

    whenAsked([](TFDlgYesNo *d) { d->OKBtn->click(); });
    click(ctl<TOvalButton>("bReset"));
    EXPECT_EQ(text(kPoints1), "");
    EXPECT_EQ(ctl<TLabel3D>("S1_1")->Caption(), "");
    EXPECT_EQ(ctl<TLabel3D>("eTime")->Caption(), board->model().match().timer().timeZeroText());
    EXPECT_EQ(ctl<TOvalButton>("bPlay")->Caption(), "Play");
    EXPECT_TRUE(ctl<QLineEdit>("eName1")->isVisible());
    EXPECT_FALSE(ctl<TLabel3D>("LName1")->isVisible());
}

TEST_F(Questions, CloseAnsweredWithEnterEscapeOrCloseBoxKeepsRunning)
{
    const std::function<void(TFDlgYesNo *)> answers[] = {
        [](TFDlgYesNo *d) { QTest::keyClick(d->focusWidget(), Qt::Key_Return); },
        [](TFDlgYesNo *d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](TFDlgYesNo *d) { d->close(); },
    };
    for (const auto &answer : answers) {
        whenAsked(answer);
        EXPECT_FALSE(board->close());
        EXPECT_EQ(asked, "Beenden?");
        EXPECT_TRUE(board->isVisible());
    }
    whenAsked([](TFDlgYesNo *d) { d->OKBtn->click(); });
    EXPECT_TRUE(board->close());
}

TEST_F(Questions, DialogLooksAsTheBoardAsksIt)
{
    EXPECT_EQ(dialog->size(), QSize(222, 94));
    EXPECT_EQ(dialog->windowTitle(), "Courtlyx");
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    int shownResult = 0;
    whenAsked([&](TFDlgYesNo *d) {
        EXPECT_EQ(d->focusWidget(), d->CancelBtn);
        EXPECT_LT((d->frameGeometry().center() - board->frameGeometry().center()).manhattanLength(), 4);
        d->OKBtn->click();
    });
    shownResult = dialog->ask(QStringLiteral("?"));
    EXPECT_EQ(shownResult, TFDlgYesNo::mrYes);
    whenAsked([](TFDlgYesNo *d) { d->CancelBtn->click(); });
    EXPECT_EQ(dialog->ask(QStringLiteral("?")), TFDlgYesNo::mrCancel);
}

class TitleFile : public BoardFixture {};

TEST_F(TitleFile, EditedTitleIsSavedToTheFileLastLoadedOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QFile three(QStringLiteral("3.rtf"));
    ASSERT_TRUE(three.open(QIODevice::WriteOnly));
    three.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs48 {\\b Finale} D\\'fcsseldorf\\par}");
    three.close();
    QFile four(QStringLiteral("4.rtf"));
    ASSERT_TRUE(four.open(QIODevice::WriteOnly));
    four.write("untouched");
    four.close();

    key(Qt::Key_4, Qt::ControlModifier);
    key(Qt::Key_5, Qt::ControlModifier); // no 5.rtf: nothing changes
    EXPECT_EQ(board->titleFileName(), "4.rtf");
    board.reset();
    four.open(QIODevice::ReadOnly);
    EXPECT_EQ(four.readAll(), "untouched") << "an unchanged title writes nothing";
    four.close();

    startBoard();
    key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(ctl<QTextEdit>("eTitle")->toPlainText(), QStringLiteral("Finale D\u00fcsseldorf"));
    QTextCursor bold(ctl<QTextEdit>("eTitle")->document());
    bold.setPosition(2);
    EXPECT_TRUE(bold.charFormat().font().bold()) << "read as rich text";
    EXPECT_EQ(ctl<QTextEdit>("eTitle")->toolTip(), "3.rtf");
    ctl<QTextEdit>("eTitle")->setFocus();
    QTest::keyClicks(ctl<QTextEdit>("eTitle"), "Grand ");
    board.reset();
    three.open(QIODevice::ReadOnly);
    const QByteArray saved = three.readAll();
    EXPECT_TRUE(saved.startsWith("{\\rtf1")) << "saved as rich text";
    EXPECT_TRUE(saved.contains("Grand"));
    EXPECT_TRUE(saved.contains("\\b")) << "formatting kept";
    QDir::setCurrent(oldCwd);
}

TEST_F(TitleFile, DefaultTitleLivesBesideTheProgram)
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString expected = program.absolutePath() + u'/' + program.completeBaseName() + ".rtf";
    EXPECT_EQ(board->titleFileName(), expected);
    QFile::remove(expected);
    board.reset();
    EXPECT_FALSE(QFile::exists(expected)) << "an untouched title area writes nothing";

    startBoard();
    EXPECT_TRUE(ctl<QTextEdit>("eTitle")->toPlainText().isEmpty());
    ctl<QTextEdit>("eTitle")->setFocus();
    QTest::keyClicks(ctl<QTextEdit>("eTitle"), "Centre Court");
    board.reset();
    QFile written(expected);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << "typed text creates the file at exit";
    EXPECT_TRUE(written.readAll().contains("Centre Court"));
    written.remove();
}

// The layout's Windows font has no free twin and a narrow cut draws it; the title file
// still names the Windows font, so that the operator's word processor shows it as meant.
TEST_F(TitleFile, TypedTextIsSavedUnderTheFontNameTheLayoutAsksFor)
{
    EXPECT_EQ(QFontInfo(ctl<QTextEdit>("eTitle")->font()).family(), "Liberation Sans Narrow") << "drawn by the narrow cut";
    const QString expected = board->titleFileName();
    QFile::remove(expected);
    ctl<QTextEdit>("eTitle")->setFocus();
    QTest::keyClicks(ctl<QTextEdit>("eTitle"), "Centre Court");
    board.reset();
    QFile written(expected);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray saved = written.readAll();
    written.remove();
    const QByteArray fonts = saved.left(saved.indexOf("{\\colortbl"));
    EXPECT_TRUE(fonts.contains(" MS Sans Serif;")) << fonts.constData();
    EXPECT_FALSE(fonts.contains("Liberation Sans Narrow")) << fonts.constData();
}

} // namespace
