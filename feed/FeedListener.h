#pragma once

#include <QHostAddress>
#include <QTcpServer>

class QTcpSocket;

// The feed's listening socket. It caps the open connections, bounds what one connection
// may buffer, and closes a connection that does not finish its next request in time, so
// that slow or stuck clients cost a bounded amount of memory and never the GUI thread.
class FeedListener : public QTcpServer
{
    Q_OBJECT

public:
    struct Limits
    {
        int maxConnections = 256;
        // A request's headers and body must fit; a longer one stalls and times out.
        qint64 readBufferBytes = 16 * 1024;
        int requestTimeoutMs = 10'000;
    };

    explicit FeedListener(const Limits &limits, QObject *parent = nullptr);

    int connectionCount() const { return connections_; }
    // A completed request gives the connection a new deadline for its next one.
    void restartDeadline(QTcpSocket *socket);
    // An event stream or a WebSocket stays open without a deadline.
    void keepOpen(QTcpSocket *socket);
    void keepOpen(const QHostAddress &peer, quint16 peerPort);

protected:
    void incomingConnection(qintptr handle) override;

private:
    class Token;

    Limits limits_;
    int connections_ = 0;
};
