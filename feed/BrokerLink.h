#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

// The board's MQTT connection to a tournament's broker, on libmosquitto. Connecting, the
// name look-up, keep-alive and reconnecting run on a thread of the link's own; the board's
// thread only hands messages over and hears what happened by queued signals, so a broker
// that is slow or gone never holds the board up.
class BrokerLink : public QObject
{
    Q_OBJECT

public:
    // A dead board's will fires after 1.5 keep-alives: offline within 15 s.
    static constexpr int kKeepAliveSeconds = 5;
    // Waits between attempts grow to this, so a returning broker is met within 5 s.
    static constexpr int kLongestRetrySeconds = 4;
    // After a refused log-in the broker is asked again less often.
    static constexpr int kRefusedRetrySeconds = 10;
    // An attempt the broker does not answer is given up after this.
    static constexpr int kConnectTimeoutSeconds = 10;

    struct Options
    {
        QString host;
        int port = 1883;
        QString user;
        QString password;
        bool tls = false;
        // Empty with TLS: the system's certificates.
        QString caFile;
        QString clientId;
        // The last will, sent by the broker when the board goes without a word, and what
        // the board says itself when it closes cleanly.
        QByteArray willTopic;
        QByteArray willPayload;
        QByteArray closingPayload;
    };

    enum class Down { Unreachable, Refused, Lost };
    // What the link and its thread share; the thread keeps it alive past the link.
    struct Shared;

    explicit BrokerLink(QObject *parent = nullptr);
    // Says the closing message and disconnects, waiting for that at most a second.
    ~BrokerLink() override;

    void start(const Options &options);
    void stop();
    bool isRunning() const;
    bool isConnected() const;

    // Hands a message over; the message id a QoS 1 message's acknowledgement names, 0 for
    // QoS 0, -1 when there is no connection to send it on.
    int publish(const QByteArray &topic, const QByteArray &payload, int qos, bool retain);

signals:
    void connected();
    // The connection failed or went; the next attempt comes in retrySeconds. `why` in words.
    void down(BrokerLink::Down how, const QString &why, int retrySeconds);
    // The broker acknowledged the QoS 1 message of this id.
    void acknowledged(int messageId);

private:
    static void run(std::shared_ptr<Shared> shared);
    std::shared_ptr<Shared> shared_;
};
