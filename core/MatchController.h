#pragma once

#include "core/JournalRecord.h"
#include "core/MatchCommand.h"
#include "core/ScoreState.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>

class Match;

// The one path of operator commands into a match: each runs the match's own handler, is
// recorded in the journal, and (unless it is a timer, names or title command) can be undone.
// Undo keeps the state before and after every step, so it costs one restore, not a replay.
class MatchController : public QObject
{
    Q_OBJECT

public:
    static constexpr std::size_t kMaxUndoSteps = 100000;

    explicit MatchController(Match &match, QObject *parent = nullptr);

    Match &match() { return match_; }
    const Match &match() const { return match_; }

    // Runs a command from the operator, stamped with the playing time now. Invalid
    // arguments change nothing and are not recorded.
    void execute(const MatchCommand &command);

    // Repeats a journal as it ran: every record with its own time stamp, so this journal
    // grows by the same records. finishReplay leaves a started match paused at the last
    // recorded playing time, which is what a restore after a crash shows.
    void replay(const QList<JournalRecord> &records);
    void replayRecord(const JournalRecord &record);
    void finishReplay();

    // The whole state a restore needs instead of the commands before it: score, options,
    // playing time, names and title. Empty when it would not read back as it stands.
    QByteArray snapshot() const;
    // Takes the state of snapshot() at playing time elapsedMs in place of a replay of what
    // came before it; undo then reaches back to here and no further. False, changing nothing,
    // when the state does not read.
    bool restoreSnapshot(const QByteArray &state, std::uint32_t elapsedMs);

    const QList<JournalRecord> &journal() const { return journal_; }
    void setJournalKept(bool kept) { journalKept_ = kept; }

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // Steps that undo could take back now.
    int undoDepth() const { return int(done_); }

    const QString &name(int side) const { return side == 1 ? name1_ : name2_; }
    const QString &titleFile() const { return titleFile_; }
    const QString &titleText() const { return titleText_; }

signals:
    void recorded(const JournalRecord &record);
    void namesChanged();
    void titleFileChanged();
    void titleTextChanged();
    // Automatic counting, tie-break option or set count took a new value from undo or redo.
    void optionsChanged();

private:
    struct Step
    {
        MatchCommand command;
        ScoreState before;
        ScoreState after;
        bool timerStartedBefore;
        std::uint32_t elapsedBefore;
    };

    struct Snapshot
    {
        int phase = 0;
        QString name1;
        QString name2;
        QString titleFile;
        QString titleText;
        ScoreState score;
    };
    static bool readSnapshot(const QByteArray &text, Snapshot &out);

    void run(const MatchCommand &command, std::uint32_t elapsedMs, bool stamped);
    void apply(const MatchCommand &command);
    bool undo();
    bool redo();
    void restore(const ScoreState &state);
    std::uint32_t elapsedMs() const;

    Match &match_;
    QList<JournalRecord> journal_;
    bool journalKept_ = true;
    // The oldest step drops off the front once the bound is reached, in constant time.
    std::deque<Step> steps_;
    std::size_t done_ = 0;
    bool replaying_ = false;
    std::uint32_t lastStamp_ = 0;
    QString name1_;
    QString name2_;
    QString titleFile_;
    QString titleText_;
};
