#include "tests/FreePort.h"
#include "tests/app/BoardFixture.h"
#include "tests/EventWait.h"

#include "feed/FeedPublisher.h"
#include "app/FeedStrip.h"
#include "core/SettingsStore.h"
#include "tests/feed/SchemaCheck.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QSet>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>
#include <QMenu>
#include <QAction>
#include <QWebSocket>

#include <memory>
#include <vector>

namespace {

constexpr int kPoints1 = MatchScore::pointsEntry(1);
constexpr int kPoints2 = MatchScore::pointsEntry(2);
constexpr auto kPin = "424242";

// The real window with its feed on 127.0.0.1, started from the settings as at a program start.
class FeedWindow : public BoardFixture
{
protected:
    struct Reply
    {
        int status = 0;
        QByteArray body;
        QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    };

    void SetUp() override { clearSettings(); }

    static quint16 freePort()
    {
        const quint16 port = quietPort();
        EXPECT_NE(port, 0);
        return port;
    }

    void startWithFeed(quint16 port, bool files = false)
    {
        BoardSettings s;
        s.Feed = true;
        s.FeedPort = port;
        s.FeedPin = QString::fromLatin1(kPin);
        s.FeedFiles = files;
        s.FeedFolder = filesDir.path();
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                        QStringLiteral("Courtlyx"));
        SettingsStore::write(store, s);
        startBoard();
    }

    Reply request(const QByteArray &method, const QString &path, const QByteArray &body = {},
                  const QByteArray &pin = kPin)
    {
        QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(board->feed().server().port()).arg(path)));
        req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        if (!pin.isNull())
            req.setRawHeader("X-Pin", pin);
        QNetworkReply *reply = network.sendCustomRequest(req, method, body);
        Reply result;
        if (waitFor([reply] { return reply->isFinished(); })) {
            result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            result.body = reply->readAll();
        }
        reply->deleteLater();
        return result;
    }
    Reply command(const QByteArray &body, const QByteArray &pin = kPin)
    {
        return request("POST", QStringLiteral("/command"), body, pin);
    }

    static QString pointsOf(const QJsonObject &state, int side)
    {
        return state[QStringLiteral("sides")].toArray()[side - 1].toObject()[QStringLiteral("points")].toString();
    }

    QString status() const { return ctl<QLabel>(QStringLiteral("LabFeedStatus"))->text(); }
    QString fileText(const QString &name) const
    {
        QFile f(filesDir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing>");
    }

    QTemporaryDir filesDir;
    QNetworkAccessManager network;
};

} // namespace

TEST_F(FeedWindow, AStoreWithoutTheFeedStartsTheBoardWithoutIt)
{
    // What an older board wrote: the sixteen and the formats' two values.
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                        QStringLiteral("Courtlyx"));
        store.setValue("L", 248);
        store.setValue("Comanda1", "Graf");
        store.setValue("TieBreakPoints", 1);
    }
    startBoard();
    EXPECT_FALSE(board->feed().server().isRunning());
    EXPECT_EQ(status(), "Aus");
    EXPECT_FALSE(ctl<QCheckBox>("cbFeed")->isChecked());
    EXPECT_EQ(ctl<QLineEdit>("eFeedPort")->text(), "8765");
    EXPECT_FALSE(ctl<QFrame>("PanelFeed")->isVisible());
}

TEST_F(FeedWindow, FeedFromTheSettingsServesTheBoardAndFollowsItsKeys)
{
    const quint16 port = freePort();
    startWithFeed(port);
    ASSERT_TRUE(board->feed().server().isRunning()) << status().toStdString();
    EXPECT_EQ(status(), QStringLiteral("http://127.0.0.1:%1  PIN 424242").arg(port));
    EXPECT_EQ(board->feed().server().listenAddress(), QHostAddress(QHostAddress::LocalHost));

    QList<QJsonObject> served;
    Reply before = request("GET", QStringLiteral("/score.json"));
    ASSERT_EQ(before.status, 200);
    served << before.json();
    EXPECT_EQ(pointsOf(before.json(), 1), text(kPoints1));
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    ASSERT_EQ(text(kPoints1), "15");
    const Reply after = request("GET", QStringLiteral("/score.json"));
    served << after.json();
    EXPECT_EQ(pointsOf(after.json(), 1), "15");
    EXPECT_EQ(after.json()[QStringLiteral("phase")].toString(), "running");
    EXPECT_GT(after.json()[QStringLiteral("change")].toInt(), before.json()[QStringLiteral("change")].toInt());
    EXPECT_EQ(after.json()[QStringLiteral("sides")].toArray()[0].toObject()[QStringLiteral("name")].toString(),
              "Name 1");
    expectSchemaValid(served);
}

// The document states the format the board plays, not one rebuilt from the set count and the
// tie-break option (which gave Fast4 as "SET3-S:6/TB7").
TEST_F(FeedWindow, TheFormatChosenOnTheStripIsTheOnePublished)
{
    startWithFeed(freePort());
    ASSERT_TRUE(board->feed().server().isRunning()) << status().toStdString();
    QWebSocket socket;
    QStringList formats;
    QObject::connect(&socket, &QWebSocket::textMessageReceived, [&](const QString &message) {
        formats << QJsonDocument::fromJson(message.toUtf8()).object()[QStringLiteral("format")].toString();
    });
    socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(board->feed().server().port())));
    ASSERT_TRUE(waitFor([&] { return !formats.isEmpty(); }));
    EXPECT_EQ(formats.last(), "SET5-S:6/TB7");

    const QString fast4 = QStringLiteral("SET3-S:4NOAD/TB5NOAD@3");
    for (const QString &code : {fast4, QStringLiteral("SET1-S:8/TB7")}) {
        board->ObCFGClick();
        auto *list = ctl<QComboBox>(QStringLiteral("cbFormat"));
        emit list->activated(list->findText(code == fast4 ? QStringLiteral("Fast4") : QStringLiteral("Pro set to 8")));
        ASSERT_EQ(board->model().score().format().code(), code);
        EXPECT_TRUE(waitFor([&] { return formats.last() == code; })) << formats.last().toStdString();
        const Reply served = request("GET", QStringLiteral("/score.json"));
        EXPECT_EQ(served.json()[QStringLiteral("format")].toString(), code);
        expectSchemaValid({served.json()});
    }
}

TEST_F(FeedWindow, ACommandWithThePinScoresThroughTheJournalAndUndoTakesItBack)
{
    startWithFeed(freePort());
    key(Qt::Key_Pause);
    const qsizetype records = board->model().journal().records().size();
    Reply reply = command(R"({"command": "point", "side": 2})");
    ASSERT_EQ(reply.status, 200) << reply.body.toStdString();
    EXPECT_EQ(text(kPoints2), "15");
    EXPECT_EQ(pointsOf(reply.json(), 2), "15") << "the reply carries the new state";
    ASSERT_EQ(board->model().journal().records().size(), records + 1);
    EXPECT_EQ(board->model().journal().records().last().command, MatchCommand::point(2));

    reply = command(R"({"command": "undo"})");
    ASSERT_EQ(reply.status, 200);
    EXPECT_EQ(text(kPoints2), "0");
    EXPECT_EQ(pointsOf(reply.json(), 2), "0");
    reply = command(R"({"command": "redo"})");
    EXPECT_EQ(text(kPoints2), "15");
    // A key undoes what the network did: one path for both.
    key(Qt::Key_Z, Qt::ControlModifier, board.get());
    EXPECT_EQ(text(kPoints2), "0");
    reply = command(R"({"command": "pause"})");
    EXPECT_EQ(board->model().match().timer().MatchPhase(), MatchTimer::Paused);
    reply = command(R"({"command": "game", "side": 1})");
    EXPECT_EQ(text(MatchScore::gamesEntry(1, 1)), "1");
}

TEST_F(FeedWindow, WithoutTheRightPinNothingChanges)
{
    startWithFeed(freePort());
    key(Qt::Key_Pause);
    const qsizetype records = board->model().journal().records().size();
    EXPECT_EQ(command(R"({"command": "point", "side": 1})", QByteArray()).status, 403);
    EXPECT_EQ(command(R"({"command": "point", "side": 1})", "000000").status, 403);
    EXPECT_EQ(command(R"({"command": "point", "side": 7})").status, 400);
    EXPECT_EQ(command("{not json").status, 400);
    EXPECT_EQ(request("GET", QStringLiteral("/command")).status, 405);
    EXPECT_EQ(text(kPoints1), "0");
    EXPECT_EQ(board->model().journal().records().size(), records);
}

TEST_F(FeedWindow, ATakenPortIsToldInWordsAndTheBoardPlaysOn)
{
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::LocalHost, 0));
    startWithFeed(squatter.serverPort());
    EXPECT_FALSE(board->feed().server().isRunning());
    EXPECT_EQ(status(), QStringLiteral("Port %1 ist belegt \u2013 ohne Feed").arg(squatter.serverPort()));
    auto *notice = ctl<QLabel>(QStringLiteral("LNotice"));
    EXPECT_TRUE(notice->isVisible()) << "said on the board with the strip closed";
    EXPECT_EQ(notice->text(), QStringLiteral("Feed: Port %1 ist belegt \u2013 ohne Feed").arg(squatter.serverPort()));
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    EXPECT_EQ(text(kPoints1), "15");
    // Another port typed in the row starts it.
    board->ObCFGClick();
    QLineEdit *port = ctl<QLineEdit>("eFeedPort");
    const quint16 free = freePort();
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, QString::number(free));
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_TRUE(board->feed().server().isRunning());
    EXPECT_EQ(board->feed().server().port(), free);
    EXPECT_TRUE(status().startsWith(QStringLiteral("http://127.0.0.1:%1").arg(free))) << status().toStdString();
    EXPECT_EQ(board->settings().FeedPort, free);
    EXPECT_FALSE(notice->isVisible()) << notice->text().toStdString();
}

TEST_F(FeedWindow, APortOutsideTheRangeIsNotTaken)
{
    const quint16 first = freePort();
    startWithFeed(first);
    board->ObCFGClick();
    QLineEdit *port = ctl<QLineEdit>("eFeedPort");
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, QStringLiteral("80x"));
    EXPECT_EQ(port->text(), "80") << "digits only";
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_EQ(port->text(), QString::number(first));
    EXPECT_EQ(board->feed().server().port(), first);
    port->selectAll();
    QTest::keyClicks(port, QStringLiteral("65536"));
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_EQ(port->text(), QString::number(first)) << "above the highest port";
    EXPECT_EQ(board->feed().server().port(), first);
}

TEST_F(FeedWindow, TickedFilesAreReplacedOnEveryChange)
{
    startWithFeed(freePort(), true);
    QSignalSpy written(&board->feed(), &FeedPublisher::filesWritten);
    // One file after another: the points may come after the name.
    EXPECT_TRUE(waitFor([&] { return fileText("name1.txt") == "Name 1" && fileText("points1.txt") == text(kPoints1); }))
        << fileText("name1.txt").toStdString() << " / " << fileText("points1.txt").toStdString();
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    key(Qt::Key_F1);
    EXPECT_TRUE(waitFor([&] { return fileText("points1.txt") == "30"; })) << fileText("points1.txt").toStdString();
    EXPECT_TRUE(waitFor([&] { return !written.isEmpty(); }));
    EXPECT_TRUE(written.last().at(0).toBool()) << written.last().at(1).toString().toStdString();
    // Files without the server: the feed off, the files go on.
    ctl<QCheckBox>("cbFeed")->setChecked(false);
    EXPECT_FALSE(board->feed().server().isRunning());
    key(Qt::Key_F2);
    EXPECT_TRUE(waitFor([&] { return fileText("points2.txt") == "15"; })) << fileText("points2.txt").toStdString();
}

TEST_F(FeedWindow, AFolderThatCannotBeWrittenIsToldOnTheRow)
{
    const quint16 port = freePort();
    startWithFeed(port, true);
    BoardSettings s = board->settings();
    QFile blocker(filesDir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    s.FeedFolder = blocker.fileName() + QStringLiteral("/feed");
    board->applySettings(s);
    EXPECT_TRUE(waitFor([&] { return status().contains(QStringLiteral("Dateien:")); })) << status().toStdString();
    EXPECT_TRUE(board->feed().server().isRunning()) << "the feed goes on without its files";
    EXPECT_TRUE(ctl<QLabel>(QStringLiteral("LNotice"))->text().startsWith(QStringLiteral("Feed-Dateien: ")))
        << ctl<QLabel>(QStringLiteral("LNotice"))->text().toStdString();
}

TEST_F(FeedWindow, PairedRemotesAreCountedOnTheRowAndForgottenFromItsMenu)
{
    startWithFeed(freePort());
    auto *devices = ctl<QToolButton>(QStringLiteral("bFeedDevices"));
    EXPECT_EQ(devices->text(), QStringLiteral("Geräte: 0"));
    const int before = board->model().match().score().points(1);
    const Reply paired = request("POST", QStringLiteral("/pair"));
    ASSERT_EQ(paired.status, 200);
    const QByteArray token = paired.json()[QStringLiteral("token")].toString().toLatin1();
    EXPECT_EQ(devices->text(), QStringLiteral("Geräte: 1"));

    emit devices->menu()->aboutToShow();
    const QList<QAction *> actions = devices->menu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_TRUE(actions[0]->text().startsWith(QStringLiteral("127.0.0.1, seit "))) << actions[0]->text().toStdString();
    actions.last()->trigger();
    EXPECT_EQ(devices->text(), QStringLiteral("Geräte: 0"));

    QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1/command").arg(board->feed().server().port())));
    req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    req.setRawHeader("X-Token", token);
    QNetworkReply *reply = network.post(req, QByteArray(R"({"command": "point", "side": 1})"));
    ASSERT_TRUE(waitFor([reply] { return reply->isFinished(); }));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 403);
    reply->deleteLater();
    EXPECT_EQ(board->model().match().score().points(1), before);
}

TEST_F(FeedWindow, ALinkInPlaceOfATextFileIsToldOnTheRow)
{
    startWithFeed(freePort(), true);
    ASSERT_TRUE(waitFor([&] { return fileText(QStringLiteral("points1.txt")) != QStringLiteral("<missing>"); }))
        << fileText(QStringLiteral("points1.txt")).toStdString();
    QFile other(filesDir.filePath(QStringLiteral("other")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("keep me");
    other.close();
    ASSERT_TRUE(QFile::remove(filesDir.filePath(QStringLiteral("points1.txt"))));
    ASSERT_TRUE(QFile::link(other.fileName(), filesDir.filePath(QStringLiteral("points1.txt"))));
    ASSERT_EQ(command(R"({"command": "pause"})").status, 200);
    ASSERT_EQ(command(R"({"command": "point", "side": 1})").status, 200);
    EXPECT_TRUE(waitFor([&] { return status().contains(QStringLiteral("points1.txt ist ein Verweis")); }))
        << status().toStdString();
    EXPECT_EQ(fileText(QStringLiteral("other")), QStringLiteral("keep me"));
}

TEST_F(FeedWindow, TheFeedValuesSurviveARestart)
{
    startBoard();
    BoardSettings s = board->settings();
    s.Feed = true;
    s.FeedPort = freePort();
    s.FeedNet = false;
    s.FeedFiles = true;
    s.FeedFolder = filesDir.path();
    s.FeedPin = QStringLiteral("135790");
    board->applySettings(s);
    ASSERT_TRUE(board->feed().server().isRunning());
    EXPECT_EQ(board->feed().server().pin(), "135790");
    board.reset();
    startBoard();
    const BoardSettings back = board->settings();
    EXPECT_TRUE(back.Feed);
    EXPECT_EQ(back.FeedPort, s.FeedPort);
    EXPECT_TRUE(back.FeedFiles);
    EXPECT_EQ(back.FeedFolder, s.FeedFolder);
    EXPECT_EQ(back.FeedPin, "135790");
    EXPECT_TRUE(board->feed().server().isRunning());
    EXPECT_TRUE(ctl<QCheckBox>("cbFeedFiles")->isChecked());
}

TEST_F(FeedWindow, WithoutAFixedPinEachStartDrawsOneAndTheRowShowsIt)
{
    startBoard();
    BoardSettings s = board->settings();
    s.Feed = true;
    s.FeedPort = freePort();
    board->applySettings(s);
    const QString pin = board->feed().server().pin();
    EXPECT_TRUE(PinGuard::isValidPin(pin));
    EXPECT_TRUE(status().endsWith(QStringLiteral("PIN ") + pin)) << status().toStdString();
    EXPECT_TRUE(board->settings().FeedPin.isEmpty()) << "a drawn PIN is not remembered";
    ctl<QCheckBox>("cbFeedNet")->setChecked(true);
    EXPECT_EQ(board->feed().server().listenAddress(), QHostAddress(QHostAddress::Any));
    // The board's address on the network, and a new PIN with the new start.
    const QString netPin = board->feed().server().pin();
    EXPECT_TRUE(status().endsWith(QStringLiteral(":%1  PIN %2").arg(s.FeedPort).arg(netPin))) << status().toStdString();
    bool lan = false;
    for (const QHostAddress &a : QNetworkInterface::allAddresses())
        lan = lan || (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() && !a.isLinkLocal());
    EXPECT_EQ(status().startsWith(QStringLiteral("http://127.0.0.1:")), !lan) << status().toStdString();
}

TEST_F(FeedWindow, TheRowOpensClosesAndHoldsTheFocusWithTheStrip)
{
    startBoard();
    QFrame *row = ctl<QFrame>("PanelFeed");
    QFrame *strip = ctl<QFrame>("PanelCFG");
    EXPECT_FALSE(row->isVisible());
    board->ObCFGClick();
    ASSERT_TRUE(strip->isVisible());
    EXPECT_TRUE(row->isVisible());
    EXPECT_EQ(row->geometry(), QRect(0, 0, board->width(), FeedStrip::kHeight)) << "along the top edge";
    // Open, the row may lie over the clock and the title, never over a figure of the score.
    const QSet<QString> under{QStringLiteral("PLNClock1"), QStringLiteral("eTitle"), QStringLiteral("Image1")};
    for (QWidget *w : board->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w != row && w != strip && w->isVisible() && !under.contains(w->objectName())) {
            EXPECT_FALSE(row->geometry().intersects(w->geometry())) << w->objectName().toStdString();
        }
    }
    // Into the row and back: the strip stays open.
    ctl<QCheckBox>("cbFeedFiles")->setFocus();
    EXPECT_TRUE(strip->isVisible());
    ctl<QPushButton>("sbClose")->setFocus();
    EXPECT_TRUE(row->isVisible());
    // Out of both: both close.
    ctl<QCheckBox>("cbFeedFiles")->setFocus();
    ctl<QLineEdit>("eName1")->setFocus();
    EXPECT_FALSE(strip->isVisible());
    EXPECT_FALSE(row->isVisible());
    board->ObCFGClick();
    ctl<QPushButton>("sbClose")->click();
    EXPECT_FALSE(row->isVisible());
}
