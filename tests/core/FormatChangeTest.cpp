#include "core/MatchController.h"
#include "tests/core/MatchFixture.h"

#include <QRandomGenerator>

#include <string>
#include <vector>

namespace {

using Kind = MatchCommand::Kind;

class FormatChange : public MatchFixture
{
protected:
    void run(const MatchCommand &command) { controller.execute(command); }
    void format(const char *code) { run(MatchCommand::format(QString::fromLatin1(code))); }
    void points(int side, int n)
    {
        for (int i = 0; i < n; ++i)
            run(MatchCommand::point(side));
    }
    void games(int side, int n) { points(side, 4 * n); }

    MatchController controller{match};
};

TEST_F(FormatChange, DecidingSetNotBegunBecomesTheMatchTieBreak)
{
    run(MatchCommand::of(Kind::Play));
    games(1, 6);
    games(2, 6);
    ASSERT_EQ(score().CurrentSet(), 3);
    format("SET3-S:6/TB7-F:TB10");
    EXPECT_TRUE(score().tieBreakMode());
    points(1, 10);
    EXPECT_EQ(MatchFixture::games(3), std::make_pair(10, 0));
    EXPECT_EQ(score().field(MatchScore::gamesEntry(1, 3)).Text, "10");
    EXPECT_EQ(score().matchWinner(), 1);
}

TEST_F(FormatChange, MatchReopenedByMoreSetsGoesOnInTheNextSet)
{
    format("SET3-S:4/TB7");
    run(MatchCommand::of(Kind::Play));
    games(1, 8);
    ASSERT_EQ(score().matchWinner(), 1);
    format("SET5-S:4/TB7");
    EXPECT_FALSE(score().matchOver());
    EXPECT_EQ(score().CurrentSet(), 3);
    EXPECT_EQ(pointsText(1), "0");
    games(2, 1);
    EXPECT_EQ(MatchFixture::games(2), std::make_pair(4, 0)) << "the finished set stays";
    EXPECT_EQ(MatchFixture::games(3), std::make_pair(0, 1));
}

TEST_F(FormatChange, MatchTieBreakUnderWayKeepsItsRules)
{
    run(MatchCommand::of(Kind::Play));
    format("SET3-S:6/TB7-F:TB10");
    games(1, 6);
    games(2, 6);
    points(1, 3);
    format("SET3-S:6/TB7-F:6");
    EXPECT_TRUE(score().tieBreakMode());
    points(1, 7);
    EXPECT_EQ(MatchFixture::games(3), std::make_pair(10, 0));
    EXPECT_EQ(score().matchWinner(), 1);
    EXPECT_EQ(score().CurrentSet(), 3);
    // The next set plays the new rules: a played set 3 after a reset and a new start.
    run(MatchCommand::of(Kind::Reset));
    run(MatchCommand::of(Kind::Play));
    games(1, 6);
    games(2, 6);
    EXPECT_FALSE(score().tieBreakMode());
}

TEST_F(FormatChange, NoAdAtAdvantageIsDeuceWithADecidingPoint)
{
    run(MatchCommand::of(Kind::Play));
    points(2, 3);
    points(1, 3);
    points(2, 1);
    ASSERT_EQ(pointsText(2), "ADV");
    format("SET3-S:6NOAD/TB7");
    EXPECT_EQ(pointsText(1), "40");
    EXPECT_EQ(pointsText(2), "40");
    EXPECT_TRUE(score().decidingPoint());
    points(1, 1);
    EXPECT_EQ(MatchFixture::games(1), std::make_pair(1, 0));
}

TEST_F(FormatChange, ASetTheNewRulesWouldHaveEndedKeepsItsOwn)
{
    format("SET3-S:6/TB7-F:6");
    run(MatchCommand::of(Kind::Play));
    games(1, 5);
    games(2, 3);
    format("SET3-S:4/TB7");
    EXPECT_EQ(score().CurrentSet(), 1);
    games(2, 1);
    EXPECT_EQ(score().CurrentSet(), 1) << "5:4 would end a set to 4 after its tie-break";
    games(1, 1);
    EXPECT_EQ(MatchFixture::games(1), std::make_pair(6, 4));
    EXPECT_EQ(score().CurrentSet(), 2);
    games(1, 4);
    EXPECT_EQ(MatchFixture::games(2), std::make_pair(4, 0)) << "the next set plays the new rules";
    EXPECT_EQ(score().matchWinner(), 1);
}

TEST_F(FormatChange, ASetClosedEarlyByHandGoesToItsLeader)
{
    format("SET3-S:4/TB7");
    run(MatchCommand::of(Kind::Play));
    games(1, 3);
    games(2, 1);
    run(MatchCommand::of(Kind::NextSet));
    ASSERT_EQ(score().CurrentSet(), 2);
    EXPECT_EQ(score().matchWinner(), 0);
    games(1, 4);
    EXPECT_EQ(score().matchWinner(), 1) << "3:1 closed by hand is the first set won";
}

TEST_F(FormatChange, AGamesColumnBlankedByHandCountsFromZero)
{
    format("SET1-S:6");
    run(MatchCommand::of(Kind::Play));
    run(MatchCommand::gamesCorrection(MatchScore::gamesEntry(2, 1), Qt::RightButton));
    games(1, 6);
    EXPECT_EQ(MatchFixture::games(1), std::make_pair(6, 0));
    EXPECT_EQ(score().matchWinner(), 1);
}

// A decided match stops the playing time; undoing the deciding point lets it run on.
TEST_F(FormatChange, TheDecidingPointStopsThePlayingTime)
{
    format("SET1-S:4/TB7");
    run(MatchCommand::of(Kind::Play));
    games(1, 3);
    points(1, 3);
    ticks.advance(5000);
    points(1, 1);
    ASSERT_TRUE(score().matchOver());
    EXPECT_EQ(match.timer().MatchPhase(), MatchTimer::Paused);
    EXPECT_EQ(pointsText(1), "");
    EXPECT_EQ(pointsText(2), "");
    const std::uint32_t atEnd = match.timer().elapsedMs();
    ticks.advance(7000);
    EXPECT_EQ(match.timer().elapsedMs(), atEnd);
    run(MatchCommand::of(Kind::Undo));
    EXPECT_FALSE(score().matchOver());
    EXPECT_EQ(match.timer().MatchPhase(), MatchTimer::Running);
    EXPECT_EQ(pointsText(1), "40");
    ticks.advance(1000);
    EXPECT_EQ(match.timer().elapsedMs(), atEnd + 1000);
    run(MatchCommand::of(Kind::Redo));
    EXPECT_EQ(match.timer().MatchPhase(), MatchTimer::Paused);
}

// From any state random commands reach, points for one side alone finish every match that
// names a winner, within a bound of points.
TEST_F(FormatChange, OneSidesPointsAlwaysFinishTheMatch)
{
    const std::vector<const char *> codes = {
        "SET3-S:6/TB7",       "SET5-S:6/TB7-F:6",       "SET3-S:6/TB7-F:TB10", "SET3-S:6NOAD/TB7-F:TB10",
        "SET5-S:6/TB7-F:6/TB10", "SET3-S:4/TB7@4",     "SET3-S:4NOAD/TB5NOAD@3", "SET1-S:8/TB7@8",
        "SET3X-S:4/TB7",      "SET2X-S:TB10",           "SET5-S:6/TB7-F:6/TB7@12", "SET1-S:6",
        "SET3-S:TB7NOAD",     "SET5-S:6",               "SET3-S:6/TB7@7"};
    const std::vector<MatchCommand> others = {
        MatchCommand::of(Kind::Undo),          MatchCommand::of(Kind::Redo),
        MatchCommand::of(Kind::Reset),         MatchCommand::of(Kind::Play),
        MatchCommand::withValue(Kind::TieBreakOption, 0), MatchCommand::withValue(Kind::TieBreakOption, 1),
        MatchCommand::withValue(Kind::SetCount, 3), MatchCommand::withValue(Kind::SetCount, 5)};
    const int kMatches = qEnvironmentVariableIntValue("COURTLYX_FORMAT_SWEEP") > 0 ? qEnvironmentVariableIntValue("COURTLYX_FORMAT_SWEEP") : 400;
    constexpr int kCommands = 150;
    constexpr int kMaxPoints = 5 * 4 * 2 * (MatchScore::kMaxGames + 4) + 4 * 200;
    // COURTLYX_FORMAT_SWEEP=n runs a longer sweep of n matches by hand.
    QRandomGenerator random(23);
    for (int m = 0; m < kMatches; ++m) {
        run(MatchCommand::of(Kind::Reset));
        std::string trail;
        for (int c = 0; c < kCommands; ++c) {
            const quint32 pick = random.bounded(100);
            MatchCommand command;
            if (pick < 55) {
                command = MatchCommand::point(1 + int(random.bounded(2)));
            } else if (pick < 65) {
                command = MatchCommand::pointsCorrection(1 + int(random.bounded(2)),
                                                         random.bounded(2) ? Qt::LeftButton : Qt::RightButton);
            } else if (pick < 80) {
                command = MatchCommand::gamesCorrection(MatchScore::gamesEntry(1 + int(random.bounded(2)),
                                                                               1 + int(random.bounded(5))),
                                                        random.bounded(3) ? Qt::LeftButton : Qt::RightButton);
            } else if (pick < 88) {
                command = MatchCommand::format(QString::fromLatin1(codes[random.bounded(quint32(codes.size()))]));
            } else {
                command = others[random.bounded(quint32(others.size()))];
            }
            trail += std::to_string(int(command.kind)) + ":" + std::to_string(command.side) + ":"
                     + std::to_string(command.value) + ":" + command.text1.toStdString() + " ";
            run(command);
        }
        if (match.timer().MatchPhase() == MatchTimer::NotStarted)
            run(MatchCommand::of(Kind::Play));
        if (score().state().rules.legacy())
            continue;
        int given = 0;
        while (!score().matchOver() && given < kMaxPoints) {
            run(MatchCommand::point(1));
            ++given;
        }
        ASSERT_TRUE(score().matchOver()) << "match " << m << " in " << score().format().code().toStdString()
                                         << " after formats " << trail << " set " << score().CurrentSet()
                                         << " games " << MatchFixture::games(score().CurrentSet()).first << ":"
                                         << MatchFixture::games(score().CurrentSet()).second << " points "
                                         << score().points(1) << ":" << score().points(2) << " tb "
                                         << score().tieBreakMode();
    }
}

} // namespace
