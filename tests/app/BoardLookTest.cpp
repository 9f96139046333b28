#include "tests/app/BoardFixture.h"

#include "core/SettingsStore.h"

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
    ASSERT_EQ(WindowBounds(*board).outer().width(), 900);
    expectNamesEndBeforeThePanel();
    EXPECT_EQ(ctl(QStringLiteral("PanelSatz"))->geometry().right() + 1, 611 + 100)
        << "the panel keeps its distance to the right edge";

    stored.CountSets = 5;
    restartWith(stored);
    QTest::mouseClick(countItem(1), Qt::LeftButton);
    ASSERT_EQ(board->model().score().setCount(), 3);
    expectNamesEndBeforeThePanel();
}

TEST_F(BoardLook, NameEditsDrawTheSunkenEdgeOfTheClassicScheme)
{
    auto *edit = ctl<QLineEdit>(QStringLiteral("eName1"));
    const QImage shot = edit->grab().toImage();
    const int w = shot.width();
    const int h = shot.height();
    const QColor shadow(128, 128, 128), highlight(255, 255, 255), dark(0, 0, 0), face(192, 192, 192);
    for (int x : {2, w / 2, w - 3}) {
        EXPECT_EQ(shot.pixelColor(x, 0), shadow) << "outer top " << x;
        EXPECT_EQ(shot.pixelColor(x, h - 1), highlight) << "outer bottom " << x;
        EXPECT_EQ(shot.pixelColor(x, 1), dark) << "inner top " << x;
        EXPECT_EQ(shot.pixelColor(x, h - 2), face) << "inner bottom " << x;
    }
    for (int y : {2, h / 2, h - 3}) {
        EXPECT_EQ(shot.pixelColor(0, y), shadow) << "outer left " << y;
        EXPECT_EQ(shot.pixelColor(w - 1, y), highlight) << "outer right " << y;
        EXPECT_EQ(shot.pixelColor(1, y), dark) << "inner left " << y;
        EXPECT_EQ(shot.pixelColor(w - 2, y), face) << "inner right " << y;
    }
    EXPECT_EQ(shot.pixelColor(w / 2, 2), dark) << "the ground inside the edge";

    // The text stands where a framed edit of the platform puts it.
    QLineEdit plain(edit->text(), board.get());
    plain.setFont(edit->font());
    plain.setGeometry(edit->geometry());
    plain.show();
    QTest::qWait(20);
    EXPECT_EQ(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect(),
              plain.inputMethodQuery(Qt::ImCursorRectangle).toRect());
}

} // namespace
