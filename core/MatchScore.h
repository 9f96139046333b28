#pragma once

#include "core/FormatRules.h"
#include "core/GamePoint.h"
#include "core/ScoreField.h"
#include "core/ScoreState.h"

#include <QObject>
#include <QString>

#include <array>

class MatchTimer;

// The score of one match and the counting rules. Entries of the score field table:
// 0 CurrentSet, 1..5 the set headers, 6·s the points of side s, 6·s + n its games in set n
// (journals hold these numbers).
// A match tie-break set (a "TB10" set) is played in tie-break mode, its points as plain numbers
// in the points fields, its games at 0:0; when it is won its games take the tie-break points
// (10 and 8). Play counts games without a bound (advantage sets run to 70:68); the hand
// correction steps them within -1..kMaxGames.
//
// A format changed mid-match: finished sets stay as they are, won by the side with more
// games. The set under way goes on by the new rules when they can take it as it stands (a
// deciding set with no point played becomes a match tie-break or a games set); otherwise it
// keeps the rules it began with and the change takes effect from the next set. A match the
// change decides is finished; one it reopens goes on in the next set.
class MatchScore : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxSets = ::kMaxSets;
    // A side's points entry, then its games of each set.
    static constexpr int kEntriesPerSide = 6;
    static constexpr int kTableSize = 3 * kEntriesPerSide;
    static constexpr int kMaxGames = 99;
    // The two hidden tie-break fields live outside the table; no rule reads them.
    static constexpr int kLabTBreak1 = 18;
    static constexpr int kLabTBreak2 = 19;
    static const std::array<QString, GamePoint::kTexts> PointTexts;

    enum class TextRole { Text, TextHi };
    Q_ENUM(TextRole)

    explicit MatchScore(const MatchTimer &timer, QObject *parent = nullptr);

    static constexpr int pointsEntry(int side) { return kEntriesPerSide * side; }
    static constexpr int gamesEntry(int side, int set) { return pointsEntry(side) + set; }
    // The side and set of a games entry.
    static constexpr int sideOfEntry(int entry) { return entry / kEntriesPerSide; }
    static constexpr int setOfEntry(int entry) { return entry % kEntriesPerSide; }
    static bool isGamesEntry(int entry);

    const ScoreField &field(int entry) const;
    // The same figure in a state the score gave.
    static const ScoreField &fieldIn(const ScoreState &state, int entry);
    int points(int side) const { return field(pointsEntry(side)).Tag; }
    int games(int side, int set) const { return field(gamesEntry(side, set)).Tag; }
    int CurrentSet() const { return currentSet_; }
    int boldHeader() const { return boldHeader_; }
    int server() const { return server_; }
    int setCount() const { return rules_.setCount(); }
    bool tieBreakMode() const { return tieBreakMode_; }
    bool tieBreakOption() const { return rules_.tieBreakOption(); }
    bool autoCount() const { return autoCount_; }
    bool manualTieBreakMark() const { return manualTieBreakMark_; }
    // The role MarkSetLeaders last gave a games figure (Text until it first runs).
    TextRole leaderRole(int gamesEntry) const;

    // The whole state the board shows, as a value; restore emits a change signal for
    // every part that differs, so the window refreshes as after the commands themselves.
    ScoreState state() const;
    void restore(const ScoreState &state);

    // How the two edit the format: see FormatRules.
    const MatchFormat &format() const { return rules_.format(); }
    void setFormat(const MatchFormat &format);
    // Only 5 and 3 are set counts; anything else plays five sets.
    void setSetCount(int count);
    void setTieBreakOption(bool on);

    // Outside the legacy formats a decided match opens no further set and takes no points
    // until a reset; the winner is 0 while the match is open (or drawn, all sets played).
    bool matchOver() const { return rules_.result.over; }
    int matchWinner() const { return rules_.result.winner; }
    // The loser's points of the tie-break that decided the set; -1 for a set not decided by
    // one and for a match tie-break set, whose games are its points.
    int tieBreakLoserPoints(int set) const;
    // The next point decides the game: no-ad deuce, or a sudden-death tie-break at one short all.
    bool decidingPoint() const { return rules_.decidingPoint; }
    void setAutoCount(bool on);

    void mSchet1Click() { pointFor(1); }
    void mSchet2Click() { pointFor(2); }
    void CheckAutoGame();
    void Game1Click();
    void Set1Click();
    void MarkSetLeaders();
    void eSchetMouseDown(int side, Qt::MouseButton button);
    void SMouseDown(int entry, Qt::MouseButton button);
    void mPodachaClick();
    void mTieBreakClick();
    void SetTieBreakMode(bool on);
    void LabelSClick(int header);
    void reset();

signals:
    void fieldChanged(int entry);
    void boldHeaderChanged(int header);
    void tieBreakModeChanged(bool on);
    void serverChanged(int server);
    void setLeaderMarked(int entry, MatchScore::TextRole role);
    // The match was decided or reopened, or its winner changed.
    void matchWinnerChanged(int winner);
    void decidingPointChanged(bool on);

private:
    ScoreField &mutableField(int entry);
    ScoreField *currentGames(int side);
    void pointFor(int side);
    void refreshPoints(int side);
    void stepGames(int entry, Qt::MouseButton button, int bound = kMaxGames);
    template <typename Change> void changeRules(Change change);
    bool takeOverSet(const FormatRules::SetFormat &before);
    bool pointPlayedInSet() const;
    void openSet();
    void setPoints(int side, int value, const QString &text);
    void followTieBreakOrder();
    void startTieBreak();
    void endSet();
    void finishMatch();
    void refreshMatchResult();
    void refreshDecidingPoint();
    static int leaderIndex(int gamesEntry);

    const MatchTimer &timer_;
    int currentSet_ = 0;
    int boldHeader_ = 0;
    std::array<ScoreField, 12> fields_;
    std::array<ScoreField, 2> labTBreak_;
    int server_ = 0;
    bool tieBreakMode_ = false;
    FormatRules rules_;
    bool autoCount_ = true;
    bool manualTieBreakMark_ = false;
    std::array<TextRole, 2 * kMaxSets> leaderRoles_{};
};
