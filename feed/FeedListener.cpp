#include "feed/FeedListener.h"

#include <QTcpSocket>
#include <QTimer>

namespace {
const char kDeadlineName[] = "courtlyx-feed-deadline";
constexpr char kBusyReply[] = "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\n"
                              "Content-Length: 0\r\n\r\n";
} // namespace

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
    auto *socket = new QTcpSocket(this);
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
    addPendingConnection(socket);
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
