#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// The most sets a match has: the board has a column for each.
inline constexpr int kMaxSets = 5;

// How a match is played, in the one text form tournament software exchanges: the TODS
// matchUpFormat code. "SET3-S:6/TB7-F:TB10" is best of three sets to six games with a
// tie-break to seven at six all, the deciding set replaced by a match tie-break to ten.
// Timed sets ("T20") are not formats of this board: it counts games and sets.
struct MatchFormat
{
    struct Tiebreak
    {
        int to = 7;
        // Sudden death: the point at (to - 1) all decides instead of play going on to a lead of two.
        bool noAd = false;

        bool operator==(const Tiebreak &) const = default;
    };

    struct SetFormat
    {
        int setTo = 6;
        // Deciding point at deuce.
        bool noAd = false;
        // Without one the set goes on until a side leads by two games.
        std::optional<Tiebreak> tiebreak;
        // Games all that start the tie-break; Fast4 plays it at 3:3 of a set to 4.
        int tiebreakAt = 6;
        // A set that is only a tie-break (a match tie-break); the fields above do not apply.
        std::optional<Tiebreak> tiebreakSet;

        static constexpr SetFormat advantage(int setTo, bool noAd = false)
        {
            SetFormat set;
            set.setTo = setTo;
            set.noAd = noAd;
            return set;
        }
        static constexpr SetFormat withTiebreak(int setTo, Tiebreak tiebreak, int tiebreakAt, bool noAd = false)
        {
            SetFormat set = advantage(setTo, noAd);
            set.tiebreak = tiebreak;
            set.tiebreakAt = tiebreakAt;
            return set;
        }
        static constexpr SetFormat tiebreakOnly(Tiebreak tiebreak)
        {
            SetFormat set;
            set.tiebreakSet = tiebreak;
            return set;
        }

        // Fields that do not apply to the kind of set are not compared.
        bool operator==(const SetFormat &other) const;
    };

    struct Parsed;

    int bestOf = 3;
    // All bestOf sets are played, whatever the score ("SET3X").
    bool exactly = false;
    SetFormat set;
    // As written in the code; finalSetFormat() is the rule that applies.
    std::optional<SetFormat> finalSet;

    static constexpr MatchFormat of(int bestOf, SetFormat set, std::optional<SetFormat> finalSet = std::nullopt)
    {
        MatchFormat format;
        format.bestOf = bestOf;
        format.set = set;
        format.finalSet = finalSet;
        return format;
    }

    // The rules of the last set. A one-set match plays its set by the set rules.
    const SetFormat &finalSetFormat() const;

    // Accepts the code a reader may write (a final set equal to the others, "@6" in a set
    // to 6); the error names the part that is wrong.
    static Parsed parse(const QString &code);
    // The shortest code: parse(code()) gives an equal format.
    QString code() const;
    // The parse in the field names of the TODS reference package, for comparison with it.
    QJsonObject toJson() const;

    bool operator==(const MatchFormat &other) const;
};

struct MatchFormat::Parsed
{
    std::optional<MatchFormat> format;
    QString error;
};

// Tie-breaks are written {points to win, sudden death at (points - 1) all}.
inline constexpr MatchFormat kStandardFormat =
    MatchFormat::of(3, MatchFormat::SetFormat::withTiebreak(6, {7, false}, 6));

inline constexpr MatchFormat kMatchTiebreakFormat = MatchFormat::of(
    3, MatchFormat::SetFormat::withTiebreak(6, {7, false}, 6), MatchFormat::SetFormat::tiebreakOnly({10, false}));

// The doubles format of the tours: no-ad games and a match tie-break for the third set.
inline constexpr MatchFormat kNoAdMatchTiebreakFormat = MatchFormat::of(
    3, MatchFormat::SetFormat::withTiebreak(6, {7, false}, 6, true), MatchFormat::SetFormat::tiebreakOnly({10, false}));

inline constexpr MatchFormat kFinalSetTiebreak10Format = MatchFormat::of(
    5, MatchFormat::SetFormat::withTiebreak(6, {7, false}, 6), MatchFormat::SetFormat::withTiebreak(6, {10, false}, 6));

// Short sets: first to four games, a tie-break at four all.
inline constexpr MatchFormat kShortSetsFormat =
    MatchFormat::of(3, MatchFormat::SetFormat::withTiebreak(4, {7, false}, 4));

// Fast4: first to four no-ad games, at three all a tie-break to five with a deciding point at four all.
inline constexpr MatchFormat kFast4Format =
    MatchFormat::of(3, MatchFormat::SetFormat::withTiebreak(4, {5, true}, 3, true));

inline constexpr MatchFormat kProSetFormat =
    MatchFormat::of(1, MatchFormat::SetFormat::withTiebreak(8, {7, false}, 8));
