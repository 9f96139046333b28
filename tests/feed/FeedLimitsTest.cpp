#include "tests/feed/FeedFixture.h"

#include <QTcpSocket>

#include <memory>
#include <vector>

namespace {

// Short enough to wait for, long enough that a busy machine does not hit it by accident.
constexpr int kShortDeadlineMs = 500;

class FeedLimitsTest : public FeedFixture
{
protected:
    void startWithLimits(int maxConnections = 64, int requestTimeoutMs = kShortDeadlineMs)
    {
        FeedServer::Options options;
        options.limits.maxConnections = maxConnections;
        // All from 127.0.0.1: the total cap is what these cases are about.
        options.limits.maxPerAddress = maxConnections;
        options.limits.reservedForPaired = 0;
        options.limits.requestTimeoutMs = requestTimeoutMs;
        startServer(options);
    }

    std::unique_ptr<QTcpSocket> connectRaw()
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, server.port());
        EXPECT_TRUE(socket->waitForConnected(2000));
        return socket;
    }

    static bool closedByServer(QTcpSocket &socket, int ms)
    {
        return waitFor([&] {
            if (socket.isOpen())
                socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        }, ms);
    }

    void expectStillServing()
    {
        const Reply reply = request("GET", QStringLiteral("/score.json"));
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.json(), document.current());
    }
};

TEST_F(FeedLimitsTest, TenThousandConnectionsOpenedAndDroppedLeaveNothingBehind)
{
    // The default deadline, and batches within the listen backlog of 50: no connection is
    // closed by the server before the client drops it.
    startWithLimits(256, FeedListener::Limits().requestTimeoutMs);
    constexpr int kTotal = 10'000;
    constexpr int kBatch = 40;
    for (int done = 0; done < kTotal; done += kBatch) {
        std::vector<std::unique_ptr<QTcpSocket>> batch;
        for (int i = 0; i < kBatch; ++i) {
            batch.push_back(std::make_unique<QTcpSocket>());
            batch.back()->connectToHost(QHostAddress::LocalHost, server.port());
        }
        ASSERT_TRUE(waitFor([&] {
            for (const auto &socket : batch) {
                if (socket->state() != QAbstractSocket::ConnectedState)
                    return false;
            }
            return true;
        })) << "batch at " << done;
        // Some leave half a request behind, some a whole one they do not wait for.
        for (int i = 0; i < kBatch; i += 3)
            batch[i]->write("GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        for (int i = 1; i < kBatch; i += 3)
            batch[i]->write("POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 2\r\n\r\n{}");
        for (const auto &socket : batch)
            socket->flush();
        QCoreApplication::processEvents();
        for (const auto &socket : batch)
            socket->abort();
    }
    EXPECT_TRUE(waitFor([&] { return server.connectionCount() == 0; }, 10'000))
        << server.connectionCount() << " still open";
    expectStillServing();
    EXPECT_TRUE(commands.isEmpty());
}

TEST_F(FeedLimitsTest, ConnectionsBeyondTheCapAreTurnedAway)
{
    startWithLimits(8, FeedListener::Limits().requestTimeoutMs);
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 8; ++i)
        idle.push_back(connectRaw());
    ASSERT_TRUE(waitFor([&] { return server.connectionCount() == 8; }));
    auto surplus = connectRaw();
    QByteArray answer;
    EXPECT_TRUE(waitFor([&] {
        answer += surplus->readAll();
        return surplus->state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 503")) << answer.toStdString();
    EXPECT_EQ(server.connectionCount(), 8);
    idle.clear();
    ASSERT_TRUE(waitFor([&] { return server.connectionCount() == 0; }));
    expectStillServing();
}

TEST_F(FeedLimitsTest, ARequestTooSlowToFinishIsClosedAtItsDeadline)
{
    startWithLimits();
    auto slow = connectRaw();
    slow->write("GET /score.json HTTP/1.1\r\n");
    // A byte now and then does not buy more time: it is closed while still trickling.
    for (int i = 0; i < 3 * kShortDeadlineMs / 100 && slow->state() == QAbstractSocket::ConnectedState; ++i) {
        slow->write("X");
        spin(100);
    }
    EXPECT_EQ(slow->state(), QAbstractSocket::UnconnectedState);
    EXPECT_TRUE(waitFor([&] { return server.connectionCount() == 0; }));
}

TEST_F(FeedLimitsTest, EachAnsweredRequestGivesAKeptAliveConnectionANewDeadline)
{
    // Four requests 0.4 deadlines apart: together well past one deadline, each well within.
    constexpr int kDeadlineMs = 1000;
    startWithLimits(64, kDeadlineMs);
    auto client = connectRaw();
    for (int i = 0; i < 4; ++i) {
        client->write("GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray answer;
        EXPECT_TRUE(waitFor([&] {
            answer += client->readAll();
            return answer.startsWith("HTTP/1.1 200") && answer.endsWith("}");
        })) << "request " << i << ": " << answer.toStdString();
        spin(kDeadlineMs * 4 / 10);
    }
    EXPECT_EQ(client->state(), QAbstractSocket::ConnectedState);
}

TEST_F(FeedLimitsTest, StreamsOutliveTheRequestDeadline)
{
    startWithLimits();
    auto events = connectRaw();
    events->write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QWebSocket socket;
    int messages = 0;
    QObject::connect(&socket, &QWebSocket::textMessageReceived, [&] { ++messages; });
    socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(server.port())));
    ASSERT_TRUE(waitFor([&] { return messages == 1 && server.streamCount() == 2; }));
    spin(2 * kShortDeadlineMs);
    EXPECT_EQ(events->state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(socket.state(), QAbstractSocket::ConnectedState);
    match.timer().bPlayClick();
    publishMatch();
    EXPECT_TRUE(waitFor([&] { return messages == 2; }));
    EXPECT_EQ(server.streamCount(), 2);
}

TEST_F(FeedLimitsTest, GarbageAndOversizedRequestsAreDroppedAndChangeNothing)
{
    startWithLimits();
    const QJsonObject before = document.current();
    auto garbage = connectRaw();
    static const char kGarbage[] = "\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03 not http at all\r\n\r\n";
    garbage->write(kGarbage, sizeof kGarbage - 1);
    auto huge = connectRaw();
    huge->write("POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pin: 424242\r\nContent-Length: 100000000\r\n\r\n");
    const QByteArray chunk(64 * 1024, '{');
    for (int i = 0; i < 32 && huge->state() == QAbstractSocket::ConnectedState; ++i) {
        huge->write(chunk);
        QCoreApplication::processEvents();
    }
    auto longHeader = connectRaw();
    longHeader->write("GET /score.json HTTP/1.1\r\nX-Long: " + QByteArray(200 * 1024, 'a') + "\r\n\r\n");
    EXPECT_TRUE(closedByServer(*garbage, 3000));
    EXPECT_TRUE(closedByServer(*huge, 3000));
    EXPECT_TRUE(closedByServer(*longHeader, 3000));
    EXPECT_TRUE(waitFor([&] { return server.connectionCount() == 0; }));
    EXPECT_TRUE(commands.isEmpty());
    EXPECT_EQ(document.current(), before);
    expectStillServing();
}

TEST_F(FeedLimitsTest, AClientThatNeverReadsIsDroppedAndTheOthersGoOn)
{
    startWithLimits();
    // Both stop reading once a kilobyte waits: the kernel buffers fill, then the server's.
    auto stuckEvents = connectRaw();
    stuckEvents->setReadBufferSize(1024);
    stuckEvents->write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    auto stuckSocket = connectRaw();
    stuckSocket->setReadBufferSize(1024);
    stuckSocket->write("GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                       "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    QWebSocket reader;
    QString last;
    QObject::connect(&reader, &QWebSocket::textMessageReceived, [&](const QString &m) { last = m; });
    reader.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(server.port())));
    ASSERT_TRUE(waitFor([&] { return server.streamCount() == 3 && !last.isEmpty(); }));

    const QString padding(16 * 1024, u'p');
    int published = 0;
    while (server.streamCount() > 1 && published < 2000) {
        QJsonObject state = document.current();
        state[QStringLiteral("change")] = ++published;
        state[QStringLiteral("padding")] = padding;
        server.publish(state);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(server.streamCount(), 1) << "after " << published << " states";
    EXPECT_TRUE(waitFor([&] { return server.connectionCount() == 1; })) << server.connectionCount();
    // The one that reads gets every state up to the last, the server never having waited.
    EXPECT_TRUE(waitFor([&] {
        return QJsonDocument::fromJson(last.toUtf8()).object()[QStringLiteral("change")].toInt() == published;
    }));
    EXPECT_TRUE(commands.isEmpty());
}

TEST_F(FeedLimitsTest, AHeldStreamThatStopsReadingIsDroppedAtTheKeepAliveAndAReaderStays)
{
    FeedServer::Options options;
    options.keepAliveMs = 100;
    // Far beyond what is published here: only the keep-alive can find the stalled one.
    options.maxBacklogBytes = qint64(1) << 30;
    startServer(options);
    auto stalled = std::make_unique<QTcpSocket>();
    stalled->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    stalled->setReadBufferSize(1);
    stalled->connectToHost(QHostAddress::LocalHost, server.port());
    stalled->write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QWebSocket reader;
    int heard = 0;
    QObject::connect(&reader, &QWebSocket::textMessageReceived, [&](const QString &) { ++heard; });
    reader.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(server.port())));
    ASSERT_TRUE(waitFor([&] { return server.streamCount() == 2 && heard > 0; }));

    const QString padding(16 * 1024, u'p');
    for (int i = 1; i <= 40; ++i) {
        QJsonObject state = document.current();
        state[QStringLiteral("change")] = 1000 + i;
        state[QStringLiteral("padding")] = padding;
        server.publish(state);
        spin(5);
    }
    EXPECT_TRUE(waitFor([&] { return server.streamCount() == 1; }, 3000)) << server.streamCount();
    EXPECT_EQ(reader.state(), QAbstractSocket::ConnectedState);
    spin(300);
    EXPECT_EQ(server.streamCount(), 1) << "the reader takes its keep-alives";
}

TEST_F(FeedLimitsTest, AnOversizedRequestIsNotReadIntoMemory)
{
    startWithLimits();
    constexpr qint64 kBody = 32 * 1024 * 1024;
    auto upload = connectRaw();
    upload->write("POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pin: 424242\r\nContent-Length: "
                  + QByteArray::number(kBody) + "\r\n\r\n");
    upload->write(QByteArray(kBody, '{'));
    // Refused on its announced length, long before the deadline and before most of it is sent.
    EXPECT_TRUE(closedByServer(*upload, kShortDeadlineMs / 2));
    EXPECT_TRUE(commands.isEmpty());
    expectStillServing();
}

struct OversizeCase
{
    const char *name;
    QByteArray request;
    const char *statusLine;
};

class FeedOversizeTest : public FeedLimitsTest, public ::testing::WithParamInterface<OversizeCase>
{
};

// Answered at once, long before the deadline, instead of stalling at the buffer bound.
TEST_P(FeedOversizeTest, IsAnsweredAtOnceAndClosed)
{
    startWithLimits(64, 10'000);
    auto client = connectRaw();
    client->write(GetParam().request);
    QByteArray answer;
    EXPECT_TRUE(waitFor([&] {
        answer += client->readAll();
        return client->state() == QAbstractSocket::UnconnectedState;
    }, 2000)) << GetParam().name;
    EXPECT_TRUE(answer.startsWith(GetParam().statusLine)) << answer.toStdString();
    EXPECT_TRUE(commands.isEmpty());
    expectStillServing();
}

INSTANTIATE_TEST_SUITE_P(
    Requests, FeedOversizeTest,
    ::testing::Values(
        OversizeCase{"long header", "GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Long: " + QByteArray(20 * 1024, 'a'),
                     "HTTP/1.1 431 "},
        OversizeCase{"long body", "POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pin: 424242\r\nContent-Length: 100000\r\n\r\n"
                                  + QByteArray(20 * 1024, '{'), "HTTP/1.1 413 "},
        OversizeCase{"chunked body", "POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n",
                     "HTTP/1.1 411 "},
        OversizeCase{"HTTP/1.0", "GET /score.json HTTP/1.0\r\n\r\n", "HTTP/1.0 200 "}));

TEST_F(FeedLimitsTest, ABodyIsNotReadAsHeadersAndTheConnectionGoesOn)
{
    startWithLimits();
    auto client = connectRaw();
    const QByteArray body = "X: 1\r\nContent-Length: 999999\r\n\r\n";
    client->write("POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pin: 424242\r\nContent-Length: "
                  + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray answers;
    ASSERT_TRUE(waitFor([&] { answers += client->readAll(); return answers.contains("malformed"); }, 3000))
        << answers.toStdString();
    EXPECT_TRUE(answers.startsWith("HTTP/1.1 400 ")) << answers.toStdString();
    client->write("GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_TRUE(waitFor([&] { answers += client->readAll(); return answers.contains("HTTP/1.1 200 "); }, 3000))
        << answers.toStdString();
}

} // namespace
