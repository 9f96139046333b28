#include "core/MatchScore.h"

#include "core/MatchTimer.h"

#include <QtGlobal>

#include <algorithm>
#include <limits>
#include <utility>

const std::array<QString, GamePoint::kTexts> MatchScore::PointTexts = {
    QStringLiteral("0"), QStringLiteral("15"), QStringLiteral("30"),
    QStringLiteral("40"), QStringLiteral("ADV"), QString()};

namespace {
using namespace GamePoint;
constexpr int kFirstFieldEntry = MatchScore::pointsEntry(1);
// The legacy formats' set: six games and a lead of two, a tie-break at six all.
constexpr int kLegacySetGames = 6;
constexpr int other(int side) { return 3 - side; }
} // namespace

MatchScore::MatchScore(const MatchTimer &timer, QObject *parent)
    : QObject(parent), timer_(timer)
{
    for (ScoreField &f : labTBreak_)
        f = ScoreField{0, QStringLiteral("0")};
}

bool MatchScore::isGamesEntry(int entry)
{
    return entry >= gamesEntry(1, 1) && entry < kTableSize && setOfEntry(entry) >= 1;
}

const ScoreField &MatchScore::field(int entry) const
{
    if (entry == kLabTBreak1 || entry == kLabTBreak2)
        return labTBreak_[entry - kLabTBreak1];
    Q_ASSERT(entry >= kFirstFieldEntry && entry < kTableSize);
    return fields_[entry - kFirstFieldEntry];
}

const ScoreField &MatchScore::fieldIn(const ScoreState &state, int entry)
{
    if (entry == kLabTBreak1 || entry == kLabTBreak2)
        return state.tieBreakFields[size_t(entry - kLabTBreak1)];
    Q_ASSERT(entry >= kFirstFieldEntry && entry < kTableSize);
    return state.fields[size_t(entry - kFirstFieldEntry)];
}

ScoreField &MatchScore::mutableField(int entry)
{
    return const_cast<ScoreField &>(std::as_const(*this).field(entry));
}

ScoreField *MatchScore::currentGames(int side)
{
    // Before the first set and past the fifth there is no games column to count into.
    if (currentSet_ < 1 || currentSet_ > kMaxSets)
        return nullptr;
    return &mutableField(gamesEntry(side, currentSet_));
}

void MatchScore::setFormat(const MatchFormat &format)
{
    changeRules([&] { rules_.setFormat(format); });
}

void MatchScore::setSetCount(int count)
{
    changeRules([&] { rules_.setSetCount(count); });
}

void MatchScore::setTieBreakOption(bool on)
{
    changeRules([&] { rules_.setTieBreakOption(on); });
}

template <typename Change> void MatchScore::changeRules(Change change)
{
    const bool wasOver = rules_.result.over;
    const bool inPlay = !wasOver && currentSet_ >= 1 && currentSet_ <= std::min(setCount(), kMaxSets);
    const FormatRules::SetFormat before = rules_.setRules(currentSet_);
    change();
    if (inPlay && currentSet_ <= std::min(setCount(), kMaxSets)) {
        rules_.pinned.reset();
        if (!takeOverSet(before)) {
            rules_.pinned = before;
            rules_.pinnedSet = currentSet_;
        }
    }
    refreshMatchResult();
    if (rules_.result.over) {
        if (!wasOver)
            finishMatch();
    } else if (currentSet_ >= 1 && currentSet_ <= std::min(setCount(), kMaxSets)) {
        // A match the change reopened, or a set it decided, goes on in the next set.
        if (wasOver || (!tieBreakMode_ && rules_.setWinner(currentSet_, games(1, currentSet_), games(2, currentSet_))))
            Set1Click();
        else
            openSet();
    }
    refreshDecidingPoint();
}

bool MatchScore::pointPlayedInSet() const
{
    return games(1, currentSet_) > 0 || games(2, currentSet_) > 0 || points(1) > Love || points(2) > Love;
}

bool MatchScore::takeOverSet(const FormatRules::SetFormat &before)
{
    const FormatRules::SetFormat &now = rules_.setRules(currentSet_);
    if (now == before)
        return true;
    const int g1 = games(1, currentSet_);
    const int g2 = games(2, currentSet_);
    if (before.tiebreakSet.has_value() != now.tiebreakSet.has_value()) {
        // A match tie-break and a games set share nothing but the empty score.
        if (pointPlayedInSet())
            return false;
        SetTieBreakMode(now.tiebreakSet.has_value());
        return true;
    }
    if (now.tiebreakSet)
        return true;
    if (tieBreakMode_)
        return now.tiebreak && g1 == now.tiebreakAt && g2 == now.tiebreakAt;
    if (FormatRules::setWinner(now, g1, g2) != 0)
        return false;
    if (FormatRules::startsTiebreak(now, g1, g2)) {
        if (points(1) > Love || points(2) > Love)
            return false;
        SetTieBreakMode(true);
        return true;
    }
    // Advantage has no place in a no-ad game: it is deuce, and the next point decides.
    if (now.noAd && std::max(points(1), points(2)) == Advantage && std::min(points(1), points(2)) == Forty) {
        setPoints(1, Forty, PointTexts[Forty]);
        setPoints(2, Forty, PointTexts[Forty]);
    }
    return true;
}

void MatchScore::openSet()
{
    // A match tie-break reopened is played as one, whatever the column held.
    if (autoCount_ && !tieBreakMode_ && rules_.isTiebreakSet(currentSet_))
        SetTieBreakMode(true);
    if (games(1, currentSet_) != -1 && games(2, currentSet_) != -1 && points(1) != Blank && points(2) != Blank)
        return;
    LabelSClick(currentSet_);
    if (games(1, currentSet_) == -1 || games(2, currentSet_) == -1) {
        for (int side : {1, 2}) {
            mutableField(gamesEntry(side, currentSet_)).Tag = -1;
            stepGames(gamesEntry(side, currentSet_), Qt::LeftButton);
        }
    }
    for (int side : {1, 2}) {
        if (points(side) == Blank)
            eSchetMouseDown(side, Qt::LeftButton);
    }
}

int MatchScore::tieBreakLoserPoints(int set) const
{
    return set >= 1 && set <= kMaxSets ? rules_.tieBreakLoserPoints[set - 1] : -1;
}

void MatchScore::setAutoCount(bool on)
{
    autoCount_ = on;
}

void MatchScore::pointFor(int side)
{
    if (timer_.MatchPhase() == MatchTimer::NotStarted || rules_.result.over)
        return;
    ScoreField &mine = mutableField(pointsEntry(side));
    ScoreField &theirs = mutableField(pointsEntry(other(side)));
    if (tieBreakMode_) {
        ++mine.Tag;
        refreshPoints(side);
    } else if (mine.Tag == Forty && theirs.Tag == Advantage && !rules_.noAdGames(currentSet_)) {
        // Deuce: the advantage is taken back instead of a point given.
        --theirs.Tag;
        refreshPoints(other(side));
    } else {
        ++mine.Tag;
        refreshPoints(side);
    }
    CheckAutoGame();
    if (!rules_.legacy() && tieBreakMode_)
        followTieBreakOrder();
}

void MatchScore::CheckAutoGame()
{
    if (!autoCount_)
        return;
    const int p1 = points(1);
    const int p2 = points(2);
    if (tieBreakMode_) {
        if (rules_.tiebreakWinner(currentSet_, p1, p2) != 0) {
            Game1Click();
            endSet();
        }
        return;
    }
    // No-ad: the point at 40 all decides the game.
    if (rules_.noAdGames(currentSet_)) {
        if (p1 > Forty || p2 > Forty)
            Game1Click();
        return;
    }
    // "ADV" reached from "40" against at most "30", or a point won from advantage.
    if ((p1 == Advantage && p2 < Forty) || (p2 == Advantage && p1 < Forty) || p1 == WonFromAdvantage
        || p2 == WonFromAdvantage)
        Game1Click();
}

void MatchScore::Game1Click()
{
    // Equal points give the game to side 2.
    const int winner = points(1) > points(2) ? 1 : 2;
    const bool tieBreakGame = tieBreakMode_;
    if (tieBreakGame && currentGames(winner)) {
        rules_.tieBreakLoserPoints[currentSet_ - 1] =
            rules_.isTiebreakSet(currentSet_) ? -1 : points(other(winner));
    }
    bool startsTieBreak = false;
    bool endsSet = false;
    if (rules_.isTiebreakSet(currentSet_) && currentGames(winner)) {
        // A match tie-break is the whole set: its points become the set's figures, unbounded.
        for (int side : {1, 2}) {
            mutableField(gamesEntry(side, currentSet_)) = ScoreField{points(side), QString::number(points(side))};
            emit fieldChanged(gamesEntry(side, currentSet_));
        }
        refreshMatchResult();
    } else if (ScoreField *won = currentGames(winner)) {
        // A column of the set in play blanked by hand counts from 0 again, or the set could never end.
        if (currentSet_ <= setCount() && currentGames(other(winner))->Tag == -1)
            stepGames(gamesEntry(other(winner), currentSet_), Qt::LeftButton);
        stepGames(gamesEntry(winner, currentSet_), Qt::LeftButton, std::numeric_limits<int>::max());
        if (autoCount_ && rules_.legacy()) {
            const int mine = won->Tag;
            const int theirs = currentGames(other(winner))->Tag;
            if (mine == kLegacySetGames && theirs == kLegacySetGames && rules_.tieBreakOption())
                SetTieBreakMode(true);
            if (!tieBreakMode_ && mine >= kLegacySetGames && theirs <= mine - 2)
                Set1Click();
        } else if (autoCount_ && !tieBreakMode_) {
            const int g1 = games(1, currentSet_);
            const int g2 = games(2, currentSet_);
            startsTieBreak = rules_.startsTiebreak(currentSet_, g1, g2);
            endsSet = !startsTieBreak && rules_.setWinner(currentSet_, g1, g2) != 0;
        }
    }
    setPoints(1, Love, PointTexts[Love]);
    setPoints(2, Love, PointTexts[Love]);
    // After a tie-break the serve passes from the side that served its first point.
    if (!rules_.legacy() && tieBreakGame)
        server_ = rules_.tieBreakFirstServer;
    mPodachaClick();
    if (startsTieBreak)
        SetTieBreakMode(true);
    if (endsSet)
        endSet();
}

void MatchScore::endSet()
{
    refreshMatchResult();
    if (rules_.result.over)
        finishMatch();
    else
        Set1Click();
}

void MatchScore::finishMatch()
{
    boldHeader_ = 0;
    emit boldHeaderChanged(0);
    if (autoCount_)
        SetTieBreakMode(false);
    // Empty points say no game is under way any more.
    setPoints(1, Blank, QString());
    setPoints(2, Blank, QString());
    MarkSetLeaders();
}

void MatchScore::followTieBreakOrder()
{
    const int played = std::max(0, points(1)) + std::max(0, points(2));
    if (FormatRules::tiebreakServer(rules_.tieBreakFirstServer, played) != server_)
        mPodachaClick();
}

void MatchScore::refreshMatchResult()
{
    const FormatRules::Result result =
        rules_.matchResult(currentSet_, [this](int side, int set) { return games(side, set); });
    if (result == rules_.result)
        return;
    rules_.result = result;
    emit matchWinnerChanged(result.winner);
    refreshDecidingPoint();
}

void MatchScore::refreshDecidingPoint()
{
    const bool on = !rules_.result.over
                    && rules_.isDecidingPoint(currentSet_, tieBreakMode_, points(1), points(2));
    if (on == rules_.decidingPoint)
        return;
    rules_.decidingPoint = on;
    emit decidingPointChanged(on);
}

void MatchScore::Set1Click()
{
    if (currentSet_ < std::numeric_limits<int>::max())
        ++currentSet_;
    boldHeader_ = 0;
    emit boldHeaderChanged(0);
    if (currentSet_ <= setCount()) {
        LabelSClick(currentSet_);
        rules_.tieBreakLoserPoints[currentSet_ - 1] = -1;
        if (games(1, currentSet_) == -1 || games(2, currentSet_) == -1) {
            for (int side : {1, 2}) {
                mutableField(gamesEntry(side, currentSet_)).Tag = -1;
                stepGames(gamesEntry(side, currentSet_), Qt::LeftButton);
            }
        }
    }
    if (autoCount_)
        SetTieBreakMode(false);
    if (autoCount_ && !rules_.legacy() && currentSet_ <= setCount() && rules_.isTiebreakSet(currentSet_))
        SetTieBreakMode(true);
    for (int side : {1, 2}) {
        mutableField(pointsEntry(side)).Tag = Blank;
        eSchetMouseDown(side, Qt::LeftButton);
    }
    MarkSetLeaders();
    // Ending the last set by hand decides the match as the last game would.
    refreshMatchResult();
    if (rules_.result.over)
        finishMatch();
}

void MatchScore::MarkSetLeaders()
{
    for (int set = 1; set <= kMaxSets; ++set) {
        const int g1 = games(1, set);
        const int g2 = games(2, set);
        leaderRoles_[leaderIndex(gamesEntry(1, set))] = g1 > g2 ? TextRole::TextHi : TextRole::Text;
        leaderRoles_[leaderIndex(gamesEntry(2, set))] = g2 > g1 ? TextRole::TextHi : TextRole::Text;
        emit setLeaderMarked(gamesEntry(1, set), leaderRole(gamesEntry(1, set)));
        emit setLeaderMarked(gamesEntry(2, set), leaderRole(gamesEntry(2, set)));
    }
}

void MatchScore::eSchetMouseDown(int side, Qt::MouseButton button)
{
    ScoreField &f = mutableField(pointsEntry(side));
    if (button == Qt::LeftButton && f.Tag < std::numeric_limits<int>::max())
        ++f.Tag;
    else if (button == Qt::RightButton && f.Tag > std::numeric_limits<int>::min())
        --f.Tag;
    refreshPoints(side);
}

void MatchScore::SMouseDown(int entry, Qt::MouseButton button)
{
    if (!isGamesEntry(entry) && entry != kLabTBreak1 && entry != kLabTBreak2)
        return;
    const bool wasOver = rules_.result.over;
    stepGames(entry, button);
    if (rules_.result.over && !wasOver)
        finishMatch();
    else if (!rules_.result.over && wasOver && currentSet_ >= 1 && currentSet_ <= std::min(setCount(), kMaxSets))
        openSet();
}

void MatchScore::mPodachaClick()
{
    server_ = 1 - server_;
    emit serverChanged(server_);
}

void MatchScore::mTieBreakClick()
{
    if (!rules_.tieBreakOption() || autoCount_)
        return;
    // The mark is a flag of its own: after an automatic tie-break the first toggle
    // sets it and leaves the mode on.
    manualTieBreakMark_ = !manualTieBreakMark_;
    SetTieBreakMode(manualTieBreakMark_);
}

void MatchScore::SetTieBreakMode(bool on)
{
    // The serve order of a tie-break counts from the side due to serve when it begins.
    if (on && !tieBreakMode_)
        rules_.tieBreakFirstServer = server_;
    tieBreakMode_ = on;
    emit tieBreakModeChanged(on);
    refreshDecidingPoint();
}

void MatchScore::LabelSClick(int header)
{
    boldHeader_ = (header >= 1 && header <= kMaxSets) ? header : 0;
    emit boldHeaderChanged(boldHeader_);
}

void MatchScore::reset()
{
    for (int entry : {kLabTBreak1, kLabTBreak2}) {
        mutableField(entry) = ScoreField{0, QStringLiteral("0")};
        emit fieldChanged(entry);
    }
    setPoints(1, Blank, QString());
    setPoints(2, Blank, QString());
    if (autoCount_)
        SetTieBreakMode(false);
    currentSet_ = 0;
    for (int side : {1, 2}) {
        for (int set = 1; set <= kMaxSets; ++set) {
            mutableField(gamesEntry(side, set)) = ScoreField{-1, QString()};
            emit fieldChanged(gamesEntry(side, set));
        }
    }
    boldHeader_ = 0;
    emit boldHeaderChanged(0);
    rules_.tieBreakLoserPoints.fill(-1);
    rules_.pinned.reset();
    refreshMatchResult();
}

void MatchScore::refreshPoints(int side)
{
    ScoreField &f = mutableField(pointsEntry(side));
    if (tieBreakMode_) {
        if (f.Tag < 0)
            f.Tag = 0;
        f.Text = QString::number(f.Tag);
    } else {
        // Wraps both ways: 0, 15, 30, 40, ADV, empty, 0.
        if (f.Tag < Love)
            f.Tag = WonFromAdvantage;
        if (f.Tag > WonFromAdvantage)
            f.Tag = Love;
        f.Text = PointTexts[f.Tag];
    }
    emit fieldChanged(pointsEntry(side));
    refreshDecidingPoint();
}

void MatchScore::stepGames(int entry, Qt::MouseButton button, int bound)
{
    ScoreField &f = mutableField(entry);
    if (button == Qt::LeftButton && f.Tag < bound)
        ++f.Tag;
    else if (button == Qt::RightButton && f.Tag > -1)
        --f.Tag;
    f.Text = f.Tag == -1 ? QString() : QString::number(f.Tag);
    emit fieldChanged(entry);
    refreshMatchResult();
}

void MatchScore::setPoints(int side, int value, const QString &text)
{
    mutableField(pointsEntry(side)) = ScoreField{value, text};
    emit fieldChanged(pointsEntry(side));
    refreshDecidingPoint();
}

int MatchScore::leaderIndex(int gamesEntry)
{
    Q_ASSERT(isGamesEntry(gamesEntry));
    return (sideOfEntry(gamesEntry) - 1) * kMaxSets + setOfEntry(gamesEntry) - 1;
}

MatchScore::TextRole MatchScore::leaderRole(int gamesEntry) const
{
    return leaderRoles_[leaderIndex(gamesEntry)];
}

ScoreState MatchScore::state() const
{
    ScoreState s;
    s.fields = fields_;
    s.tieBreakFields = labTBreak_;
    s.currentSet = currentSet_;
    s.boldHeader = boldHeader_;
    s.server = server_;
    s.tieBreakMode = tieBreakMode_;
    s.rules = rules_;
    s.autoCount = autoCount_;
    s.manualTieBreakMark = manualTieBreakMark_;
    for (size_t i = 0; i < leaderRoles_.size(); ++i)
        s.leaderHighlighted[i] = leaderRoles_[i] == TextRole::TextHi;
    return s;
}

void MatchScore::restore(const ScoreState &s)
{
    const ScoreState old = state();
    fields_ = s.fields;
    labTBreak_ = s.tieBreakFields;
    currentSet_ = s.currentSet;
    boldHeader_ = s.boldHeader;
    server_ = s.server;
    rules_ = s.rules;
    autoCount_ = s.autoCount;
    manualTieBreakMark_ = s.manualTieBreakMark;
    for (size_t i = 0; i < leaderRoles_.size(); ++i)
        leaderRoles_[i] = s.leaderHighlighted[i] ? TextRole::TextHi : TextRole::Text;

    for (size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i] != old.fields[i])
            emit fieldChanged(int(i) + kFirstFieldEntry);
    }
    for (size_t i = 0; i < labTBreak_.size(); ++i) {
        if (labTBreak_[i] != old.tieBreakFields[i])
            emit fieldChanged(kLabTBreak1 + int(i));
    }
    if (boldHeader_ != old.boldHeader)
        emit boldHeaderChanged(boldHeader_);
    if (s.tieBreakMode != old.tieBreakMode) {
        SetTieBreakMode(s.tieBreakMode);
        // Switching the mode on takes the server as the tie-break's first; the state knows it.
        rules_ = s.rules;
    }
    if (server_ != old.server)
        emit serverChanged(server_);
    // A drawn match decided or reopened keeps winner 0, and still changes what shows.
    if (rules_.result != old.rules.result)
        emit matchWinnerChanged(rules_.result.winner);
    if (rules_.decidingPoint != old.rules.decidingPoint)
        emit decidingPointChanged(rules_.decidingPoint);
    // The marks are colours the scheme may have repainted since, so all of them are sent.
    for (int side : {1, 2}) {
        for (int set = 1; set <= kMaxSets; ++set)
            emit setLeaderMarked(gamesEntry(side, set), leaderRole(gamesEntry(side, set)));
    }
}
