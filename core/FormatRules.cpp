#include "core/FormatRules.h"

#include "core/GamePoint.h"

namespace {

using SetFormat = MatchFormat::SetFormat;
using Tiebreak = MatchFormat::Tiebreak;

constexpr Tiebreak kStandardTiebreak{7, false};

MatchFormat legacyFormat(int bestOf, bool tiebreak)
{
    return MatchFormat::of(bestOf, tiebreak ? SetFormat::withTiebreak(6, kStandardTiebreak, 6)
                                            : SetFormat::advantage(6));
}

bool hasGamesTiebreak(const MatchFormat &format)
{
    return format.set.tiebreak || format.finalSetFormat().tiebreak;
}

void dropTiebreak(SetFormat &set)
{
    if (!set.tiebreakSet)
        set.tiebreak.reset();
}

int winnerOf(int points1, int points2, const Tiebreak &tiebreak)
{
    const int high = std::max(points1, points2);
    const int low = std::min(points1, points2);
    // Sudden death: at (to - 1) all the next point wins, so reaching `to` first is enough.
    if (high < tiebreak.to || high - low < (tiebreak.noAd ? 1 : 2))
        return 0;
    return points1 > points2 ? 1 : 2;
}

} // namespace

FormatRules::FormatRules()
{
    setFormat(legacyFormat(kMaxSets, true));
}

void FormatRules::setFormat(const MatchFormat &format)
{
    given_ = format;
    // A final set written like the others is the same rule; let it follow the sets.
    if (given_.finalSet && *given_.finalSet == given_.set)
        given_.finalSet.reset();
    tieBreakOption_ = hasGamesTiebreak(given_);
    apply();
}

void FormatRules::setSetCount(int count)
{
    given_.bestOf = count == 3 ? 3 : kMaxSets;
    apply();
}

void FormatRules::setTieBreakOption(bool on)
{
    tieBreakOption_ = on;
    if (on && !hasGamesTiebreak(given_) && !given_.set.tiebreakSet) {
        given_.set.tiebreak = kStandardTiebreak;
        given_.set.tiebreakAt = given_.set.setTo;
    }
    apply();
}

void FormatRules::apply()
{
    format_ = given_;
    if (!tieBreakOption_) {
        dropTiebreak(format_.set);
        if (format_.finalSet)
            dropTiebreak(*format_.finalSet);
    }
    legacy_ = false;
    for (int bestOf : {3, kMaxSets}) {
        for (bool tiebreak : {true, false})
            legacy_ = legacy_ || (!format_.exactly && format_ == legacyFormat(bestOf, tiebreak));
    }
}

const MatchFormat::SetFormat &FormatRules::setRules(int set) const
{
    if (pinned && set == pinnedSet)
        return *pinned;
    return set == format_.bestOf ? format_.finalSetFormat() : format_.set;
}

bool FormatRules::isTiebreakSet(int set) const
{
    return setRules(set).tiebreakSet.has_value();
}

MatchFormat::Tiebreak FormatRules::tiebreak(int set) const
{
    const SetFormat &rules = setRules(set);
    if (rules.tiebreakSet)
        return *rules.tiebreakSet;
    return rules.tiebreak.value_or(kStandardTiebreak);
}

bool FormatRules::startsTiebreak(int set, int games1, int games2) const
{
    return startsTiebreak(setRules(set), games1, games2);
}

bool FormatRules::startsTiebreak(const SetFormat &rules, int games1, int games2)
{
    return rules.tiebreak && games1 == rules.tiebreakAt && games2 == rules.tiebreakAt;
}

bool FormatRules::noAdGames(int set) const
{
    return setRules(set).noAd;
}

int FormatRules::tiebreakWinner(int set, int points1, int points2) const
{
    return winnerOf(points1, points2, tiebreak(set));
}

int FormatRules::setWinner(int set, int games1, int games2) const
{
    return setWinner(setRules(set), games1, games2);
}

int FormatRules::setWinner(const SetFormat &rules, int games1, int games2)
{
    if (games1 < 0 || games2 < 0)
        return 0;
    if (rules.tiebreakSet)
        return winnerOf(games1, games2, *rules.tiebreakSet);
    const int high = std::max(games1, games2);
    const int low = std::min(games1, games2);
    const bool byTwo = high >= rules.setTo && high - low >= 2;
    const bool byTiebreak = rules.tiebreak && high == rules.tiebreakAt + 1 && low == rules.tiebreakAt;
    if (!byTwo && !byTiebreak)
        return 0;
    return games1 > games2 ? 1 : 2;
}

bool FormatRules::isDecidingPoint(int set, bool tieBreakMode, int points1, int points2) const
{
    if (points1 != points2)
        return false;
    if (tieBreakMode) {
        const Tiebreak rules = tiebreak(set);
        return rules.noAd && points1 == rules.to - 1;
    }
    return noAdGames(set) && points1 == GamePoint::Forty;
}

int FormatRules::tiebreakServer(int firstServer, int played)
{
    // Points 0, 3-4, 7-8, ... by the first server; 1-2, 5-6, ... by the other.
    return (played + 1) / 2 % 2 == 0 ? firstServer : 1 - firstServer;
}

FormatRules::Result FormatRules::resultOf(int won1, int won2, int decided, bool pastLastSet) const
{
    if (legacy_)
        return {};
    const int needed = format_.bestOf / 2 + 1;
    const bool over = pastLastSet || decided >= format_.bestOf
                      || (!format_.exactly && std::max(won1, won2) >= needed);
    if (!over)
        return {};
    return {true, won1 == won2 ? 0 : (won1 > won2 ? 1 : 2)};
}
