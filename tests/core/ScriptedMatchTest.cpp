#include "tests/core/MatchFixture.h"

#include <string>
#include <vector>

namespace {

// One game of the script: the points in order, then the state the board must show.
struct Game
{
    std::string points;
    int set;      // the set the game counts in
    int games1;   // games of that set afterwards
    int games2;
    int nextSet;  // CurrentSet afterwards
};

std::vector<Game> setOf(int set, std::vector<std::pair<char, std::string>> games)
{
    std::vector<Game> out;
    int g1 = 0;
    int g2 = 0;
    for (const auto &[winner, points] : games) {
        winner == '1' ? ++g1 : ++g2;
        out.push_back({points, set, g1, g2, set});
    }
    out.back().nextSet = set + 1;
    return out;
}

class ScriptedMatch : public MatchFixture
{
protected:
    void playScript(const std::vector<Game> &script)
    {
        int expectedServer = score().server();
        for (size_t i = 0; i < script.size(); ++i) {
            const Game &g = script[i];
            SCOPED_TRACE("game " + std::to_string(i + 1) + " of the script: " + g.points);
            play(g.points);
            expectedServer = 1 - expectedServer;
            EXPECT_EQ(games(g.set), std::make_pair(g.games1, g.games2));
            EXPECT_EQ(score().CurrentSet(), g.nextSet);
            EXPECT_EQ(pointsText(1), "0");
            EXPECT_EQ(pointsText(2), "0");
            EXPECT_EQ(score().server(), expectedServer);
            EXPECT_EQ(score().tieBreakMode(), g.games1 == 6 && g.games2 == 6);
            EXPECT_EQ(score().boldHeader(), g.nextSet <= score().setCount() ? g.nextSet : 0);
        }
    }
};

const std::string kLove1 = "1111";
const std::string kLove2 = "2222";
// Deuce twice, advantage to each side, then side 1 wins from advantage.
const std::string kDeuceGame1 = "111222" "2" "1" "1" "2" "1" "1";
// From 15:40 side 2 wins at once.
const std::string kFifteenForty2 = "12222";

TEST_F(ScriptedMatch, DeuceAdvantageAndTheThreeKindsOfSet)
{
    start();
    // Set 1, 6:4.
    auto script = setOf(1, {{'1', kDeuceGame1}, {'2', kLove2}, {'1', kLove1}, {'2', kFifteenForty2},
                            {'1', kLove1}, {'2', kLove2}, {'1', "1212121211"}, {'2', kLove2},
                            {'1', kLove1}, {'1', "11122" "1"}});
    // Set 2, 7:5.
    auto set2 = setOf(2, {{'1', kLove1}, {'2', kLove2}, {'1', kLove1}, {'2', kLove2},
                          {'1', kLove1}, {'2', kLove2}, {'1', kLove1}, {'2', kLove2},
                          {'1', kLove1}, {'2', kLove2}, {'1', kLove1}, {'1', kDeuceGame1}});
    script.insert(script.end(), set2.begin(), set2.end());
    // Set 3 to 6:6, then side 2 wins the tie-break 8:6.
    std::vector<std::pair<char, std::string>> set3;
    for (int i = 0; i < 6; ++i) {
        set3.push_back({'2', kLove2});
        set3.push_back({'1', kLove1});
    }
    set3.push_back({'2', "111111" "222222" "22"});
    auto s3 = setOf(3, set3);
    script.insert(script.end(), s3.begin(), s3.end());
    playScript(script);
    EXPECT_EQ(games(3), std::make_pair(6, 7));
    EXPECT_EQ(games(4), std::make_pair(0, 0));

    // Sets 4 and 5 to love; the five-set match ends past its last column.
    std::vector<std::pair<char, std::string>> love(6, {'1', kLove1});
    auto s4 = setOf(4, love);
    auto s5 = setOf(5, love);
    s4.insert(s4.end(), s5.begin(), s5.end());
    playScript(s4);
    EXPECT_EQ(score().CurrentSet(), 6);
    EXPECT_EQ(score().boldHeader(), 0);
}

TEST_F(ScriptedMatch, ThreeSetCountEndsAfterTheThirdSet)
{
    score().setSetCount(3);
    start();
    std::vector<std::pair<char, std::string>> love1(6, {'1', kLove1});
    std::vector<std::pair<char, std::string>> love2(6, {'2', kFifteenForty2});
    auto script = setOf(1, love1);
    auto s2 = setOf(2, love2);
    auto s3 = setOf(3, love1);
    script.insert(script.end(), s2.begin(), s2.end());
    script.insert(script.end(), s3.begin(), s3.end());
    playScript(script);
    EXPECT_EQ(score().CurrentSet(), 4);
    EXPECT_EQ(games(4), std::make_pair(-1, -1)) << "column 4 is not opened";
}

} // namespace
