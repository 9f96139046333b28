#include "feed/FeedServer.h"

#include <QFile>
#include <QHttpServer>
#include <QJsonDocument>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QTime>
#include <QUrl>
#include <QWebSocket>

namespace {
using Status = QHttpServerResponder::StatusCode;

const QByteArray kJson = QByteArrayLiteral("application/json");
// Set on a stream when it takes data, cleared at each keep-alive.
const char kMovedName[] = "courtlyx-moved";

template <typename Stream>
void noteProgress(Stream *stream)
{
    QObject::connect(stream, &Stream::bytesWritten, stream, [stream] { stream->setProperty(kMovedName, true); });
}

QByteArray errorBody(const QString &reason)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("error"), reason}}).toJson(QJsonDocument::Compact);
}

void replyError(QHttpServerResponder &responder, Status status, const QString &reason)
{
    responder.write(errorBody(reason), kJson, status);
}

// The name in a Host header, without its port, brackets kept round an IPv6 address.
QString hostPart(const QString &host)
{
    QString name = host.trimmed().toLower();
    if (name.startsWith(u'[')) {
        name.truncate(name.indexOf(u']') + 1);
    } else if (name.count(u':') == 1) {
        name.truncate(name.indexOf(u':'));
    }
    if (name.endsWith(u'.'))
        name.chop(1);
    return name;
}

QByteArray tokenJson(const QByteArray &token)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("token"), QString::fromLatin1(token)}})
        .toJson(QJsonDocument::Compact);
}
} // namespace

FeedServer::FeedServer(const TickSource &ticks, QObject *parent) : QObject(parent), guard_(ticks)
{
    connect(&keepAlive_, &QTimer::timeout, this, &FeedServer::keepAlive);
}

FeedServer::~FeedServer()
{
    stop();
}

bool FeedServer::start(const Options &options)
{
    stop();
    error_.clear();
    options_ = options;
    auto *listener = new FeedListener(options.limits);
    const QHostAddress address = options.allInterfaces ? QHostAddress::Any : QHostAddress::LocalHost;
    if (!listener->listen(address, options.port)) {
        error_ = listener->serverError() == QAbstractSocket::AddressInUseError
            ? tr("Port %1 ist belegt").arg(options.port)
            : tr("Port %1: %2").arg(options.port).arg(listener->errorString());
        delete listener;
        return false;
    }
    guard_.renew(options.pin);
    hosts_ = QStringList{QStringLiteral("localhost")};
    if (!hostPart(options.hostName).isEmpty())
        hosts_ << hostPart(options.hostName);
    http_ = std::make_unique<QHttpServer>();
    listener_ = listener;
    // The HTTP server takes the listener as its child.
    http_->bind(listener);
    port_ = listener->serverPort();
    route();
    connect(http_.get(), &QHttpServer::newWebSocketConnection, this, &FeedServer::acceptWebSockets);
    devicesMoved();
    keepAlive_.start(options.keepAliveMs);
    return true;
}

void FeedServer::stop()
{
    // Before the HTTP server: each WebSocket's connection is still a child of the listener.
    // Dropped ones waiting for their deferred delete go too.
    qDeleteAll(findChildren<QWebSocket *>(Qt::FindDirectChildrenOnly));
    sockets_.clear();
    events_.clear();
    http_.reset();
    keepAlive_.stop();
    port_ = 0;
}

void FeedServer::route()
{
    using Method = QHttpServerRequest::Method;
    http_->route(QStringLiteral("/score.json"), Method::Get,
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     serveState(request, std::move(responder));
                 });
    http_->route(QStringLiteral("/events"), Method::Get,
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     serveEvents(request, std::move(responder));
                 });
    http_->route(QStringLiteral("/pair"),
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     servePairing(request, std::move(responder));
                 });
    http_->route(QStringLiteral("/command"),
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     serveCommand(request, std::move(responder));
                 });
    // Qt 6.4 upgrades a WebSocket only on a route that answers nothing.
    http_->route(QStringLiteral("/ws"), Method::Get,
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     if (!admitted(request, responder))
                         return;
                     if (request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) != 0) {
                         listener_->restartDeadline(responder.socket());
                         replyError(responder, Status::UpgradeRequired, tr("a WebSocket endpoint"));
                     }
                 });
    http_->route(QStringLiteral("/overlay"), Method::Get,
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     servePage(request, std::move(responder), QStringLiteral(":/feed/overlay.html"));
                 });
    http_->route(QStringLiteral("/remote"), Method::Get,
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     servePage(request, std::move(responder), QStringLiteral(":/feed/remote.html"));
                 });
    http_->setMissingHandler([this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
        if (!admitted(request, responder))
            return;
        listener_->restartDeadline(responder.socket());
        replyError(responder, Status::NotFound, tr("no such resource"));
    });
}

bool FeedServer::isOwnHost(const QString &host) const
{
    QString name = hostPart(host);
    if (hosts_.contains(name))
        return true;
    if (name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    const QHostAddress address(name);
    if (address.isNull())
        return false;
    if (address.isLoopback())
        return true;
    // Asked now, not at the start: the board's address may have changed meanwhile.
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    return std::any_of(own.begin(), own.end(), [&address](const QHostAddress &a) { return a.isEqual(address); });
}

bool FeedServer::admitted(const QHttpServerRequest &request, QHttpServerResponder &responder)
{
    // A page on a name rebound to this board's address must not read or command it.
    const QByteArray host = request.value("Host");
    if (!host.isEmpty() && !isOwnHost(QString::fromLatin1(host))) {
        replyError(responder, Status::MisdirectedRequest, tr("not a name of this board"));
        return false;
    }
    const QByteArray origin = request.value("Origin");
    if (!origin.isEmpty()) {
        const QUrl url(QString::fromLatin1(origin));
        if (url.scheme() != QLatin1String("http") || !isOwnHost(url.host(QUrl::FullyEncoded))) {
            replyError(responder, Status::Forbidden, tr("pages of other sites are refused"));
            return false;
        }
    }
    // No-cors requests of another site carry no Origin, but a browser names where they come from.
    const QByteArray site = request.value("Sec-Fetch-Site");
    if ((site == "cross-site" || site == "same-site") && request.value("Sec-Fetch-Mode") != "navigate") {
        replyError(responder, Status::Forbidden, tr("pages of other sites are refused"));
        return false;
    }
    return true;
}

QByteArray FeedServer::stateBytes() const
{
    return QJsonDocument(state_).toJson(QJsonDocument::Compact);
}

void FeedServer::serveState(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    if (!admitted(request, responder))
        return;
    listener_->restartDeadline(responder.socket());
    responder.write(stateBytes(), {{"Content-Type", kJson}, {"Cache-Control", "no-store"}});
}

void FeedServer::serveEvents(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    if (!admitted(request, responder))
        return;
    QTcpSocket *socket = responder.socket();
    listener_->keepOpen(socket);
    responder.writeStatusLine(Status::Ok);
    responder.writeHeaders({{"Content-Type", "text/event-stream"},
                            {"Cache-Control", "no-store"},
                            {"Connection", "keep-alive"}});
    responder.writeBody("data: " + stateBytes() + "\n\n");
    noteProgress(socket);
    events_.append(socket);
}

bool FeedServer::pinAccepted(const QHttpServerRequest &request, QHttpServerResponder &responder)
{
    switch (guard_.check(request.value("X-Pin"))) {
    case PinGuard::Verdict::Blocked:
        replyError(responder, Status::TooManyRequests,
                   tr("too many wrong PINs; try again in %1 s").arg(guard_.blockedSeconds()));
        return false;
    case PinGuard::Verdict::Missing:
    case PinGuard::Verdict::Wrong:
        replyError(responder, Status::Forbidden, tr("wrong or missing PIN"));
        return false;
    case PinGuard::Verdict::Accepted:
        break;
    }
    return true;
}

void FeedServer::servePairing(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    if (!admitted(request, responder))
        return;
    listener_->restartDeadline(responder.socket());
    if (request.method() != QHttpServerRequest::Method::Post)
        return replyError(responder, Status::MethodNotAllowed, tr("pairing is posted"));
    if (!pinAccepted(request, responder))
        return;
    const QHostAddress from = request.remoteAddress();
    bool v4 = false;
    const QHostAddress shown(from.toIPv4Address(&v4));
    const QString label = (v4 ? shown : from).toString() + QStringLiteral(", seit ")
        + QTime::currentTime().toString(QStringLiteral("HH:mm"));
    const QByteArray token = guard_.pair(from, label);
    devicesMoved();
    responder.write(tokenJson(token), {{"Content-Type", kJson}, {"Cache-Control", "no-store"}});
}

void FeedServer::serveCommand(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    if (!admitted(request, responder))
        return;
    listener_->restartDeadline(responder.socket());
    if (request.method() != QHttpServerRequest::Method::Post)
        return replyError(responder, Status::MethodNotAllowed, tr("commands are posted"));
    if (request.body().size() > kMaxBodyBytes)
        return replyError(responder, Status::PayloadTooLarge,
                          tr("a command has at most %1 bytes").arg(kMaxBodyBytes));

    const QByteArray token = request.value("X-Token");
    if (!token.isEmpty()) {
        // A wrong token is no PIN try: 128 random bits are not guessed.
        if (!guard_.knows(token, request.remoteAddress()))
            return replyError(responder, Status::Forbidden, tr("unknown device; pair again with the PIN"));
        devicesMoved();
    } else if (!pinAccepted(request, responder)) {
        return;
    }

    const FeedCommand::Parsed parsed = FeedCommand::parse(request.body());
    if (!parsed.command)
        return replyError(responder, Status::BadRequest, parsed.error);
    emit commandReceived(*parsed.command);
    responder.write(stateBytes(), {{"Content-Type", kJson}, {"Cache-Control", "no-store"}});
}

void FeedServer::servePage(const QHttpServerRequest &request, QHttpServerResponder &&responder,
                           const QString &resource)
{
    if (!admitted(request, responder))
        return;
    listener_->restartDeadline(responder.socket());
    QFile page(resource);
    if (!page.open(QIODevice::ReadOnly))
        return replyError(responder, Status::InternalServerError, tr("page missing"));
    responder.write(page.readAll(), {{"Content-Type", "text/html; charset=utf-8"},
                                     {"Cache-Control", "no-store"},
                                     {"X-Content-Type-Options", "nosniff"}});
}

void FeedServer::acceptWebSockets()
{
    while (http_ && http_->hasPendingWebSocketConnections()) {
        QWebSocket *socket = http_->nextPendingWebSocketConnection().release();
        socket->setParent(this);
        connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->requestUrl().path() != QLatin1String("/ws")) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            continue;
        }
        // The feed only speaks; what a client sends is read and thrown away, in small frames.
        socket->setMaxAllowedIncomingFrameSize(kMaxBodyBytes);
        socket->setMaxAllowedIncomingMessageSize(kMaxBodyBytes);
        socket->setReadBufferSize(options_.limits.readBufferBytes);
        listener_->keepOpen(socket->peerAddress(), socket->peerPort());
        noteProgress(socket);
        sockets_.append(socket);
        socket->sendTextMessage(QString::fromUtf8(stateBytes()));
    }
}

void FeedServer::forgetDevice(const QByteArray &token)
{
    guard_.forget(token);
    devicesMoved();
}

void FeedServer::forgetAllDevices()
{
    guard_.forgetAll();
    devicesMoved();
}

void FeedServer::devicesMoved()
{
    QSet<QHostAddress> addresses;
    for (const PinGuard::Device &device : guard_.devices())
        addresses.insert(device.address);
    if (listener_)
        listener_->setPairedAddresses(addresses);
    if (addresses == pairedAddresses_ && guard_.devices().size() == pairedCount_)
        return;
    pairedAddresses_ = addresses;
    pairedCount_ = guard_.devices().size();
    emit devicesChanged();
}

void FeedServer::keepAlive()
{
    // A stream with data waiting that took nothing since the last keep-alive has stopped
    // reading: its place goes to someone who reads.
    const auto stalled = [](const auto &socket) {
        if (!socket)
            return true;
        const bool moved = socket->property(kMovedName).toBool();
        socket->setProperty(kMovedName, false);
        if (!moved && socket->bytesToWrite() > 0) {
            socket->abort();
            return true;
        }
        return false;
    };
    events_.removeIf(stalled);
    sockets_.removeIf(stalled);
    for (const QPointer<QTcpSocket> &socket : std::as_const(events_))
        socket->write(": \n\n");
    for (const QPointer<QWebSocket> &socket : std::as_const(sockets_))
        socket->ping();
}

void FeedServer::publish(const QJsonObject &state)
{
    state_ = state;
    if (flushQueued_)
        return;
    flushQueued_ = true;
    QMetaObject::invokeMethod(this, &FeedServer::flush, Qt::QueuedConnection);
}

void FeedServer::flush()
{
    flushQueued_ = false;
    const QByteArray bytes = stateBytes();
    if (bytes == sent_)
        return;
    sent_ = bytes;
    const QByteArray event = "data: " + bytes + "\n\n";
    const QString message = QString::fromUtf8(bytes);
    for (const QPointer<QTcpSocket> &socket : std::as_const(events_)) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            socket->write(event);
    }
    for (const QPointer<QWebSocket> &socket : std::as_const(sockets_)) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            socket->sendTextMessage(message);
    }
    dropSlowStreams();
}

void FeedServer::dropSlowStreams()
{
    // SSE and WebSocket clients alike: gone, or too far behind to be worth the memory.
    const auto dropped = [this](const auto &socket) {
        if (!socket || socket->state() != QAbstractSocket::ConnectedState)
            return true;
        if (socket->bytesToWrite() <= options_.maxBacklogBytes)
            return false;
        socket->abort();
        socket->deleteLater();
        return true;
    };
    events_.removeIf(dropped);
    sockets_.removeIf(dropped);
}

int FeedServer::streamCount() const
{
    int count = 0;
    for (const auto &socket : events_)
        count += socket && socket->state() == QAbstractSocket::ConnectedState;
    for (const auto &socket : sockets_)
        count += socket && socket->state() == QAbstractSocket::ConnectedState;
    return count;
}

int FeedServer::connectionCount() const
{
    return listener_ ? listener_->connectionCount() : 0;
}
