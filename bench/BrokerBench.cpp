#include "bench/BrokerBench.h"

#include "app/DlgYesNo.h"
#include "app/Main.h"
#include "bench/BenchSources.h"
#include "bench/BenchTable.h"
#include "bench/ChildSettings.h"
#include "controls/Label3D.h"
#include "core/BoardModel.h"
#include "core/BoardSettings.h"
#include "core/MatchJournal.h"
#include "core/SettingsStore.h"
#include "feed/BrokerPublisher.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <csignal>
#include <unistd.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTcpSubscribers = 750;
constexpr int kWsSubscribers = 250;
constexpr int kPresses = 200;
constexpr int kCourts = 20;
constexpr int kRealBoards = 6;
// A real point every 30 s or so, ten times as fast.
constexpr int kPointMs = 3000;
constexpr int kHighestChange = 1 << 16;

// A minute unless COURTLYX_BENCH_COURT_SECONDS says otherwise (for a quick look).
int courtSeconds()
{
    const int s = qEnvironmentVariableIntValue("COURTLYX_BENCH_COURT_SECONDS");
    return s > 0 ? s : 60;
}

double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

QString ms(double v)
{
    return QString::number(v, 'f', v < 10 ? 2 : 1) + QStringLiteral(" ms");
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(double(v.size()) * p))];
}

double rssMb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().split(' ').value(0)) : QStringLiteral("?");
}

int changeOf(const char *payload, int length)
{
    const QByteArrayView p(payload, length);
    const qsizetype at = p.indexOf("\"change\":");
    if (at < 0)
        return -1;
    int n = 0;
    for (qsizetype i = at + 9; i < p.size() && p[i] >= '0' && p[i] <= '9'; ++i)
        n = n * 10 + (p[i] - '0');
    return n;
}

int courtOf(const char *topic)
{
    // courtlyx/v1/<n>/score
    return std::atoi(topic + 12);
}

// mosquitto with a TCP listener and a WebSocket listener, no connection limit.
struct BenchBroker
{
    QTemporaryDir dir;
    quint16 tcp = 0;
    quint16 ws = 0;
    std::unique_ptr<QProcess> process;

    static quint16 freePort()
    {
        for (int i = 0; i < 100; ++i) {
            QTcpSocket probe;
            const auto port = quint16(20000 + std::rand() % 10000);
            probe.connectToHost(QStringLiteral("127.0.0.1"), port);
            if (!probe.waitForConnected(50))
                return port;
        }
        return 0;
    }
    // Killed and started again without the caller waiting for either: the board's loop is
    // being watched meanwhile. The dead one is reaped in `dead`.
    void killNoWait()
    {
        // processId() is 0 once it has ended: kill(0, …) would take this process group.
        if (!process || process->processId() <= 0)
            return;
        ::kill(pid_t(process->processId()), SIGKILL);
        dead = std::move(process);
    }
    void startNoWait()
    {
        process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(program(), {QStringLiteral("-c"), dir.filePath(QStringLiteral("mosquitto.conf"))});
    }
    static QString program()
    {
        return QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    }
    std::unique_ptr<QProcess> dead;

    bool start()
    {
        if (!tcp) {
            tcp = freePort();
            ws = freePort();
        }
        QFile conf(dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write(QStringLiteral("listener %1 127.0.0.1\nmax_connections -1\nallow_anonymous true\n"
                                  "listener %2 127.0.0.1\nprotocol websockets\nmax_connections -1\n"
                                  "max_queued_messages 100000\nlog_dest none\n")
                       .arg(tcp).arg(ws).toUtf8());
        conf.close();
        if (program().isEmpty())
            return false;
        process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(program(), {QStringLiteral("-c"), conf.fileName()});
        if (!process->waitForStarted())
            return false;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), tcp);
            if (probe.waitForConnected(100))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    void kill()
    {
        if (process) {
            process->kill();
            process->waitForFinished();
            process.reset();
        }
    }
    qint64 pid() const { return process ? process->processId() : 0; }
    ~BenchBroker() { kill(); }
};

// What one subscriber has seen: per court, the last change and the gaps and reversals.
struct Seen
{
    std::vector<int> last = std::vector<int>(kCourts + 1, -1);
    int faults = 0;
    void take(int court, int change)
    {
        if (court < 0 || court > kCourts || change < 0)
            return;
        int &l = last[std::size_t(court)];
        if (l >= 0 && change != l + 1)
            ++faults;
        l = change;
    }
};

// What all subscribers have seen; the times are kept only while `sentAt` is set.
struct Fanout
{
    std::vector<std::atomic<std::int64_t>> sentAt = std::vector<std::atomic<std::int64_t>>(kHighestChange);
    std::atomic<long> received{0};
    std::mutex latenciesMutex;
    std::vector<double> latencies;

    void record(int change)
    {
        received.fetch_add(1, std::memory_order_relaxed);
        if (change <= 0 || change >= kHighestChange)
            return;
        const std::int64_t sent = sentAt[std::size_t(change)].load(std::memory_order_acquire);
        if (sent == 0)
            return;
        const double latency = double(Clock::now().time_since_epoch().count() - sent) / 1e6;
        const std::lock_guard lock(latenciesMutex);
        latencies.push_back(latency);
    }
};

// One subscriber's socket: MQTT 3.1.1 straight over TCP, or inside WebSocket frames as a page
// speaks it. Only for measuring: a minimal client whose whole cost is one read a message, so
// that what is timed is the board and the broker, not the measuring instrument.
struct Subscriber
{
    int fd = -1;
    bool webSocket = false;
    bool upgraded = false; // the WebSocket handshake's answer is in
    bool subscribed = false;
    QByteArray raw;  // bytes read and not yet taken
    QByteArray mqtt; // MQTT bytes out of the WebSocket frames
    Seen seen;
};

// All subscribers, read by one thread. `Reading::Polling` never sleeps: a thousand phones
// each read with a processor of their own, and a reader woken by every packet would take its
// wake-ups from the broker's share of this machine's two cores.
class Subscribers
{
public:
    enum class Reading { Sleeping, Polling };
    Subscribers(int tcp, quint16 tcpPort, int webSockets, quint16 wsPort, Fanout &fanout, Reading reading)
        : clients_(std::size_t(tcp + webSockets)), fanout_(fanout), spin_(reading == Reading::Polling)
    {
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            Subscriber &c = clients_[i];
            c.webSocket = int(i) >= tcp;
            c.fd = connectTo(c.webSocket ? wsPort : tcpPort);
            if (c.fd < 0)
                continue;
            if (c.webSocket)
                send(c.fd, QByteArrayLiteral("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                                             "Connection: Upgrade\r\nSec-WebSocket-Key: Y291cnRseXgtYmVuY2g=\r\n"
                                             "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Protocol: mqtt\r\n\r\n"));
            else
                send(c.fd, hello());
        }
        thread_ = std::thread([this] { loop(); });
    }
    ~Subscribers() { stop(); }
    // Ends the reading; what was seen can be looked at after this.
    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        for (Subscriber &c : clients_)
            if (c.fd >= 0)
                ::close(std::exchange(c.fd, -1));
    }
    int subscribed(bool webSocket) const { return subscribed_[webSocket ? 1 : 0]; }
    int subscribed() const { return subscribed_[0] + subscribed_[1]; }
    int faults() const
    {
        int f = 0;
        for (const Subscriber &c : clients_)
            f += c.seen.faults;
        return f;
    }
    // Subscribers whose last change of a court is not `change`.
    int behind(int court, int change) const
    {
        return int(std::count_if(clients_.begin(), clients_.end(),
                                 [&](const Subscriber &c) { return c.seen.last[std::size_t(court)] != change; }));
    }

private:
    static int connectTo(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
            if (fd >= 0)
                ::close(fd);
            return -1;
        }
        return fd;
    }
    // The connect and subscribe packets are a few dozen bytes: they go out whole. One that
    // does not leaves its subscriber unsubscribed, which the rows count and fail on.
    static void send(int fd, const QByteArray &bytes)
    {
        (void)!::write(fd, bytes.constData(), std::size_t(bytes.size()));
    }
    static QByteArray withLength(quint8 type, const QByteArray &body)
    {
        QByteArray out(1, char(type));
        qsizetype n = body.size();
        do {
            quint8 b = n % 128;
            n /= 128;
            out += char(n > 0 ? b | 0x80 : b);
        } while (n > 0);
        return out + body;
    }
    static QByteArray text(const QByteArray &s) { return QByteArray(1, char(s.size() >> 8)) + char(s.size() & 0xFF) + s; }
    // CONNECT (level 4, clean session, no keep-alive) and SUBSCRIBE at QoS 0.
    static QByteArray hello()
    {
        static std::atomic<int> n{0};
        return withLength(0x10, text("MQTT") + QByteArray("\x04\x02\x00\x00", 4) + text("sub-" + QByteArray::number(++n)))
               + withLength(0x82, QByteArray("\x00\x01", 2) + text("courtlyx/v1/+/score") + QByteArray(1, '\0'));
    }
    // One masked binary frame, as a client must send.
    static QByteArray frame(const QByteArray &payload)
    {
        const char mask[4] = {'\x5a', '\x13', '\x7e', '\x21'};
        QByteArray out("\x82", 1);
        out += char(0x80 | payload.size()); // the hello is under 126 bytes
        out += QByteArray(mask, 4);
        for (qsizetype i = 0; i < payload.size(); ++i)
            out += char(payload[i] ^ mask[i % 4]);
        return out;
    }

    void loop()
    {
        const int poller = ::epoll_create1(EPOLL_CLOEXEC);
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            if (clients_[i].fd < 0)
                continue;
            epoll_event e{};
            e.events = EPOLLIN;
            e.data.ptr = &clients_[i];
            ::epoll_ctl(poller, EPOLL_CTL_ADD, clients_[i].fd, &e);
        }
        std::vector<epoll_event> ready(256);
        char buffer[65536];
        while (!stop_) {
            const int n = ::epoll_wait(poller, ready.data(), int(ready.size()), spin_ ? 0 : 5);
            for (int k = 0; k < n; ++k) {
                Subscriber &c = *static_cast<Subscriber *>(ready[std::size_t(k)].data.ptr);
                const ssize_t got = ::read(c.fd, buffer, sizeof buffer);
                if (got <= 0) {
                    ::epoll_ctl(poller, EPOLL_CTL_DEL, c.fd, nullptr);
                    continue;
                }
                c.raw.append(buffer, got);
                take(c);
            }
        }
        ::close(poller);
    }
    void take(Subscriber &c)
    {
        if (!c.webSocket) {
            parse(c, c.raw);
            return;
        }
        if (!c.upgraded) {
            const qsizetype end = c.raw.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            c.upgraded = c.raw.startsWith("HTTP/1.1 101");
            c.raw.remove(0, end + 4);
            if (c.upgraded)
                send(c.fd, frame(hello()));
        }
        // Frames from the server are unmasked; a message may come in several.
        while (c.raw.size() >= 2) {
            qsizetype length = quint8(c.raw[1]) & 0x7F;
            qsizetype at = 2;
            if (length == 126) {
                if (c.raw.size() < 4)
                    return;
                length = (quint8(c.raw[2]) << 8) | quint8(c.raw[3]);
                at = 4;
            } else if (length == 127) {
                if (c.raw.size() < 10)
                    return;
                length = 0;
                for (int i = 2; i < 10; ++i)
                    length = (length << 8) | quint8(c.raw[i]);
                at = 10;
            }
            if (c.raw.size() < at + length)
                return;
            const int opcode = quint8(c.raw[0]) & 0x0F;
            if (opcode == 0 || opcode == 2)
                c.mqtt.append(c.raw.constData() + at, length);
            c.raw.remove(0, at + length);
        }
        parse(c, c.mqtt);
    }
    void parse(Subscriber &c, QByteArray &bytes)
    {
        qsizetype done = 0;
        while (bytes.size() - done >= 2) {
            qsizetype length = 0;
            int shift = 0;
            qsizetype at = done + 1;
            for (; at < bytes.size(); ++at) {
                length |= qsizetype(quint8(bytes[at]) & 0x7F) << shift;
                shift += 7;
                if (!(quint8(bytes[at]) & 0x80))
                    break;
            }
            if (at >= bytes.size() || bytes.size() < at + 1 + length)
                break;
            const quint8 type = quint8(bytes[done]) >> 4;
            const char *body = bytes.constData() + at + 1;
            done = at + 1 + length;
            if (type == 9 && !c.subscribed) {
                c.subscribed = true;
                ++subscribed_[c.webSocket ? 1 : 0];
            }
            if (type != 3 || length < 2)
                continue;
            const int topicLength = (quint8(body[0]) << 8) | quint8(body[1]);
            if (topicLength + 2 > length)
                continue;
            const QByteArray topic(body + 2, topicLength);
            const int change = changeOf(body + 2 + topicLength, int(length - 2 - topicLength));
            c.seen.take(courtOf(topic.constData()), change);
            fanout_.record(change);
        }
        bytes.remove(0, done);
    }

    std::vector<Subscriber> clients_;
    Fanout &fanout_;
    const bool spin_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> subscribed_[2] = {0, 0};
};

void raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Runs the loop until `done`, looking again each millisecond. The loop sleeps between looks:
// a spinning wait would take a core from the broker and the subscribers it measures.
bool pump(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    QTimer look;
    look.start(1);
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

BoardSettings brokerSettings(quint16 port, int court)
{
    BoardSettings s;
    s.Broker = true;
    s.BrokerHost = QStringLiteral("127.0.0.1");
    s.BrokerPort = port;
    s.BrokerCourt = QString::number(court);
    return s;
}

struct Board
{
    explicit Board(quint16 port)
    {
        QDir(MatchJournal::defaultFolder()).removeRecursively();
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"), QStringLiteral("Courtlyx")).clear();
        board = std::make_unique<TFormMain>(ticks, monitors, shell);
        board->applySettings(brokerSettings(port, 1));
        board->show();
        board->activateWindow();
        shown = QTest::qWaitForWindowActive(board.get());
    }
    bool connected(int ms = 8000)
    {
        return pump([this] { return board->broker().state() == BrokerPublisher::State::Connected; }, ms);
    }
    BenchTicks ticks;
    BenchMonitors monitors;
    BenchShell shell;
    std::unique_ptr<TFormMain> board;
    bool shown = false;
};

void runFanoutRow(BenchTable &table, BenchBroker &broker)
{
    const QString figure = QStringLiteral("Broker: F1 to message at 1,000 subscribers");
    Fanout fanout;
    Board b(broker.tcp);
    if (!b.connected()) {
        table.add(figure, QStringLiteral("-"), QStringLiteral("<= 10 ms, p99 <= 50 ms"), false,
                  QStringLiteral("the board did not connect"));
        return;
    }
    Subscribers subscribers(kTcpSubscribers, broker.tcp, kWsSubscribers, broker.ws, fanout,
                            Subscribers::Reading::Polling);
    pump([&] { return subscribers.subscribed() == kTcpSubscribers + kWsSubscribers; }, 20000);
    const long subscribed = subscribers.subscribed();
    // Every subscriber has the retained state first.
    pump([&] { return fanout.received >= subscribed; }, 20000);
    QThread::msleep(200);
    QApplication::processEvents();
    TFormMain &board = *b.board;
    int slow = 0;
    // Everything published so far has reached every subscriber.
    const long published0 = board.broker().publishedCount();
    const long received0 = fanout.received;
    const auto settle = [&] {
        pump([&] { return fanout.received >= received0 + (board.broker().publishedCount() - published0) * subscribed; }, 3000);
    };
    for (int press = 0; press < kPresses; ++press) {
        if (press % 72 == 0) {
            // A new match before the points run out; its own messages are not timed.
            board.model().execute(MatchCommand::of(MatchCommand::Kind::Reset));
            board.bPlayClick();
            pump([] { return false; }, 20);
            settle();
        }
        const long before = fanout.received;
        // Each press is one new state: the board's document counts them.
        const int next = board.broker().lastPublishedChange() + 1;
        if (next > 0 && next < kHighestChange)
            fanout.sentAt[std::size_t(next)].store(Clock::now().time_since_epoch().count(), std::memory_order_release);
        QTest::keyClick(board.windowHandle(), Qt::Key_F1);
        if (!pump([&] { return fanout.received >= before + subscribed; }, 3000))
            ++slow;
        // Presses come seconds apart at a court; a short gap keeps one press's tail out of the next.
        pump([] { return false; }, 10);
    }
    subscribers.stop();
    const std::vector<double> latencies = fanout.latencies;
    const double med = percentile(latencies, 0.5);
    const double p99 = percentile(latencies, 0.99);
    const int faults = subscribers.faults();
    table.add(figure, ms(med), QStringLiteral("<= 10 ms, p99 <= 50 ms"),
              med <= 10 && p99 <= 50 && faults == 0 && slow == 0 && subscribed == kTcpSubscribers + kWsSubscribers,
              QStringLiteral("%1 presses, 10 ms apart; %2 TCP + %3 WebSocket subscribers on one polling reader; p99 %4, max %5; %6 deliveries, "
                             "%7 out of order or missing, %8 presses not everywhere within 3 s; load average %9")
                  .arg(kPresses).arg(subscribers.subscribed(false)).arg(subscribers.subscribed(true))
                  .arg(ms(p99), ms(percentile(latencies, 1.0)))
                  .arg(latencies.size()).arg(faults).arg(slow).arg(loadAverage()));
}

void runCourtsRow(BenchTable &table, BenchBroker &broker, const char *program)
{
    const QString figure = QStringLiteral("Broker: 20 courts, 1,000 subscribers, 60 s");
    Fanout fanout;
    // Twenty courts' processes need the cores here: the subscribers' reader sleeps between reads.
    Subscribers subscribers(kTcpSubscribers, broker.tcp, kWsSubscribers, broker.ws, fanout,
                            Subscribers::Reading::Sleeping);
    pump([&] { return subscribers.subscribed() == kTcpSubscribers + kWsSubscribers; }, 20000);
    QTemporaryDir homes;
    std::vector<std::unique_ptr<QProcess>> courts;
    for (int court = 1; court <= kCourts; ++court) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), homes.filePath(QStringLiteral("data%1").arg(court)));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The subscribers' thousand sockets stay here: libmosquitto's loop takes no socket
        // numbered past select()'s limit of 1024.
        p->setChildProcessModifier([] { ::close_range(3, ~0U, 0); });
        const bool real = court <= kRealBoards;
        const QString settings = homes.filePath(QStringLiteral("settings%1").arg(court));
        QDir().mkpath(settings);
        p->start(QString::fromLocal8Bit(program),
                 {QStringLiteral("--broker-court-child"), QString::number(court), QString::number(broker.tcp),
                  real ? QStringLiteral("real") : QStringLiteral("model"), settings});
        courts.push_back(std::move(p));
    }
    QElapsedTimer run;
    run.start();
    double boardMb = 0;
    double modelMb = 0;
    double brokerMb = 0;
    pump([&] {
        if (run.elapsed() > (courtSeconds() - 5) * 1000 && brokerMb == 0) {
            brokerMb = rssMb(broker.pid());
            boardMb = rssMb(courts.front()->processId());
            modelMb = rssMb(courts.back()->processId());
        }
        return std::all_of(courts.begin(), courts.end(),
                           [](const auto &p) { return p->state() == QProcess::NotRunning; });
    }, (courtSeconds() + 60) * 1000);
    int lost = 0;
    int unfinished = 0;
    int silent = 0;
    int adrift = 0;
    long published = 0;
    // Until the subscribers have taken everything the broker still had for them.
    for (long before = -1; before != fanout.received;) {
        before = fanout.received;
        pump([] { return false; }, 1000);
    }
    subscribers.stop();
    for (int court = 1; court <= kCourts; ++court) {
        QProcess &p = *courts[std::size_t(court - 1)];
        p.waitForFinished(5000);
        const QList<QByteArray> said = p.readAllStandardOutput().trimmed().split(' ');
        if (said.size() < 2 || said[0] != "final") {
            ++unfinished;
            continue;
        }
        const int last = said[1].toInt();
        published += said.value(2).toLong();
        silent += said.value(2).toLong() == 0;
        adrift += said.value(3) != "1";
        lost += subscribers.behind(court, last);
    }
    const int faults = subscribers.faults();
    const long subscribed = subscribers.subscribed();
    table.add(figure, QStringLiteral("%1 lost").arg(lost + faults), QStringLiteral("none lost"),
              lost == 0 && faults == 0 && unfinished == 0 && silent == 0 && adrift == 0
                  && subscribed == kTcpSubscribers + kWsSubscribers && fanout.received >= published * subscribed,
              QStringLiteral("%1 real boards + %2 model publishers at 10x speed; %3 states published, %4 deliveries; "
                             "%5 subscribers behind at the end, %6 gaps; RSS: mosquitto %7 MB, a real board %8 MB, "
                             "a publisher %9 MB; %10 courts failed, %11 published nothing, %12 off the broker at the end; "
                             "load average %13")
                  .arg(kRealBoards).arg(kCourts - kRealBoards).arg(published).arg(fanout.received.load())
                  .arg(lost).arg(faults)
                  .arg(brokerMb, 0, 'f', 1).arg(boardMb, 0, 'f', 1).arg(modelMb, 0, 'f', 1).arg(unfinished).arg(silent).arg(adrift).arg(loadAverage()));
}

void runPaintAndRestartRows(BenchTable &table, BenchBroker &broker)
{
    Board b(broker.tcp);
    if (!b.connected()) {
        table.add(QStringLiteral("Broker on: F1 to painted board"), QStringLiteral("-"), QStringLiteral("<= 1 ms"),
                  false, QStringLiteral("the board did not connect"));
        return;
    }
    TFormMain &board = *b.board;
    const TLabel3D *points = board.fieldLabel(MatchScore::pointsEntry(1));
    board.bPlayClick();
    std::vector<double> times;
    int unpainted = 0;
    for (int press = 0; press < 600; ++press) {
        if (press % 72 == 0 && press > 0) {
            board.model().execute(MatchCommand::of(MatchCommand::Kind::Reset));
            board.bPlayClick();
        }
        b.ticks.value += 1000;
        QApplication::processEvents();
        const QString before = points->Caption();
        const auto start = Clock::now();
        QTest::keyClick(board.windowHandle(), Qt::Key_F1);
        QCoreApplication::sendPostedEvents();
        times.push_back(msSince(start) * 1000);
        unpainted += points->Caption() == before;
        QApplication::processEvents();
    }
    const double key = percentile(times, 0.5);
    table.add(QStringLiteral("Broker on: F1 to painted board"), QString::number(key, 'f', 1) + QStringLiteral(" µs"),
              QStringLiteral("<= 1 ms"), key <= 1000 && unpainted <= 600 / 72 + 1,
              QStringLiteral("600 presses, p90 %1 µs, max %2 µs")
                  .arg(percentile(times, 0.9), 0, 'f', 0).arg(percentile(times, 1.0), 0, 'f', 0));

    // Mid-match the broker goes and comes back: the board's loop is watched every millisecond.
    double longestGap = 0;
    auto lastTurn = Clock::now();
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, msSince(lastTurn));
        lastTurn = Clock::now();
    });
    QTimer keys;
    keys.setInterval(50);
    int press = 0;
    QObject::connect(&keys, &QTimer::timeout, [&] {
        b.ticks.value += 1000;
        QTest::keyClick(board.windowHandle(), ++press % 3 ? Qt::Key_F1 : Qt::Key_F2);
    });
    lastTurn = Clock::now();
    watch.start();
    keys.start();
    pump([] { return false; }, 1000);
    // The same keys with the broker there: what the machine itself costs the loop.
    const double calmGap = std::exchange(longestGap, 0.0);
    broker.killNoWait();
    pump([] { return false; }, 3000);
    const bool sawItGo = board.broker().state() != BrokerPublisher::State::Connected;
    // From the moment the broker is launched again, its own start-up included.
    const auto back = Clock::now();
    broker.startNoWait();
    // The launch (a fork of this process) is the benchmark's own turn, not the board's.
    const double launchMs = msSince(back);
    lastTurn = Clock::now();
    const bool reconnected = pump([&] { return board.broker().state() == BrokerPublisher::State::Connected; }, 10000);
    const double reconnectMs = msSince(back);
    keys.stop();
    pump([] { return false; }, 500);
    watch.stop();
    // The state the board shows is the retained one again.
    QProcess sub;
    sub.start(QStringLiteral("mosquitto_sub"),
              {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(broker.tcp),
               QStringLiteral("-t"), QStringLiteral("courtlyx/v1/1/score"), QStringLiteral("-C"), QStringLiteral("1"),
               QStringLiteral("-W"), QStringLiteral("3")});
    sub.waitForFinished(5000);
    const QJsonObject retained = QJsonDocument::fromJson(sub.readAllStandardOutput()).object();
    const bool republished = retained[QStringLiteral("sides")][0][QStringLiteral("points")].toString()
                                 == board.model().pointsText(1)
                             && retained[QStringLiteral("sides")][1][QStringLiteral("points")].toString()
                                    == board.model().pointsText(2)
                             && !retained.isEmpty();
    table.add(QStringLiteral("Broker killed and restarted mid-match"), ms(reconnectMs),
              QStringLiteral("back <= 5 s, no stall > 16 ms"),
              sawItGo && reconnected && reconnectMs <= 5000 && longestGap <= 16 && republished,
              QStringLiteral("reconnected %1 ms after the broker's launch; longest turn of the board's loop %2 while "
                             "the broker was gone and came back (%3 in the second before, broker there), keys every "
                             "50 ms, the broker's launch (%6) left out; state republished: %4; load average %5")
                  .arg(reconnectMs, 0, 'f', 0).arg(ms(longestGap), ms(calmGap))
                  .arg(republished ? QStringLiteral("yes") : QStringLiteral("no"), loadAverage(), ms(launchMs)));
}

// A real match's points from the records shipped with the tests, else a plain one.
QByteArray realMatchPoints(int court)
{
    const QByteArray shared = qgetenv("COURTLYX_SHARED");
    QFile data(QString::fromLocal8Bit(shared.isEmpty() ? QByteArray(COURTLYX_SHARED_DIR) : shared)
               + QStringLiteral("/data/pbp_matches_wta_main_current.csv"));
    if (data.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = data.readAll().split('\n');
        if (lines.size() > court + 1) {
            // The pbp column is the one of S and R; it holds no comma.
            for (const QByteArray &field : lines[court].split(','))
                if (field.size() > 40 && field.count('S') + field.count('R') > 40)
                    return field;
        }
    }
    return QByteArray("SSSS;RRRR;SRSS;SSRS;RSSS;SSSS.").repeated(20);
}

} // namespace

void runBrokerBench(BenchTable &table, const char *program, const QStringList &rows)
{
    const auto want = [&rows](const char *row) { return rows.isEmpty() || rows.contains(QLatin1String(row)); };
    if (QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin")}).isEmpty()) {
        table.add(QStringLiteral("Broker rows"), QStringLiteral("-"), QStringLiteral("-"), false,
                  QStringLiteral("mosquitto is not installed"));
        return;
    }
    raiseOpenFileLimit();
    BenchBroker broker;
    if (!broker.start()) {
        table.add(QStringLiteral("Broker rows"), QStringLiteral("-"), QStringLiteral("-"), false,
                  QStringLiteral("mosquitto did not start"));
        return;
    }
    if (want("broker-fanout"))
        runFanoutRow(table, broker);
    if (want("broker-restart"))
        runPaintAndRestartRows(table, broker);
    if (want("broker-courts")) {
        // A broker of its own: court 1's retained state from the rows before would come first.
        broker.kill();
        if (broker.start())
            runCourtsRow(table, broker, program);
        else
            table.add(QStringLiteral("Broker: 20 courts, 1,000 subscribers, 60 s"), QStringLiteral("-"),
                      QStringLiteral("none lost"), false, QStringLiteral("mosquitto did not start again"));
    }
}

int brokerCourtChild(int argc, char **argv)
{
    if (argc < 6)
        return 2;
    const int court = std::atoi(argv[2]);
    const auto port = quint16(std::atoi(argv[3]));
    const bool real = qstrcmp(argv[4], "real") == 0;
    QApplication app(argc, argv);
    useChildSettings(argv[5]);
    const SystemTickSource ticks;
    BenchMonitors monitors;
    BenchShell shell;
    std::unique_ptr<TFormMain> board;
    std::unique_ptr<BoardModel> model;
    std::unique_ptr<BrokerPublisher> publisher;
    BoardModel *m = nullptr;
    BrokerPublisher *p = nullptr;
    if (real) {
        board = std::make_unique<TFormMain>(ticks, monitors, shell);
        board->applySettings(brokerSettings(port, court));
        board->show();
        m = &board->model();
        p = &board->broker();
    } else {
        model = std::make_unique<BoardModel>(ticks, MatchJournal::defaultFolder());
        model->start(QString());
        publisher = std::make_unique<BrokerPublisher>(*model);
        publisher->apply(brokerSettings(port, court));
        m = model.get();
        p = publisher.get();
    }
    pump([&] { return p->state() == BrokerPublisher::State::Connected; }, 10000);
    m->execute(MatchCommand::of(MatchCommand::Kind::Play));
    const QByteArray points = realMatchPoints(court);
    qsizetype next = 0;
    QTimer pointTimer;
    // Courts start their points at different moments, as on a real day.
    pointTimer.setInterval(kPointMs);
    QObject::connect(&pointTimer, &QTimer::timeout, [&] {
        while (next < points.size() && points[next] != 'S' && points[next] != 'R')
            ++next;
        if (next >= points.size())
            return;
        const int server = m->score().server() + 1;
        const int side = points[next++] == 'S' ? server : 3 - server;
        if (board)
            QTest::keyClick(board->windowHandle(), side == 1 ? Qt::Key_F1 : Qt::Key_F2);
        else
            m->execute(MatchCommand::point(side));
    });
    QTimer::singleShot((court * 137) % kPointMs, [&] { pointTimer.start(); });
    pump([] { return false; }, courtSeconds() * 1000);
    pointTimer.stop();
    m->execute(MatchCommand::of(MatchCommand::Kind::Play)); // paused: the clock stops changing the state
    pump([] { return false; }, 1500);
    // The last word says whether the court was still on the broker at the end.
    std::printf("final %d %ld %d\n", p->lastPublishedChange(), p->publishedCount(),
                p->state() == BrokerPublisher::State::Connected ? 1 : 0);
    std::fflush(stdout);
    return 0;
}
