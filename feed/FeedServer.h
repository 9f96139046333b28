#pragma once

#include "core/SettingsStore.h"
#include "feed/FeedCommand.h"
#include "feed/FeedListener.h"
#include "feed/PinGuard.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <memory>

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponder;
class QTcpSocket;
class QWebSocket;
class TickSource;

// The live score feed over HTTP: the state as JSON, pushed as Server-Sent Events and over a
// WebSocket, an overlay and a remote page, and commands guarded by a PIN. Everything runs on
// the caller's thread; no client can make it wait.
class FeedServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 kDefaultPort = SettingsStore::kDefaultPort;
    // The ports the feed may listen on, as the settings bound them.
    static constexpr bool isUsablePort(int port)
    {
        return port >= SettingsStore::kLowestPort && port <= SettingsStore::kHighestPort;
    }
    static constexpr qsizetype kMaxBodyBytes = 4 * 1024;

    struct Options
    {
        // 0 takes any free port (tests); port() tells which.
        quint16 port = kDefaultPort;
        // Off: only this computer reaches the feed.
        bool allInterfaces = false;
        // Six digits, or empty for a new PIN at every start.
        QString pin;
        FeedListener::Limits limits;
        // A streaming client whose unsent data passes this is dropped.
        qint64 maxBacklogBytes = 64 * 1024;
        // Idle streams get a keep-alive this often; one that has not taken the last is dropped.
        int keepAliveMs = 15'000;
        // A name the board is reached by besides its addresses (a DNS name), or empty.
        QString hostName;
    };

    explicit FeedServer(const TickSource &ticks, QObject *parent = nullptr);
    ~FeedServer() override;

    // False with errorText() set when the port cannot be had; the board goes on without feed.
    bool start(const Options &options);
    void stop();
    bool isRunning() const { return http_ != nullptr; }
    quint16 port() const { return port_; }
    QHostAddress listenAddress() const { return listener_ ? listener_->serverAddress() : QHostAddress(); }
    const QString &pin() const { return guard_.pin(); }
    const QList<PinGuard::Device> &devices() const { return guard_.devices(); }
    void forgetDevice(const QByteArray &token);
    void forgetAllDevices();
    // Names a request's Host and Origin may carry: this computer's, its addresses, the operator's.
    const QStringList &hostNames() const { return hosts_; }
    const QString &errorText() const { return error_; }

    // Several calls in one turn of the event loop reach the clients as one message.
    void publish(const QJsonObject &state);
    const QJsonObject &state() const { return state_; }

    int streamCount() const;
    int connectionCount() const;

signals:
    // Connect directly: the reply to the command carries the state published meanwhile.
    // The receiver must not stop() the server before it returns; queue that.
    void commandReceived(const FeedCommand &command);
    void devicesChanged();

private:
    void route();
    // False after refusing a request for a name or a page that is not the board's own.
    bool admitted(const QHttpServerRequest &request, QHttpServerResponder &responder);
    // False, with the answer sent, when the request's PIN does not let it through.
    bool pinAccepted(const QHttpServerRequest &request, QHttpServerResponder &responder);
    bool isOwnHost(const QString &host) const;
    void servePairing(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void devicesMoved();
    void keepAlive();
    void serveState(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void serveEvents(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void serveCommand(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void servePage(const QHttpServerRequest &request, QHttpServerResponder &&responder,
                   const QString &resource);
    void acceptWebSockets();
    void flush();
    void dropSlowStreams();
    QByteArray stateBytes() const;

    PinGuard guard_;
    Options options_;
    std::unique_ptr<QHttpServer> http_;
    QPointer<FeedListener> listener_;
    QList<QPointer<QTcpSocket>> events_;
    QList<QPointer<QWebSocket>> sockets_;
    QJsonObject state_;
    QByteArray sent_;
    bool flushQueued_ = false;
    quint16 port_ = 0;
    QString error_;
    QStringList hosts_;
    QSet<QHostAddress> pairedAddresses_;
    qsizetype pairedCount_ = 0;
    QTimer keepAlive_;
};
