#include "tests/feed/FeedFixture.h"

#include <QJsonArray>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const QByteArray kPoint = R"({"command": "point", "side": 1})";

QString pointsOf(const QJsonObject &state, int side)
{
    return state[QStringLiteral("sides")].toArray()[side - 1].toObject()[QStringLiteral("points")].toString();
}

// Reads an event stream off a plain socket: every "data:" line is one document.
class EventReader
{
public:
    explicit EventReader(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n\r\n");
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { take(); });
    }
    void take()
    {
        buffer += socket.readAll();
        qsizetype end = buffer.indexOf("\r\n\r\n");
        if (headers.isEmpty() && end >= 0) {
            headers = buffer.left(end);
            buffer.remove(0, end + 4);
        }
        if (headers.isEmpty())
            return;
        while ((end = buffer.indexOf("\n\n")) >= 0) {
            const QByteArray block = buffer.left(end);
            buffer.remove(0, end + 2);
            const qsizetype data = block.indexOf("data: ");
            if (data >= 0)
                documents << QJsonDocument::fromJson(block.mid(data + 6)).object();
        }
    }

    QTcpSocket socket;
    QByteArray buffer;
    QByteArray headers;
    QList<QJsonObject> documents;
};

class FeedServerTest : public FeedFixture
{
};

TEST_F(FeedServerTest, IsOffUntilStartedAndThenOnLoopbackWithASixDigitPin)
{
    EXPECT_FALSE(server.isRunning());
    FeedServer::Options options;
    options.port = 0;
    ASSERT_TRUE(server.start(options));
    EXPECT_TRUE(server.isRunning());
    EXPECT_TRUE(PinGuard::isValidPin(server.pin()));
    const QString first = server.pin();
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, server.port());
    EXPECT_TRUE(probe.waitForConnected(2000));
    EXPECT_EQ(server.listenAddress(), QHostAddress(QHostAddress::LocalHost));
    server.stop();
    EXPECT_FALSE(server.isRunning());
    // A new start draws a new PIN (one in a million to draw the same).
    ASSERT_TRUE(server.start(options));
    EXPECT_NE(server.pin(), first);
    options.pin = QStringLiteral("010203");
    ASSERT_TRUE(server.start(options));
    EXPECT_EQ(server.pin(), QStringLiteral("010203"));
    options.allInterfaces = true;
    ASSERT_TRUE(server.start(options));
    EXPECT_EQ(server.listenAddress(), QHostAddress(QHostAddress::Any));
}

TEST_F(FeedServerTest, ATakenPortIsReportedAndTheMatchGoesOn)
{
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::LocalHost, 0));
    FeedServer::Options options;
    options.port = squatter.serverPort();
    EXPECT_FALSE(server.start(options));
    EXPECT_FALSE(server.isRunning());
    EXPECT_NE(server.errorText().indexOf(QString::number(options.port)), -1) << server.errorText().toStdString();
    EXPECT_NE(server.errorText().indexOf(QStringLiteral("belegt")), -1);
    match.timer().bPlayClick();
    match.score().mSchet1Click();
    server.publish(document.update(match, {}, {}));
    EXPECT_EQ(match.score().points(1), 1);
}

TEST_F(FeedServerTest, ServesTheLatestStateAsJson)
{
    startServer();
    match.timer().bPlayClick();
    match.score().mSchet2Click();
    publishMatch();
    const Reply reply = request("GET", QStringLiteral("/score.json"));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, QByteArrayLiteral("application/json"));
    EXPECT_EQ(reply.json(), document.current());
    EXPECT_EQ(pointsOf(reply.json(), 2), QStringLiteral("15"));
    expectSchemaValid({reply.json()});
    EXPECT_EQ(request("GET", QStringLiteral("/nothing")).status, 404);
}

TEST_F(FeedServerTest, EventStreamSendsTheStateAtOnceAndOnEachChange)
{
    startServer();
    EventReader events(server.port());
    ASSERT_TRUE(waitFor([&] { return events.documents.size() == 1; }));
    EXPECT_NE(events.headers.indexOf("text/event-stream"), -1);
    EXPECT_EQ(events.documents[0], document.current());

    match.timer().bPlayClick();
    publishMatch();
    match.score().mSchet1Click();
    publishMatch();
    match.score().mSchet1Click();
    publishMatch();
    // Three changes in one turn of the loop: one message, the last state.
    ASSERT_TRUE(waitFor([&] { return events.documents.size() >= 2; }));
    spin(100);
    ASSERT_EQ(events.documents.size(), 2);
    EXPECT_EQ(pointsOf(events.documents[1], 1), QStringLiteral("30"));
    EXPECT_EQ(events.documents[1], document.current());

    // Publishing an unchanged state sends nothing.
    publishMatch();
    spin(100);
    EXPECT_EQ(events.documents.size(), 2);
    expectSchemaValid(events.documents);
}

TEST_F(FeedServerTest, WebSocketGetsTheStateOnConnectAndOnEachChange)
{
    startServer();
    QWebSocket client;
    QList<QJsonObject> received;
    QObject::connect(&client, &QWebSocket::textMessageReceived, [&](const QString &message) {
        received << QJsonDocument::fromJson(message.toUtf8()).object();
    });
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(server.port())));
    ASSERT_TRUE(waitFor([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0], document.current());
    EXPECT_EQ(server.streamCount(), 1);

    match.timer().bPlayClick();
    match.score().mSchet2Click();
    publishMatch();
    match.score().mSchet2Click();
    publishMatch();
    ASSERT_TRUE(waitFor([&] { return received.size() >= 2; }));
    spin(100);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(pointsOf(received[1], 2), QStringLiteral("30"));
    expectSchemaValid(received);

    client.close();
    EXPECT_TRUE(waitFor([&] { return server.streamCount() == 0 && server.connectionCount() == 0; }))
        << server.connectionCount() << " connections left";
}

TEST_F(FeedServerTest, WebSocketOnAnotherPathIsClosed)
{
    startServer();
    QWebSocket client;
    int messages = 0;
    QObject::connect(&client, &QWebSocket::textMessageReceived, [&] { ++messages; });
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/other").arg(server.port())));
    EXPECT_TRUE(waitFor([&] { return client.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(messages, 0);
    EXPECT_EQ(server.streamCount(), 0);
}

TEST_F(FeedServerTest, ACommandWithThePinReachesTheBoardAndRepliesTheNewState)
{
    startServer();
    Reply reply = command(R"({"command": "pause"})");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.json()[QStringLiteral("phase")].toString(), QStringLiteral("running"));
    reply = command(R"({"command": "point", "side": 1})");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(pointsOf(reply.json(), 1), QStringLiteral("15"));
    EXPECT_EQ(reply.json(), document.current());
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(commands[1], (FeedCommand{FeedCommand::Kind::Point, 1}));
    EXPECT_EQ(match.score().points(1), 1);
    expectSchemaValid({reply.json()});
}

TEST_F(FeedServerTest, BadCommandsAreRefusedWithAReasonAndChangeNothing)
{
    startServer();
    const QJsonObject before = document.current();
    const auto expectRefused = [&](const Reply &reply, int status, const char *reason) {
        EXPECT_EQ(reply.status, status) << reply.body.toStdString();
        EXPECT_NE(reply.json()[QStringLiteral("error")].toString().indexOf(QLatin1String(reason)), -1)
            << reply.body.toStdString();
    };
    expectRefused(command(R"({"command": "point", "side": 1)"), 400, "malformed JSON");
    expectRefused(command(R"({"command": "reset"})"), 400, "unknown command");
    expectRefused(command(R"({"command": "point", "side": 3})"), 400, "side");
    expectRefused(command(R"({"command": "point", "side": 1})", "111111"), 403, "PIN");
    expectRefused(command(R"({"command": "point", "side": 1})", QByteArray()), 403, "PIN");
    expectRefused(command("{\"command\": \"point\", \"side\": 1, \"x\": \"" + QByteArray(5000, 'a') + "\"}"), 413,
                  "bytes");
    expectRefused(request("GET", QStringLiteral("/command")), 405, "posted");
    EXPECT_TRUE(commands.isEmpty());
    EXPECT_EQ(document.current(), before);
}

TEST_F(FeedServerTest, WrongPinsUseUpTheMinutesTriesAndTheRefusalSaysHowLongToWait)
{
    startServer();
    for (int i = 0; i < PinGuard::kMaxWrongPins; ++i)
        EXPECT_EQ(command(kPoint, "999999").status, 403);
    const Reply blocked = command(kPoint);
    EXPECT_EQ(blocked.status, 429);
    EXPECT_NE(blocked.json()[QStringLiteral("error")].toString().indexOf(QStringLiteral("60 s")), -1)
        << blocked.body.toStdString();
    EXPECT_TRUE(commands.isEmpty());
    ticks.advance(PinGuard::kWindowMs);
    EXPECT_EQ(command(kPoint).status, 200);
    EXPECT_EQ(commands.size(), 1);
}

TEST_F(FeedServerTest, ServesTheOverlayAndTheRemotePage)
{
    startServer();
    const Reply overlay = request("GET", QStringLiteral("/overlay?scale=2"));
    EXPECT_EQ(overlay.status, 200);
    EXPECT_TRUE(overlay.contentType.startsWith("text/html"));
    EXPECT_NE(overlay.body.indexOf("new WebSocket"), -1);
    const Reply remote = request("GET", QStringLiteral("/remote"));
    EXPECT_EQ(remote.status, 200);
    EXPECT_NE(remote.body.indexOf("X-Pin"), -1);
}

} // namespace
