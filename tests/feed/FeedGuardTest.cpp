#include "tests/feed/FeedFixture.h"

#include <QTcpSocket>

#include <memory>
#include <vector>

namespace {

const QByteArray kPoint = R"({"command": "point", "side": 1})";

class FeedGuardTest : public FeedFixture
{
protected:
    struct Raw
    {
        int status = 0;
        QByteArray body;
    };

    // One request over a socket of its own, sent from `from` (any 127.x.y.z on loopback).
    Raw send(const QByteArray &head, const QByteArray &body = {},
             const QHostAddress &from = QHostAddress::LocalHost)
    {
        QTcpSocket socket;
        socket.bind(from);
        socket.connectToHost(QHostAddress::LocalHost, server.port());
        socket.write(head + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        QByteArray got;
        Raw raw;
        waitFor([&] {
            got += socket.readAll();
            const qsizetype end = got.indexOf("\r\n\r\n");
            if (end < 0)
                return socket.state() == QAbstractSocket::UnconnectedState;
            const qsizetype at = got.toLower().indexOf("content-length:");
            const qsizetype length = at < 0 ? 0 : got.mid(at + 15, got.indexOf('\r', at) - at - 15).trimmed().toInt();
            return got.size() >= end + 4 + length;
        }, 3000);
        raw.status = got.mid(9, 3).toInt();
        raw.body = got.mid(got.indexOf("\r\n\r\n") + 4);
        return raw;
    }
    QByteArray head(const char *method, const char *path, const QByteArray &extra = {}) const
    {
        return QByteArray(method) + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(server.port())
            + "\r\n" + extra;
    }
    QByteArray pair()
    {
        const Raw paired = send(head("POST", "/pair", "X-Pin: 424242\r\n"));
        EXPECT_EQ(paired.status, 200) << paired.body.toStdString();
        return QJsonDocument::fromJson(paired.body).object().value(QStringLiteral("token")).toString().toLatin1();
    }
    int commandWithToken(const QByteArray &token, const QHostAddress &from = QHostAddress::LocalHost)
    {
        return send(head("POST", "/command", "X-Token: " + token + "\r\n"), kPoint, from).status;
    }
};

TEST_F(FeedGuardTest, GuessesFromAThousandAddressesAreJudgedAtTheFixedRateWhileAPairedRemoteWorks)
{
    startServer();
    const QByteArray token = pair();
    ASSERT_EQ(token.size(), 32);
    int judged = 0;
    int refused = 0;
    // 1,024 addresses spread over two minutes of the board's time, each guessing in turn.
    for (int i = 0; i < 1024; ++i) {
        const QHostAddress from(quint32(0x7F00'0000u + 0x0100u + quint32(i)));
        const Raw guess = send(head("POST", "/command", "X-Pin: " + QByteArray::number(100000 + i) + "\r\n"), kPoint, from);
        judged += guess.status == 403;
        refused += guess.status == 429;
        ticks.advance(117);
        if (i % 128 == 0) {
            EXPECT_EQ(commandWithToken(token, from), 200) << i;
        }
    }
    EXPECT_EQ(judged, 2 * PinGuard::kMaxWrongPins);
    EXPECT_EQ(judged + refused, 1024);
    EXPECT_EQ(commandWithToken(token), 200);
    EXPECT_EQ(commandWithToken("0123456789abcdef0123456789abcdef"), 403);
    EXPECT_EQ(commands.size(), 1024 / 128 + 1);
}

TEST_F(FeedGuardTest, PostsWithoutAPinUseUpNoTriesAndForeignPagesAreRefused)
{
    startServer();
    const QByteArray token = pair();
    for (int i = 0; i < 20; ++i) {
        // As a browser sends another site's no-cors post, and as a script without the header.
        EXPECT_EQ(send(head("POST", "/command", "Origin: http://evil.example\r\nSec-Fetch-Site: cross-site\r\n"
                                                "Sec-Fetch-Mode: no-cors\r\n"), kPoint).status, 403);
        EXPECT_EQ(send(head("POST", "/command", "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Mode: no-cors\r\n"),
                       kPoint).status, 403);
        EXPECT_EQ(send(head("POST", "/command"), kPoint).status, 403);
    }
    EXPECT_TRUE(commands.isEmpty());
    EXPECT_FALSE(pair().isEmpty());
    EXPECT_EQ(commandWithToken(token), 200);
}

struct HostCase
{
    const char *host;
    const char *extra;
    const char *path;
    int status;
};

class FeedHostTest : public FeedGuardTest, public ::testing::WithParamInterface<HostCase>
{
};

TEST_P(FeedHostTest, OnlyTheBoardsOwnNamesAndPagesAreServed)
{
    FeedServer::Options options;
    options.hostName = QStringLiteral("Court1.Club.example");
    startServer(options);
    const HostCase &c = GetParam();
    const QByteArray port = QByteArray::number(server.port());
    QByteArray extra = QByteArray(c.extra).replace("PORT", port);
    QByteArray request = QByteArray("GET ") + c.path + " HTTP/1.1\r\n";
    if (*c.host)
        request += "Host: " + QByteArray(c.host).replace("PORT", port) + "\r\n";
    const Raw reply = send(request + extra);
    EXPECT_EQ(reply.status, c.status) << c.host << " " << c.extra << " " << reply.body.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Names, FeedHostTest,
    ::testing::Values(HostCase{"127.0.0.1:PORT", "", "/score.json", 200}, HostCase{"localhost", "", "/overlay", 200},
                      HostCase{"[::1]:PORT", "", "/score.json", 200}, HostCase{"LOCALHOST.", "", "/score.json", 200},
                      HostCase{"court1.club.example:PORT", "", "/remote", 200}, HostCase{"", "", "/score.json", 200},
                      HostCase{"attacker.example", "", "/score.json", 421},
                      HostCase{"attacker.example:PORT", "", "/remote", 421},
                      HostCase{"127.0.0.1.attacker.example", "", "/score.json", 421},
                      HostCase{"127.0.0.1", "Origin: http://127.0.0.1:PORT\r\n", "/events", 200},
                      HostCase{"127.0.0.1", "Origin: http://attacker.example\r\n", "/score.json", 403},
                      HostCase{"127.0.0.1", "Origin: null\r\n", "/score.json", 403},
                      HostCase{"127.0.0.1", "Origin: https://127.0.0.1:PORT\r\n", "/score.json", 403},
                      HostCase{"127.0.0.1", "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Mode: no-cors\r\n", "/events", 403},
                      HostCase{"127.0.0.1", "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Mode: navigate\r\n", "/remote", 200},
                      HostCase{"127.0.0.1", "Origin: http://attacker.example\r\nUpgrade: websocket\r\n"
                                            "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                                            "Sec-WebSocket-Version: 13\r\n", "/ws", 403}));

TEST_F(FeedGuardTest, ARebindingPageCannotCommandEvenWithTheRightPin)
{
    startServer();
    EXPECT_EQ(send("POST /command HTTP/1.1\r\nHost: attacker.example:80\r\nX-Pin: 424242\r\n", kPoint).status, 421);
    EXPECT_EQ(send(head("POST", "/pair", "Origin: http://attacker.example\r\nX-Pin: 424242\r\n")).status, 403);
    EXPECT_TRUE(commands.isEmpty());
    EXPECT_TRUE(server.devices().isEmpty());
}

TEST_F(FeedGuardTest, HeldStreamsFromOneAddressLeaveTheOverlayAndAPairedRemoteAnswering)
{
    startServer();
    const QByteArray token = pair();
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 300; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, server.port());
        socket->write(head("GET", "/events") + "\r\n");
        held.push_back(std::move(socket));
    }
    spin(300);
    EXPECT_LE(server.streamCount(), FeedListener::Limits().maxStreamsPerAddress);
    EXPECT_EQ(send(head("GET", "/overlay")).status, 200);
    EXPECT_EQ(commandWithToken(token), 200);
}

// The newest streams of one address stay and the oldest go: a page that reloads gets its
// stream however many the address holds.
TEST_F(FeedGuardTest, AnAddressKeepsItsNewestStreamsUpToItsShare)
{
    FeedServer::Options options;
    options.limits.maxStreamsPerAddress = 4;
    startServer(options);
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 10; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, server.port());
        socket->write(head("GET", "/events") + "\r\n");
        held.push_back(std::move(socket));
        spin(30);
    }
    spin(300);
    EXPECT_EQ(server.streamCount(), 4);
    for (std::size_t i = 0; i < held.size(); ++i)
        EXPECT_EQ(held[i]->state() == QAbstractSocket::ConnectedState, i >= 6) << i;
}

TEST_F(FeedGuardTest, OneAddressCannotTakeEveryConnectionAndPairedAddressesKeepTheirReserve)
{
    FeedServer::Options options;
    options.limits.maxConnections = 24;
    options.limits.reservedForPaired = 8;
    options.limits.maxPerAddress = 10;
    startServer(options);
    const QHostAddress phone(QStringLiteral("127.0.9.9"));
    const Raw paired = send(head("POST", "/pair", "X-Pin: 424242\r\n"), {}, phone);
    const QByteArray token = QJsonDocument::fromJson(paired.body).object().value(QStringLiteral("token")).toString().toLatin1();
    // Slow senders that never finish their headers, from one address and then from others.
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    const auto openSlow = [&](const QHostAddress &from, int count) {
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->bind(from);
            socket->connectToHost(QHostAddress::LocalHost, server.port());
            socket->write("GET /score.json HTTP/1.1\r\nHo");
            slow.push_back(std::move(socket));
        }
        spin(200);
    };
    openSlow(QHostAddress(QStringLiteral("127.0.2.1")), 15);
    EXPECT_EQ(server.connectionCount(), 10);
    EXPECT_EQ(send(head("GET", "/score.json"), {}, QHostAddress(QStringLiteral("127.0.2.2"))).status, 200);
    ASSERT_TRUE(waitFor([this] { return server.connectionCount() == 10; }));
    openSlow(QHostAddress(QStringLiteral("127.0.2.2")), 6);
    EXPECT_EQ(server.connectionCount(), 16);
    EXPECT_EQ(send(head("GET", "/score.json"), {}, QHostAddress(QStringLiteral("127.0.2.3"))).status, 503);
    EXPECT_EQ(commandWithToken(token, phone), 200);
}

} // namespace
