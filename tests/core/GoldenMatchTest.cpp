#include "tests/core/MatchFixture.h"

#include <QStringList>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A golden match is a script of points, each with the board it must show afterwards.
//   "1:15-0"  a point for side 1, then the points fields show "15" and "0"
//   "L2"      a love game for side 2: 0-15, 0-30, 0-40, 0-0 (empty points when it wins the match)
// Marks after a point change what holds from that point on:
//   [4-3] games of the set in play   @2 side 2 serves   S2 set 2 in play, at 0:0 games
//   T / t tie-break mode on / off    W1 the match is over, won by side 1
//   !     the next point decides (only after this one point)
// After every point the points texts, the games of the set in play (values and texts), the set
// in play, the bold header, the server, tie-break mode, the deciding point and the winner are checked.
struct Board
{
    QString points1 = QStringLiteral("0");
    QString points2 = QStringLiteral("0");
    int games1 = 0;
    int games2 = 0;
    int set = 1;
    int server = 1;
    bool tieBreak = false;
    bool deciding = false;
    int winner = 0;
};

std::vector<std::string> expand(const std::string &script)
{
    std::vector<std::string> points;
    std::istringstream in(script);
    std::string token;
    while (in >> token) {
        if (token[0] != 'L') {
            points.push_back(token);
            continue;
        }
        const bool one = token[1] == '1';
        for (const char *text : {"15", "30", "40"})
            points.push_back(one ? std::string("1:") + text + "-0" : std::string("2:0-") + text);
        const bool wins = token.find('W') != std::string::npos;
        points.push_back(std::string(1, token[1]) + (wins ? ":-" : ":0-0") + token.substr(2));
    }
    return points;
}

class GoldenMatch : public MatchFixture
{
protected:
    void playGolden(const MatchFormat &format, const std::string &script)
    {
        score().setFormat(format);
        start();
        Board board;
        const std::vector<std::string> points = expand(script);
        for (size_t i = 0; i < points.size(); ++i) {
            const std::string &token = points[i];
            SCOPED_TRACE("point " + std::to_string(i + 1) + ": " + token);
            ASSERT_TRUE(token.size() >= 3 && (token[0] == '1' || token[0] == '2') && token[1] == ':');
            token[0] == '1' ? score().mSchet1Click() : score().mSchet2Click();
            const size_t marks = token.find_first_of("[@STt!W", 2);
            const QStringList texts = QString::fromStdString(token.substr(2, marks - 2)).split(u'-');
            ASSERT_EQ(texts.size(), 2);
            board.points1 = texts[0];
            board.points2 = texts[1];
            board.deciding = false;
            applyMarks(marks == std::string::npos ? std::string() : token.substr(marks), board);
            check(board);
        }
    }

    void applyMarks(const std::string &marks, Board &board)
    {
        for (size_t i = 0; i < marks.size(); ++i) {
            switch (marks[i]) {
            case '[': {
                const size_t close = marks.find(']', i);
                std::sscanf(marks.substr(i + 1, close - i - 1).c_str(), "%d-%d", &board.games1, &board.games2);
                i = close;
                break;
            }
            case '@': board.server = marks[++i] - '0'; break;
            case 'S': board.set = marks[++i] - '0'; board.games1 = board.games2 = 0; break;
            case 'W': board.winner = marks[++i] - '0'; break;
            case 'T': board.tieBreak = true; break;
            case 't': board.tieBreak = false; break;
            case '!': board.deciding = true; break;
            default: ADD_FAILURE() << "unknown mark " << marks[i];
            }
        }
    }

    void check(const Board &board)
    {
        EXPECT_EQ(pointsText(1), board.points1);
        EXPECT_EQ(pointsText(2), board.points2);
        EXPECT_EQ(score().CurrentSet(), board.set);
        EXPECT_EQ(games(board.set), std::make_pair(board.games1, board.games2));
        EXPECT_EQ(score().field(MatchScore::gamesEntry(1, board.set)).Text, QString::number(board.games1));
        EXPECT_EQ(score().field(MatchScore::gamesEntry(2, board.set)).Text, QString::number(board.games2));
        EXPECT_EQ(score().server() + 1, board.server);
        EXPECT_EQ(score().tieBreakMode(), board.tieBreak);
        EXPECT_EQ(score().decidingPoint(), board.deciding);
        EXPECT_EQ(score().matchWinner(), board.winner);
        EXPECT_EQ(score().matchOver(), board.winner != 0);
        EXPECT_EQ(score().boldHeader(), board.winner != 0 ? 0 : board.set);
    }
};

// Legacy rules: no serve order inside the tie-break, and set 3 opens after a 2:0 win.
TEST_F(GoldenMatch, StandardFormatCountsAsTheBoardAlwaysDid)
{
    playGolden(kStandardFormat,
               "1:15-0 1:30-0 1:40-0 2:40-15 2:40-30 2:40-40 2:40-ADV 1:40-40 1:ADV-40 1:0-0[1-0]@2 "
               "L2[1-1]@1 L1[2-1]@2 L2[2-2]@1 L1[3-2]@2 L2[3-3]@1 L1[4-3]@2 L2[4-4]@1 L1[5-4]@2 "
               "L2[5-5]@1 L1[6-5]@2 L2[6-6]@1T "
               "1:1-0 2:1-1 1:2-1 1:3-1 2:3-2 1:4-2 1:5-2 2:5-3 2:5-4 2:5-5 2:5-6 1:6-6 1:7-6 1:0-0S2@2t "
               "L1[1-0]@1 L1[2-0]@2 L1[3-0]@1 L1[4-0]@2 L1[5-0]@1 L1S3@2 "
               "1:15-0");
    EXPECT_EQ(games(1), std::make_pair(7, 6));
    EXPECT_EQ(games(2), std::make_pair(6, 0));
    EXPECT_EQ(score().tieBreakLoserPoints(1), 6);
    EXPECT_EQ(score().tieBreakLoserPoints(2), -1);
}

// No-ad deciding points won by the server and by the receiver, then a match tie-break 10:8
// served first by side 2, in the tie-break order.
TEST_F(GoldenMatch, NoAdGamesAndAMatchTieBreakWonTenEight)
{
    playGolden(kNoAdMatchTiebreakFormat,
               "1:15-0 2:15-15 1:30-15 2:30-30 1:40-30 2:40-40! 1:0-0[1-0]@2 "
               "2:0-15 2:0-30 1:15-30 1:30-30 1:40-30 2:40-40! 2:0-0[1-1]@1 "
               "L1[2-1]@2 L1[3-1]@1 L1[4-1]@2 L1[5-1]@1 L1S2@2 "
               "L2[0-1]@1 L2[0-2]@2 L2[0-3]@1 L2[0-4]@2 L2[0-5]@1 L2S3T@2 "
               "1:1-0@1 2:1-1 1:2-1@2 1:3-1 2:3-2@1 1:4-2 2:4-3@2 1:5-3 1:6-3@1 2:6-4 "
               "2:6-5@2 2:6-6 1:7-6@1 2:7-7 1:8-7@2 2:8-8 1:9-8@1 1:-[10-8]@1tW1 "
               "1:- 2:-");
    EXPECT_EQ(games(1), std::make_pair(6, 1));
    EXPECT_EQ(games(2), std::make_pair(0, 6));
    EXPECT_EQ(score().tieBreakLoserPoints(3), -1) << "a match tie-break's figures are its points";
}

// A set tie-break 5:7 in the tie-break order; its first server receives first in set 2.
// The match tie-break goes past 10 all to 10:12.
TEST_F(GoldenMatch, SetTieBreakAndAMatchTieBreakWonTwelveTen)
{
    playGolden(kMatchTiebreakFormat,
               "L1[1-0]@2 L2[1-1]@1 L1[2-1]@2 L2[2-2]@1 L1[3-2]@2 L2[3-3]@1 L1[4-3]@2 L2[4-4]@1 "
               "L1[5-4]@2 L2[5-5]@1 L1[6-5]@2 L2[6-6]@1T "
               "2:0-1@2 1:1-1 2:1-2@1 2:1-3 1:2-3@2 2:2-4 1:3-4@1 1:4-4 2:4-5@2 1:5-5 2:5-6@1 "
               "2:0-0S2@2t "
               "L1[1-0]@1 L1[2-0]@2 L1[3-0]@1 L1[4-0]@2 L1[5-0]@1 L1S3T@2 "
               "1:1-0@1 1:2-0 2:2-1@2 2:2-2 1:3-2@1 2:3-3 2:3-4@2 1:4-4 1:5-4@1 1:6-4 2:6-5@2 "
               "2:6-6 1:7-6@1 2:7-7 1:8-7@2 1:9-7 2:9-8@1 2:9-9 1:10-9@2 2:10-10 2:10-11@1 "
               "2:-[10-12]tW2");
    EXPECT_EQ(games(1), std::make_pair(6, 7));
    EXPECT_EQ(games(2), std::make_pair(6, 0));
    EXPECT_EQ(score().tieBreakLoserPoints(1), 5);
}

// Two sets all, the fifth set to 6:6, then a tie-break to 10 that 7:6 does not end.
TEST_F(GoldenMatch, FinalSetTieBreakToTenAtSixAll)
{
    const std::string set1 = "L1[1-0]@2 L1[2-0]@1 L1[3-0]@2 L1[4-0]@1 L1[5-0]@2 ";
    const std::string set2 = "L2[0-1]@2 L2[0-2]@1 L2[0-3]@2 L2[0-4]@1 L2[0-5]@2 ";
    playGolden(kFinalSetTiebreak10Format,
               set1 + "L1S2@1 " + set2 + "L2S3@1 " + set1 + "L1S4@1 " + set2 + "L2S5@1 "
                   "L1[1-0]@2 L2[1-1]@1 L1[2-1]@2 L2[2-2]@1 L1[3-2]@2 L2[3-3]@1 L1[4-3]@2 L2[4-4]@1 "
                   "L1[5-4]@2 L2[5-5]@1 L1[6-5]@2 L2[6-6]@1T "
                   "1:1-0@2 2:1-1 1:2-1@1 2:2-2 2:2-3@2 1:3-3 1:4-3@1 1:5-3 2:5-4@2 1:6-4 2:6-5@1 "
                   "2:6-6 1:7-6@2 2:7-7 1:8-7@1 1:9-7 1:-[7-6]@2tW1");
    EXPECT_EQ(games(4), std::make_pair(0, 6));
    EXPECT_EQ(score().tieBreakLoserPoints(5), 7);
}

// Sets to four: 4:3 goes on, 4:4 is a tie-break to 7; 4:2 wins the second set and the match.
TEST_F(GoldenMatch, ShortSetsTieBreakAtFourAll)
{
    playGolden(kShortSetsFormat,
               "L1[1-0]@2 L2[1-1]@1 L1[2-1]@2 L2[2-2]@1 L1[3-2]@2 L2[3-3]@1 L1[4-3]@2 L2[4-4]@1T "
               "1:1-0@2 2:1-1 1:2-1@1 1:3-1 2:3-2@2 1:4-2 1:5-2@1 2:5-3 1:6-3@2 1:0-0S2@2t "
               "L2[0-1]@1 L1[1-1]@2 L1[2-1]@1 L2[2-2]@2 L1[3-2]@1 L1[4-2]@2W1");
    EXPECT_EQ(games(1), std::make_pair(5, 4));
    EXPECT_EQ(score().tieBreakLoserPoints(1), 3);
    EXPECT_EQ(games(3), std::make_pair(-1, -1)) << "no third set opens";
}

// No-ad games, the tie-break to 5 at 3:3 with its deciding point at 4:4, three sets.
TEST_F(GoldenMatch, Fast4TieBreakReachesFourAll)
{
    playGolden(kFast4Format,
               "1:15-0 2:15-15 1:30-15 2:30-30 1:40-30 2:40-40! 2:0-0[0-1]@2 "
               "L2[0-2]@1 L1[1-2]@2 L1[2-2]@1 L2[2-3]@2 L1[3-3]@1T "
               "2:0-1@2 1:1-1 1:2-1@1 2:2-2 2:2-3@2 1:3-3 1:4-3@1 2:4-4! 2:0-0S2@2t "
               "1:15-0 1:30-0 2:30-15 2:30-30 2:30-40 1:40-40! 1:0-0[1-0]@1 L1[2-0]@2 L1[3-0]@1 L1S3@2 "
               "L2[0-1]@1 L1[1-1]@2 L1[2-1]@1 L2[2-2]@2 L1[3-2]@1 L1[4-2]@2W1");
    EXPECT_EQ(games(1), std::make_pair(3, 4));
    EXPECT_EQ(games(2), std::make_pair(4, 0));
    EXPECT_EQ(score().tieBreakLoserPoints(1), 4);
}

// One set to 8: 8:7 goes on, 8:8 is a tie-break to 7 that runs on to 6:8.
TEST_F(GoldenMatch, ProSetTieBreakAtEightAll)
{
    playGolden(kProSetFormat,
               "L1[1-0]@2 L2[1-1]@1 L1[2-1]@2 L2[2-2]@1 L1[3-2]@2 L2[3-3]@1 L1[4-3]@2 L2[4-4]@1 "
               "L1[5-4]@2 L2[5-5]@1 L1[6-5]@2 L2[6-6]@1 L1[7-6]@2 L2[7-7]@1 L1[8-7]@2 L2[8-8]@1T "
               "1:1-0@2 1:2-0 2:2-1@1 2:2-2 2:2-3@2 2:2-4 1:3-4@1 1:4-4 1:5-4@2 2:5-5 2:5-6@1 "
               "1:6-6 2:6-7@2 2:-[8-9]@2tW2");
    EXPECT_EQ(score().tieBreakLoserPoints(1), 6);
}


// Advantage sets past any small bound: love games taken in turn, each with the board it leaves.
class LongSet
{
public:
    // Games won by `winners` in order ("1212" ...); `end` marks the last of them.
    LongSet &games(const std::string &winners, const std::string &end = {})
    {
        for (size_t i = 0; i < winners.size(); ++i) {
            const int side = winners[i] - '0';
            (side == 1 ? g1_ : g2_) += 1;
            server_ = 3 - server_;
            const bool last = i + 1 == winners.size();
            const bool wins = last && end.find('W') != std::string::npos;
            if (wins) {
                const std::string s(1, winners[i]);
                for (const char *text : {"15", "30", "40"})
                    script_ += side == 1 ? s + ":" + text + "-0 " : s + ":0-" + text + " ";
                script_ += s + ":-";
            } else {
                script_ += "L" + std::string(1, winners[i]);
            }
            script_ += "[" + std::to_string(g1_) + "-" + std::to_string(g2_) + "]@" + std::to_string(server_);
            if (last && !end.empty()) {
                script_ += end;
                if (end[0] == 'S')
                    g1_ = g2_ = 0;
            }
            script_ += ' ';
        }
        return *this;
    }
    // Games won in turn, side 1 first, up to n all.
    LongSet &inTurn(int n, const std::string &end = {})
    {
        std::string winners;
        for (int i = 0; i < n; ++i)
            winners += "12";
        return games(winners, end);
    }
    const std::string &script() const { return script_; }

private:
    std::string script_;
    int g1_ = 0;
    int g2_ = 0;
    int server_ = 1;
};

TEST_F(GoldenMatch, AdvantageFinalSetWonSeventeenFifteen)
{
    LongSet s;
    s.inTurn(4).games("11", "S2").inTurn(4).games("22", "S3").inTurn(15).games("11", "W1");
    playGolden(MatchFormat::parse(QStringLiteral("SET3-S:6/TB7-F:6")).format.value(), s.script());
    EXPECT_EQ(games(3), std::make_pair(17, 15));
}

TEST_F(GoldenMatch, AdvantageFifthSetWonTwentyFourTwentyTwo)
{
    LongSet s;
    s.inTurn(4).games("11", "S2").inTurn(4).games("22", "S3").inTurn(4).games("11", "S4").inTurn(4).games("22", "S5");
    s.inTurn(22).games("11", "W1");
    playGolden(MatchFormat::parse(QStringLiteral("SET5-S:6/TB7-F:6")).format.value(), s.script());
    EXPECT_EQ(games(5), std::make_pair(24, 22));
}

// A format the board always played, the tie-break option off: the set runs on and names no winner.
TEST_F(GoldenMatch, LegacySetWithoutTieBreakWonSixteenFourteen)
{
    LongSet s;
    s.inTurn(14).games("11", "S2").games("2");
    score().setTieBreakOption(false);
    playGolden(score().format(), s.script());
    EXPECT_EQ(score().format().code(), "SET5-S:6");
    EXPECT_EQ(games(1), std::make_pair(16, 14));
    EXPECT_EQ(score().field(MatchScore::gamesEntry(1, 1)).Text, "16");
    EXPECT_EQ(score().field(MatchScore::gamesEntry(2, 1)).Text, "14");
}

} // namespace
