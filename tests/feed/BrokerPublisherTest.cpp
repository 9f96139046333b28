#include "core/BoardModel.h"
#include "core/BoardSettings.h"
#include "core/MatchRecord.h"
#include "feed/BrokerPublisher.h"
#include "tests/core/FakeTicks.h"
#include "tests/core/MatchRecordsCsv.h"
#include "tests/feed/BrokerKit.h"
#include "tests/feed/SchemaCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using Kind = MatchCommand::Kind;

// A set to two games without advantage: eight points of side 1 decide it.
constexpr auto kShortFormat = "SET1-S:2NOAD";

QJsonObject json(const QByteArray &payload)
{
    return QJsonDocument::fromJson(payload).object();
}

// The board model and its broker publisher on a data folder that outlives a restart.
class BrokerBoard
{
public:
    BrokerBoard(const QString &folder, quint16 port, const QString &court = QStringLiteral("3"))
        : model(ticks, folder)
    {
        model.execute(MatchCommand::format(QString::fromLatin1(kShortFormat)));
        model.start(QString());
        BoardSettings s;
        s.Broker = true;
        s.BrokerHost = QStringLiteral("127.0.0.1");
        s.BrokerPort = port;
        s.BrokerCourt = court;
        publisher.apply(s);
    }
    bool connected(int ms = 8000)
    {
        return waitFor([this] { return publisher.state() == BrokerPublisher::State::Connected; }, ms);
    }
    void points(int side, int count)
    {
        if (model.timer().MatchPhase() == MatchTimer::NotStarted)
            model.execute(MatchCommand::of(Kind::Play));
        for (int i = 0; i < count; ++i)
            model.execute(MatchCommand::point(side));
    }

    FakeTicks ticks;
    BoardModel model;
    BrokerPublisher publisher{model};
};

class BrokerPublishing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Mosquitto::installed())
            GTEST_SKIP() << "mosquitto and mosquitto-clients are not installed (scripts/test.sh installs them)";
        ASSERT_TRUE(broker.start());
    }
    QString topic(const char *leaf) const { return QStringLiteral("courtlyx/v1/3/") + QLatin1String(leaf); }

    QTemporaryDir data;
    Mosquitto broker;
};

} // namespace

TEST_F(BrokerPublishing, EveryChangeIsTheRetainedScoreAndTheBoardSaysItIsOnline)
{
    BrokerBoard board(data.path(), broker.port);
    ASSERT_TRUE(board.connected());
    EXPECT_EQ(board.publisher.statusText(),
              QStringLiteral("Broker: verbunden mit 127.0.0.1:%1 als Platz 3").arg(broker.port));
    Subscriber live(broker.port, topic("score"));
    board.points(1, 1);
    board.points(2, 2);
    ASSERT_TRUE(waitFor([&] {
        const QList<QByteArray> got = live.on(topic("score"));
        return !got.isEmpty() && json(got.last())["sides"][1]["points"] == "30";
    }));
    const std::optional<QByteArray> retained = retainedOn(broker.port, topic("score"));
    ASSERT_TRUE(retained);
    const QJsonObject score = json(*retained);
    EXPECT_EQ(score["sides"][0]["points"], "15");
    EXPECT_EQ(score["sides"][1]["points"], "30");
    EXPECT_EQ(score["winner"], 0);
    EXPECT_EQ(score["format"], QLatin1String(kShortFormat));
    const std::optional<QByteArray> online = retainedOn(broker.port, topic("online"));
    ASSERT_TRUE(online);
    EXPECT_EQ(json(*online), (QJsonObject{{"version", 1}, {"court", "3"}, {"online", true}}));
    // A command that changes nothing of the document sends nothing (once the running clock
    // has put its first text).
    waitFor([] { return false; }, 500);
    const qsizetype sent = live.on(topic("score")).size();
    board.model.execute(MatchCommand::colour(4, clRed));
    board.model.execute(MatchCommand::typedNames(QStringLiteral("Name 1"), QStringLiteral("Name 2")));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(live.on(topic("score")).size(), sent);
    // Each state went out after the one before: the last is the board's.
    QList<QJsonObject> documents;
    qint64 change = 0;
    for (const QByteArray &p : live.on(topic("score"))) {
        documents << json(p);
        EXPECT_GT(documents.last()["change"].toInteger(), change);
        change = documents.last()["change"].toInteger();
    }
    expectSchemaValid(documents);
}

TEST_F(BrokerPublishing, AResultDecidedWhileTheBrokerIsDownArrivesOnceAfterARestartOfBoardAndBroker)
{
    QString id;
    QByteArray waiting;
    {
        BrokerBoard board(data.path(), broker.port);
        ASSERT_TRUE(board.connected());
        broker.stop();
        ASSERT_TRUE(waitFor([&] { return board.publisher.state() == BrokerPublisher::State::Unreachable; }));
        board.points(2, 1);
        board.points(1, 8);
        ASSERT_EQ(board.model.winner(), 1);
        id = board.model.journal().matchId();
        EXPECT_EQ(board.publisher.waitingResults(), 1);
        EXPECT_TRUE(board.publisher.statusText().startsWith(QStringLiteral("Broker nicht erreichbar (")))
            << board.publisher.statusText().toStdString();
        EXPECT_TRUE(board.publisher.statusText().endsWith(QStringLiteral("; 1 Ergebnis wartet auf den Broker")));
        QFile file(QDir(data.path()).filePath(QStringLiteral("outbox/%1.json").arg(id)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "kept on disk";
        waiting = file.readAll();
        ASSERT_TRUE(board.model.end());
    }
    ASSERT_TRUE(broker.start());
    Subscriber results(broker.port, topic("result/#"));
    BrokerBoard again(data.path(), broker.port);
    ASSERT_TRUE(again.connected());
    ASSERT_TRUE(waitFor([&] { return again.publisher.waitingResults() == 0; }));
    EXPECT_FALSE(QFile::exists(QDir(data.path()).filePath(QStringLiteral("outbox/%1.json").arg(id))));
    waitFor([] { return false; }, 500);
    const QList<QByteArray> got = results.on(topic("result/") + id);
    ASSERT_EQ(got.size(), 1) << "exactly once";
    EXPECT_EQ(got.first(), waiting);
    const QJsonObject result = json(got.first());
    EXPECT_EQ(result["id"], id);
    EXPECT_EQ(result["court"], "3");
    EXPECT_EQ(result["winner"], 1);
    EXPECT_EQ(result["winnerName"], "Name 1");
    EXPECT_EQ(result["sets"], QJsonArray{"2-0"});
    EXPECT_EQ(result["score"], "2-0");
    EXPECT_EQ(result["format"], QLatin1String(kShortFormat));
    // The match id is its start: "20261209-100005" began at 2026-12-09T10:00:05, local time.
    const QString start = QStringLiteral("%1-%2-%3T%4:%5:%6")
                              .arg(id.mid(0, 4), id.mid(4, 2), id.mid(6, 2), id.mid(9, 2), id.mid(11, 2), id.mid(13, 2));
    const QRegularExpression withOffset(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
    EXPECT_TRUE(result["start"].toString().startsWith(start)) << result["start"].toString().toStdString();
    EXPECT_TRUE(withOffset.match(result["start"].toString()).hasMatch());
    EXPECT_TRUE(withOffset.match(result["end"].toString()).hasMatch()) << result["end"].toString().toStdString();
    // The record is the match's line of the records, column by column.
    QFile csv(QDir(data.path()).filePath(QStringLiteral("records/matches.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    const QList<QByteArray> line = MatchRecordsCsv::splitLine(lines[1]);
    const QStringList header = MatchRecord::csvHeader().split(u',');
    ASSERT_EQ(result["record"].toObject().size(), header.size());
    for (qsizetype i = 0; i < header.size(); ++i)
        EXPECT_EQ(result["record"][header[i]].toString(), QString::fromUtf8(line.value(i))) << header[i].toStdString();
    EXPECT_EQ(result["record"]["winner"], "1");
    EXPECT_EQ(result["pbp"], QString::fromUtf8(line.value(8)));
    expectSchemaValid({result}, QStringLiteral(COURTLYX_BROKER_RESULT_SCHEMA));
    expectSchemaValid({json(*retainedOn(broker.port, topic("score")))});
}

TEST_F(BrokerPublishing, AnUndoThatReopensTheMatchClearsItsResultAndTheNextDecisionBringsItBack)
{
    BrokerBoard board(data.path(), broker.port);
    ASSERT_TRUE(board.connected());
    board.points(1, 8);
    const QString result = topic("result/") + board.model.journal().matchId();
    ASSERT_TRUE(waitFor([&] { return board.publisher.waitingResults() == 0 && retainedOn(broker.port, result); }));
    EXPECT_EQ(json(*retainedOn(broker.port, topic("score")))["winner"], 1);

    board.model.execute(MatchCommand::of(Kind::Undo));
    ASSERT_EQ(board.model.winner(), 0);
    ASSERT_TRUE(waitFor([&] { return board.publisher.waitingResults() == 0 && !retainedOn(broker.port, result); }));

    board.model.execute(MatchCommand::of(Kind::Redo));
    ASSERT_TRUE(waitFor([&] { return retainedOn(broker.port, result).has_value(); }));
    EXPECT_EQ(json(*retainedOn(broker.port, result))["winner"], 1);

    // A reset ends the match; its result stands, and undoing the reset sends nothing new.
    Subscriber later(broker.port, topic("result/#"));
    waitFor([] { return false; }, 300);
    const qsizetype retainedCopies = later.messages().size();
    board.model.execute(MatchCommand::of(Kind::Reset));
    board.model.execute(MatchCommand::of(Kind::Undo));
    waitFor([] { return false; }, 500);
    EXPECT_EQ(later.messages().size(), retainedCopies);
    EXPECT_TRUE(retainedOn(broker.port, result).has_value());
}

TEST_F(BrokerPublishing, AWrongPasswordIsSaidInWords)
{
    broker.stop();
    Mosquitto guarded;
    guarded.requireUser(QStringLiteral("court-3"), QStringLiteral("right"));
    ASSERT_TRUE(guarded.start());
    BrokerBoard board(data.path(), guarded.port);
    BrokerPublisher::Setup setup = board.publisher.setup();
    setup.user = QStringLiteral("court-3");
    setup.password = QStringLiteral("wrong");
    ASSERT_TRUE(board.publisher.setSetup(setup));
    ASSERT_TRUE(waitFor([&] { return board.publisher.state() == BrokerPublisher::State::Refused; }));
    EXPECT_EQ(board.publisher.statusText(), QStringLiteral("Broker: Anmeldung abgelehnt \u2013 neuer Versuch in 10 s"));
    setup.password = QStringLiteral("right");
    ASSERT_TRUE(board.publisher.setSetup(setup));
    EXPECT_TRUE(board.connected());
}

TEST_F(BrokerPublishing, WithoutABrokerTheBoardPlaysOnAndSaysSo)
{
    const quint16 nobody = quietPort();
    BrokerBoard board(data.path(), nobody);
    ASSERT_TRUE(waitFor([&] { return board.publisher.state() == BrokerPublisher::State::Unreachable; }));
    EXPECT_EQ(board.publisher.statusText(),
              QStringLiteral("Broker nicht erreichbar (Verbindung abgelehnt) \u2013 neuer Versuch in 1 s"));
    board.points(1, 3);
    EXPECT_EQ(board.model.pointsText(1), "40");
    // A court the topics cannot carry is refused and the old one stays.
    BrokerPublisher::Setup setup = board.publisher.setup();
    setup.court = QStringLiteral("Platz 3");
    EXPECT_FALSE(board.publisher.setSetup(setup));
    EXPECT_EQ(board.publisher.setup().court, "3");
    board.publisher.setOn(false);
    EXPECT_EQ(board.publisher.state(), BrokerPublisher::State::Off);
    EXPECT_TRUE(board.publisher.statusText().isEmpty());
}

TEST_F(BrokerPublishing, OverTlsTheBrokersCertificateIsCheckedAgainstTheCaFile)
{
    broker.stop();
    Mosquitto secured;
    const QString ca = secured.requireTls();
    ASSERT_FALSE(ca.isEmpty()) << "openssl made no certificates";
    ASSERT_TRUE(secured.start());
    BrokerBoard board(data.path(), secured.port);
    BrokerPublisher::Setup setup = board.publisher.setup();
    // Without TLS the listener answers nothing a client understands.
    ASSERT_TRUE(waitFor([&] { return board.publisher.state() == BrokerPublisher::State::Unreachable; }, 12000));
    setup.tls = true;
    setup.caFile = QDir(data.path()).filePath(QStringLiteral("missing.crt"));
    ASSERT_TRUE(board.publisher.setSetup(setup));
    ASSERT_TRUE(waitFor([&] { return board.publisher.state() == BrokerPublisher::State::Unreachable; }));
    EXPECT_EQ(board.publisher.statusText(),
              QStringLiteral("Broker nicht erreichbar (CA-Datei nicht lesbar) \u2013 neuer Versuch in 1 s"));
    setup.caFile = ca;
    ASSERT_TRUE(board.publisher.setSetup(setup));
    ASSERT_TRUE(board.connected());
    board.points(2, 1);
    ASSERT_TRUE(waitFor([&] { return board.publisher.lastPublishedChange() > 1; }));
}
