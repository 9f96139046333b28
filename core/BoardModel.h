#pragma once

#include "core/Match.h"
#include "core/MatchCommand.h"
#include "core/MatchController.h"
#include "core/MatchJournal.h"
#include "gdi/Colors.h"

#include <QObject>
#include <QString>

#include <array>

class TickSource;
struct BoardSettings;

// Everything the board shows and remembers, in one place: the match (score, format, rules
// state, timer), the names, the title file, the options, the colour scheme, the monitor and
// the sound flag. execute() is the only way to change it; the window's views, the journal,
// the feed and the records read it. The score's and the timer's own signals say what of the
// match changed; the signals here say the rest.
class BoardModel : public QObject
{
    Q_OBJECT

public:
    static constexpr auto kDecidingPointText = "DP";

    BoardModel(const TickSource &ticks, const QString &journalFolder, QObject *parent = nullptr);
    ~BoardModel() override;

    const Match &match() const { return match_; }
    const MatchScore &score() const { return match_.score(); }
    const MatchTimer &timer() const { return match_.timer(); }
    const MatchController &controller() const { return controller_; }
    const MatchJournal &journal() const { return journal_; }

    const QString &name(int side) const { return names_[side == 1 ? 0 : 1]; }
    const QString &titleFile() const { return titleFile_; }
    const QString &titleText() const { return titleText_; }
    // What the start found wrong with the last run's journal; empty when nothing.
    const QString &restoreNote() const { return journal_.restoreNote(); }
    TColor colour(int slot) const { return colours_[std::size_t(slot)]; }
    const std::array<TColor, 5> &colours() const { return colours_; }
    int monitor() const { return monitor_; }
    bool sound() const { return sound_; }
    bool showsTieBreakPoints() const { return tieBreakPoints_; }

    // What a points figure shows: "DP" in both at a deciding point, else the score's text.
    QString pointsText(int side) const;
    // The side whose name takes the set-leader colour: the winner of a decided match, else 0.
    int winner() const;

    // Before start() only the set-up takes effect (the stored settings, read at the
    // window's creation): no match command runs and nothing is journalled.
    void execute(const MatchCommand &command);

    // Restores a match the last run left unfinished; true when one was restored.
    bool start(const QString &titleFile);
    // "Beenden?" answered "Ja": the match is kept as a record and the journal ends. False
    // when the record could not be written (journalProblem says why); the journal then
    // keeps the match for the next start.
    bool end();

    // The model's values of the remembered set-up, and the set-up applied as commands in
    // the order the store keeps them.
    void store(BoardSettings &settings) const;
    void apply(const BoardSettings &settings);

signals:
    void namesChanged();
    void titleFileChanged();
    // Automatic counting, the tie-break option, the set count or the format.
    void optionsChanged();
    void coloursChanged();
    void monitorChanged();
    void tieBreakPointsChanged();
    // Undo took a step back.
    void undone();
    // A match command is about to run: typing not yet sent goes first.
    void commandComing();
    // A command ran (journalled or not): the feed publishes once per turn of the loop.
    void commandRan();
    // Anything a published score may hold changed: a figure, the server, the tie-break mode,
    // a leader mark, the clock's phase or its shown second, the names, or a command ran.
    // Several may come in one turn of the loop; a publisher sends once per turn.
    void shownStateChanged();
    // The journal could not keep part of the match, in words for the operator.
    // Empty once everything is kept again.
    void journalProblem(const QString &text);
    // The start restored only part of the last run's journal, or could not read it.
    void restoreNotice(const QString &text);
    void titleTextChanged(const QString &rtf);

private:
    struct Options
    {
        bool autoCount;
        bool tieBreakOption;
        MatchFormat format;
        bool operator==(const Options &) const = default;
    };
    Options options() const;
    void applySetUp(const MatchCommand &command);
    void setNames(const QString &name1, const QString &name2);
    void setTitleText(const QString &rtf);
    bool matchStarted() const;
    void writeStateDump() const;

    Match match_;
    MatchController controller_;
    MatchJournal journal_;
    std::array<QString, 2> names_;
    QString titleFile_;
    QString titleText_;
    std::array<TColor, 5> colours_;
    int monitor_ = 0;
    bool sound_ = false;
    bool tieBreakPoints_ = false;
    QString dumpPath_;
    QString elapsedShown_;
};
