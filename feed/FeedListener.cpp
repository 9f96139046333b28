#include "feed/FeedListener.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {
const char kDeadlineName[] = "courtlyx-feed-deadline";
constexpr char kBusyReply[] = "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\n"
                              "Content-Length: 0\r\n\r\n";
} // namespace

// Lives as a child of its socket, so the count stays right however the socket goes: the
// HTTP server disconnects every signal of a socket it hands over to the WebSocket server.
class FeedListener::Token : public QObject
{
public:
    Token(FeedListener *listener, QObject *socket) : QObject(socket), listener_(listener)
    {
        ++listener_->connections_;
    }
    ~Token() override
    {
        if (listener_)
            --listener_->connections_;
    }

private:
    QPointer<FeedListener> listener_;
};

FeedListener::FeedListener(const Limits &limits, QObject *parent)
    : QTcpServer(parent), limits_(limits)
{
}

void FeedListener::incomingConnection(qintptr handle)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (connections_ >= limits_.maxConnections) {
        socket->write(kBusyReply, sizeof kBusyReply - 1);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        return;
    }
    new Token(this, socket);
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
    if (socket)
        delete socket->findChild<QTimer *>(QLatin1String(kDeadlineName));
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
