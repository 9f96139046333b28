#include "feed/BrokerPublisher.h"

#include "core/BoardModel.h"
#include "core/BoardSettings.h"
#include "core/SettingsStore.h"
#include "feed/ResultDocument.h"

#include <QJsonDocument>
#include <QRandomGenerator>

BrokerPublisher::BrokerPublisher(BoardModel &model, QObject *parent)
    : QObject(parent), model_(model), outbox_(model.journal().folder())
{
    connect(&model_, &BoardModel::shownStateChanged, this, &BrokerPublisher::changed);
    connect(&model_, &BoardModel::undone, this, [this] { undoneNow_ = true; });
    connect(&model_, &BoardModel::commandRan, this, &BrokerPublisher::checkDecision);
    connect(&link_, &BrokerLink::connected, this, &BrokerPublisher::onConnected);
    connect(&link_, &BrokerLink::down, this, &BrokerPublisher::onDown);
    connect(&link_, &BrokerLink::acknowledged, this, &BrokerPublisher::onAcknowledged);
}

BrokerPublisher::~BrokerPublisher() = default;

QByteArray BrokerPublisher::topicRoot(const QString &court)
{
    return "courtlyx/v1/" + court.toUtf8() + '/';
}

void BrokerPublisher::apply(const BoardSettings &s)
{
    Setup setup;
    setup.on = s.Broker;
    setup.host = s.BrokerHost;
    setup.port = s.BrokerPort;
    setup.court = s.BrokerCourt;
    setup.user = s.BrokerUser;
    setup.password = s.BrokerPassword;
    setup.tls = s.BrokerTls;
    setup.caFile = s.BrokerCaFile;
    if (!setSetup(setup)) {
        // What the store lets through is valid; a court or port set in code may not be.
        setup.court = setup_.court;
        setup.port = setup_.port;
        setSetup(setup);
    }
}

void BrokerPublisher::store(BoardSettings &s) const
{
    s.Broker = setup_.on;
    s.BrokerHost = setup_.host;
    s.BrokerPort = setup_.port;
    s.BrokerCourt = setup_.court;
    s.BrokerUser = setup_.user;
    s.BrokerPassword = setup_.password;
    s.BrokerTls = setup_.tls;
    s.BrokerCaFile = setup_.caFile;
}

bool BrokerPublisher::setSetup(const Setup &setup)
{
    if (!SettingsStore::isCourtName(setup.court) || setup.port < 1 || setup.port > SettingsStore::kHighestPort)
        return false;
    Setup next = setup;
    next.host = next.host.trimmed();
    if (next == setup_ && (link_.isRunning() || state_ != State::Off))
        return true;
    setup_ = next;
    restart();
    return true;
}

void BrokerPublisher::setOn(bool on)
{
    Setup next = setup_;
    next.on = on;
    setSetup(next);
}

void BrokerPublisher::restart()
{
    if (link_.isRunning())
        link_.stop();
    inFlight_.clear();
    lastScore_.clear();
    downWhy_.clear();
    if (!setup_.on) {
        state_ = State::Off;
    } else if (setup_.host.isEmpty()) {
        state_ = State::NoHost;
    } else {
        BrokerLink::Options o;
        o.host = setup_.host;
        o.port = setup_.port;
        o.user = setup_.user;
        o.password = setup_.password;
        o.tls = setup_.tls;
        o.caFile = setup_.caFile;
        // Unique, so that a second board set to the same court does not take this one's session.
        o.clientId = QStringLiteral("courtlyx-%1-%2")
                         .arg(setup_.court)
                         .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0'));
        o.willTopic = topicRoot(setup_.court) + "online";
        o.willPayload = onlinePayload(false);
        o.closingPayload = onlinePayload(false);
        state_ = State::Connecting;
        link_.start(o);
    }
    tell();
    emit statusChanged();
}

QByteArray BrokerPublisher::onlinePayload(bool online) const
{
    const QJsonObject doc{{QStringLiteral("version"), 1},
                          {QStringLiteral("court"), setup_.court},
                          {QStringLiteral("online"), online}};
    return QJsonDocument(doc).toJson(QJsonDocument::Compact);
}

void BrokerPublisher::changed()
{
    if (changeQueued_ || state_ != State::Connected)
        return;
    changeQueued_ = true;
    // Once per turn of the event loop, with the state as it stands then: a burst of changes
    // goes out as its last state.
    QMetaObject::invokeMethod(this, &BrokerPublisher::publishScore, Qt::QueuedConnection);
}

void BrokerPublisher::publishScore()
{
    changeQueued_ = false;
    if (state_ != State::Connected)
        return;
    const QByteArray payload = QJsonDocument(document_.update(model_)).toJson(QJsonDocument::Compact);
    if (payload == lastScore_)
        return;
    if (link_.publish(topicRoot(setup_.court) + "score", payload, 0, true) < 0)
        return;
    lastScore_ = payload;
    lastChange_ = document_.current()[QStringLiteral("change")].toInt();
    ++published_;
}

void BrokerPublisher::checkDecision()
{
    const bool undone = std::exchange(undoneNow_, false);
    if (!model_.journal().isStarted())
        return;
    const QString id = model_.journal().matchId();
    const bool decided = model_.winner() != 0;
    if (!decisionsWatched_) {
        // A match decided before this start was queued in the run that decided it.
        decisionsWatched_ = true;
        if (decided)
            standing_ = id;
        return;
    }
    if (decided && standing_ != id && !id.isEmpty()) {
        standing_ = id;
        if (setup_.on) {
            const QJsonObject result = ResultDocument::build(model_, setup_.court, QDateTime::currentDateTime());
            queueResult(id, QJsonDocument(result).toJson(QJsonDocument::Compact));
        }
    } else if (!decided && undone && standing_ == id && !id.isEmpty()) {
        // Reopened: the retained result is taken back; a reset leaves it standing.
        standing_.clear();
        if (setup_.on)
            queueResult(id, QByteArray());
    }
}

void BrokerPublisher::queueResult(const QString &id, const QByteArray &payload)
{
    outbox_.put(id, payload);
    sendWaiting();
    tell();
    emit statusChanged();
}

void BrokerPublisher::sendWaiting()
{
    if (state_ != State::Connected)
        return;
    for (const ResultOutbox::Entry &entry : outbox_.waiting()) {
        const bool sent = std::any_of(inFlight_.begin(), inFlight_.end(),
                                      [&entry](const auto &f) { return f.second == entry; });
        if (sent)
            continue;
        const int mid = link_.publish(topicRoot(setup_.court) + "result/" + entry.id.toUtf8(), entry.payload, 1, true);
        if (mid > 0)
            inFlight_[mid] = entry;
    }
}

void BrokerPublisher::onConnected()
{
    state_ = State::Connected;
    downWhy_.clear();
    inFlight_.clear();
    lastScore_.clear();
    link_.publish(topicRoot(setup_.court) + "online", onlinePayload(true), 1, true);
    publishScore();
    sendWaiting();
    tell();
    emit statusChanged();
}

void BrokerPublisher::onDown(BrokerLink::Down how, const QString &why, int retrySeconds)
{
    state_ = how == BrokerLink::Down::Refused ? State::Refused : State::Unreachable;
    downWhy_ = why;
    retrySeconds_ = retrySeconds;
    // Whatever was not acknowledged goes again on the next connection.
    inFlight_.clear();
    tell();
    emit statusChanged();
}

void BrokerPublisher::onAcknowledged(int messageId)
{
    const auto it = inFlight_.find(messageId);
    if (it == inFlight_.end())
        return;
    outbox_.delivered(it->second.id, it->second.payload);
    inFlight_.erase(it);
    tell();
    emit statusChanged();
}

QString BrokerPublisher::statusText() const
{
    const QString where = QStringLiteral("%1:%2").arg(setup_.host).arg(setup_.port);
    switch (state_) {
    case State::Off:
        return {};
    case State::Connecting:
        return withWaiting(QStringLiteral("Broker: verbinde mit %1 \u2026").arg(where));
    case State::Connected:
        return withWaiting(QStringLiteral("Broker: verbunden mit %1 als Platz %2").arg(where, setup_.court));
    default:
        return withWaiting(downText(state_));
    }
}

QString BrokerPublisher::downText(State state) const
{
    switch (state) {
    case State::NoHost:
        return QStringLiteral("Broker: kein Rechner eingetragen");
    case State::Refused:
        return downWhy_ == QStringLiteral("Anmeldung abgelehnt")
                   ? QStringLiteral("Broker: Anmeldung abgelehnt \u2013 neuer Versuch in %1 s").arg(retrySeconds_)
                   : QStringLiteral("Broker: %1 \u2013 neuer Versuch in %2 s").arg(downWhy_).arg(retrySeconds_);
    case State::Unreachable:
        return QStringLiteral("Broker nicht erreichbar (%1) \u2013 neuer Versuch in %2 s").arg(downWhy_).arg(retrySeconds_);
    default:
        return {};
    }
}

QString BrokerPublisher::withWaiting(QString text) const
{
    if (const qsizetype n = outbox_.size(); n > 0)
        text += n == 1 ? QStringLiteral("; 1 Ergebnis wartet auf den Broker")
                       : QStringLiteral("; %1 Ergebnisse warten auf den Broker").arg(n);
    return text;
}

QString BrokerPublisher::noticeText() const
{
    QStringList lines;
    if (const QString kept = outbox_.problemText(); !kept.isEmpty())
        lines << kept;
    if (const QString down = downText(state_); !down.isEmpty())
        lines << withWaiting(down);
    return lines.join(u'\n');
}

void BrokerPublisher::tell()
{
    if (const QString text = noticeText(); text != told_) {
        told_ = text;
        emit problem(text);
    }
}
