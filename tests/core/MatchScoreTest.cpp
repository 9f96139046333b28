#include "tests/core/MatchFixture.h"

#include <map>
#include <vector>

namespace {

using Role = MatchScore::TextRole;

class PointRules : public MatchFixture {};

TEST_F(PointRules, PointsCountUpToAdvantageAndBackToDeuce)
{
    start();
    play("111");
    EXPECT_EQ(pointsText(1), "40");
    play("2222");
    EXPECT_EQ(pointsText(1), "40");
    EXPECT_EQ(pointsText(2), "ADV");
    play("1");
    EXPECT_EQ(pointsText(1), "40");
    EXPECT_EQ(pointsText(2), "40");
    EXPECT_EQ(score().points(2), 3);
}

TEST_F(PointRules, DeuceRuleDoesNotApplyInTieBreak)
{
    start();
    for (int i = 0; i < 3; ++i)
        score().eSchetMouseDown(1, Qt::LeftButton);
    for (int i = 0; i < 4; ++i)
        score().eSchetMouseDown(2, Qt::LeftButton);
    score().SetTieBreakMode(true);
    play("1");
    EXPECT_EQ(score().points(1), 4);
    EXPECT_EQ(pointsText(1), "4");
    EXPECT_EQ(score().points(2), 4);
}

TEST_F(PointRules, FortyAgainstThirtyWinsAtOnceOnlyWithAutomaticCounting)
{
    start();
    play("11122" "1");
    EXPECT_EQ(games(1), std::make_pair(1, 0));
    EXPECT_EQ(pointsText(1), "0");

    score().setAutoCount(false);
    play("11122" "1");
    EXPECT_EQ(pointsText(1), "ADV");
    play("1");
    EXPECT_EQ(pointsText(1), "");
    play("1");
    EXPECT_EQ(pointsText(1), "0");
    EXPECT_EQ(games(1), std::make_pair(1, 0));
}

TEST_F(PointRules, HandCorrectionWrapsBothWays)
{
    score().eSchetMouseDown(1, Qt::LeftButton);
    EXPECT_EQ(pointsText(1), "0") << "corrections work before the first start";
    score().eSchetMouseDown(1, Qt::RightButton);
    EXPECT_EQ(score().points(1), 5);
    EXPECT_EQ(pointsText(1), "");
    score().eSchetMouseDown(1, Qt::LeftButton);
    EXPECT_EQ(pointsText(1), "0");
    score().eSchetMouseDown(1, Qt::MiddleButton);
    EXPECT_EQ(score().points(1), 0);
}

TEST_F(PointRules, HandCorrectionInTieBreakStopsAtZero)
{
    start();
    score().SetTieBreakMode(true);
    score().eSchetMouseDown(1, Qt::RightButton);
    EXPECT_EQ(score().points(1), 0);
    EXPECT_EQ(pointsText(1), "0");
    score().eSchetMouseDown(1, Qt::LeftButton);
    EXPECT_EQ(pointsText(1), "1") << "the next click counts from 0, not from -1";
}

TEST_F(PointRules, PointBeforeFirstStartIsIgnored)
{
    score().mSchet1Click();
    score().mSchet2Click();
    EXPECT_EQ(score().points(1), -1);
    EXPECT_EQ(pointsText(1), "");
    EXPECT_EQ(score().points(2), -1);
}

TEST_F(PointRules, PointFromEmptyValueGivesGameToThatSide)
{
    start();
    score().eSchetMouseDown(2, Qt::RightButton);
    EXPECT_EQ(pointsText(2), "");
    play("1");
    EXPECT_EQ(games(1), std::make_pair(0, 1)) << "points 1 against 5 award side 2";
}

TEST_F(PointRules, TieBreakTextKeptUntilNextChange)
{
    start();
    play("111");
    score().setAutoCount(false);
    score().mTieBreakClick();
    ASSERT_TRUE(score().tieBreakMode());
    EXPECT_EQ(pointsText(1), "40");
    play("2");
    EXPECT_EQ(pointsText(1), "40");
    EXPECT_EQ(pointsText(2), "1");
    play("1");
    EXPECT_EQ(pointsText(1), "4");
}

class GameAward : public MatchFixture {};

TEST_F(GameAward, EqualPointsGoToSideTwo)
{
    start();
    score().Game1Click();
    EXPECT_EQ(games(1), std::make_pair(0, 1));
}

TEST_F(GameAward, GamePassesServeAndResetsPoints)
{
    start();
    EXPECT_EQ(score().server(), 0);
    play("1111");
    EXPECT_EQ(score().server(), 1);
    EXPECT_EQ(pointsText(1), "0");
    EXPECT_EQ(pointsText(2), "0");
    score().mPodachaClick();
    EXPECT_EQ(score().server(), 0);
}

TEST_F(GameAward, OutsideAnySetColumnOnlyResetsPointsAndPassesServe)
{
    std::vector<int> changed;
    QObject::connect(&score(), &MatchScore::fieldChanged, [&](int e) { changed.push_back(e); });
    score().Game1Click();
    EXPECT_EQ(pointsText(1), "0");
    EXPECT_EQ(pointsText(2), "0");
    EXPECT_EQ(score().server(), 1);
    for (int e : changed)
        EXPECT_FALSE(MatchScore::isGamesEntry(e)) << "entry " << e;

    for (int i = 0; i < 6; ++i)
        score().Set1Click();
    ASSERT_EQ(score().CurrentSet(), 6);
    score().Game1Click();
    for (int set = 1; set <= 5; ++set)
        EXPECT_EQ(games(set), std::make_pair(0, 0)) << "set " << set;
}

TEST_F(GameAward, GamesFieldsStayWithinBlankAndNinetyNine)
{
    const int entry = MatchScore::gamesEntry(1, 2);
    score().SMouseDown(entry, Qt::RightButton);
    EXPECT_EQ(score().field(entry).Tag, -1);
    for (int i = 0; i < 120; ++i)
        score().SMouseDown(entry, Qt::LeftButton);
    EXPECT_EQ(score().field(entry).Tag, 99);
    EXPECT_EQ(score().field(entry).Text, "99");
    score().SMouseDown(entry, Qt::MiddleButton);
    EXPECT_EQ(score().field(entry).Tag, 99);
}

TEST_F(GameAward, RightClickTakesGamesFromZeroToBlank)
{
    start();
    const int entry = MatchScore::gamesEntry(2, 1);
    ASSERT_EQ(score().field(entry).Tag, 0);
    score().SMouseDown(entry, Qt::RightButton);
    EXPECT_EQ(score().field(entry).Tag, -1);
    EXPECT_EQ(score().field(entry).Text, "");
}

class SetDecision : public MatchFixture {};

TEST_F(SetDecision, SixFourEndsSixFiveDoesNotSevenFiveDoes)
{
    start();
    winGames(1, 5);
    winGames(2, 4);
    winGame(1);
    EXPECT_EQ(score().CurrentSet(), 2) << "6:4";
    EXPECT_EQ(games(1), std::make_pair(6, 4));

    winGames(1, 5);
    winGames(2, 5);
    winGame(1);
    EXPECT_EQ(score().CurrentSet(), 2) << "6:5 goes on";
    winGame(1);
    EXPECT_EQ(score().CurrentSet(), 3);
    EXPECT_EQ(games(2), std::make_pair(7, 5));
}

TEST_F(SetDecision, WithoutTieBreakOptionSixAllPlaysOnToTwoAhead)
{
    score().setTieBreakOption(false);
    start();
    winGames(1, 5);
    winGames(2, 6);
    winGame(1);
    EXPECT_FALSE(score().tieBreakMode());
    winGame(1);
    EXPECT_EQ(score().CurrentSet(), 1) << "7:6";
    winGame(1);
    EXPECT_EQ(score().CurrentSet(), 2);
    EXPECT_EQ(games(1), std::make_pair(8, 6));
}

TEST_F(SetDecision, TieBreakAtSixAllWonByTwoClearPoints)
{
    start();
    winGames(1, 5);
    winGames(2, 6);
    winGame(1);
    ASSERT_TRUE(score().tieBreakMode());
    EXPECT_EQ(score().CurrentSet(), 1);
    play("111111" "222222" "1");
    EXPECT_EQ(score().points(1), 7);
    EXPECT_TRUE(score().tieBreakMode()) << "7:6 points do not end it";
    play("1");
    EXPECT_FALSE(score().tieBreakMode());
    EXPECT_EQ(games(1), std::make_pair(7, 6));
    EXPECT_EQ(score().CurrentSet(), 2);
    EXPECT_EQ(games(2), std::make_pair(0, 0));
    EXPECT_EQ(pointsText(1), "0");
    EXPECT_EQ(pointsText(2), "0");
}

TEST_F(SetDecision, ManualGameInTieBreakNeitherEndsSetNorMode)
{
    start();
    winGames(1, 5);
    winGames(2, 5);
    winGame(1);
    winGame(2);
    ASSERT_TRUE(score().tieBreakMode());
    score().eSchetMouseDown(1, Qt::LeftButton);
    score().Game1Click();
    EXPECT_EQ(games(1), std::make_pair(7, 6));
    EXPECT_TRUE(score().tieBreakMode());
    EXPECT_EQ(score().CurrentSet(), 1);
    score().Set1Click();
    EXPECT_FALSE(score().tieBreakMode());
    EXPECT_EQ(score().CurrentSet(), 2);
}

TEST_F(SetDecision, TieBreakStartedByHandEndsOnlyOneSet)
{
    start();
    winGames(1, 5);
    score().setAutoCount(false);
    score().mTieBreakClick();
    score().setAutoCount(true);
    play("1111111");
    EXPECT_EQ(games(1), std::make_pair(6, 0));
    EXPECT_EQ(score().CurrentSet(), 2) << "the tie-break's end opens the next set, the game award none";
    EXPECT_EQ(games(3), std::make_pair(-1, -1));
}

TEST_F(SetDecision, NextSetKeepsHandEnteredGamesUnlessOneIsBlank)
{
    score().SMouseDown(MatchScore::gamesEntry(1, 1), Qt::LeftButton);
    score().SMouseDown(MatchScore::gamesEntry(1, 1), Qt::LeftButton);
    score().SMouseDown(MatchScore::gamesEntry(2, 1), Qt::LeftButton);
    score().SMouseDown(MatchScore::gamesEntry(1, 2), Qt::LeftButton);
    score().SMouseDown(MatchScore::gamesEntry(1, 2), Qt::LeftButton);
    score().Set1Click();
    EXPECT_EQ(games(1), std::make_pair(1, 0));
    score().Set1Click();
    EXPECT_EQ(games(2), std::make_pair(0, 0)) << "one blank field: both start at 0";
}

TEST_F(SetDecision, ThreeSetMatchEndsWithNoHeaderBold)
{
    score().setSetCount(3);
    start();
    EXPECT_EQ(score().boldHeader(), 1);
    for (int set = 1; set <= 3; ++set)
        winGames(set == 2 ? 2 : 1, 6);
    EXPECT_EQ(score().CurrentSet(), 4);
    EXPECT_EQ(score().boldHeader(), 0);
    EXPECT_EQ(games(4), std::make_pair(-1, -1));
    winGame(1);
    EXPECT_EQ(games(4), std::make_pair(0, -1)) << "hidden column 4 still counts, from blank";
}

TEST_F(SetDecision, OnlyThreeAndFiveAreSetCounts)
{
    score().setSetCount(7);
    EXPECT_EQ(score().setCount(), 5);
    score().setSetCount(3);
    EXPECT_EQ(score().setCount(), 3);
}

TEST_F(SetDecision, SetBeforeStartOpensSetOneAndStartOpensSetTwo)
{
    score().Set1Click();
    EXPECT_EQ(score().CurrentSet(), 1);
    start();
    EXPECT_EQ(score().CurrentSet(), 2);
    EXPECT_EQ(score().boldHeader(), 2);
}

class Leaders : public MatchFixture {};

TEST_F(Leaders, LargerGamesCountIsHighlighted)
{
    std::map<int, Role> roles;
    QObject::connect(&score(), &MatchScore::setLeaderMarked,
                     [&](int e, Role r) { roles[e] = r; });
    score().SMouseDown(MatchScore::gamesEntry(1, 3), Qt::LeftButton);
    start();
    winGames(1, 5);
    winGames(2, 4);
    winGame(1);
    EXPECT_EQ(roles[MatchScore::gamesEntry(1, 1)], Role::TextHi);
    EXPECT_EQ(roles[MatchScore::gamesEntry(2, 1)], Role::Text);
    EXPECT_EQ(roles[MatchScore::gamesEntry(1, 2)], Role::Text) << "0:0 equal";
    EXPECT_EQ(roles[MatchScore::gamesEntry(2, 2)], Role::Text);
    EXPECT_EQ(roles[MatchScore::gamesEntry(1, 3)], Role::TextHi) << "0 against blank";
    EXPECT_EQ(roles[MatchScore::gamesEntry(2, 3)], Role::Text);
    EXPECT_EQ(roles.size(), 10u);
}

TEST_F(Leaders, HeaderClickMovesBoldWithoutChangingSet)
{
    start();
    score().LabelSClick(4);
    EXPECT_EQ(score().boldHeader(), 4);
    EXPECT_EQ(score().CurrentSet(), 1);
}

class ManualTieBreak : public MatchFixture {};

TEST_F(ManualTieBreak, NeedsOptionOnAndAutomaticCountingOff)
{
    score().mTieBreakClick();
    EXPECT_FALSE(score().tieBreakMode()) << "automatic counting on";
    score().setAutoCount(false);
    score().setTieBreakOption(false);
    score().mTieBreakClick();
    EXPECT_FALSE(score().tieBreakMode()) << "option off";
    score().setTieBreakOption(true);
    score().mTieBreakClick();
    EXPECT_TRUE(score().tieBreakMode());
}

TEST_F(ManualTieBreak, MarkIsItsOwnFlagAfterAnAutomaticTieBreak)
{
    start();
    winGames(1, 5);
    winGames(2, 5);
    winGame(1);
    winGame(2);
    ASSERT_TRUE(score().tieBreakMode());
    score().setAutoCount(false);
    score().mTieBreakClick();
    EXPECT_TRUE(score().manualTieBreakMark());
    EXPECT_TRUE(score().tieBreakMode());
    score().mTieBreakClick();
    EXPECT_FALSE(score().tieBreakMode());
}

class MatchReset : public MatchFixture {};

TEST_F(MatchReset, ReturnsToCreationStateButKeepsServeAndOptions)
{
    score().setSetCount(3);
    start();
    play("1111" "22");
    score().SMouseDown(MatchScore::kLabTBreak1, Qt::LeftButton);
    match.reset();
    EXPECT_EQ(score().CurrentSet(), 0);
    EXPECT_EQ(score().boldHeader(), 0);
    EXPECT_EQ(score().points(1), -1);
    EXPECT_EQ(pointsText(2), "");
    for (int set = 1; set <= 5; ++set)
        EXPECT_EQ(games(set), std::make_pair(-1, -1));
    EXPECT_EQ(score().field(MatchScore::kLabTBreak1).Tag, 0);
    EXPECT_EQ(score().field(MatchScore::kLabTBreak1).Text, "0");
    EXPECT_EQ(score().server(), 1);
    EXPECT_EQ(score().setCount(), 3);
    EXPECT_EQ(match.timer().MatchPhase(), MatchTimer::NotStarted);
    start();
    EXPECT_EQ(score().CurrentSet(), 1) << "the next start opens set 1 again";
}

TEST_F(MatchReset, KeepsTieBreakModeWhenCountingByHand)
{
    score().setAutoCount(false);
    score().mTieBreakClick();
    match.reset();
    EXPECT_TRUE(score().tieBreakMode());
    score().setAutoCount(true);
    match.reset();
    EXPECT_FALSE(score().tieBreakMode());
}

} // namespace
