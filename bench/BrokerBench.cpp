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

#include <mosquitto.h>

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
#include <QWebSocket>

#include <poll.h>
#include <csignal>
#include <sys/ioctl.h>
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

constexpr int kTcpThreads = 3;
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
        if (!process)
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

struct TcpClient
{
    mosquitto *mosq = nullptr;
    Seen seen;
    Fanout *fanout = nullptr;
};

// Subscribers on libmosquitto, a share of them on each of a few threads, each thread running
// its clients' network loops by hand.
class TcpSubscribers
{
public:
    TcpSubscribers(int count, quint16 port, Fanout &fanout) : clients_(std::size_t(count))
    {
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            TcpClient &c = clients_[i];
            c.fanout = &fanout;
            c.mosq = mosquitto_new(nullptr, true, &c);
            mosquitto_message_callback_set(c.mosq, [](mosquitto *, void *obj, const mosquitto_message *m) {
                auto *client = static_cast<TcpClient *>(obj);
                const int change = changeOf(static_cast<const char *>(m->payload), m->payloadlen);
                client->seen.take(courtOf(m->topic), change);
                client->fanout->record(change);
            });
            mosquitto_connect_callback_set(c.mosq, [](mosquitto *m, void *, int) {
                mosquitto_subscribe(m, nullptr, "courtlyx/v1/+/score", 0);
            });
            if (mosquitto_connect(c.mosq, "127.0.0.1", port, 600) == MOSQ_ERR_SUCCESS)
                ++connected_;
        }
        for (int t = 0; t < kTcpThreads; ++t)
            threads_.emplace_back([this, t] { loop(t); });
    }
    ~TcpSubscribers()
    {
        stop_ = true;
        for (std::thread &t : threads_)
            t.join();
        for (TcpClient &c : clients_)
            mosquitto_destroy(c.mosq);
    }
    int connected() const { return connected_; }
    int faults() const
    {
        int f = 0;
        for (const TcpClient &c : clients_)
            f += c.seen.faults;
        return f;
    }
    // Subscribers whose last change of a court is not `change`.
    int behind(int court, int change) const
    {
        return int(std::count_if(clients_.begin(), clients_.end(),
                                 [&](const TcpClient &c) { return c.seen.last[std::size_t(court)] != change; }));
    }

private:
    void loop(int t)
    {
        std::vector<TcpClient *> mine;
        for (std::size_t i = std::size_t(t); i < clients_.size(); i += kTcpThreads)
            mine.push_back(&clients_[i]);
        std::vector<pollfd> fds(mine.size());
        auto lastMisc = Clock::now();
        while (!stop_) {
            for (std::size_t i = 0; i < mine.size(); ++i) {
                fds[i].fd = mosquitto_socket(mine[i]->mosq);
                fds[i].events = short(POLLIN | (mosquitto_want_write(mine[i]->mosq) ? POLLOUT : 0));
                fds[i].revents = 0;
            }
            ::poll(fds.data(), fds.size(), 5);
            for (std::size_t i = 0; i < mine.size(); ++i) {
                if (fds[i].revents & POLLIN) {
                    // One packet a call: read on while the socket holds more.
                    int waiting = 0;
                    do
                        mosquitto_loop_read(mine[i]->mosq, 1);
                    while (::ioctl(fds[i].fd, FIONREAD, &waiting) == 0 && waiting > 0);
                }
                if (fds[i].revents & POLLOUT)
                    mosquitto_loop_write(mine[i]->mosq, 1);
            }
            if (Clock::now() - lastMisc > std::chrono::milliseconds(500)) {
                lastMisc = Clock::now();
                for (TcpClient *c : mine)
                    mosquitto_loop_misc(c->mosq);
            }
        }
    }

    std::vector<TcpClient> clients_;
    std::vector<std::thread> threads_;
    std::atomic<bool> stop_{false};
    int connected_ = 0;
};

// MQTT 3.1.1 over WebSocket, as a page speaks it: connect, subscribe, read QoS 0 publishes.
// Only for measuring; the board itself speaks MQTT through libmosquitto.
class WsSubscriber : public QObject
{
public:
    WsSubscriber(quint16 port, Fanout &fanout, QObject *parent) : QObject(parent), fanout_(fanout)
    {
        connect(&socket_, &QWebSocket::connected, this, [this] {
            socket_.sendBinaryMessage(connectPacket());
            socket_.sendBinaryMessage(subscribePacket("courtlyx/v1/+/score"));
        });
        connect(&socket_, &QWebSocket::binaryMessageReceived, this, [this](const QByteArray &frame) {
            buffer_ += frame;
            parse();
        });
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(port)));
        request.setRawHeader("Sec-WebSocket-Protocol", "mqtt");
        socket_.open(request);
    }
    bool subscribed() const { return subscribed_; }
    Seen seen;

private:
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
    static QByteArray text(const QByteArray &s)
    {
        return QByteArray(1, char(s.size() >> 8)) + char(s.size() & 0xFF) + s;
    }
    static QByteArray connectPacket()
    {
        static std::atomic<int> n{0};
        // MQTT, level 4, clean session, no keep-alive.
        return withLength(0x10, text("MQTT") + QByteArray("\x04\x02\x00\x00", 4) + text("ws-" + QByteArray::number(++n)));
    }
    static QByteArray subscribePacket(const QByteArray &filter)
    {
        return withLength(0x82, QByteArray("\x00\x01", 2) + text(filter) + QByteArray(1, '\0'));
    }
    void parse()
    {
        while (buffer_.size() >= 2) {
            qsizetype length = 0;
            int shift = 0;
            qsizetype at = 1;
            for (; at < buffer_.size(); ++at) {
                length |= qsizetype(quint8(buffer_[at]) & 0x7F) << shift;
                shift += 7;
                if (!(quint8(buffer_[at]) & 0x80))
                    break;
            }
            if (at >= buffer_.size() || buffer_.size() < at + 1 + length)
                return;
            const quint8 type = quint8(buffer_[0]) >> 4;
            const QByteArray body = buffer_.mid(at + 1, length);
            buffer_.remove(0, at + 1 + length);
            if (type == 9)
                subscribed_ = true;
            if (type != 3 || body.size() < 2)
                continue;
            const int topicLength = (quint8(body[0]) << 8) | quint8(body[1]);
            const QByteArray topic = body.mid(2, topicLength);
            const QByteArray payload = body.mid(2 + topicLength);
            const int change = changeOf(payload.constData(), int(payload.size()));
            seen.take(courtOf(topic.constData()), change);
            fanout_.record(change);
        }
    }

    Fanout &fanout_;
    QWebSocket socket_;
    QByteArray buffer_;
    bool subscribed_ = false;
};

// The WebSocket subscribers on a thread and event loop of their own.
class WsSubscribers
{
public:
    WsSubscribers(int count, quint16 port, Fanout &fanout)
    {
        thread_.start();
        owner_ = new QObject;
        owner_->moveToThread(&thread_);
        QMetaObject::invokeMethod(owner_, [this, count, port, &fanout] {
            for (int i = 0; i < count; ++i)
                clients_.push_back(new WsSubscriber(port, fanout, owner_));
        }, Qt::BlockingQueuedConnection);
    }
    ~WsSubscribers()
    {
        QMetaObject::invokeMethod(owner_, [this] { delete owner_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    int subscribed() const
    {
        int n = 0;
        QMetaObject::invokeMethod(owner_, [&] {
            n = int(std::count_if(clients_.begin(), clients_.end(), [](WsSubscriber *c) { return c->subscribed(); }));
        }, Qt::BlockingQueuedConnection);
        return n;
    }
    int faults() const
    {
        int f = 0;
        QMetaObject::invokeMethod(owner_, [&] {
            for (WsSubscriber *c : clients_)
                f += c->seen.faults;
        }, Qt::BlockingQueuedConnection);
        return f;
    }
    int behind(int court, int change) const
    {
        int n = 0;
        QMetaObject::invokeMethod(owner_, [&] {
            n = int(std::count_if(clients_.begin(), clients_.end(),
                                  [&](WsSubscriber *c) { return c->seen.last[std::size_t(court)] != change; }));
        }, Qt::BlockingQueuedConnection);
        return n;
    }

private:
    QThread thread_;
    QObject *owner_ = nullptr;
    std::vector<WsSubscriber *> clients_;
};

void raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

bool pump(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 2);
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

void pressF1(TFormMain &board, int press)
{
    if (press % 72 == 0) {
        board.model().execute(MatchCommand::of(MatchCommand::Kind::Reset));
        board.bPlayClick();
    }
    QTest::keyClick(board.windowHandle(), Qt::Key_F1);
}

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
    TcpSubscribers tcp(kTcpSubscribers, broker.tcp, fanout);
    WsSubscribers ws(kWsSubscribers, broker.ws, fanout);
    pump([&] { return ws.subscribed() == kWsSubscribers; }, 20000);
    const long subscribers = tcp.connected() + ws.subscribed();
    // Every subscriber has the retained state first.
    pump([&] { return fanout.received >= subscribers; }, 20000);
    QThread::msleep(200);
    QApplication::processEvents();
    TFormMain &board = *b.board;
    int slow = 0;
    for (int press = 0; press < kPresses; ++press) {
        const long before = fanout.received;
        // Each press is one new state: the board's document counts them.
        const int next = board.broker().lastPublishedChange() + 1;
        if (next > 0 && next < kHighestChange)
            fanout.sentAt[std::size_t(next)].store(Clock::now().time_since_epoch().count(), std::memory_order_release);
        pressF1(board, press);
        if (!pump([&] { return fanout.received >= before + subscribers; }, 3000))
            ++slow;
    }
    const std::vector<double> latencies = fanout.latencies;
    const double med = percentile(latencies, 0.5);
    const double p99 = percentile(latencies, 0.99);
    const int faults = tcp.faults() + ws.faults();
    table.add(figure, ms(med), QStringLiteral("<= 10 ms, p99 <= 50 ms"),
              med <= 10 && p99 <= 50 && faults == 0 && slow == 0 && subscribers == kTcpSubscribers + kWsSubscribers,
              QStringLiteral("%1 presses; %2 TCP + %3 WebSocket subscribers; p99 %4, max %5; %6 deliveries, "
                             "%7 out of order or missing, %8 presses not everywhere within 3 s; load average %9")
                  .arg(kPresses).arg(tcp.connected()).arg(ws.subscribed())
                  .arg(ms(p99), ms(percentile(latencies, 1.0)))
                  .arg(latencies.size()).arg(faults).arg(slow).arg(loadAverage()));
}

void runCourtsRow(BenchTable &table, BenchBroker &broker, const char *program)
{
    const QString figure = QStringLiteral("Broker: 20 courts, 1,000 subscribers, 60 s");
    Fanout fanout;
    TcpSubscribers tcp(kTcpSubscribers, broker.tcp, fanout);
    WsSubscribers ws(kWsSubscribers, broker.ws, fanout);
    pump([&] { return ws.subscribed() == kWsSubscribers; }, 20000);
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
    long published = 0;
    // Until the subscribers have taken everything the broker still had for them.
    for (long before = -1; before != fanout.received;) {
        before = fanout.received;
        pump([] { return false; }, 1000);
    }
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
        lost += tcp.behind(court, last) + ws.behind(court, last);
    }
    const int faults = tcp.faults() + ws.faults();
    const long subscribers = tcp.connected() + ws.subscribed();
    table.add(figure, QStringLiteral("%1 lost").arg(lost + faults), QStringLiteral("none lost"),
              lost == 0 && faults == 0 && unfinished == 0 && silent == 0
                  && subscribers == kTcpSubscribers + kWsSubscribers && fanout.received >= published * subscribers,
              QStringLiteral("%1 real boards + %2 model publishers at 10x speed; %3 states published, %4 deliveries; "
                             "%5 subscribers behind at the end, %6 gaps; RSS: mosquitto %7 MB, a real board %8 MB, "
                             "a publisher %9 MB; %10 courts failed, %11 published nothing; load average %12")
                  .arg(kRealBoards).arg(kCourts - kRealBoards).arg(published).arg(fanout.received.load())
                  .arg(lost).arg(faults)
                  .arg(brokerMb, 0, 'f', 1).arg(boardMb, 0, 'f', 1).arg(modelMb, 0, 'f', 1).arg(unfinished).arg(silent).arg(loadAverage()));
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
    mosquitto_lib_init();
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
    if (!broker.process)
        broker.start();
    if (want("broker-courts"))
        runCourtsRow(table, broker, program);
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
    if (p->state() != BrokerPublisher::State::Connected)
        std::fprintf(stderr, "court %d: %s\n", court, qPrintable(p->statusText()));
    std::printf("final %d %ld\n", p->lastPublishedChange(), p->publishedCount());
    std::fflush(stdout);
    return 0;
}
