#include "feed/FeedListener.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {
const char kDeadlineName[] = "courtlyx-feed-deadline";
constexpr char kBusyReply[] = "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\n"
                              "Content-Length: 0\r\n\r\n";
constexpr char kHeadersTooLarge[] = "HTTP/1.1 431 Request Header Fields Too Large\r\nConnection: close\r\n"
                                   "Content-Type: application/json\r\nContent-Length: 35\r\n\r\n"
                                   "{\"error\":\"headers of at most 8 KB\"}";
constexpr char kBodyTooLarge[] = "HTTP/1.1 413 Payload Too Large\r\nConnection: close\r\n"
                                 "Content-Type: application/json\r\nContent-Length: 41\r\n\r\n"
                                 "{\"error\":\"a body has at most 4096 bytes\"}";
constexpr char kLengthRequired[] = "HTTP/1.1 411 Length Required\r\nConnection: close\r\n"
                                   "Content-Length: 0\r\n\r\n";

// The value of a header in a request's head, empty when it has none.
QByteArray headerValue(const QByteArray &head, const QByteArray &name)
{
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}
} // namespace

// Keeps what the scan found, and answers an HTTP/1.0 request as 1.0 and then closes: the
// HTTP server answers every request as 1.1 and would hold the connection open.
class FeedListener::Socket : public QTcpSocket
{
public:
    using QTcpSocket::QTcpSocket;

    QByteArray head;
    qint64 bodyLeft = 0;
    bool oldHttp = false;

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        if (!oldHttp || size < 9 || std::memcmp(data, "HTTP/1.1 ", 9) != 0)
            return QTcpSocket::writeData(data, size);
        oldHttp = false;
        // After the whole answer is written; a stream (its deadline gone) stays open.
        QMetaObject::invokeMethod(this, [this] {
            if (findChild<QTimer *>(QLatin1String(kDeadlineName)))
                disconnectFromHost();
        }, Qt::QueuedConnection);
        QByteArray answer(data, size);
        answer[7] = '0';
        return QTcpSocket::writeData(answer.constData(), size);
    }
};

// Lives as a child of its socket, so the counts stay right however the socket goes: the
// HTTP server disconnects every signal of a socket it hands over to the WebSocket server.
class FeedListener::Token : public QObject
{
public:
    Token(FeedListener *listener, QObject *socket, const QHostAddress &peer)
        : QObject(socket), listener_(listener), peer_(peer)
    {
        ++listener_->connections_;
        ++listener_->open_[peer_];
    }
    ~Token() override
    {
        if (!listener_)
            return;
        --listener_->connections_;
        if (!held_ && --listener_->open_[peer_] <= 0)
            listener_->open_.remove(peer_);
    }
    // From the address's open requests to its held streams.
    bool hold()
    {
        if (held_)
            return false;
        held_ = true;
        if (--listener_->open_[peer_] <= 0)
            listener_->open_.remove(peer_);
        return true;
    }

private:
    QPointer<FeedListener> listener_;
    QHostAddress peer_;
    bool held_ = false;
};

FeedListener::FeedListener(const Limits &limits, QObject *parent)
    : QTcpServer(parent), limits_(limits)
{
}

bool FeedListener::admits(const QHostAddress &peer) const
{
    if (connections_ >= limits_.maxConnections)
        return false;
    if (open_.value(peer) >= limits_.maxPerAddress)
        return false;
    return paired_.contains(peer) || connections_ < limits_.maxConnections - limits_.reservedForPaired;
}

void FeedListener::incomingConnection(qintptr handle)
{
    auto *socket = new Socket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    if (!admits(peer)) {
        socket->write(kBusyReply, sizeof kBusyReply - 1);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        return;
    }
    new Token(this, socket, peer);
    socket->setReadBufferSize(limits_.readBufferBytes);

    auto *deadline = new QTimer(socket);
    deadline->setObjectName(QLatin1String(kDeadlineName));
    deadline->setSingleShot(true);
    // The timer is the socket's child, not a receiver of its signals: it survives the
    // HTTP server dropping every connection of a socket it could not parse.
    connect(deadline, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    deadline->start(limits_.requestTimeoutMs);
    // Before the HTTP server's own: it sees each new byte after the scan has.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { scan(socket); });
    addPendingConnection(socket);
}

void FeedListener::scan(Socket *socket)
{
    // The HTTP server reads all there is each time, so what is left is new.
    const QByteArray fresh = socket->peek(socket->bytesAvailable());
    qsizetype at = 0;
    while (at < fresh.size()) {
        if (socket->bodyLeft > 0) {
            const qint64 take = std::min<qint64>(socket->bodyLeft, fresh.size() - at);
            socket->bodyLeft -= take;
            at += take;
            continue;
        }
        const qsizetype before = socket->head.size();
        socket->head += fresh.mid(at);
        const qsizetype end = socket->head.indexOf("\r\n\r\n", std::max<qsizetype>(0, before - 3));
        if (end < 0 ? socket->head.size() > limits_.maxHeaderBytes : end + 4 > limits_.maxHeaderBytes)
            return refuse(socket, kHeadersTooLarge);
        if (end < 0)
            return;
        const QByteArray head = socket->head.left(end);
        const QByteArray requestLine = head.split('\r').constFirst();
        socket->oldHttp = requestLine.endsWith(" HTTP/1.0");
        if (!headerValue(head, "Transfer-Encoding").isEmpty())
            return refuse(socket, kLengthRequired);
        bool ok = true;
        const QByteArray length = headerValue(head, "Content-Length");
        const qint64 bodyBytes = length.isEmpty() ? 0 : length.toLongLong(&ok);
        if (!ok || bodyBytes < 0 || bodyBytes > limits_.maxBodyBytes)
            return refuse(socket, kBodyTooLarge);
        socket->bodyLeft = bodyBytes;
        at += end + 4 - before;
        socket->head.clear();
    }
}

void FeedListener::refuse(Socket *socket, const char *reply)
{
    // Nothing more of this connection reaches the HTTP server; the answer goes, then it closes.
    disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    socket->oldHttp = false;
    socket->write(reply, qint64(std::strlen(reply)));
    socket->disconnectFromHost();
}

void FeedListener::restartDeadline(QTcpSocket *socket)
{
    if (auto *deadline = socket ? socket->findChild<QTimer *>(QLatin1String(kDeadlineName)) : nullptr) {
        if (deadline->isActive())
            deadline->start(limits_.requestTimeoutMs);
    }
}

void FeedListener::keepOpen(QTcpSocket *socket)
{
    if (!socket)
        return;
    delete socket->findChild<QTimer *>(QLatin1String(kDeadlineName));
    // A small kernel buffer, so that a stream that stops reading shows as unsent data soon.
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 16 * 1024);
    // Token has no meta-object of its own, so findChild would take any child for it.
    Token *token = nullptr;
    for (QObject *child : socket->children()) {
        if ((token = dynamic_cast<Token *>(child)))
            break;
    }
    if (!token || !token->hold())
        return;
    const QHostAddress peer = socket->peerAddress();
    QList<QPointer<QTcpSocket>> &streams = held_[peer];
    const auto gone = [](const QPointer<QTcpSocket> &s) { return !s || s->state() != QAbstractSocket::ConnectedState; };
    for (auto &list : held_)
        list.removeIf(gone);
    streams.append(socket);
    // The newest wins: a page that reloads gets its stream, and one address cannot hold more.
    while (streams.size() > limits_.maxStreamsPerAddress) {
        // Aborted only: the HTTP or WebSocket server that owns it deletes it.
        if (QPointer<QTcpSocket> oldest = streams.takeFirst())
            oldest->abort();
    }
    if (held_.size() > limits_.maxConnections)
        held_.removeIf([](const auto &entry) { return entry.value().isEmpty(); });
}

void FeedListener::keepOpen(const QHostAddress &peer, quint16 peerPort)
{
    for (QTcpSocket *socket : findChildren<QTcpSocket *>()) {
        if (socket->peerPort() == peerPort && socket->peerAddress().isEqual(peer)) {
            keepOpen(socket);
            return;
        }
    }
}
