#include "core/JournalFormat.h"
#include "core/MatchController.h"
#include "tests/core/MatchFixture.h"
#include "tests/core/ScoreStatePrinter.h"

#include <QSignalSpy>

namespace {

using Kind = MatchCommand::Kind;

class Controller : public MatchFixture
{
protected:
    void run(Kind kind) { controller.execute(MatchCommand::of(kind)); }
    void point(int side) { controller.execute(MatchCommand::point(side)); }
    void points(const std::string &sides)
    {
        for (char c : sides)
            point(c - '0');
    }

    MatchController controller{match};
};

TEST_F(Controller, UndoAndRedoWalkBackToTheStartAndForwardAgain)
{
    run(Kind::Play);
    const ScoreState atStart = score().state();
    points("1111"); // game to side 1, serve passes
    const ScoreState afterGame = score().state();
    points("22");
    const ScoreState at0_30 = score().state();
    EXPECT_EQ(pointsText(2), "30");

    run(Kind::Undo);
    run(Kind::Undo);
    EXPECT_EQ(score().state(), afterGame);
    for (int i = 0; i < 4; ++i)
        run(Kind::Undo);
    EXPECT_EQ(score().state(), atStart);
    EXPECT_EQ(score().server(), 0) << "the serve comes back with the game";
    EXPECT_FALSE(controller.canUndo()) << "the start of the match is as far as undo goes";
    run(Kind::Undo);
    EXPECT_EQ(score().state(), atStart);

    for (int i = 0; i < 6; ++i)
        run(Kind::Redo);
    EXPECT_EQ(score().state(), at0_30);
    EXPECT_FALSE(controller.canRedo());
}

TEST_F(Controller, ANewCommandAfterAnUndoDropsTheRedoTail)
{
    run(Kind::Play);
    points("11");
    run(Kind::Undo);
    point(2);
    EXPECT_FALSE(controller.canRedo());
    run(Kind::Redo);
    EXPECT_EQ(pointsText(1), "15");
    EXPECT_EQ(pointsText(2), "15");
}

TEST_F(Controller, UndoPassesOverTimerAndNamesButNotOptions)
{
    run(Kind::Play);
    point(1);
    run(Kind::Play); // pause
    controller.execute(MatchCommand::names(QStringLiteral("A"), QStringLiteral("B")));
    controller.execute(MatchCommand::withValue(Kind::AutoCount, 0));
    ASSERT_FALSE(score().autoCount());
    QSignalSpy options(&controller, &MatchController::optionsChanged);

    run(Kind::Undo);
    EXPECT_TRUE(score().autoCount());
    EXPECT_EQ(options.count(), 1);
    run(Kind::Undo);
    EXPECT_EQ(pointsText(1), "0");
    EXPECT_EQ(match.timer().MatchPhase(), MatchTimer::Paused) << "the pause is not undone";
    EXPECT_EQ(controller.name(1), "A");
}

TEST_F(Controller, UndoTakesBackTieBreakModeAndTheManualMark)
{
    run(Kind::Play);
    for (int i = 0; i < 6; ++i)
        points("11112222");
    ASSERT_TRUE(score().tieBreakMode());
    controller.execute(MatchCommand::withValue(Kind::AutoCount, 0));
    run(Kind::TieBreakToggle);
    ASSERT_TRUE(score().manualTieBreakMark());
    run(Kind::TieBreakToggle);
    ASSERT_FALSE(score().tieBreakMode());
    QSignalSpy mode(&score(), &MatchScore::tieBreakModeChanged);

    run(Kind::Undo);
    EXPECT_TRUE(score().tieBreakMode());
    EXPECT_TRUE(score().manualTieBreakMark());
    ASSERT_EQ(mode.count(), 1);
    EXPECT_EQ(mode.at(0).at(0).toBool(), true);
    run(Kind::Undo);
    run(Kind::Undo);
    run(Kind::Undo); // the last game, which began the tie-break
    EXPECT_FALSE(score().tieBreakMode());
    EXPECT_EQ(games(1), std::make_pair(6, 5));
}

TEST_F(Controller, UndoOfAResetBringsTheMatchBackPaused)
{
    run(Kind::Play);
    points("111");
    ticks.advance(95'000);
    const ScoreState before = score().state();
    run(Kind::Reset);
    ASSERT_EQ(match.timer().MatchPhase(), MatchTimer::NotStarted);
    ticks.advance(5'000);

    run(Kind::Undo);
    EXPECT_EQ(score().state(), before);
    EXPECT_EQ(match.timer().MatchPhase(), MatchTimer::Paused);
    EXPECT_EQ(match.timer().elapsedMs(), 95'000u);
    EXPECT_EQ(match.timer().elapsedText(), "1:35");

    run(Kind::Redo);
    EXPECT_EQ(match.timer().MatchPhase(), MatchTimer::NotStarted);
    EXPECT_EQ(score().CurrentSet(), 0);
    run(Kind::Undo);
    point(1);
    EXPECT_EQ(score().games(1, 1), 1) << "points count again after the reset is undone";
}

TEST_F(Controller, RestoreSignalsWhatChangedForTheWindow)
{
    run(Kind::Play);
    points("1111" "1111" "1111" "1111" "1111" "1111"); // 6:0, set 2 opens
    ASSERT_EQ(score().CurrentSet(), 2);
    const int s1 = MatchScore::gamesEntry(1, 1);
    ASSERT_EQ(score().leaderRole(s1), MatchScore::TextRole::TextHi);
    ASSERT_EQ(score().leaderRole(MatchScore::gamesEntry(2, 1)), MatchScore::TextRole::Text);
    QSignalSpy fields(&score(), &MatchScore::fieldChanged);
    QSignalSpy bold(&score(), &MatchScore::boldHeaderChanged);
    QSignalSpy server(&score(), &MatchScore::serverChanged);
    QSignalSpy leaders(&score(), &MatchScore::setLeaderMarked);

    run(Kind::Undo); // back to 5:0, 40:0 in set 1
    EXPECT_EQ(score().CurrentSet(), 1);
    EXPECT_EQ(pointsText(1), "40");
    QList<int> changed;
    for (const auto &args : fields)
        changed.append(args.at(0).toInt());
    std::sort(changed.begin(), changed.end());
    EXPECT_EQ(changed, (QList<int>{MatchScore::pointsEntry(1), MatchScore::gamesEntry(1, 1),
                                   MatchScore::gamesEntry(1, 2), MatchScore::gamesEntry(2, 2)}));
    ASSERT_EQ(bold.count(), 1);
    EXPECT_EQ(bold.at(0).at(0).toInt(), 1);
    ASSERT_EQ(server.count(), 1);
    EXPECT_EQ(server.at(0).at(0).toInt(), score().server());
    ASSERT_EQ(leaders.count(), 10);
    EXPECT_EQ(score().leaderRole(s1), MatchScore::TextRole::Text) << "before the set ended nobody was marked";
    for (const auto &args : leaders) {
        const int entry = args.at(0).toInt();
        EXPECT_EQ(args.at(1).value<MatchScore::TextRole>(), score().leaderRole(entry)) << entry;
    }

    leaders.clear();
    run(Kind::Redo);
    EXPECT_EQ(score().leaderRole(s1), MatchScore::TextRole::TextHi);
    const auto s1Mark = std::find_if(leaders.begin(), leaders.end(),
                                     [&](const QList<QVariant> &args) { return args.at(0).toInt() == s1; });
    ASSERT_NE(s1Mark, leaders.end());
    EXPECT_EQ(s1Mark->at(1).value<MatchScore::TextRole>(), MatchScore::TextRole::TextHi);
}

TEST_F(Controller, InvalidCommandsAreNeitherRunNorRecorded)
{
    controller.execute(MatchCommand::pointsCorrection(3, Qt::LeftButton));
    controller.execute(MatchCommand::gamesCorrection(12, Qt::LeftButton));
    controller.execute(MatchCommand::withValue(Kind::SetCount, 4));
    controller.execute(MatchCommand::gamesCorrection(7, Qt::NoButton));
    EXPECT_TRUE(controller.journal().isEmpty());
    controller.execute(MatchCommand::gamesCorrection(MatchScore::kLabTBreak2, Qt::LeftButton));
    EXPECT_EQ(score().field(MatchScore::kLabTBreak2).Text, "1");
    EXPECT_EQ(controller.journal().size(), 1);
}

TEST_F(Controller, TheSetUpNeitherChangesTheMatchNorIsRecorded)
{
    run(Kind::Play);
    const ScoreState before = score().state();
    controller.execute(MatchCommand::names(QStringLiteral("A"), QStringLiteral("B")));
    controller.execute(MatchCommand::withValue(Kind::Sound, 1));
    controller.execute(MatchCommand::withValue(Kind::TieBreakPoints, 0));
    controller.execute(MatchCommand::withValue(Kind::Monitor, 1));
    MatchCommand typed = MatchCommand::names(QStringLiteral("C"), QStringLiteral("D"));
    typed.kind = Kind::TypedNames;
    controller.execute(typed);
    EXPECT_EQ(score().state(), before);
    EXPECT_EQ(controller.name(1), "A");
    EXPECT_EQ(controller.journal().size(), 2);
    EXPECT_FALSE(controller.canUndo());
}

// Every option is part of the match: undo takes it back, redo gives it again.
class ControllerOption : public Controller, public ::testing::WithParamInterface<MatchCommand>
{
};

TEST_P(ControllerOption, IsUndoneAndRedone)
{
    run(Kind::Play);
    point(1);
    const ScoreState before = score().state();
    controller.execute(GetParam());
    const ScoreState after = score().state();
    ASSERT_NE(after, before);
    run(Kind::Undo);
    EXPECT_EQ(score().state(), before);
    run(Kind::Redo);
    EXPECT_EQ(score().state(), after);
}

INSTANTIATE_TEST_SUITE_P(Controller, ControllerOption,
                         ::testing::Values(MatchCommand::withValue(Kind::AutoCount, 0),
                                           MatchCommand::withValue(Kind::TieBreakOption, 0),
                                           MatchCommand::withValue(Kind::SetCount, 3),
                                           MatchCommand::format(QStringLiteral("SET3-S:4NOAD/TB5NOAD@3")),
                                           MatchCommand::withValue(Kind::SetHeader, 3)));

TEST_F(Controller, JournalStampsThePlayingTimeOfStartPauseAndResume)
{
    run(Kind::Play);
    ticks.advance(60'000);
    point(1);
    run(Kind::Play);
    ticks.advance(30'000); // the pause does not count
    run(Kind::Play);
    ticks.advance(5'000);
    run(Kind::Play);
    std::vector<std::uint32_t> stamps;
    for (const JournalRecord &r : controller.journal())
        stamps.push_back(r.elapsedMs);
    EXPECT_EQ(stamps, (std::vector<std::uint32_t>{0, 60'000, 60'000, 60'000, 65'000}));
}

TEST_F(Controller, ARestoredMatchStandsPausedAtItsPlayingTime)
{
    controller.execute(MatchCommand::names(QStringLiteral("Ann"), QStringLiteral("Bea")));
    controller.execute(MatchCommand::titleFile(QStringLiteral("/titles/final.rtf")));
    run(Kind::Play);
    ticks.advance(3'725'000);
    points("12");

    FakeTicks otherTicks(777);
    Match restored(otherTicks, QStringLiteral("00:00:00"));
    MatchController again(restored);
    QSignalSpy names(&again, &MatchController::namesChanged);
    again.replay(JournalFormat::read(JournalFormat::write(controller.journal())).records);
    EXPECT_EQ(restored.score().state(), score().state());
    EXPECT_EQ(restored.timer().MatchPhase(), MatchTimer::Paused);
    EXPECT_EQ(restored.timer().elapsedText(), "1:02:05");
    EXPECT_EQ(again.name(2), "Bea");
    EXPECT_EQ(again.titleFile(), "/titles/final.rtf");
    EXPECT_EQ(names.count(), 1);
    otherTicks.advance(1'000);
    restored.timer().bPlayClick();
    otherTicks.advance(2'000);
    EXPECT_EQ(restored.timer().elapsedMs(), 3'727'000u) << "resumed from the restored time";
}

TEST_F(Controller, UndoReachesBackAtMostItsBoundOfSteps)
{
    controller.setJournalKept(false);
    run(Kind::Play);
    const int bound = int(MatchController::kMaxUndoSteps);
    for (int i = 0; i <= bound; ++i)
        run(Kind::Serve); // each one changes the state
    EXPECT_EQ(controller.undoDepth(), bound) << "the oldest step gave way to the newest";
}

} // namespace
