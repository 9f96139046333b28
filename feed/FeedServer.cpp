#include "feed/FeedServer.h"

#include <QFile>
#include <QHttpServer>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QWebSocket>

namespace {
using Status = QHttpServerResponder::StatusCode;

const QByteArray kJson = QByteArrayLiteral("application/json");

QByteArray errorBody(const QString &reason)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("error"), reason}}).toJson(QJsonDocument::Compact);
}

void replyError(QHttpServerResponder &responder, Status status, const QString &reason)
{
    responder.write(errorBody(reason), kJson, status);
}
} // namespace

FeedServer::FeedServer(const TickSource &ticks, QObject *parent) : QObject(parent), guard_(ticks)
{
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
    http_ = std::make_unique<QHttpServer>();
    listener_ = listener;
    // The HTTP server takes the listener as its child.
    http_->bind(listener);
    port_ = listener->serverPort();
    route();
    connect(http_.get(), &QHttpServer::newWebSocketConnection, this, &FeedServer::acceptWebSockets);
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
    http_->route(QStringLiteral("/command"),
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     serveCommand(request, std::move(responder));
                 });
    // Qt 6.4 upgrades a WebSocket only on a route that answers nothing.
    http_->route(QStringLiteral("/ws"), Method::Get,
                 [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
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
    http_->setMissingHandler([this](const QHttpServerRequest &, QHttpServerResponder &&responder) {
        listener_->restartDeadline(responder.socket());
        replyError(responder, Status::NotFound, tr("no such resource"));
    });
}

QByteArray FeedServer::stateBytes() const
{
    return QJsonDocument(state_).toJson(QJsonDocument::Compact);
}

void FeedServer::serveState(const QHttpServerRequest &, QHttpServerResponder &&responder)
{
    listener_->restartDeadline(responder.socket());
    responder.write(stateBytes(), {{"Content-Type", kJson}, {"Cache-Control", "no-store"}});
}

void FeedServer::serveEvents(const QHttpServerRequest &, QHttpServerResponder &&responder)
{
    QTcpSocket *socket = responder.socket();
    listener_->keepOpen(socket);
    responder.writeStatusLine(Status::Ok);
    responder.writeHeaders({{"Content-Type", "text/event-stream"},
                            {"Cache-Control", "no-store"},
                            {"Connection", "keep-alive"}});
    responder.writeBody("data: " + stateBytes() + "\n\n");
    events_.append(socket);
}

void FeedServer::serveCommand(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    listener_->restartDeadline(responder.socket());
    if (request.method() != QHttpServerRequest::Method::Post)
        return replyError(responder, Status::MethodNotAllowed, tr("commands are posted"));
    if (request.body().size() > kMaxBodyBytes)
        return replyError(responder, Status::PayloadTooLarge,
                          tr("a command has at most %1 bytes").arg(kMaxBodyBytes));

    const QHostAddress from = request.remoteAddress();
    switch (guard_.check(from, request.value("X-Pin"))) {
    case PinGuard::Verdict::Blocked:
        return replyError(responder, Status::TooManyRequests,
                          tr("too many wrong PINs; try again in %1 s").arg(guard_.blockedSeconds(from)));
    case PinGuard::Verdict::Wrong:
        return replyError(responder, Status::Forbidden, tr("wrong or missing PIN"));
    case PinGuard::Verdict::Accepted:
        break;
    }

    const FeedCommand::Parsed parsed = FeedCommand::parse(request.body());
    if (!parsed.command)
        return replyError(responder, Status::BadRequest, parsed.error);
    emit commandReceived(*parsed.command);
    responder.write(stateBytes(), {{"Content-Type", kJson}, {"Cache-Control", "no-store"}});
}

void FeedServer::servePage(const QHttpServerRequest &, QHttpServerResponder &&responder,
                           const QString &resource)
{
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
        sockets_.append(socket);
        socket->sendTextMessage(QString::fromUtf8(stateBytes()));
    }
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
