#include "core/Match.h"
#include "core/MatchController.h"
#include "core/MatchFormat.h"
#include "core/MatchRecord.h"
#include "tests/core/FakeTicks.h"
#include "tests/core/MatchRecordsCsv.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>

namespace {

using Kind = MatchCommand::Kind;
using MatchRecordsCsv::Sets;

struct Board
{
    Board() : match(ticks, QString()), controller(match) {}
    FakeTicks ticks;
    Match match;
    MatchController controller;
};

int setsWon(const MatchScore &s, int side, int upTo)
{
    int won = 0;
    for (int n = 1; n < s.CurrentSet() && n <= upTo; ++n)
        won += s.games(side, n) > s.games(3 - side, n);
    return won;
}

TEST(MatchRecord, CsvLineRoundTripsThroughTheMatchFileReader)
{
    const QList<QByteArray> header = MatchRecord::csvHeader().toLatin1().split(',');
    int tieBreaks = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng{seed};
        Board b;
        const int setCount = seed % 4 == 0 ? 5 : 3;
        b.controller.execute(MatchCommand::names(QStringLiteral("Ann, \"the\" First"), QStringLiteral("Bea")));
        b.controller.execute(MatchCommand::withValue(Kind::SetCount, setCount));
        if (seed % 2 == 0)
            b.controller.execute(MatchCommand::of(Kind::Serve)); // side 2 serves first
        b.controller.execute(MatchCommand::of(Kind::Play));
        const int toWin = setCount / 2 + 1;
        const MatchScore &s = b.match.score();
        while (setsWon(s, 1, setCount) < toWin && setsWon(s, 2, setCount) < toWin) {
            b.ticks.advance(30'000);
            // The server wins two points in three; now and then a point is taken back.
            const int server = s.server() + 1;
            b.controller.execute(MatchCommand::point(rng() % 3 ? server : 3 - server));
            if (rng() % 25 == 0) {
                b.controller.execute(MatchCommand::of(Kind::Undo));
                if (rng() % 2)
                    b.controller.execute(MatchCommand::of(Kind::Redo));
            }
        }
        const MatchRecord record = MatchRecord::fromJournal(b.controller.journal());
        const QString line = record.csvLine({QStringLiteral("77%1").arg(seed), QDate(2026, 3, 4),
                                             QStringLiteral("Courtlyx Open"), QStringLiteral("WTA"),
                                             QStringLiteral("Main")});
        MatchRecordsCsv::Record parsed;
        ASSERT_TRUE(MatchRecordsCsv::parseRecord(header, line.toUtf8(), parsed)) << line.toStdString();
        const QList<QByteArray> cols = MatchRecordsCsv::splitLine(line.toUtf8());
        EXPECT_EQ(cols[1], "04 Mar 26");
        const int first = seed % 2 == 0 ? 2 : 1;
        EXPECT_EQ(cols[5], first == 1 ? "Ann, \"the\" First" : "Bea");
        EXPECT_EQ(cols[11].toInt(), record.minutes());

        // The games the board shows, with the first server as side 1 as the files have it.
        Sets board;
        for (int n = 1; n < s.CurrentSet() && n <= setCount; ++n) {
            const int g1 = s.games(first, n);
            const int g2 = s.games(3 - first, n);
            board.push_back({g1, g2});
            tieBreaks += std::max(g1, g2) == 7 && std::min(g1, g2) == 6;
        }
        EXPECT_EQ(parsed.sets, board) << line.toStdString();
        EXPECT_EQ(MatchRecordsCsv::replay(parsed.pbp, setCount), board) << line.toStdString();
        const int winner = setsWon(s, first, setCount) == toWin ? 1 : 2;
        EXPECT_EQ(parsed.winner, winner);
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_GT(tieBreaks, 5) << "the matches must reach tie-breaks";
}

TEST(MatchRecord, TheColumnsAreThoseOfTheSharedMatchFile)
{
    QFile file(MatchRecordsCsv::dataFile());
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "match records not found";
    EXPECT_EQ(QString::fromLatin1(file.readLine().trimmed()), MatchRecord::csvHeader());
}

TEST(MatchRecord, FieldsAreQuotedOnlyWhereTheyMustBe)
{
    EXPECT_EQ(MatchRecord::csvField(QStringLiteral("Ann Lee")), "Ann Lee");
    EXPECT_EQ(MatchRecord::csvField(QStringLiteral("Lee, Ann")), "\"Lee, Ann\"");
    EXPECT_EQ(MatchRecord::csvField(QStringLiteral("A \"B\"")), "\"A \"\"B\"\"\"");
    EXPECT_EQ(MatchRecord::csvField(QStringLiteral("a\nb")), "\"a\nb\"");
}

TEST(MatchRecord, ATieBreakMarksItsServeChangesAndItsLostPoints)
{
    Board b;
    b.controller.execute(MatchCommand::of(Kind::Play));
    auto points = [&](const char *sides) {
        for (const char *c = sides; *c; ++c)
            b.controller.execute(MatchCommand::point(*c - '0'));
    };
    for (int i = 0; i < 6; ++i)
        points("11112222"); // side 1 serves the odd games: 6:6, both holding serve
    ASSERT_TRUE(b.match.score().tieBreakMode());
    points("1212121111"); // 7:3 for side 1
    const MatchRecord record = MatchRecord::fromJournal(b.controller.journal());
    const QString tieBreak = record.pbp().section(u';', -1);
    // Side 1 serves the tie-break; the serve passes after point 1, then every two.
    EXPECT_EQ(tieBreak, "S/SR/RS/SR/SS/R");
    EXPECT_EQ(record.score(), "7-6(3)");
    EXPECT_EQ(record.winner(), 0) << "one set of three decides no match";
}

// Only the points that stand: one taken away by hand leaves the string, one given by hand
// joins it for its side.
TEST(MatchRecord, PointsCorrectedByHandAreThePointsThatStand)
{
    Board b;
    b.controller.execute(MatchCommand::of(Kind::Play));
    for (int i = 0; i < 5; ++i)
        b.controller.execute(MatchCommand::point(2));
    b.controller.execute(MatchCommand::point(2));
    b.controller.execute(MatchCommand::pointsCorrection(2, Qt::RightButton));
    b.controller.execute(MatchCommand::point(1));
    b.controller.execute(MatchCommand::pointsCorrection(1, Qt::LeftButton));
    const MatchRecord record = MatchRecord::fromJournal(b.controller.journal());
    EXPECT_EQ(record.pbp(), "RRRR;SRR");
    EXPECT_EQ(record.winner(), 0);
    EXPECT_EQ(record.csvLine({}).split(u',')[7], QString()) << "an unfinished match has an empty winner column";
}

TEST(MatchRecord, ATieBreakThatDecidesNoSetLeavesItsFiguresBare)
{
    // The match file writes the loser's tie-break points after a set the tie-break won; one
    // the operator switched on early, at 3-3 of a set to six, decides no set.
    Board b;
    b.controller.execute(MatchCommand::of(Kind::Play));
    b.controller.execute(MatchCommand::withValue(Kind::AutoCount, 0));
    for (int i = 0; i < 3; ++i) {
        b.controller.execute(MatchCommand::point(1));
        b.controller.execute(MatchCommand::of(Kind::GameAward)); // to side 1
        b.controller.execute(MatchCommand::of(Kind::GameAward)); // level points: to side 2
    }
    b.controller.execute(MatchCommand::of(Kind::TieBreakToggle));
    ASSERT_TRUE(b.match.score().tieBreakMode());
    for (int i = 0; i < 3; ++i)
        b.controller.execute(MatchCommand::point(1));
    b.controller.execute(MatchCommand::of(Kind::GameAward));
    ASSERT_EQ(b.match.score().games(1, 1), 4);
    ASSERT_EQ(b.match.score().games(2, 1), 3);
    EXPECT_EQ(MatchRecord::fromJournal(b.controller.journal()).score(), "4-3");
}

// Fast4's tie-break at 3:3 decides the set at 4-3; undo takes its last point back, and the
// other side goes on to win the tie-break and the set.
TEST(MatchRecord, ASetDecidedByATieBreakShowsItsLoserPointsWhateverTheGames)
{
    Board b;
    b.controller.execute(MatchCommand::format(kFast4Format.code()));
    b.controller.execute(MatchCommand::of(Kind::Play));
    auto points = [&](const char *sides) {
        for (const char *c = sides; *c; ++c)
            b.controller.execute(MatchCommand::point(*c - '0'));
    };
    points("111122221111222211112222"); // 3:3, both holding serve
    points("1121211"); // 5:2 in the tie-break
    EXPECT_EQ(MatchRecord::fromJournal(b.controller.journal()).score().toStdString(), "4-3(2)");
    b.controller.execute(MatchCommand::of(Kind::Undo));
    points("222"); // from 4:2 to 4:5
    EXPECT_EQ(MatchRecord::fromJournal(b.controller.journal()).score().toStdString(), "4-3(4)");
}

TEST(MatchRecord, AMatchTieBreakIsWrittenAsItsPointsInBrackets)
{
    Board b;
    b.controller.execute(MatchCommand::format(kMatchTiebreakFormat.code()));
    b.controller.execute(MatchCommand::of(Kind::Play));
    for (const char side : {'1', '2'}) {
        for (int i = 0; i < 24; ++i)
            b.controller.execute(MatchCommand::point(side - '0')); // a set to love
    }
    for (int i = 0; i < 8; ++i) {
        b.controller.execute(MatchCommand::point(1));
        b.controller.execute(MatchCommand::point(2));
    }
    b.controller.execute(MatchCommand::point(2));
    b.controller.execute(MatchCommand::point(2));
    ASSERT_TRUE(b.match.score().matchOver());
    const MatchRecord record = MatchRecord::fromJournal(b.controller.journal());
    EXPECT_EQ(record.score().toStdString(), "0-6 6-0 [10-8]");
    EXPECT_EQ(record.winner(), 2);
}

// Under a format of its own the board keeps the serve order inside every tie-break; the record's
// points, replayed under that format, meet the same servers and give the same sets and winner.
class FormatRecord : public ::testing::TestWithParam<std::string>
{
};

TEST_P(FormatRecord, ReplaysToTheBoardsSetsWithItsServeOrder)
{
    int tieBreaks = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng{seed};
        Board b;
        const MatchFormat format = *MatchFormat::parse(QString::fromStdString(GetParam())).format;
        b.controller.execute(MatchCommand::format(format.code()));
        b.controller.execute(MatchCommand::of(Kind::Play));
        const MatchScore &s = b.match.score();
        while (!s.matchOver()) {
            tieBreaks += s.tieBreakMode() && s.points(1) + s.points(2) == 0;
            const int server = s.server() + 1;
            b.controller.execute(MatchCommand::point(rng() % 5 < 3 ? server : 3 - server));
        }
        const MatchRecord record = MatchRecord::fromJournal(b.controller.journal());
        Sets board;
        for (int n = 1; n <= s.CurrentSet(); ++n)
            board.push_back({s.games(record.firstServerSide(), n), s.games(3 - record.firstServerSide(), n)});
        int winner = 0;
        EXPECT_EQ(MatchRecordsCsv::replay(record.pbp().toLatin1(), 3, &format, &winner), board)
            << record.pbp().toStdString();
        EXPECT_EQ(winner, s.matchWinner() == record.firstServerSide() ? 1 : 2);
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_GT(tieBreaks, 10) << "the matches must reach tie-breaks";
}

INSTANTIATE_TEST_SUITE_P(MatchRecord, FormatRecord,
                         ::testing::Values(kFast4Format.code().toStdString(),
                                           kMatchTiebreakFormat.code().toStdString(),
                                           kShortSetsFormat.code().toStdString()));

TEST(MatchRecord, ALevelMatchIsScoredFromTheFirstServersSide)
{
    Board b;
    b.controller.execute(MatchCommand::of(Kind::Play));
    b.controller.execute(MatchCommand::of(Kind::Serve)); // side 2 serves first
    b.controller.execute(MatchCommand::point(2));
    // 2-1, 1-2, 1-1: one set each and the third level.
    const std::pair<int, int> clicks[] = {{MatchScore::gamesEntry(1, 1), 2}, {MatchScore::gamesEntry(2, 1), 1},
                                          {MatchScore::gamesEntry(1, 2), 2}, {MatchScore::gamesEntry(2, 2), 3},
                                          {MatchScore::gamesEntry(1, 3), 2}, {MatchScore::gamesEntry(2, 3), 2}};
    for (const auto &[entry, n] : clicks) {
        for (int i = 0; i < n; ++i)
            b.controller.execute(MatchCommand::gamesCorrection(entry, Qt::LeftButton));
    }
    const MatchRecord record = MatchRecord::fromJournal(b.controller.journal());
    ASSERT_EQ(record.winner(), 0);
    EXPECT_EQ(record.score(), "1-2 2-1 1-1");
}

TEST(MatchRecord, PlayingTimeIsRoundedToTheNearestMinute)
{
    EXPECT_EQ(MatchRecord::fromJournal({JournalRecord::end(89'999)}).minutes(), 1);
    EXPECT_EQ(MatchRecord::fromJournal({JournalRecord::end(90'000)}).minutes(), 2);
    EXPECT_EQ(MatchRecord::fromJournal({JournalRecord::end(29'999)}).minutes(), 0);
}

} // namespace
