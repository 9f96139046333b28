#include "core/MatchController.h"

#include "core/JournalFormat.h"
#include "core/Match.h"

#include <QDataStream>
#include <QIODevice>

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

namespace {
constexpr qint32 kSnapshotVersion = 1;

void put(QDataStream &out, const MatchFormat::Tiebreak &t)
{
    out << qint32(t.to) << t.noAd;
}

void put(QDataStream &out, const std::optional<MatchFormat::Tiebreak> &t)
{
    out << t.has_value();
    if (t)
        put(out, *t);
}

void put(QDataStream &out, const MatchFormat::SetFormat &s)
{
    out << qint32(s.setTo) << s.noAd << qint32(s.tiebreakAt);
    put(out, s.tiebreak);
    put(out, s.tiebreakSet);
}

bool get(QDataStream &in, std::optional<MatchFormat::Tiebreak> &t)
{
    bool has = false;
    in >> has;
    t.reset();
    if (has) {
        qint32 to = 0;
        bool noAd = false;
        in >> to >> noAd;
        t = MatchFormat::Tiebreak{to, noAd};
    }
    return in.status() == QDataStream::Ok;
}

bool get(QDataStream &in, MatchFormat::SetFormat &s)
{
    qint32 setTo = 0, at = 0;
    in >> setTo >> s.noAd >> at;
    s.setTo = setTo;
    s.tiebreakAt = at;
    return get(in, s.tiebreak) && get(in, s.tiebreakSet);
}

void put(QDataStream &out, const ScoreField &f)
{
    out << qint32(f.Tag) << f.Text;
}

bool get(QDataStream &in, ScoreField &f)
{
    qint32 tag = 0;
    in >> tag >> f.Text;
    f.Tag = tag;
    return in.status() == QDataStream::Ok;
}
} // namespace

QByteArray MatchController::snapshot() const
{
    const ScoreState state = match_.score().state();
    const FormatRules &rules = state.rules;
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        // UTF-8: half the size of the stream's own strings for the usual title text.
        out << kSnapshotVersion << qint32(match_.timer().MatchPhase()) << name1_.toUtf8() << name2_.toUtf8()
            << titleFile_.toUtf8() << titleText_.toUtf8();
        for (const ScoreField &f : state.fields)
            put(out, f);
        for (const ScoreField &f : state.tieBreakFields)
            put(out, f);
        out << qint32(state.currentSet) << qint32(state.boldHeader) << qint32(state.server) << state.tieBreakMode
            << state.autoCount << state.manualTieBreakMark;
        for (bool b : state.leaderHighlighted)
            out << b;
        out << rules.givenFormat().code() << qint32(rules.setCount()) << rules.tieBreakOption()
            << qint32(rules.tieBreakFirstServer);
        for (int p : rules.tieBreakLoserPoints)
            out << qint32(p);
        out << rules.decidingPoint << rules.result.over << qint32(rules.result.winner) << rules.pinned.has_value()
            << qint32(rules.pinnedSet);
        if (rules.pinned)
            put(out, *rules.pinned);
    }
    const QByteArray text = bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    // A state the rules cannot be rebuilt into, or too long for a journal line, is left out:
    // the commands still hold it.
    if (text.size() + 64 > JournalFormat::kMaxLineBytes)
        return {};
    Snapshot back;
    if (!readSnapshot(text, back) || back.score != state || back.name1 != name1_ || back.name2 != name2_
        || back.titleFile != titleFile_ || back.titleText != titleText_ || back.phase != match_.timer().MatchPhase())
        return {};
    return text;
}

bool MatchController::readSnapshot(const QByteArray &text, Snapshot &out)
{
    const auto decoded = QByteArray::fromBase64Encoding(
        text, QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    QDataStream in(*decoded);
    in.setVersion(QDataStream::Qt_6_0);
    qint32 version = 0, phase = 0;
    QByteArray name1, name2, titleFile, titleText;
    in >> version >> phase >> name1 >> name2 >> titleFile >> titleText;
    out.name1 = QString::fromUtf8(name1);
    out.name2 = QString::fromUtf8(name2);
    out.titleFile = QString::fromUtf8(titleFile);
    out.titleText = QString::fromUtf8(titleText);
    if (version != kSnapshotVersion || phase < MatchTimer::NotStarted || phase > MatchTimer::Running)
        return false;
    out.phase = phase;
    ScoreState &state = out.score;
    for (ScoreField &f : state.fields)
        get(in, f);
    for (ScoreField &f : state.tieBreakFields)
        get(in, f);
    qint32 currentSet = 0, boldHeader = 0, server = 0;
    in >> currentSet >> boldHeader >> server >> state.tieBreakMode >> state.autoCount >> state.manualTieBreakMark;
    state.currentSet = currentSet;
    state.boldHeader = boldHeader;
    state.server = server;
    for (bool &b : state.leaderHighlighted)
        in >> b;
    QString code;
    qint32 setCount = 0, firstServer = 0;
    bool option = true;
    in >> code >> setCount >> option >> firstServer;
    const MatchFormat::Parsed parsed = MatchFormat::parse(code);
    if (!parsed.format || setCount < 1 || setCount > kMaxSets)
        return false;
    FormatRules &rules = state.rules;
    rules.setFormat(*parsed.format);
    // Only three and five are a legacy choice; any other count is the format's own.
    if (setCount == 3 || setCount == 5)
        rules.setSetCount(setCount);
    rules.setTieBreakOption(option);
    rules.tieBreakFirstServer = firstServer;
    for (int &p : rules.tieBreakLoserPoints) {
        qint32 v = 0;
        in >> v;
        p = v;
    }
    bool pinned = false;
    qint32 winner = 0, pinnedSet = 0;
    in >> rules.decidingPoint >> rules.result.over >> winner >> pinned >> pinnedSet;
    rules.result.winner = winner;
    rules.pinnedSet = pinnedSet;
    rules.pinned.reset();
    if (pinned) {
        MatchFormat::SetFormat set;
        if (!get(in, set))
            return false;
        rules.pinned = set;
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

bool MatchController::restoreSnapshot(const QByteArray &text, std::uint32_t elapsedMs)
{
    Snapshot s;
    if (!readSnapshot(text, s))
        return false;
    MatchTimer &timer = match_.timer();
    if (s.phase == MatchTimer::NotStarted) {
        timer.reset();
    } else {
        timer.restorePaused(elapsedMs);
        if (s.phase == MatchTimer::Running)
            timer.bPlayClick();
    }
    restore(s.score);
    steps_.clear();
    done_ = 0;
    lastStamp_ = elapsedMs;
    if (name1_ != s.name1 || name2_ != s.name2) {
        name1_ = s.name1;
        name2_ = s.name2;
        emit namesChanged();
    }
    if (titleFile_ != s.titleFile) {
        titleFile_ = s.titleFile;
        emit titleFileChanged();
    }
    if (titleText_ != s.titleText) {
        titleText_ = s.titleText;
        emit titleTextChanged();
    }
    return true;
}
