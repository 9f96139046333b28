#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QTcpServer>

class QTcpSocket;

// The feed's listening socket. It caps the open connections in all and per address, keeps
// a reserve for the addresses of paired devices, bounds what one connection may buffer, and
// closes a connection that does not finish its next request in time, so that slow or stuck
// clients cost a bounded amount of memory and never the GUI thread or a paired remote.
class FeedListener : public QTcpServer
{
    Q_OBJECT

public:
    struct Limits
    {
        int maxConnections = 256;
        // Of those, kept for addresses a paired device used.
        int reservedForPaired = 32;
        // Connections of one address that are not held streams.
        int maxPerAddress = 64;
        // Held streams of one address; a new one beyond this closes that address's oldest.
        int maxStreamsPerAddress = 64;
        // A request's headers and body must fit; a longer one stalls and times out.
        qint64 readBufferBytes = 16 * 1024;
        // Headers longer than this get 431, a body announced longer 413, at once.
        qint64 maxHeaderBytes = 8 * 1024;
        qint64 maxBodyBytes = 4 * 1024;
        int requestTimeoutMs = 10'000;
    };

    explicit FeedListener(const Limits &limits, QObject *parent = nullptr);

    int connectionCount() const { return connections_; }
    void setPairedAddresses(QSet<QHostAddress> addresses) { paired_ = std::move(addresses); }
    // A completed request gives the connection a new deadline for its next one.
    void restartDeadline(QTcpSocket *socket);
    // An event stream or a WebSocket stays open without a deadline.
    void keepOpen(QTcpSocket *socket);
    void keepOpen(const QHostAddress &peer, quint16 peerPort);

protected:
    void incomingConnection(qintptr handle) override;

private:
    class Token;
    class Socket;
    bool admits(const QHostAddress &peer) const;
    // Reads ahead of the HTTP server what it has not yet seen: sizes it would wait for.
    void scan(Socket *socket);
    void refuse(Socket *socket, const char *reply);

    Limits limits_;
    int connections_ = 0;
    QHash<QHostAddress, int> open_;
    QHash<QHostAddress, QList<QPointer<QTcpSocket>>> held_;
    QSet<QHostAddress> paired_;
};
