#include "bench/FeedBench.h"

#include "bench/ChildSettings.h"
#include "feed/FeedPublisher.h"
#include "core/MatchJournal.h"
#include "app/DlgYesNo.h"
#include "app/Main.h"
#include "feed/FeedServer.h"
#include "bench/BenchSources.h"
#include "bench/BenchTable.h"
#include "controls/Label3D.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kClients = 50;
constexpr int kIdleClients = 5;
constexpr int kPresses = 400;
constexpr int kPressesPerMatch = 72;
constexpr int kIdleMs = 10'000;
constexpr int kFloodConnections = 10'000;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

QString ms(double us)
{
    return QString::number(us / 1000, 'f', us < 10'000 ? 2 : 1) + QStringLiteral(" ms");
}

double percentile(std::vector<double> values, int percent)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, values.size() * percent / 100)];
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void spinUntil(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents();
}

// A board as the program makes it, with the feed's settings applied over the design values.
struct FeedBoard
{
    FeedBoard(const TickSource &ticks, bool feed, bool files, const QString &folder = {})
    {
        QDir(MatchJournal::defaultFolder()).removeRecursively();
        board = std::make_unique<TFormMain>(ticks, monitors, shell);
        BoardSettings s = board->settings();
        s.Feed = feed;
        s.FeedPort = feed ? freePort() : s.FeedPort;
        s.FeedPin = QStringLiteral("424242");
        s.FeedFiles = files;
        s.FeedFolder = folder;
        board->applySettings(s);
        board->show();
        board->activateWindow();
        shown = QTest::qWaitForWindowActive(board.get());
    }
    quint16 port() { return board->feed().server().port(); }

    BenchMonitors monitors;
    BenchShell shell;
    std::unique_ptr<TFormMain> board;
    bool shown = false;
};

// WebSocket clients that note the newest change counter each has seen.
struct Clients
{
    Clients(int count, quint16 port)
    {
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QWebSocket>();
            const int index = i;
            seen.push_back(-1);
            QObject::connect(socket.get(), &QWebSocket::textMessageReceived, [this, index](const QString &m) {
                seen[index] = QJsonDocument::fromJson(m.toUtf8()).object()[QStringLiteral("change")].toInt();
            });
            socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port)));
            sockets.push_back(std::move(socket));
        }
        spinUntil([this] { return allAt(0); }, 10'000);
    }
    bool allAt(int change) const
    {
        return std::all_of(seen.begin(), seen.end(), [change](int c) { return c >= change; });
    }
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    std::vector<int> seen;
};

void pressAndPaint(TFormMain &board, BenchTicks &ticks, int press)
{
    if (press % kPressesPerMatch == 0 && press > 0) {
        board.model().execute(MatchCommand::of(MatchCommand::Kind::Reset));
        board.bPlayClick();
    }
    ticks.value += 1000;
}

// Times F1 to the painted board, press after press, while the load child runs (at most
// `limit`). The rest of each turn serves the load, as the program's event loop would;
// `eachTurn` looks at the board after it.
std::vector<double> pressesUnderLoad(TFormMain &board, BenchTicks &ticks, QProcess &load, std::chrono::seconds limit,
                                     const std::function<void()> &eachTurn = {})
{
    std::vector<double> times;
    int press = 0;
    const auto started = Clock::now();
    while (load.state() != QProcess::NotRunning && Clock::now() - started < limit) {
        pressAndPaint(board, ticks, press++);
        const auto start = Clock::now();
        QTest::keyClick(board.windowHandle(), Qt::Key_F1);
        QCoreApplication::sendPostedEvents();
        times.push_back(microseconds(Clock::now() - start));
        spinUntil([] { return false; }, 5);
        if (eachTurn)
            eachTurn();
        load.waitForFinished(0);
    }
    return times;
}

void runArrivalAndPaint(BenchTable &table)
{
    BenchTicks ticks;
    FeedBoard t(ticks, true, false);
    TFormMain &board = *t.board;
    board.bPlayClick();
    Clients clients(kClients, t.port());
    const bool connected = t.shown && board.feed().server().streamCount() == kClients && clients.allAt(0);
    std::vector<double> paint;
    std::vector<double> arrival;
    int missed = 0;
    for (int press = 0; press < kPresses; ++press) {
        pressAndPaint(board, ticks, press);
        QApplication::processEvents();
        spinUntil([&] { return clients.allAt(board.feed().server().state()[QStringLiteral("change")].toInt()); }, 2000);
        const int before = board.feed().server().state()[QStringLiteral("change")].toInt();
        const auto start = Clock::now();
        QTest::keyClick(board.windowHandle(), Qt::Key_F1);
        QCoreApplication::sendPostedEvents();
        paint.push_back(microseconds(Clock::now() - start));
        spinUntil([&] { return clients.allAt(before + 1); }, 2000);
        if (!clients.allAt(before + 1))
            ++missed;
        arrival.push_back(microseconds(Clock::now() - start));
    }
    const double arrive = median(arrival);
    const double p99 = percentile(arrival, 99);
    table.add(QStringLiteral("F1 to the state at 50 WebSocket clients"), ms(arrive),
              QStringLiteral("<= 5 ms, p99 <= 20 ms"), connected && missed == 0 && arrive <= 5000 && p99 <= 20'000,
              QStringLiteral("%1 presses, clients in this process; p99 %2, max %3; %4 missed")
                  .arg(kPresses).arg(ms(p99), ms(percentile(arrival, 100))).arg(missed));
    const double key = median(paint);
    table.add(QStringLiteral("F1 to painted board, feed on, 50 clients"), ms(key), QStringLiteral("<= 1 ms"),
              connected && key <= 1000,
              QStringLiteral("%1 presses; p90 %2")
                  .arg(kPresses).arg(ms(percentile(paint, 90))));
}

void runFilesFigure(BenchTable &table, const QString &folder)
{
    BenchTicks ticks;
    FeedBoard t(ticks, false, true, folder);
    TFormMain &board = *t.board;
    board.bPlayClick();
    QFile points(folder + QStringLiteral("/points1.txt"));
    auto fileText = [&] {
        points.close();
        return points.open(QIODevice::ReadOnly) ? QString::fromUtf8(points.readAll()) : QString();
    };
    const TLabel3D *shown = board.fieldLabel(MatchScore::pointsEntry(1));
    std::vector<double> times;
    int missed = 0;
    for (int press = 0; press < kPresses / 2; ++press) {
        pressAndPaint(board, ticks, press);
        QApplication::processEvents();
        spinUntil([&] { return fileText() == shown->Caption(); }, 2000);
        const auto start = Clock::now();
        QTest::keyClick(board.windowHandle(), Qt::Key_F1);
        const QString wanted = shown->Caption();
        spinUntil([&] { return fileText() == wanted; }, 2000);
        if (fileText() != wanted)
            ++missed;
        times.push_back(microseconds(Clock::now() - start));
    }
    const double files = median(times);
    table.add(QStringLiteral("F1 to the text files replaced"), ms(files), QStringLiteral("<= 5 ms"),
              missed == 0 && files <= 5000,
              QStringLiteral("%1 presses, points1.txt read back; p90 %2; %3 missed")
                  .arg(kPresses / 2).arg(ms(percentile(times, 90))).arg(missed));
}

// One child idling kIdleMs with a running match, the feed on or off; 5 clients here.
std::optional<double> idlePercent(const QString &program, const QString &settingsDir, bool feed)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--feed-idle-child"), settingsDir, feed ? QStringLiteral("1") : QStringLiteral("0")});
    if (!child.waitForReadyRead(20'000))
        return std::nullopt;
    const quint16 port = quint16(child.readLine().trimmed().toInt());
    std::unique_ptr<Clients> clients;
    if (feed)
        clients = std::make_unique<Clients>(kIdleClients, port);
    spinUntil([&] { return child.state() == QProcess::NotRunning || child.canReadLine(); }, kIdleMs + 20'000);
    child.waitForFinished(5000);
    bool ok = false;
    const double percent = child.readLine().trimmed().toDouble(&ok);
    if (!ok || (feed && !clients->allAt(1)))
        return std::nullopt;
    return percent;
}

void runIdleFigure(BenchTable &table, const QString &program, const QString &work)
{
    const QString settingsDir = work + QStringLiteral("/feed-idle-settings");
    QDir().mkpath(settingsDir);
    // Off and on in turn, several times: the machine's own noise in one run is larger
    // than the figure.
    constexpr int kPairs = 3;
    std::vector<double> extras;
    QStringList pairs;
    for (int pair = 0; pair < kPairs; ++pair) {
        const std::optional<double> without = idlePercent(program, settingsDir, false);
        const std::optional<double> with = idlePercent(program, settingsDir, true);
        if (!without || !with)
            break;
        extras.push_back(*with - *without);
        pairs << QStringLiteral("%1/%2").arg(*without, 0, 'f', 3).arg(*with, 0, 'f', 3);
    }
    const bool ran = int(extras.size()) == kPairs;
    const double extra = ran ? percentile(extras, 50) : 0;
    table.add(QStringLiteral("idle, feed on and 5 clients, above feed off"),
              ran ? QString::number(extra, 'f', 3) + QStringLiteral(" %") : QStringLiteral("failed"),
              QStringLiteral("<= 0.1 % of a core"), ran && extra <= 0.1,
              ran ? QStringLiteral("median of %1 pairs of %2 s in a child, match running; %3 % off/on")
                        .arg(kPairs).arg(kIdleMs / 1000).arg(pairs.join(QStringLiteral(", ")))
                  : QStringLiteral("a child did not report"));
}

void runFloodFigure(BenchTable &table, const QString &program)
{
    BenchTicks ticks;
    FeedBoard t(ticks, true, false);
    TFormMain &board = *t.board;
    board.bPlayClick();
    const double rssBefore = residentMb();
    QProcess load;
    load.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    load.start(program, {QStringLiteral("--feed-load-child"), QString::number(t.port())});
    int turns = 0;
    int peakConnections = 0;
    double peakRss = rssBefore;
    const std::vector<double> times = pressesUnderLoad(board, ticks, load, std::chrono::seconds(120), [&] {
        peakConnections = std::max(peakConnections, board.feed().server().connectionCount());
        if (++turns % 50 == 0)
            peakRss = std::max(peakRss, residentMb());
    });
    const QByteArray report = load.readAllStandardOutput().trimmed();
    const bool flooded = load.exitStatus() == QProcess::NormalExit && load.exitCode() == 0;
    const double key = median(times);
    const double grown = peakRss - rssBefore;
    table.add(QStringLiteral("F1 to painted board under a 10,000-connection flood"), ms(key), QStringLiteral("<= 1 ms"),
              flooded && key <= 1000,
              QStringLiteral("%1 presses; p90 %2, max %3; load: %4").arg(times.size())
                  .arg(ms(percentile(times, 90)), ms(percentile(times, 100)), QString::fromUtf8(report)));
    table.add(QStringLiteral("memory growth under the flood"), QString::number(grown, 'f', 1) + QStringLiteral(" MB"),
              QStringLiteral("<= 20 MB (256 x (16 + 64) KB)"), flooded && grown <= 20,
              QStringLiteral("resident %1 MB before; at most %2 connections open at once")
                  .arg(rssBefore, 0, 'f', 1).arg(peakConnections));
}

void runGuessFigure(BenchTable &table, const QString &program)
{
    BenchTicks ticks;
    FeedBoard t(ticks, true, false);
    TFormMain &board = *t.board;
    board.bPlayClick();
    QProcess load;
    load.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    load.start(program, {QStringLiteral("--feed-guess-child"), QString::number(t.port())});
    const std::vector<double> times = pressesUnderLoad(board, ticks, load, std::chrono::seconds(60));
    const QByteArray report = load.readAllStandardOutput().trimmed();
    const bool ran = load.exitStatus() == QProcess::NormalExit && load.exitCode() == 0;
    const double key = median(times);
    table.add(QStringLiteral("F1 to painted board while 1,024 addresses guess PINs and 300 slow senders hold connections"),
              ms(key), QStringLiteral("<= 1 ms"), ran && key <= 1000,
              QStringLiteral("%1 presses; p90 %2, max %3; load: %4").arg(times.size())
                  .arg(ms(percentile(times, 90)), ms(percentile(times, 100)), QString::fromUtf8(report)));
}

} // namespace

void runFeedBench(BenchTable &table, const QString &program)
{
    QTemporaryDir work;
    std::fprintf(stderr, "  feed: key to clients and paint\n");
    runArrivalAndPaint(table);
    std::fprintf(stderr, "  feed: text files\n");
    runFilesFigure(table, work.filePath(QStringLiteral("files")));
    std::fprintf(stderr, "  feed: idle (6 x 10 s)\n");
    runIdleFigure(table, program, work.path());
    std::fprintf(stderr, "  feed: connection flood\n");
    runFloodFigure(table, program);
    std::fprintf(stderr, "  feed: PIN guessing and slow senders\n");
    runGuessFigure(table, program);
}

int feedIdleChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    useChildSettings(argv[2]);
    const SystemTickSource ticks;
    FeedBoard t(ticks, qstrcmp(argv[3], "1") == 0, false);
    t.board->bPlayClick();
    std::printf("%d\n", int(t.port()));
    std::fflush(stdout);
    // The clients connect and get their first states before the figure starts.
    QTest::qWait(1500);
    const double cpu = cpuSeconds();
    const auto start = Clock::now();
    QTest::qWait(kIdleMs);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%f\n", 100 * (cpuSeconds() - cpu) / wall);
    std::fflush(stdout);
    return 0;
}

int feedLoadChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const quint16 port = quint16(QByteArray(argv[2]).toInt());
    // A WebSocket client that never reads what it is sent.
    QTcpSocket stuck;
    stuck.setReadBufferSize(1024);
    stuck.connectToHost(QHostAddress::LocalHost, port);
    if (!stuck.waitForConnected(2000))
        return 2;
    stuck.write("GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    stuck.flush();
    constexpr int kBatch = 40;
    int refused = 0;
    for (int done = 0; done < kFloodConnections; done += kBatch) {
        std::vector<std::unique_ptr<QTcpSocket>> batch;
        for (int i = 0; i < kBatch; ++i) {
            batch.push_back(std::make_unique<QTcpSocket>());
            batch.back()->connectToHost(QHostAddress::LocalHost, port);
        }
        for (const auto &socket : batch)
            refused += !socket->waitForConnected(2000);
        for (int i = 0; i < kBatch; i += 2)
            batch[i]->write("GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        for (const auto &socket : batch)
            socket->flush();
        for (const auto &socket : batch)
            socket->abort();
    }
    std::printf("%d connections opened and dropped, %d not accepted; one client never read\n",
                kFloodConnections, refused);
    return 0;
}

int feedGuessChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const quint16 port = quint16(QByteArray(argv[2]).toInt());
    constexpr int kAddresses = 1024;
    constexpr int kSlow = 300;
    constexpr int kRunMs = 12'000;
    // Loopback answers all of 127.0.0.0/8: each guesser and slow sender has an address of its own range.
    const auto open = [port](quint32 address) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(address));
        socket->connectToHost(QHostAddress::LocalHost, port);
        return socket;
    };
    const auto slowAddress = [](int i) { return 0x7F03'0001u + quint32(i % 10); };
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < kSlow; ++i) {
        slow.push_back(open(slowAddress(i)));
        slow.back()->write("GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ");
    }
    int judged = 0, refused = 0, busy = 0, other = 0, reopened = 0, guesses = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kRunMs) {
        std::vector<std::unique_ptr<QTcpSocket>> batch;
        std::vector<QByteArray> replies(32);
        for (int k = 0; k < 32; ++k, ++guesses) {
            const quint32 a = quint32(guesses % kAddresses);
            batch.push_back(open(0x7F01'0000u + ((a >> 8) << 8) + (a & 0xFF) + 1));
            const QByteArray body = R"({"command":"point","side":2})";
            batch.back()->write("POST /command HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pin: "
                                + QByteArray::number(100000 + guesses % 900000) + "\r\nContent-Length: "
                                + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            bool all = true;
            for (int k = 0; k < 32; ++k) {
                replies[k] += batch[k]->readAll();
                all = all && (replies[k].size() >= 12 || batch[k]->state() == QAbstractSocket::UnconnectedState);
            }
            if (all)
                break;
        }
        for (const QByteArray &reply : replies) {
            const int status = reply.mid(9, 3).toInt();
            judged += status == 403;
            refused += status == 429;
            busy += status == 503;
            other += status != 403 && status != 429 && status != 503;
        }
        // The slow senders send a byte now and then, and come back when the deadline closes them.
        for (int i = 0; i < kSlow; ++i) {
            if (slow[i]->state() == QAbstractSocket::UnconnectedState) {
                slow[i] = open(slowAddress(i));
                slow[i]->write("GET /score.json HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ");
                ++reopened;
            } else {
                slow[i]->write("a");
            }
        }
    }
    std::printf("%d guesses from %d addresses in %d s: %d judged wrong, %d refused (429), %d turned away (503), "
                "%d other; %d slow senders, reopened %d times\n",
                guesses, kAddresses, kRunMs / 1000, judged, refused, busy, other, kSlow, reopened);
    return 0;
}
