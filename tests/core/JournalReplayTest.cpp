#include "core/JournalFormat.h"
#include "core/Match.h"
#include "core/MatchController.h"
#include "core/MatchRecord.h"
#include "tests/core/FakeTicks.h"
#include "tests/core/MatchRecordsCsv.h"
#include "tests/core/ScoreStatePrinter.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>
#include <vector>

namespace {

using Kind = MatchCommand::Kind;

// Every command the operator has, points weighted up so that games and sets get played.
MatchCommand randomCommand(std::mt19937 &rng)
{
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const int r = pick(100);
    if (r < 50)
        return MatchCommand::point(1 + pick(2), pick(4) == 0 ? MatchCommand::PointSource::NameLabel
                                                             : MatchCommand::PointSource::Key);
    if (r < 54)
        return MatchCommand::pointsCorrection(1 + pick(2), buttons[pick(3)]);
    if (r < 59) {
        const int entries[] = {7, 8, 9, 10, 11, 13, 14, 15, 16, 17, MatchScore::kLabTBreak1, MatchScore::kLabTBreak2};
        return MatchCommand::gamesCorrection(entries[pick(12)], buttons[pick(3)]);
    }
    if (r < 62)
        return MatchCommand::of(Kind::GameAward);
    if (r < 64)
        return MatchCommand::of(Kind::NextSet);
    if (r < 66)
        return MatchCommand::of(Kind::Serve);
    if (r < 69)
        return MatchCommand::of(Kind::TieBreakToggle);
    if (r < 71)
        return MatchCommand::withValue(Kind::SetHeader, 1 + pick(5));
    if (r < 75)
        return MatchCommand::of(Kind::Play);
    if (r < 76)
        return MatchCommand::of(Kind::Reset);
    if (r < 79)
        return MatchCommand::withValue(Kind::AutoCount, pick(2));
    if (r < 81)
        return MatchCommand::withValue(Kind::TieBreakOption, pick(2));
    if (r < 82)
        return MatchCommand::withValue(Kind::SetCount, pick(2) ? 3 : 5);
    if (r < 83)
        return MatchCommand::names(QStringLiteral("Player %1").arg(pick(1000)), QStringLiteral("Ärger, \"B\" %1").arg(pick(9)));
    if (r < 84)
        return MatchCommand::titleFile(QStringLiteral("titles/%1 final.rtf").arg(pick(10)));
    if (r < 85) {
        const char *codes[] = {"SET3-S:6/TB7", "SET5-S:6", "SET3-S:6NOAD/TB7-F:TB10", "SET5-S:6/TB7-F:6/TB10",
                               "SET3-S:4/TB7", "SET3-S:4NOAD/TB5NOAD@3", "SET1-S:8/TB7", "SET3X-S:TB10"};
        return MatchCommand::format(QString::fromLatin1(codes[pick(8)]));
    }
    if (r < 93)
        return MatchCommand::of(Kind::Undo);
    return MatchCommand::of(Kind::Redo);
}

struct Board
{
    explicit Board(std::uint32_t start = 5000) : ticks(start), match(ticks, QStringLiteral("0")), controller(match) {}

    FakeTicks ticks;
    Match match;
    MatchController controller;
};

void expectSameBoard(const MatchController &replayed, const MatchController &live)
{
    EXPECT_EQ(replayed.match().score().state(), live.match().score().state());
    EXPECT_EQ(replayed.match().score().CurrentSet(), live.match().score().CurrentSet());
    EXPECT_EQ(replayed.name(1), live.name(1));
    EXPECT_EQ(replayed.name(2), live.name(2));
    EXPECT_EQ(replayed.titleFile(), live.titleFile());
    EXPECT_EQ(replayed.match().timer().MatchPhase() == MatchTimer::NotStarted,
              live.match().timer().MatchPhase() == MatchTimer::NotStarted);
}

// Replays a journal into a fresh board, through the file format as a restore does.
void checkReplay(const MatchController &live)
{
    const JournalFormat::ReadResult read = JournalFormat::read(JournalFormat::write(live.journal()));
    ASSERT_EQ(read.status, JournalFormat::ReadResult::Status::Ok);
    ASSERT_EQ(read.records, live.journal());
    Board fresh(123);
    fresh.controller.replay(read.records);
    expectSameBoard(fresh.controller, live);
    EXPECT_EQ(fresh.controller.journal(), live.journal());
    if (live.match().timer().MatchPhase() != MatchTimer::NotStarted) {
        EXPECT_EQ(fresh.match.timer().MatchPhase(), MatchTimer::Paused);
        EXPECT_EQ(fresh.match.timer().elapsedMs(), live.journal().constLast().elapsedMs);
    }
}

TEST(JournalReplay, RandomCommandSequencesReplayToTheLiveBoard)
{
    constexpr int kSequences = 6000;
    for (int seed = 1; seed <= kSequences; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng{unsigned(seed)};
        Board live;
        const int length = 10 + int(rng() % 150);
        const int checkAt = int(rng() % unsigned(length));
        for (int i = 0; i < length; ++i) {
            live.ticks.advance(rng() % 20'000);
            live.controller.execute(randomCommand(rng));
            if (i == checkAt)
                checkReplay(live.controller);
        }
        checkReplay(live.controller);
        if (::testing::Test::HasFailure())
            return;
    }
}

// After undo and redo the board is what the commands in effect give when run afresh: an
// undone command taken out of the history, a redone one run again at the end of it.
TEST(JournalReplay, UndoAndRedoMatchTheHistoryOfTheCommandsInEffect)
{
    constexpr int kSequences = 4000;
    for (int seed = 1; seed <= kSequences; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng{unsigned(seed) * 7919u};
        Board live;
        struct InEffect
        {
            int id;
            MatchCommand command;
        };
        std::vector<InEffect> history;
        std::vector<InEffect> undoable;
        std::vector<InEffect> redoable;
        int nextId = 0;
        const int length = 10 + int(rng() % 120);
        for (int i = 0; i < length; ++i) {
            live.ticks.advance(rng() % 20'000);
            const MatchCommand c = randomCommand(rng);
            if (c.kind == Kind::Undo || c.kind == Kind::Redo) {
                // Undo and redo come in runs, to walk far back and forth.
                const int run = 1 + int(rng() % 6);
                for (int k = 0; k < run; ++k) {
                    live.controller.execute(c);
                    std::vector<InEffect> &from = c.kind == Kind::Undo ? undoable : redoable;
                    std::vector<InEffect> &to = c.kind == Kind::Undo ? redoable : undoable;
                    if (from.empty())
                        continue;
                    const InEffect step = from.back();
                    from.pop_back();
                    to.push_back(step);
                    if (c.kind == Kind::Undo)
                        std::erase_if(history, [&](const InEffect &e) { return e.id == step.id; });
                    else
                        history.push_back(step);
                }
            } else {
                const bool startsMatch =
                    c.kind == Kind::Play && live.match.timer().MatchPhase() == MatchTimer::NotStarted;
                const ScoreState before = live.match.score().state();
                live.controller.execute(c);
                const bool changed = live.match.score().state() != before || c.kind == Kind::Reset;
                // A command that changed nothing (a point before the start, say) is left out:
                // without an undone reset before it, it would act.
                if (!c.isUndoable() || changed)
                    history.push_back({nextId++, c});
                if (startsMatch) {
                    undoable.clear();
                    redoable.clear();
                } else if (c.isUndoable() && changed) {
                    undoable.push_back(history.back());
                    redoable.clear();
                }
            }
            if (i % 8 == 7 || i == length - 1) {
                Board oracle(99);
                for (const InEffect &e : history)
                    oracle.controller.execute(e.command);
                EXPECT_EQ(live.match.score().state(), oracle.match.score().state()) << "after command " << i;
                EXPECT_EQ(live.controller.canUndo(), !undoable.empty());
                EXPECT_EQ(live.controller.canRedo(), !redoable.empty());
            }
        }
        checkReplay(live.controller);
        if (::testing::Test::HasFailure())
            return;
    }
}

// Real matches played point by point through the command path: the journal replays to
// the same board, and the record read back from it is the recorded match.
TEST(JournalReplay, RealMatchesReplayFromTheirJournal)
{
    const QString path = MatchRecordsCsv::dataFile();
    if (!QFile::exists(path))
        GTEST_SKIP() << "match records not found at " << path.toStdString();
    int rows = 0;
    const auto records = MatchRecordsCsv::usableRecords(path, rows);
    ASSERT_GT(records.size(), 1000u);
    int samePbp = 0;
    for (const auto &r : records) {
        SCOPED_TRACE("match " + r.id.toStdString());
        Board live;
        live.controller.execute(MatchCommand::names(QStringLiteral("One"), QStringLiteral("Two")));
        live.controller.execute(MatchCommand::withValue(Kind::SetCount, 3));
        live.controller.execute(MatchCommand::of(Kind::Play));
        for (const QByteArray &set : r.pbp.split('.')) {
            for (const QByteArray &game : set.split(';')) {
                int current = live.match.score().server() + 1;
                for (char c : game) {
                    if (c == '/') {
                        current = 3 - current;
                        continue;
                    }
                    live.ticks.advance(40'000);
                    live.controller.execute(MatchCommand::point((c == 'S' || c == 'A') ? current : 3 - current));
                }
            }
        }
        Board fresh;
        fresh.controller.replay(live.controller.journal());
        expectSameBoard(fresh.controller, live.controller);

        const MatchRecord record = MatchRecord::fromJournal(live.controller.journal());
        QByteArray plain = r.pbp;
        plain.replace('A', 'S').replace('D', 'R');
        EXPECT_EQ(record.pbp().toLatin1(), plain);
        EXPECT_EQ(record.score(), r.score);
        EXPECT_EQ(record.winner(), r.winner);
        samePbp += record.pbp().toLatin1() == plain;
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_EQ(samePbp, int(records.size()));
}

} // namespace
