#include "tests/app/BoardFixture.h"

#include "app/SettingsStore.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTextEdit>

namespace {

class BoardLook : public BoardFixture
{
protected:
    void restartWith(const BoardSettings &stored)
    {
        board.reset();
        SettingsStore::write(stored);
        startBoard();
    }

    // The names take the room the set panel leaves, up to 8 pixels before it.
    void expectNamesEndBeforeThePanel()
    {
        const int panelLeft = ctl(QStringLiteral("PanelSatz"))->x();
        for (const char *name : {"eName1", "eName2", "LName1", "LName2"}) {
            const QWidget *w = ctl(QString::fromLatin1(name));
            EXPECT_EQ(w->x(), 8) << name;
            EXPECT_EQ(w->geometry().right() + 1, panelLeft - 8) << name;
        }
    }
};

TEST_F(BoardLook, TallTitleShowsNoScrollBar)
{
    auto *title = ctl<QTextEdit>(QStringLiteral("eTitle"));
    title->setPlainText(QString(QStringLiteral("Centre Court ")).repeated(40) + QString(60, u'\n'));
    QTest::qWait(20);
    EXPECT_FALSE(title->verticalScrollBar()->isVisible());
    EXPECT_FALSE(title->horizontalScrollBar()->isVisible());
    title->setLineWrapMode(QTextEdit::NoWrap);
    QTest::qWait(20);
    EXPECT_FALSE(title->horizontalScrollBar()->isVisible());
}

TEST_F(BoardLook, ThreeSetLayoutFollowsTheStoredWidth)
{
    BoardSettings stored;
    stored.W = 900;
    stored.CountSets = 3;
    restartWith(stored);
    ASSERT_EQ(board->outerBounds().width(), 900);
    expectNamesEndBeforeThePanel();
    EXPECT_EQ(ctl(QStringLiteral("PanelSatz"))->geometry().right() + 1, 611 + 100)
        << "the panel keeps its distance to the right edge";

    stored.CountSets = 5;
    restartWith(stored);
    QTest::mouseClick(countItem(1), Qt::LeftButton);
    ASSERT_EQ(board->score().setCount(), 3);
    expectNamesEndBeforeThePanel();
}

} // namespace
