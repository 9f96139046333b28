#pragma once

#include "core/ResultOutbox.h"
#include "feed/BrokerLink.h"
#include "feed/ScoreDocument.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>

class BoardModel;
struct BoardSettings;

// The board on a tournament's MQTT broker: every change of the board model goes out as the
// court's retained score, the board says it is online (its last will says offline), and a
// decided match's result waits in the outbox until the broker has acknowledged it. Topics
// and documents: docs/broker-topics.md.
class BrokerPublisher : public QObject
{
    Q_OBJECT

public:
    // The values the operator sets, as the settings keep them.
    struct Setup
    {
        bool on = false;
        QString host;
        int port = 1883;
        QString court = QStringLiteral("1");
        QString user;
        QString password;
        bool tls = false;
        QString caFile;
        bool operator==(const Setup &) const = default;
    };

    enum class State { Off, NoHost, Connecting, Connected, Unreachable, Refused };

    explicit BrokerPublisher(BoardModel &model, QObject *parent = nullptr);
    ~BrokerPublisher() override;

    void apply(const BoardSettings &settings);
    void store(BoardSettings &settings) const;

    const Setup &setup() const { return setup_; }
    // A court name or port the topics cannot carry is refused: false, and everything stays.
    bool setSetup(const Setup &setup);
    void setOn(bool on);

    State state() const { return state_; }
    qsizetype waitingResults() const { return outbox_.size(); }
    const ResultOutbox &outbox() const { return outbox_; }
    // What the broker connection is doing, in words; empty while it is off.
    QString statusText() const;
    // What the operator must hear of with the strip closed: a result the outbox could not
    // keep, and the broker not reached. Empty while all is well.
    QString noticeText() const;
    // The change counter of the last score handed to the broker, and how many went, for the
    // benchmark's count of what arrived.
    int lastPublishedChange() const { return lastChange_; }
    long publishedCount() const { return published_; }
    // "courtlyx/v1/<court>/"
    static QByteArray topicRoot(const QString &court);

signals:
    void statusChanged();
    // noticeText() has changed.
    void problem(const QString &text);

private:
    void restart();
    void changed();
    void publishScore();
    void checkDecision();
    void queueResult(const QString &id, const QByteArray &payload);
    void sendWaiting();
    void onConnected();
    void onDown(BrokerLink::Down how, const QString &why, int retrySeconds);
    void onAcknowledged(int messageId);
    QByteArray onlinePayload(bool online) const;
    QString downText(State state) const;
    QString withWaiting(QString text) const;
    void tell();

    BoardModel &model_;
    BrokerLink link_;
    ResultOutbox outbox_;
    ScoreDocument document_;
    Setup setup_;
    State state_ = State::Off;
    QString downWhy_;
    int retrySeconds_ = 0;
    bool changeQueued_ = false;
    QByteArray lastScore_;
    int lastChange_ = -1;
    long published_ = 0;
    // The match whose result stands (waiting or delivered) and has not been cleared.
    QString standing_;
    bool decisionsWatched_ = false;
    bool undoneNow_ = false;
    // Results handed to the broker and not yet acknowledged, by message id.
    std::map<int, ResultOutbox::Entry> inFlight_;
    QString told_;
};
