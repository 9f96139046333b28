#include "feed/BrokerLink.h"

#include <mosquitto.h>

#include <QMetaObject>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

struct BrokerLink::Shared
{
    Options options;
    // The instance the thread connects; replaced, under `instance`, for every attempt so no
    // message of a dead connection is sent again behind the outbox's back.
    std::mutex instance;
    mosquitto *mosq = nullptr;
    std::atomic<bool> connected{false};
    std::atomic<bool> refused{false};

    // The link, while it is there; events for it are posted under `receiver`.
    std::mutex receiverMutex;
    BrokerLink *receiver = nullptr;

    std::mutex stateMutex;
    std::condition_variable wake;
    bool stopping = false;
    bool finished = false;

    void post(std::function<void(BrokerLink &)> event)
    {
        const std::lock_guard lock(receiverMutex);
        if (receiver)
            QMetaObject::invokeMethod(receiver, [r = receiver, event] { event(*r); }, Qt::QueuedConnection);
    }
    bool isStopping()
    {
        const std::lock_guard lock(stateMutex);
        return stopping;
    }
    // True when told to stop meanwhile.
    bool sleep(std::chrono::milliseconds time)
    {
        std::unique_lock lock(stateMutex);
        return wake.wait_for(lock, time, [this] { return stopping; });
    }
};

namespace {

void initialiseLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString reasonOf(int rc, int error)
{
    switch (rc) {
    case MOSQ_ERR_ERRNO:
        switch (error) {
        case ECONNREFUSED: return QStringLiteral("Verbindung abgelehnt");
        case ETIMEDOUT: return QStringLiteral("keine Antwort");
        case EHOSTUNREACH:
        case ENETUNREACH: return QStringLiteral("Netz nicht erreichbar");
        case ECONNRESET:
        case EPIPE: return QStringLiteral("Verbindung getrennt");
        default: return QString::fromLocal8Bit(std::strerror(error));
        }
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_LOOKUP: return QStringLiteral("Rechnername unbekannt");
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE: return QStringLiteral("TLS-Fehler");
    case MOSQ_ERR_CONN_LOST:
    case MOSQ_ERR_NO_CONN: return QStringLiteral("Verbindung verloren");
    case MOSQ_ERR_KEEPALIVE: return QStringLiteral("keine Antwort");
    case MOSQ_ERR_TIMEOUT: return QStringLiteral("keine Antwort");
    default: return QString::fromUtf8(mosquitto_strerror(rc));
    }
}

QString refusalOf(int connack)
{
    // MQTT 3.1.1: 4 bad user name or password, 5 not authorised.
    if (connack == 4 || connack == 5)
        return QStringLiteral("Anmeldung abgelehnt");
    return QStringLiteral("Verbindung abgelehnt (%1)").arg(QString::fromUtf8(mosquitto_connack_string(connack)));
}

// A new instance set up for one attempt; nothing and the reason when the set-up failed.
mosquitto *newInstance(BrokerLink::Shared &s, QString *why)
{
    const BrokerLink::Options &o = s.options;
    mosquitto *m = mosquitto_new(o.clientId.toUtf8().constData(), true, &s);
    if (!m) {
        *why = QStringLiteral("kein Speicher");
        return nullptr;
    }
    mosquitto_threaded_set(m, true);
    if (!o.user.isEmpty())
        mosquitto_username_pw_set(m, o.user.toUtf8().constData(),
                                  o.password.isEmpty() ? nullptr : o.password.toUtf8().constData());
    mosquitto_will_set(m, o.willTopic.constData(), int(o.willPayload.size()), o.willPayload.constData(), 1, true);
    if (o.tls) {
        const QByteArray ca = o.caFile.toLocal8Bit();
        const int rc = mosquitto_tls_set(m, ca.isEmpty() ? nullptr : ca.constData(),
                                         ca.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            *why = ca.isEmpty() ? QStringLiteral("TLS nicht einrichtbar") : QStringLiteral("CA-Datei nicht lesbar");
            mosquitto_destroy(m);
            return nullptr;
        }
    }
    mosquitto_connect_callback_set(m, [](mosquitto *, void *obj, int rc) {
        auto *sh = static_cast<BrokerLink::Shared *>(obj);
        if (rc == 0) {
            sh->connected = true;
            sh->post([](BrokerLink &link) { emit link.connected(); });
        } else {
            sh->refused = true;
            const QString why = refusalOf(rc);
            sh->post([why](BrokerLink &link) {
                emit link.down(BrokerLink::Down::Refused, why, BrokerLink::kRefusedRetrySeconds);
            });
        }
    });
    mosquitto_disconnect_callback_set(m, [](mosquitto *, void *obj, int) {
        static_cast<BrokerLink::Shared *>(obj)->connected = false;
    });
    mosquitto_publish_callback_set(m, [](mosquitto *, void *obj, int mid) {
        static_cast<BrokerLink::Shared *>(obj)->post([mid](BrokerLink &link) { emit link.acknowledged(mid); });
    });
    return m;
}

} // namespace

BrokerLink::BrokerLink(QObject *parent) : QObject(parent)
{
    initialiseLibraryOnce();
}

BrokerLink::~BrokerLink()
{
    stop();
}

bool BrokerLink::isRunning() const
{
    return shared_ != nullptr;
}

bool BrokerLink::isConnected() const
{
    return shared_ && shared_->connected;
}

void BrokerLink::start(const Options &options)
{
    stop();
    shared_ = std::make_shared<Shared>();
    shared_->options = options;
    shared_->receiver = this;
    // Detached: a look-up that hangs must not hold up the board's exit; the thread keeps
    // what it uses alive itself.
    std::thread(&BrokerLink::run, shared_).detach();
}

void BrokerLink::stop()
{
    if (!shared_)
        return;
    const std::shared_ptr<Shared> s = std::exchange(shared_, nullptr);
    {
        const std::lock_guard lock(s->receiverMutex);
        s->receiver = nullptr;
    }
    {
        const std::lock_guard lock(s->instance);
        if (s->mosq && s->connected) {
            const QByteArray &topic = s->options.willTopic;
            const QByteArray &payload = s->options.closingPayload;
            mosquitto_publish(s->mosq, nullptr, topic.constData(), int(payload.size()), payload.constData(), 1, true);
            mosquitto_disconnect(s->mosq);
        }
    }
    std::unique_lock lock(s->stateMutex);
    s->stopping = true;
    s->wake.notify_all();
    s->wake.wait_for(lock, 1500ms, [&s] { return s->finished; });
}

int BrokerLink::publish(const QByteArray &topic, const QByteArray &payload, int qos, bool retain)
{
    if (!shared_ || !shared_->connected)
        return -1;
    const std::lock_guard lock(shared_->instance);
    if (!shared_->mosq)
        return -1;
    int mid = 0;
    const int rc = mosquitto_publish(shared_->mosq, &mid, topic.constData(), int(payload.size()),
                                     payload.isEmpty() ? nullptr : payload.constData(), qos, retain);
    if (rc != MOSQ_ERR_SUCCESS)
        return -1;
    return qos == 0 ? 0 : mid;
}

void BrokerLink::run(std::shared_ptr<Shared> s)
{
    int retry = 1;
    const auto setInstance = [&s](mosquitto *m) {
        mosquitto *old = nullptr;
        {
            const std::lock_guard lock(s->instance);
            old = std::exchange(s->mosq, m);
        }
        if (old)
            mosquitto_destroy(old);
    };
    while (!s->isStopping()) {
        QString why;
        s->connected = false;
        s->refused = false;
        mosquitto *m = newInstance(*s, &why);
        setInstance(m);
        int rc = MOSQ_ERR_SUCCESS;
        int error = 0;
        if (m) {
            rc = mosquitto_connect_async(m, s->options.host.toUtf8().constData(), s->options.port, kKeepAliveSeconds);
            error = errno;
        }
        bool wasConnected = false;
        if (m && rc == MOSQ_ERR_SUCCESS) {
            const auto begun = std::chrono::steady_clock::now();
            while (true) {
                rc = mosquitto_loop(m, 100, 1);
                error = errno;
                wasConnected = wasConnected || s->connected;
                if (s->isStopping()) {
                    // The closing message and the disconnect go out before the thread ends.
                    const auto deadline = std::chrono::steady_clock::now() + 1s;
                    while (rc == MOSQ_ERR_SUCCESS && std::chrono::steady_clock::now() < deadline)
                        rc = mosquitto_loop(m, 50, 1);
                    break;
                }
                if (rc != MOSQ_ERR_SUCCESS)
                    break;
                if (!s->connected && !s->refused && std::chrono::steady_clock::now() - begun > kConnectTimeoutSeconds * 1s) {
                    rc = MOSQ_ERR_TIMEOUT;
                    break;
                }
            }
        }
        s->connected = false;
        if (s->isStopping())
            break;
        int wait = retry;
        if (s->refused) {
            wait = kRefusedRetrySeconds; // said by the connect callback
        } else {
            if (why.isEmpty())
                why = reasonOf(rc, error);
            const Down how = wasConnected ? Down::Lost : Down::Unreachable;
            // A connection that stood is tried again at once: the broker may only have restarted.
            wait = wasConnected ? 1 : retry;
            s->post([how, why, wait](BrokerLink &link) { emit link.down(how, why, wait); });
        }
        retry = wasConnected ? 1 : std::min(retry * 2, kLongestRetrySeconds);
        if (s->sleep(std::chrono::seconds(wait)))
            break;
    }
    setInstance(nullptr);
    const std::lock_guard lock(s->stateMutex);
    s->finished = true;
    s->wake.notify_all();
}
