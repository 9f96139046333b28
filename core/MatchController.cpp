#include "core/MatchController.h"

#include "core/Match.h"

namespace {
bool sameOptions(const ScoreState &a, const ScoreState &b)
{
    return a.autoCount == b.autoCount && a.rules.tieBreakOption() == b.rules.tieBreakOption()
           && a.rules.format() == b.rules.format();
}

// What a journal line can hold: valid UTF-8 (a lone surrogate would read back as U+FFFD)
// within the length bound.
QString storable(const QString &text, int maxChars)
{
    return QString::fromUtf8(text.left(maxChars).toUtf8());
}
} // namespace

MatchController::MatchController(Match &match, QObject *parent) : QObject(parent), match_(match) {}

void MatchController::execute(const MatchCommand &command)
{
    run(command, 0, false);
}

void MatchController::replay(const QList<JournalRecord> &records)
{
    for (const JournalRecord &r : records)
        replayRecord(r);
    finishReplay();
}

void MatchController::replayRecord(const JournalRecord &record)
{
    if (record.type == JournalRecord::Type::Command) {
        replaying_ = true;
        run(record.command, record.elapsedMs, true);
        replaying_ = false;
    }
    lastStamp_ = record.elapsedMs;
}

void MatchController::finishReplay()
{
    if (match_.timer().MatchPhase() != MatchTimer::NotStarted)
        match_.timer().restorePaused(lastStamp_);
}

std::uint32_t MatchController::elapsedMs() const
{
    // During a replay the clock is not the one the journal was written with: the time
    // before a command is the stamp of the record before it.
    return replaying_ ? lastStamp_ : match_.timer().elapsedMs();
}

void MatchController::run(const MatchCommand &given, std::uint32_t stamp, bool stamped)
{
    if (!given.isValid() || !given.isJournalled())
        return;
    MatchCommand command = given;
    if (command.kind == MatchCommand::Kind::Names) {
        command.text1 = storable(command.text1, MatchCommand::kMaxNameChars);
        command.text2 = storable(command.text2, MatchCommand::kMaxNameChars);
    } else if (command.kind == MatchCommand::Kind::TitleFile) {
        command.text1 = storable(command.text1, MatchCommand::kMaxTitleChars);
    }

    if (command.kind == MatchCommand::Kind::Undo) {
        undo();
    } else if (command.kind == MatchCommand::Kind::Redo) {
        redo();
    } else {
        const bool startedBefore = match_.timer().MatchPhase() != MatchTimer::NotStarted;
        const std::uint32_t elapsedBefore = elapsedMs();
        const ScoreState before = match_.score().state();
        apply(command);
        if (command.kind == MatchCommand::Kind::Play && !startedBefore) {
            // The start opens the match: undo goes back to here and no further.
            steps_.clear();
            done_ = 0;
        } else if (command.isUndoable()) {
            ScoreState after = match_.score().state();
            // A command that changed nothing leaves the redo tail and gives nothing to undo.
            if (after != before || command.kind == MatchCommand::Kind::Reset) {
                steps_.resize(done_);
                if (steps_.size() >= kMaxUndoSteps)
                    steps_.pop_front();
                steps_.push_back({command, before, std::move(after), startedBefore, elapsedBefore});
                done_ = steps_.size();
            }
        }
    }

    JournalRecord record;
    record.command = command;
    record.elapsedMs = stamped ? stamp : match_.timer().elapsedMs();
    if (journalKept_)
        journal_.append(record);
    emit recorded(record);
}

void MatchController::apply(const MatchCommand &c)
{
    MatchScore &score = match_.score();
    using Kind = MatchCommand::Kind;
    switch (c.kind) {
    case Kind::Point:
        c.side == 1 ? score.mSchet1Click() : score.mSchet2Click();
        break;
    case Kind::GameAward:
        score.Game1Click();
        break;
    case Kind::NextSet:
        score.Set1Click();
        break;
    case Kind::Serve:
        score.mPodachaClick();
        break;
    case Kind::TieBreakToggle:
        score.mTieBreakClick();
        break;
    case Kind::SetHeader:
        score.LabelSClick(c.value);
        break;
    case Kind::PointsCorrection:
        score.eSchetMouseDown(c.side, c.button);
        break;
    case Kind::GamesCorrection:
        score.SMouseDown(c.value, c.button);
        break;
    case Kind::Play:
        match_.timer().bPlayClick();
        break;
    case Kind::Reset:
        match_.reset();
        break;
    case Kind::AutoCount:
        score.setAutoCount(c.value == 1);
        break;
    case Kind::TieBreakOption:
        score.setTieBreakOption(c.value == 1);
        break;
    case Kind::SetCount:
        score.setSetCount(c.value);
        break;
    case Kind::Format:
        if (const MatchFormat::Parsed parsed = MatchFormat::parse(c.text1); parsed.format)
            score.setFormat(*parsed.format);
        break;
    case Kind::Names:
        name1_ = c.text1;
        name2_ = c.text2;
        emit namesChanged();
        break;
    case Kind::TitleFile:
        titleFile_ = c.text1;
        emit titleFileChanged();
        break;
    case Kind::TitleText:
        titleText_ = c.text1;
        emit titleTextChanged();
        break;
    case Kind::Undo:
    case Kind::Redo:
    // The set-up is the board's, not the match's: it never reaches here.
    case Kind::TypedNames:
    case Kind::Colour:
    case Kind::Monitor:
    case Kind::TieBreakPoints:
    case Kind::Sound:
        break;
    }
}

bool MatchController::undo()
{
    if (done_ == 0)
        return false;
    const Step &step = steps_[--done_];
    restore(step.before);
    // The reset stopped the clock; the match it undoes comes back paused at its time.
    if (step.command.kind == MatchCommand::Kind::Reset && step.timerStartedBefore)
        match_.timer().restorePaused(step.elapsedBefore);
    return true;
}

bool MatchController::redo()
{
    if (done_ == steps_.size())
        return false;
    const Step &step = steps_[done_++];
    if (step.command.kind == MatchCommand::Kind::Reset)
        match_.timer().reset();
    restore(step.after);
    return true;
}

void MatchController::restore(const ScoreState &state)
{
    const ScoreState old = match_.score().state();
    match_.score().restore(state);
    if (!sameOptions(old, state))
        emit optionsChanged();
}
