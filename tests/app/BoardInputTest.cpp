#include "tests/app/BoardFixture.h"

#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

class BoardInput : public BoardFixture {};

TEST_F(BoardInput, LongNameSurvivesARunAndARestart)
{
    const QString name = QString(40000 - 3, u'x') + QStringLiteral("end");
    BoardSettings stored;
    stored.Comanda1 = name;
    board.reset();
    SettingsStore::write(stored);
    startBoard();
    EXPECT_EQ(ctl<QLineEdit>(QStringLiteral("eName1"))->text().size(), name.size());
    key(Qt::Key_Pause);
    EXPECT_TRUE(ctl<TLabel3D>(QStringLiteral("LName1"))->Caption() == name + u' ');
    key(Qt::Key_Pause);
    board.reset();
    const std::optional<BoardSettings> written = SettingsStore::read(BoardSettings());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->Comanda1.size(), name.size());
    EXPECT_TRUE(written->Comanda1 == name);
    startBoard();
    EXPECT_TRUE(ctl<QLineEdit>(QStringLiteral("eName1"))->text() == name);
}

TEST_F(BoardInput, KeypadDigitsWithCtrlAreNotTheBoardsKeys)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QFile three(QStringLiteral("3.rtf"));
    ASSERT_TRUE(three.open(QIODevice::WriteOnly));
    three.write("Finale");
    three.close();
    const QString before = board->titleFileName();

    whenAsked([](TFDlgYesNo *d) { d->CancelBtn->click(); });
    for (QWidget *focus : {ctl(QStringLiteral("PLNClock1")), ctl(QStringLiteral("eName1"))}) {
        focus->setFocus();
        key(Qt::Key_0, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_TRUE(asked.isEmpty()) << "no reset question";
        key(Qt::Key_3, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_EQ(board->titleFileName(), before) << "no title file";
    }
    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(asked, "Reset?") << "the main-row key asks";
    reactivate();
    key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(board->titleFileName(), "3.rtf");
    QDir::setCurrent(oldCwd);
}

class BoardDoubleClick : public BoardFixture
{
protected:
    // Through the window, as the platform sends it: whatever lies under the pointer at
    // the second press gets it, as a double click.
    void doubleClickAt(QWidget *w)
    {
        const QPoint at = w->mapTo(board.get(), w->rect().center());
        // Apart from the last one, so that the first press starts a new click.
        QTest::mouseDClick(board->windowHandle(), Qt::LeftButton, {}, at,
                           QApplication::doubleClickInterval() + 1);
    }
};

TEST_F(BoardDoubleClick, EveryPressOnMarksAndBallPassesTheServe)
{
    ASSERT_EQ(board->model().score().server(), 0);
    doubleClickAt(ctl(QStringLiteral("Shape2"))); // the empty circle, then the ball there
    EXPECT_EQ(board->model().score().server(), 0) << "two passes";
    EXPECT_EQ(ctl(QStringLiteral("ImageBall"))->y(), ctl(QStringLiteral("Shape1"))->y());
    doubleClickAt(ctl(QStringLiteral("ImageBall"))); // the ball, then the circle it left
    EXPECT_EQ(board->model().score().server(), 0) << "two passes";
    // A double click's second press alone.
    QTest::mouseDClick(ctl(QStringLiteral("Shape2")), Qt::LeftButton);
    EXPECT_EQ(board->model().score().server(), 1) << "a mark counts it as a press";
    QTest::mouseDClick(ctl(QStringLiteral("ImageBall")), Qt::LeftButton);
    EXPECT_EQ(board->model().score().server(), 0) << "so does the ball";
}

TEST_F(BoardDoubleClick, TieBreakMarkSwitchesOncePerClick)
{
    key(Qt::Key_Pause);
    ctl<QCheckBox>(QStringLiteral("cbAutoSchet"))->setChecked(false);
    doubleClickAt(ctl(QStringLiteral("LabelTbOn")));
    EXPECT_TRUE(ctl(QStringLiteral("LabelTieBreak"))->isVisible()) << "one switch";
    doubleClickAt(ctl(QStringLiteral("LabelTbOn")));
    EXPECT_FALSE(ctl(QStringLiteral("LabelTieBreak"))->isVisible()) << "one switch";
}

} // namespace
