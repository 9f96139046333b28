#include "tests/FreePort.h"
#include "tests/app/BoardFixture.h"
#include "tests/EventWait.h"

#include "feed/FeedPublisher.h"
#include "core/SettingsStore.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <vector>

namespace {

constexpr int kPoints1 = MatchScore::pointsEntry(1);

// The running board under connections that go nowhere, on 127.0.0.1.
class FeedLoad : public BoardFixture
{
protected:
    void SetUp() override
    {
        clearSettings();
        BoardSettings s;
        s.Feed = true;
        s.FeedPort = quietPort();
        ASSERT_NE(s.FeedPort, 0);
        s.FeedPin = QStringLiteral("424242");
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                        QStringLiteral("Courtlyx"));
        SettingsStore::write(store, s);
        startBoard();
        ASSERT_TRUE(board->feed().server().isRunning());
    }

    std::unique_ptr<QTcpSocket> connectRaw()
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, board->feed().server().port());
        EXPECT_TRUE(socket->waitForConnected(2000));
        return socket;
    }
};

} // namespace

TEST_F(FeedLoad, ConnectionsOpenedAndDroppedAndAStuckClientChangeNothingAndTheKeysGoOn)
{
    key(Qt::Key_Pause);
    // A WebSocket client that never reads what it is sent.
    auto stuck = connectRaw();
    stuck->setReadBufferSize(1024);
    stuck->write("GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                 "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    ASSERT_TRUE(waitFor([&] { return board->feed().server().streamCount() == 1; }));
    const qsizetype records = board->model().journal().records().size();

    constexpr int kTotal = 2000; // the server's own test opens 10,000
    constexpr int kBatch = 40;
    int presses = 0;
    for (int done = 0; done < kTotal; done += kBatch) {
        std::vector<std::unique_ptr<QTcpSocket>> batch;
        for (int i = 0; i < kBatch; ++i) {
            batch.push_back(std::make_unique<QTcpSocket>());
            // Two addresses a batch: one alone may not hold a whole batch, nor the batch before.
            batch.back()->bind(QHostAddress(quint32(0x7F00'0001u + (quint32(done / kBatch + 1) << 8) + quint32(i % 2))));
            batch.back()->connectToHost(QHostAddress::LocalHost, board->feed().server().port());
        }
        ASSERT_TRUE(waitFor([&] {
            return std::all_of(batch.begin(), batch.end(),
                               [](const auto &s) { return s->state() == QAbstractSocket::ConnectedState; });
        })) << "batch at " << done;
        // Half requests, commands without a PIN, and commands with it that never wait.
        for (int i = 0; i < kBatch; i += 3)
            batch[i]->write("GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        for (int i = 1; i < kBatch; i += 3)
            batch[i]->write("POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 30\r\n\r\n"
                            R"({"command":"point","side":2} )");
        for (int i = 2; i < kBatch; i += 3)
            batch[i]->write("POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pin: 424242\r\nContent-Length: 30\r\n"
                            "\r\n{\"command\":\"point\",\"side\":2");
        for (const auto &socket : batch)
            socket->flush();
        QCoreApplication::processEvents();
        for (const auto &socket : batch)
            socket->abort();
        if (done % (kBatch * 10) == 0) {
            key(Qt::Key_F1, Qt::NoModifier, board.get());
            ++presses;
        }
    }
    EXPECT_TRUE(waitFor([&] { return board->feed().server().connectionCount() <= 1; }, 10'000))
        << board->feed().server().connectionCount() << " still open";
    // Only the keys scored: no command without a PIN or without its whole body ran.
    EXPECT_EQ(board->model().journal().records().size(), records + presses);
    EXPECT_EQ(text(MatchScore::pointsEntry(2)), "0");
    EXPECT_NE(text(kPoints1), "0");
    key(Qt::Key_F2, Qt::NoModifier, board.get());
    EXPECT_EQ(text(MatchScore::pointsEntry(2)), "15");
    QNetworkAccessManager network;
    QNetworkReply *reply = network.get(QNetworkRequest(
        QUrl(QStringLiteral("http://127.0.0.1:%1/score.json").arg(board->feed().server().port()))));
    ASSERT_TRUE(waitFor([reply] { return reply->isFinished(); }));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    EXPECT_TRUE(reply->readAll().contains("\"points\":\"15\""));
    delete reply;
}
