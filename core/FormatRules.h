#pragma once

#include "core/MatchFormat.h"

#include <algorithm>
#include <array>
#include <optional>

// The rules a match format adds to the board's counting, and the little state they keep.
// MatchScore holds one of these by value, so a snapshot of the score carries it along.
//
// The four formats the board always played, "SET5-S:6/TB7", "SET3-S:6/TB7", "SET5-S:6" and
// "SET3-S:6", are the legacy formats: for them the board counts exactly as it always did
// (no serve order inside a tie-break, no match winner, sets open past the match's end).
//
// The set count and the tie-break option edit the format:
// - the set count sets bestOf (3 or 5), nothing else;
// - the option off takes the tie-break out of the sets and out of a played final set, so
//   they go on to a two-game lead; a match tie-break (a "TB10" set) is the set itself and
//   stays. The format as set is kept, so turning the option on again restores its tie-breaks;
// - the option on for a format with no tie-break in any set gives the sets (not a final set
//   written apart) the standard tie-break to 7 at games all ("SET3-S:6" becomes "SET3-S:6/TB7").
// setFormat() turns the option on exactly when the format has a tie-break in a set, so
// format() is the format given.
class FormatRules
{
public:
    using SetFormat = MatchFormat::SetFormat;
    using Tiebreak = MatchFormat::Tiebreak;

    FormatRules();

    // The format the rules play: the one set, with the option applied.
    const MatchFormat &format() const { return format_; }
    // The format as set, before the tie-break option took its part.
    const MatchFormat &givenFormat() const { return given_; }
    void setFormat(const MatchFormat &format);
    void setSetCount(int count);
    void setTieBreakOption(bool on);
    bool tieBreakOption() const { return tieBreakOption_; }
    int setCount() const { return format_.bestOf; }
    bool legacy() const { return legacy_; }

    const SetFormat &setRules(int set) const;
    bool isTiebreakSet(int set) const;
    // The tie-break played in tie-break mode in that set; a tie-break switched on by hand
    // in a set without one counts to 7.
    Tiebreak tiebreak(int set) const;
    bool startsTiebreak(int set, int games1, int games2) const;
    static bool startsTiebreak(const SetFormat &rules, int games1, int games2);
    bool noAdGames(int set) const;

    // 0 while undecided, else the side that won.
    int tiebreakWinner(int set, int points1, int points2) const;
    // A match tie-break set holds its points in the games.
    int setWinner(int set, int games1, int games2) const;
    static int setWinner(const SetFormat &rules, int games1, int games2);
    // The next point decides: a no-ad game at 40 all, a sudden-death tie-break at one point short all.
    bool isDecidingPoint(int set, bool tieBreakMode, int points1, int points2) const;
    // The side (0 or 1) serving after `played` points of a tie-break: the first point by the
    // player due to serve, then two each.
    static int tiebreakServer(int firstServer, int played);

    struct Result
    {
        bool over = false;
        int winner = 0; // 0 for a drawn match of an even number of sets played out
        bool operator==(const Result &) const = default;
    };
    // games(side, set) gives the games value, -1 for a set not begun. A set the match has
    // moved past went to the side with more games, whatever rules the format now has; a match
    // past its last set is over.
    template <typename Games> Result matchResult(int currentSet, Games games) const
    {
        std::array<int, 3> won{};
        int decided = 0;
        for (int set = 1; set <= std::min({format_.bestOf, currentSet, kMaxSets}); ++set) {
            const int g1 = games(1, set);
            const int g2 = games(2, set);
            const int side = set < currentSet ? (g1 == g2 ? 0 : (g1 > g2 ? 1 : 2)) : setWinner(set, g1, g2);
            ++won[side];
            decided += side != 0;
        }
        return resultOf(won[1], won[2], decided, currentSet > format_.bestOf);
    }

    bool operator==(const FormatRules &) const = default;

    // State of the match in play under these rules.
    int tieBreakFirstServer = 0;
    // Per set, the tie-break points of the side that lost the set's tie-break; -1 for none.
    std::array<int, kMaxSets> tieBreakLoserPoints{-1, -1, -1, -1, -1};
    bool decidingPoint = false;
    Result result;
    // The rules the set `pinnedSet` keeps after a format change it could not take mid-set.
    std::optional<SetFormat> pinned;
    int pinnedSet = 0;

private:
    Result resultOf(int won1, int won2, int decided, bool pastLastSet) const;
    void apply();

    MatchFormat given_;
    MatchFormat format_;
    bool tieBreakOption_ = true;
    bool legacy_ = true;
};
