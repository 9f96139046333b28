#include "tests/app/BoardFixture.h"

#include "app/ControlButtons.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

class MonitorList : public BoardFixture {};

TEST_F(MonitorList, OneMonitorShowsAnfangswertGreyed)
{
    EXPECT_EQ(items(ctl<QComboBox>("cbMonitor")), QStringList{"Anfangswert"});
    EXPECT_EQ(ctl<QComboBox>("cbMonitor")->currentIndex(), 0);
    EXPECT_FALSE(ctl<QComboBox>("cbMonitor")->isEnabled());
    EXPECT_FALSE(ctl<QLabel>("LabMonitor")->isEnabled());
}

TEST_F(MonitorList, RebuiltOnlyWhenTheCountChanges)
{
    monitors.list = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)};
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    board->ObCFGClick();
    EXPECT_EQ(items(ctl<QComboBox>("cbMonitor")),
              (QStringList{"0=(0,0)-(1920,1080)", "1=(1920,0)-(1920,1080)"}));
    EXPECT_EQ(ctl<QComboBox>("cbMonitor")->currentIndex(), 1);
    EXPECT_TRUE(ctl<QComboBox>("cbMonitor")->isEnabled());

    ctl<QComboBox>("cbMonitor")->setCurrentIndex(0);
    emit ctl<QComboBox>("cbMonitor")->activated(0);
    EXPECT_EQ(board->model().monitor(), 0);
    monitors.list[1] = QRect(-1280, 0, 1280, 1024); // same count, other geometry
    board->sbCloseClick();
    board->ObCFGClick();
    EXPECT_EQ(ctl<QComboBox>("cbMonitor")->currentIndex(), 0) << "the operator's selection stays";
    EXPECT_EQ(ctl<QComboBox>("cbMonitor")->itemText(1), "1=(1920,0)-(1920,1080)");

    monitors.list.append(QRect(0, 1080, 1280, 720));
    board->ObCFGClick();
    EXPECT_EQ(ctl<QComboBox>("cbMonitor")->count(), 3);
    EXPECT_EQ(ctl<QComboBox>("cbMonitor")->itemText(2), "2=(0,1080)-(1280,720)");
}

TEST_F(MonitorList, RememberedNumberBeyondTheListSelectsNothing)
{
    monitors.list = {QRect(0, 0, 800, 600), QRect(800, 0, 800, 600)};
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 5));
    board->ObCFGClick();
    EXPECT_EQ(ctl<QComboBox>("cbMonitor")->currentIndex(), -1);
    monitors.list = {QRect(0, 0, 800, 600)};
    board->ObCFGClick();
    EXPECT_EQ(board->model().monitor(), 5) << "one monitor keeps the remembered number";
}

class ConfigPanel : public BoardFixture {};

TEST_F(ConfigPanel, OpensDockedWithFocusOnCloseButton)
{
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(ctl<QFrame>("PanelCFG")->isVisible());
    EXPECT_EQ(ctl<QFrame>("PanelCFG")->geometry(), QRect(0, 480, 792, 67));
    EXPECT_EQ(QApplication::focusWidget(), ctl<QPushButton>("sbClose"));
    key(Qt::Key_F5);
    EXPECT_EQ(board->model().score().server(), 1) << "the keys act while the strip is open";
    QTest::keyClick(ctl<QPushButton>("sbClose"), Qt::Key_Space);
    EXPECT_FALSE(ctl<QFrame>("PanelCFG")->isVisible());
    board->ObCFGClick();
    QTest::keyClick(ctl<QPushButton>("sbClose"), Qt::Key_Return);
    EXPECT_FALSE(ctl<QFrame>("PanelCFG")->isVisible()) << "Enter closes it too";
}

TEST_F(ConfigPanel, FocusLeavingForANameEditClosesIt)
{
    board->ObCFGClick();
    QTest::mouseClick(ctl<TLabel3D>("eSchet1"), Qt::LeftButton);
    EXPECT_TRUE(ctl<QFrame>("PanelCFG")->isVisible()) << "clicks on figures take no focus";
    ctl<QLineEdit>("eName1")->setFocus();
    EXPECT_FALSE(ctl<QFrame>("PanelCFG")->isVisible());
}

TEST_F(ConfigPanel, FocusGoingNowhereLeavesItOpen)
{
    board->ObCFGClick();
    ASSERT_EQ(QApplication::focusWidget(), ctl<QPushButton>("sbClose"));
    ctl<QPushButton>("sbClose")->clearFocus();
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(ctl<QFrame>("PanelCFG")->isVisible());
}

TEST_F(ConfigPanel, GameButtonFollowsTheCompanionFileAndOpensIt)
{
    QTemporaryDir dir;
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    board->ObCFGClick();
    EXPECT_FALSE(ctl<QPushButton>("bGame")->isEnabled());
    board->sbCloseClick();
    QFile swf(QStringLiteral("tennis.swf"));
    ASSERT_TRUE(swf.open(QIODevice::WriteOnly));
    swf.close();
    board->ObCFGClick();
    EXPECT_TRUE(ctl<QPushButton>("bGame")->isEnabled());
    ctl<QPushButton>("bGame")->click();
    EXPECT_FALSE(ctl<QFrame>("PanelCFG")->isVisible());
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].first, "tennis.swf");
    EXPECT_EQ(shell.opened[0].second, ShowCommand::ShowMaximized);
    QTest::mouseClick(ctl<QLabel>("ImageDE"), Qt::LeftButton);
    ASSERT_EQ(shell.opened.size(), 2);
    EXPECT_EQ(shell.opened[1].first, ControlButtons::kLogoAddress);
    EXPECT_EQ(shell.opened[1].second, ShowCommand::Restore);
    QDir::setCurrent(oldCwd);
}

} // namespace
