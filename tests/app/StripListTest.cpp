#include "tests/app/BoardFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>

namespace {

class StripLists : public BoardFixture
{
protected:
    QFrame *strip() const { return ctl<QFrame>(QStringLiteral("PanelCFG")); }

    // The list ignores the release of the press that opened it; the operator's pick is a
    // later click on an entry.
    static void pickWithMouse(QComboBox *box, int index)
    {
        QWidget *popup = box->view()->window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const QRect item = box->view()->visualRect(box->model()->index(index, 0));
        ASSERT_TRUE(item.isValid());
        QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, {}, item.center());
    }
};

TEST_F(StripLists, MousePressOpensAColourListAndTheMousePicksAColour)
{
    board->ObCFGClick();
    ToColorCombo *text = picker(2);
    const int wanted = 12;
    ASSERT_NE(text->ItemColor(wanted), text->ColorValue());
    QTest::mousePress(text, Qt::LeftButton);
    EXPECT_TRUE(text->view()->window()->isVisible()) << "the list shows";
    EXPECT_TRUE(strip()->isVisible()) << "an open list of the strip keeps the strip open";
    QTest::mouseRelease(text, Qt::LeftButton);
    pickWithMouse(text, wanted);
    EXPECT_FALSE(text->view()->window()->isVisible());
    EXPECT_EQ(text->ColorValue(), text->ItemColor(wanted));
    EXPECT_EQ(board->model().colour(2), text->ItemColor(wanted));
    EXPECT_TRUE(strip()->isVisible());
}

TEST_F(StripLists, AltDownOpensEveryColourList)
{
    board->ObCFGClick();
    for (int slot = 0; slot < 5; ++slot) {
        picker(slot)->setFocus();
        key(Qt::Key_Down, Qt::AltModifier, picker(slot));
        EXPECT_TRUE(picker(slot)->view()->window()->isVisible()) << slot;
        EXPECT_TRUE(strip()->isVisible()) << slot;
        picker(slot)->hidePopup();
        EXPECT_TRUE(strip()->isVisible()) << "closing the list leaves the strip open";
    }
}

TEST_F(StripLists, MonitorListOpensWithTwoMonitorsAndTheMousePicksOne)
{
    monitors.list = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    board->ObCFGClick();
    auto *list = ctl<QComboBox>(QStringLiteral("cbMonitor"));
    QTest::mouseClick(list, Qt::LeftButton);
    EXPECT_TRUE(list->view()->window()->isVisible());
    EXPECT_TRUE(strip()->isVisible());
    pickWithMouse(list, 1);
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(board->model().monitor(), 1);
    ctl<QLineEdit>(QStringLiteral("eName1"))->setFocus();
    EXPECT_FALSE(strip()->isVisible()) << "a control outside the strip still closes it";
}

// The darkest pixel of a control as drawn: its text's colour where a stroke is solid.
QColor darkest(QWidget *w)
{
    const QImage shot = w->grab().toImage();
    QColor out = Qt::white;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) < qGray(out.rgb()))
                out = shot.pixelColor(x, y);
    return out;
}

TEST_F(StripLists, MonitorCaptionIsGreyedWithItsList)
{
    board->ObCFGClick();
    auto *caption = ctl<QLabel>(QStringLiteral("LabMonitor"));
    ASSERT_FALSE(caption->isEnabled());
    EXPECT_EQ(darkest(caption), QColor(128, 128, 128)) << "the classic grey text";
    monitors.list.append(QRect(1920, 0, 1920, 1080));
    board->sbCloseClick();
    board->ObCFGClick();
    ASSERT_TRUE(caption->isEnabled());
    EXPECT_EQ(darkest(caption), QColor(Qt::black));
}

class FocusHome : public BoardFixture
{
protected:
    QWidget *clock() const { return ctl(QStringLiteral("PLNClock1")); }
};

TEST_F(FocusHome, ClosingTheStripGivesTheFocusToTheClock)
{
    board->ObCFGClick();
    key(Qt::Key_Space, Qt::NoModifier, ctl(QStringLiteral("sbClose")));
    EXPECT_EQ(QApplication::focusWidget(), clock());
    key(Qt::Key_X);
    EXPECT_EQ(ctl<QLineEdit>(QStringLiteral("eName1"))->text(), "Name 1") << "the next key is no name";

    key(Qt::Key_Pause);
    ASSERT_TRUE(board->model().match().timer().isRunning());
    board->ObCFGClick();
    key(Qt::Key_Return, Qt::NoModifier, ctl(QStringLiteral("sbClose")));
    EXPECT_FALSE(ctl(QStringLiteral("PanelCFG"))->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), clock()) << "not the title area";
    ctl<QTextEdit>(QStringLiteral("eTitle"))->document()->setModified(false);
    key(Qt::Key_X);
    EXPECT_FALSE(ctl<QTextEdit>(QStringLiteral("eTitle"))->document()->isModified());
}

TEST_F(FocusHome, NameEditsHidingAtAStartGiveTheFocusToTheClock)
{
    for (const char *name : {"eName1", "eName2"}) {
        ctl(QString::fromLatin1(name))->setFocus();
        key(Qt::Key_Pause);
        ASSERT_TRUE(board->model().match().timer().isRunning());
        EXPECT_FALSE(ctl(QString::fromLatin1(name))->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), clock()) << name;
        key(Qt::Key_Pause);
    }
}

} // namespace
