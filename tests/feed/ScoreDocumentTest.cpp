#include "feed/ScoreDocument.h"
#include "tests/feed/SchemaCheck.h"
#include "tests/core/MatchFixture.h"

#include <QJsonArray>

namespace {

class ScoreDocumentTest : public MatchFixture
{
protected:
    QJsonObject doc() { return ScoreDocument::build(match, QStringLiteral("Graf"), QStringLiteral("Seles"), 0); }
    static QJsonObject set(const QJsonObject &d, int n) { return d[QStringLiteral("sets")].toArray()[n - 1].toObject(); }
    static QJsonObject side(const QJsonObject &d, int n) { return d[QStringLiteral("sides")].toArray()[n - 1].toObject(); }
};

TEST_F(ScoreDocumentTest, FreshBoardIsNotStartedWithNoSetBegun)
{
    const QJsonObject d = doc();
    EXPECT_EQ(d[QStringLiteral("version")].toInt(), 1);
    EXPECT_EQ(d[QStringLiteral("phase")].toString(), QStringLiteral("not-started"));
    EXPECT_EQ(d[QStringLiteral("currentSet")].toInt(), 0);
    EXPECT_EQ(d[QStringLiteral("server")].toInt(), 1);
    EXPECT_EQ(d[QStringLiteral("format")].toString(), QStringLiteral("SET5-S:6/TB7"));
    ASSERT_EQ(d[QStringLiteral("sets")].toArray().size(), 5);
    EXPECT_TRUE(set(d, 1)[QStringLiteral("games")].toArray()[0].isNull());
    EXPECT_EQ(set(d, 1)[QStringLiteral("texts")].toArray()[1].toString(), QString());
    EXPECT_EQ(side(d, 1)[QStringLiteral("name")].toString(), QStringLiteral("Graf"));
    EXPECT_EQ(side(d, 2)[QStringLiteral("points")].toString(), QString());
}

TEST_F(ScoreDocumentTest, RunningMatchShowsPointsGamesServerAndLeader)
{
    start();
    winGames(1, 2);
    winGame(2);
    play("112");
    const QJsonObject d = doc();
    EXPECT_EQ(d[QStringLiteral("phase")].toString(), QStringLiteral("running"));
    EXPECT_EQ(d[QStringLiteral("currentSet")].toInt(), 1);
    EXPECT_EQ(side(d, 1)[QStringLiteral("points")].toString(), QStringLiteral("30"));
    EXPECT_EQ(side(d, 2)[QStringLiteral("points")].toString(), QStringLiteral("15"));
    EXPECT_EQ(set(d, 1)[QStringLiteral("games")].toArray(), (QJsonArray{2, 1}));
    EXPECT_EQ(set(d, 1)[QStringLiteral("texts")].toArray(), (QJsonArray{QStringLiteral("2"), QStringLiteral("1")}));
    EXPECT_EQ(set(d, 1)[QStringLiteral("leader")].toInt(), 1);
    EXPECT_EQ(set(d, 2)[QStringLiteral("leader")].toInt(), 0);
    // Three games played: the serve has changed three times.
    EXPECT_EQ(d[QStringLiteral("server")].toInt(), 2);
}

TEST_F(ScoreDocumentTest, SecondSetLedBySideTwo)
{
    start();
    winGames(1, 6);
    winGames(2, 3);
    const QJsonObject d = doc();
    EXPECT_EQ(d[QStringLiteral("currentSet")].toInt(), 2);
    EXPECT_EQ(set(d, 1)[QStringLiteral("games")].toArray(), (QJsonArray{6, 0}));
    EXPECT_EQ(set(d, 2)[QStringLiteral("games")].toArray(), (QJsonArray{0, 3}));
    EXPECT_EQ(set(d, 2)[QStringLiteral("leader")].toInt(), 2);
}

TEST_F(ScoreDocumentTest, TieBreakModeAndPausedTimer)
{
    start();
    for (int i = 0; i < 6; ++i) {
        winGame(1);
        winGame(2);
    }
    score().mSchet1Click();
    ticks.advance(3'723'000);
    match.timer().TimerTimer();
    match.timer().bPlayClick();
    const QJsonObject d = doc();
    EXPECT_TRUE(d[QStringLiteral("tieBreak")].toBool());
    EXPECT_EQ(side(d, 1)[QStringLiteral("points")].toString(), QStringLiteral("1"));
    EXPECT_EQ(d[QStringLiteral("phase")].toString(), QStringLiteral("paused"));
    const QJsonObject elapsed = d[QStringLiteral("elapsed")].toObject();
    EXPECT_EQ(elapsed[QStringLiteral("text")].toString(), QStringLiteral("1:02:03"));
    EXPECT_EQ(elapsed[QStringLiteral("seconds")].toInteger(), 3723);
}

TEST_F(ScoreDocumentTest, FormatFollowsSetCountAndTieBreakOption)
{
    score().setSetCount(3);
    score().setTieBreakOption(false);
    const QJsonObject d = doc();
    EXPECT_EQ(d[QStringLiteral("format")].toString(), QStringLiteral("SET3-S:6"));
    EXPECT_EQ(d[QStringLiteral("setCount")].toInt(), 3);
    EXPECT_EQ(d[QStringLiteral("sets")].toArray().size(), 3);
}

// Every format the board plays is stated as played, and its documents hold to the schema.
TEST_F(ScoreDocumentTest, FormatIsTheFormatPlayed)
{
    QList<QJsonObject> documents;
    for (const MatchFormat &format : {kStandardFormat, kMatchTiebreakFormat, kNoAdMatchTiebreakFormat,
                                      kFinalSetTiebreak10Format, kShortSetsFormat, kFast4Format, kProSetFormat}) {
        score().setFormat(format);
        const QJsonObject d = doc();
        EXPECT_EQ(d[QStringLiteral("format")].toString(), format.code());
        EXPECT_EQ(d[QStringLiteral("setCount")].toInt(), format.bestOf);
        EXPECT_EQ(d[QStringLiteral("sets")].toArray().size(), format.bestOf);
        documents << d;
    }
    expectSchemaValid(documents);
}

TEST_F(ScoreDocumentTest, ChangeCounterCountsOnlyRealChanges)
{
    ScoreDocument document;
    const QString a = QStringLiteral("A"), b = QStringLiteral("B");
    const qint64 first = document.update(match, a, b)[QStringLiteral("change")].toInteger();
    EXPECT_EQ(document.update(match, a, b)[QStringLiteral("change")].toInteger(), first);
    start();
    EXPECT_EQ(document.update(match, a, b)[QStringLiteral("change")].toInteger(), first + 1);
    EXPECT_EQ(document.update(match, a, QStringLiteral("C"))[QStringLiteral("change")].toInteger(), first + 2);
    EXPECT_EQ(document.current()[QStringLiteral("change")].toInteger(), first + 2);
}

TEST_F(ScoreDocumentTest, LongNamesAreCut)
{
    const QJsonObject d = ScoreDocument::build(match, QString(500, u'x'), QString(), 0);
    EXPECT_EQ(side(d, 1)[QStringLiteral("name")].toString().size(), ScoreDocument::kMaxNameLength);
}

TEST(ElapsedSeconds, ReadsTheTimerTexts)
{
    EXPECT_EQ(ScoreDocument::elapsedSeconds(QStringLiteral("00:00:00")), 0);
    EXPECT_EQ(ScoreDocument::elapsedSeconds(QStringLiteral("2:05")), 125);
    EXPECT_EQ(ScoreDocument::elapsedSeconds(QStringLiteral("10:00:01")), 36001);
    EXPECT_EQ(ScoreDocument::elapsedSeconds(QStringLiteral("")), 0);
    EXPECT_EQ(ScoreDocument::elapsedSeconds(QStringLiteral("1:x")), 0);
    EXPECT_EQ(ScoreDocument::elapsedSeconds(QStringLiteral("1:-5")), 0);
    EXPECT_EQ(ScoreDocument::elapsedSeconds(QStringLiteral("1:2:3:4")), 0);
}

TEST_F(ScoreDocumentTest, DocumentsOfAWholeMatchFitTheSchema)
{
    QList<QJsonObject> documents{doc()};
    start();
    for (int set = 0; set < 3; ++set) {
        for (int i = 0; i < 6; ++i) {
            winGame(1);
            winGame(2);
            documents << doc();
        }
        play("1111111");
        documents << doc();
    }
    score().setSetCount(3);
    score().setTieBreakOption(false);
    documents << doc() << ScoreDocument::build(match, QString(300, u'n'), QString(), 9);
    SchemaCheck check;
    const SchemaCheck::Outcome outcome = check.run(documents);
    if (outcome == SchemaCheck::Outcome::Unavailable)
        GTEST_SKIP() << "schema not checked: " << check.report.toStdString();
    EXPECT_EQ(outcome, SchemaCheck::Outcome::Valid) << check.report.toStdString();
}

TEST(SchemaCheck, RejectsADocumentThatBreaksTheSchema)
{
    FakeTicks ticks;
    Match match(ticks, QStringLiteral("00:00:00"));
    QJsonObject bad = ScoreDocument::build(match, {}, {}, 0);
    bad[QStringLiteral("server")] = 0;
    SchemaCheck check;
    const SchemaCheck::Outcome outcome = check.run({bad});
    if (outcome == SchemaCheck::Outcome::Unavailable)
        GTEST_SKIP() << "schema not checked: " << check.report.toStdString();
    EXPECT_EQ(outcome, SchemaCheck::Outcome::Invalid);
}

} // namespace
