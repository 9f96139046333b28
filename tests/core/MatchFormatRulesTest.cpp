#include "tests/core/MatchFixture.h"

#include <vector>

namespace {

MatchFormat parsed(const char *code)
{
    const MatchFormat::Parsed p = MatchFormat::parse(QString::fromLatin1(code));
    EXPECT_TRUE(p.format.has_value()) << code << ": " << p.error.toStdString();
    return p.format.value_or(MatchFormat{});
}

class FormatPlay : public MatchFixture
{
protected:
    std::string code() { return score().format().code().toStdString(); }
};

TEST_F(FormatPlay, TieBreakOptionOffDropsTheSetTieBreaksAndOnRestoresThem)
{
    score().setFormat(kMatchTiebreakFormat);
    EXPECT_TRUE(score().tieBreakOption());
    score().setTieBreakOption(false);
    EXPECT_EQ(code(), "SET3-S:6-F:TB10") << "the match tie-break is the set itself and stays";
    score().setTieBreakOption(true);
    EXPECT_EQ(code(), "SET3-S:6/TB7-F:TB10");

    score().setFormat(kFinalSetTiebreak10Format);
    score().setTieBreakOption(false);
    EXPECT_EQ(code(), "SET5-S:6");
    score().setTieBreakOption(true);
    EXPECT_EQ(code(), "SET5-S:6/TB7-F:6/TB10");

    score().setFormat(kFast4Format);
    score().setTieBreakOption(false);
    EXPECT_EQ(code(), "SET3-S:4NOAD");
    score().setSetCount(5);
    score().setTieBreakOption(true);
    EXPECT_EQ(code(), "SET5-S:4NOAD/TB5NOAD@3");
}

TEST_F(FormatPlay, TieBreakOptionOnGivesAFormatWithoutOneTheStandardTieBreak)
{
    EXPECT_EQ(code(), "SET5-S:6/TB7");
    score().setSetCount(3);
    score().setTieBreakOption(false);
    EXPECT_EQ(code(), "SET3-S:6");
    score().setFormat(parsed("SET1-S:8"));
    EXPECT_FALSE(score().tieBreakOption());
    score().setTieBreakOption(true);
    EXPECT_EQ(code(), "SET1-S:8/TB7");
    score().setSetCount(7);
    EXPECT_EQ(score().setCount(), 5);
}

TEST_F(FormatPlay, ShortSetsWithoutTieBreakGoOnToATwoGameLead)
{
    score().setFormat(kShortSetsFormat);
    score().setTieBreakOption(false);
    start();
    for (int i = 0; i < 4; ++i) {
        winGame(1);
        winGame(2);
    }
    EXPECT_FALSE(score().tieBreakMode());
    winGame(1);
    EXPECT_EQ(score().CurrentSet(), 1) << "5:4 is no set";
    winGame(1);
    EXPECT_EQ(games(1), std::make_pair(6, 4));
    EXPECT_EQ(score().CurrentSet(), 2);
}

TEST_F(FormatPlay, PointsAfterTheMatchAreIgnoredUntilAReset)
{
    std::vector<int> winners;
    QObject::connect(&score(), &MatchScore::matchWinnerChanged, [&](int w) { winners.push_back(w); });
    score().setFormat(kShortSetsFormat);
    start();
    winGames(2, 8);
    EXPECT_EQ(score().matchWinner(), 2);
    EXPECT_EQ(score().CurrentSet(), 2);
    score().mSchet1Click();
    score().mSchet2Click();
    EXPECT_EQ(pointsText(1), "") << "no game is under way";
    EXPECT_EQ(pointsText(2), "");
    score().eSchetMouseDown(1, Qt::LeftButton);
    EXPECT_EQ(pointsText(1), "0") << "mouse corrections still work";

    match.reset();
    EXPECT_EQ(score().matchWinner(), 0);
    EXPECT_FALSE(score().matchOver());
    EXPECT_EQ(winners, (std::vector<int>{2, 0}));
    start();
    score().mSchet1Click();
    EXPECT_EQ(pointsText(1), "15");
}

TEST_F(FormatPlay, AGamesCorrectionReopensADecidedMatch)
{
    score().setFormat(kShortSetsFormat);
    start();
    winGames(1, 8);
    ASSERT_EQ(score().matchWinner(), 1);
    score().SMouseDown(MatchScore::gamesEntry(1, 2), Qt::RightButton);
    EXPECT_FALSE(score().matchOver());
    winGame(2);
    EXPECT_EQ(games(2), std::make_pair(3, 1));
    winGame(1);
    EXPECT_EQ(score().matchWinner(), 1);
}

TEST_F(FormatPlay, LegacyFormatsNameNoWinner)
{
    score().setFormat(parsed("SET3-S:6/TB7-F:6/TB7"));
    start();
    winGames(1, 12);
    EXPECT_EQ(score().CurrentSet(), 3);
    EXPECT_EQ(score().matchWinner(), 0);
    EXPECT_FALSE(score().matchOver());
}

TEST_F(FormatPlay, AllSetsArePlayedWhenTheFormatSaysExactly)
{
    score().setFormat(parsed("SET3X-S:4/TB7"));
    start();
    winGames(1, 8);
    EXPECT_FALSE(score().matchOver());
    EXPECT_EQ(score().CurrentSet(), 3);
    winGames(2, 4);
    EXPECT_EQ(score().matchWinner(), 1);
    EXPECT_EQ(score().CurrentSet(), 3);
}

TEST_F(FormatPlay, MatchTieBreakFiguresPassTheGamesBound)
{
    score().setFormat(kMatchTiebreakFormat);
    start();
    winGames(1, 6);
    winGames(2, 6);
    ASSERT_TRUE(score().tieBreakMode());
    play("1212121212121212121212121212" "11");
    EXPECT_EQ(games(3), std::make_pair(16, 14));
    EXPECT_EQ(score().field(MatchScore::gamesEntry(1, 3)).Text, "16");
    EXPECT_EQ(score().matchWinner(), 1);
    score().SMouseDown(MatchScore::gamesEntry(1, 3), Qt::LeftButton);
    EXPECT_EQ(games(3).first, 17);
    score().SMouseDown(MatchScore::gamesEntry(1, 3), Qt::RightButton);
    EXPECT_EQ(games(3).first, 16);
}

TEST_F(FormatPlay, DecidingPointIsSignalledOnAndOff)
{
    std::vector<bool> changes;
    QObject::connect(&score(), &MatchScore::decidingPointChanged, [&](bool on) { changes.push_back(on); });
    score().setFormat(kNoAdMatchTiebreakFormat);
    start();
    play("121212");
    EXPECT_TRUE(score().decidingPoint());
    play("2");
    EXPECT_FALSE(score().decidingPoint());
    EXPECT_EQ(games(1), std::make_pair(0, 1));
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

} // namespace
