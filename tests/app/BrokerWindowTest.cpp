#include "tests/app/BoardFixture.h"
#include "tests/feed/BrokerKit.h"

#include "app/BrokerDialog.h"
#include "app/FeedStrip.h"
#include "core/SettingsStore.h"
#include "feed/BrokerPublisher.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>

#include <csignal>

namespace {

QJsonObject json(const QByteArray &payload)
{
    return QJsonDocument::fromJson(payload).object();
}

// The real window on a mosquitto of the test's own.
class BrokerWindow : public BoardFixture
{
protected:
    void SetUp() override
    {
        if (!Mosquitto::installed())
            GTEST_SKIP() << "mosquitto and mosquitto-clients are not installed (scripts/test.sh installs them)";
        clearSettings();
        ASSERT_TRUE(broker.start());
    }
    QString status() const { return ctl<QLabel>(QStringLiteral("LabFeedStatus"))->text(); }

    Mosquitto broker;
};

} // namespace

TEST_F(BrokerWindow, SwitchedOnOnTheFeedsRowF1IsTheRetainedScoreAndTheRowSaysWhere)
{
    BoardSettings s;
    s.BrokerHost = QStringLiteral("127.0.0.1");
    s.BrokerPort = broker.port;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"), QStringLiteral("Courtlyx"));
    SettingsStore::write(store, s);
    startBoard();
    EXPECT_EQ(status(), "Aus") << "off as it was stored";
    board->ObCFGClick();
    ctl<QCheckBox>(QStringLiteral("cbBroker"))->click();
    ASSERT_TRUE(waitFor([&] { return board->broker().state() == BrokerPublisher::State::Connected; }, 8000));
    EXPECT_EQ(status(), QStringLiteral("Aus  \u00b7  Broker: verbunden mit 127.0.0.1:%1 als Platz 1").arg(broker.port));
    board->sbCloseClick();
    reactivate();
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    ASSERT_EQ(text(MatchScore::pointsEntry(1)), "15");
    ASSERT_TRUE(waitFor([&] {
        const std::optional<QByteArray> score = retainedOn(broker.port, QStringLiteral("courtlyx/v1/1/score"));
        return score && json(*score)["sides"][0]["points"] == "15";
    }));
    board.reset();
    // Closed cleanly the board says it is offline itself, and keeps the broker on for the next start.
    const std::optional<QByteArray> online = retainedOn(broker.port, QStringLiteral("courtlyx/v1/1/online"));
    ASSERT_TRUE(online);
    EXPECT_EQ(json(*online)["online"], false);
    EXPECT_EQ(store.value("Broker").toInt(), 1);
}

TEST_F(BrokerWindow, TheDialogTakesTheFieldsMasksThePasswordAndOnlyACourtTheTopicsCanCarry)
{
    startBoard();
    board->ObCFGClick();
    QTimer::singleShot(50, [this] {
        auto *dialog = qobject_cast<BrokerDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->ePassword()->echoMode(), QLineEdit::Password);
        dialog->eHost()->setText(QStringLiteral(" 127.0.0.1 "));
        dialog->ePort()->setText(QString::number(broker.port));
        dialog->eCourt()->clear();
        QTest::keyClicks(dialog->eCourt(), QStringLiteral("Centre Court/1"));
        EXPECT_EQ(dialog->eCourt()->text(), "CentreCourt1") << "a space and a slash cannot be typed";
        dialog->eUser()->setText(QStringLiteral("court-9"));
        dialog->ePassword()->setText(QStringLiteral("geheim"));
        dialog->accept();
    });
    ctl<QCheckBox>(QStringLiteral("cbBroker"))->click();
    const BrokerPublisher::Setup setup = board->broker().setup();
    EXPECT_TRUE(setup.on);
    EXPECT_EQ(setup.host, "127.0.0.1");
    EXPECT_EQ(setup.court, "CentreCourt1");
    EXPECT_EQ(setup.password, "geheim");
    EXPECT_TRUE(waitFor([&] { return board->broker().state() == BrokerPublisher::State::Connected; }, 8000));
    EXPECT_TRUE(status().contains(QStringLiteral("als Platz CentreCourt1"))) << status().toStdString();
    EXPECT_TRUE(ctl<QCheckBox>(QStringLiteral("cbBroker"))->isChecked());
}

// The operator with the strip closed still hears of it: on the board's notice line.
TEST_F(BrokerWindow, ABrokerGoneIsToldOnTheBoardWithTheStripClosedUntilItIsBack)
{
    BoardSettings s;
    s.Broker = true;
    s.BrokerHost = QStringLiteral("127.0.0.1");
    s.BrokerPort = broker.port;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"), QStringLiteral("Courtlyx"));
    SettingsStore::write(store, s);
    startBoard();
    auto *notice = ctl<QLabel>(QStringLiteral("LNotice"));
    ASSERT_TRUE(waitFor([&] { return board->broker().state() == BrokerPublisher::State::Connected; }, 8000));
    EXPECT_FALSE(notice->isVisible());
    broker.stop();
    ASSERT_TRUE(waitFor([&] { return notice->isVisible(); }, 8000));
    EXPECT_TRUE(notice->text().startsWith(QStringLiteral("Broker nicht erreichbar ("))) << notice->text().toStdString();
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    EXPECT_EQ(text(MatchScore::pointsEntry(1)), "15") << "the board plays on";
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(waitFor([&] { return board->broker().state() == BrokerPublisher::State::Connected; }, 10000));
    EXPECT_FALSE(notice->isVisible()) << notice->text().toStdString();
    // Switched on with no broker named: said too, and gone once switched off.
    s.BrokerHost.clear();
    board->applySettings(s);
    EXPECT_EQ(notice->text(), QStringLiteral("Broker: kein Rechner eingetragen"));
    s.Broker = false;
    board->applySettings(s);
    EXPECT_FALSE(notice->isVisible());
}

// A board gone without a word: killed, its socket closes and the broker says so for it at
// once; frozen (as when its PC loses power or network), after 1.5 keep-alives without a ping.
class GoneBoard : public BrokerWindow, public ::testing::WithParamInterface<int>
{
};

TEST_P(GoneBoard, ItsCourtGoesOfflineWithinFifteenSeconds)
{
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("config/Quorbel"));
    QFile conf(home.filePath(QStringLiteral("config/Quorbel/Courtlyx-Platz-3.conf")));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    // A court's store from before the broker's court: the board publishes under its number.
    conf.write("[General]\nBroker=1\nBrokerHost=127.0.0.1\nBrokerPort=" + QByteArray::number(broker.port) + '\n');
    conf.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("share")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    Subscriber online(broker.port, QStringLiteral("courtlyx/v1/3/online"));
    QProcess court3;
    court3.setProcessEnvironment(env);
    court3.start(QStringLiteral(COURTLYX_PROGRAM), {QStringLiteral("--court"), QStringLiteral("3")});
    ASSERT_TRUE(court3.waitForStarted());
    ASSERT_TRUE(waitFor([&] {
        const QList<QByteArray> said = online.on(QStringLiteral("courtlyx/v1/3/online"));
        return !said.isEmpty() && json(said.last())["online"] == true;
    }, 10000)) << court3.readAllStandardError().toStdString();
    // Taken while it runs: once QProcess has seen it end, processId() is 0, and kill(0, …)
    // would hit this test's whole process group.
    const auto pid = pid_t(court3.processId());
    ASSERT_GT(pid, 0);
    ::kill(pid, GetParam());
    QElapsedTimer sinceKill;
    sinceKill.start();
    EXPECT_TRUE(waitFor([&] {
        const QList<QByteArray> said = online.on(QStringLiteral("courtlyx/v1/3/online"));
        return json(said.last()) == QJsonObject{{"version", 1}, {"court", "3"}, {"online", false}};
    }, 15000));
    EXPECT_LT(sinceKill.elapsed(), 15000);
    if (GetParam() == SIGSTOP) {
        EXPECT_GT(sinceKill.elapsed(), 5000) << "the keep-alive, not a closed socket, told the broker";
        ::kill(pid, SIGKILL);
    }
    court3.waitForFinished();
}

INSTANTIATE_TEST_SUITE_P(KilledOrFrozen, GoneBoard, ::testing::Values(SIGKILL, SIGSTOP));
