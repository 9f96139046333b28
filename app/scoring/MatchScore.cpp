#include "app/scoring/MatchScore.h"

#include "app/scoring/MatchTimer.h"

#include <QtGlobal>

#include <limits>
#include <utility>

const std::array<QString, 6> MatchScore::PointTexts = {
    QStringLiteral("0"), QStringLiteral("15"), QStringLiteral("30"),
    QStringLiteral("40"), QStringLiteral("ADV"), QString()};

namespace {
constexpr int kFirstFieldEntry = 6;
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
    const int set = entry % 6;
    return entry >= gamesEntry(1, 1) && entry < kTableSize && set >= 1;
}

const ScoreField &MatchScore::field(int entry) const
{
    if (entry == kLabTBreak1 || entry == kLabTBreak2)
        return labTBreak_[entry - kLabTBreak1];
    Q_ASSERT(entry >= kFirstFieldEntry && entry < kTableSize);
    return fields_[entry - kFirstFieldEntry];
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

void MatchScore::setSetCount(int count)
{
    setCount_ = count == 3 ? 3 : kMaxSets;
}

void MatchScore::setTieBreakOption(bool on)
{
    tieBreakOption_ = on;
}

void MatchScore::setAutoCount(bool on)
{
    autoCount_ = on;
}

void MatchScore::pointFor(int side)
{
    if (timer_.MatchPhase() == MatchTimer::NotStarted)
        return;
    ScoreField &mine = mutableField(pointsEntry(side));
    ScoreField &theirs = mutableField(pointsEntry(other(side)));
    if (tieBreakMode_) {
        ++mine.Tag;
        refreshPoints(side);
    } else if (mine.Tag == 3 && theirs.Tag == 4) {
        // Deuce: the advantage is taken back instead of a point given.
        --theirs.Tag;
        refreshPoints(other(side));
    } else {
        ++mine.Tag;
        refreshPoints(side);
    }
    CheckAutoGame();
}

void MatchScore::CheckAutoGame()
{
    if (!autoCount_)
        return;
    const int p1 = points(1);
    const int p2 = points(2);
    if (tieBreakMode_) {
        if ((p1 >= 7 && p2 <= p1 - 2) || (p2 >= 7 && p1 <= p2 - 2)) {
            Game1Click();
            Set1Click();
        }
        return;
    }
    // "ADV" reached from "40" against at most "30", or a point won from advantage.
    if ((p1 == 4 && p2 < 3) || (p2 == 4 && p1 < 3) || p1 == 5 || p2 == 5)
        Game1Click();
}

void MatchScore::Game1Click()
{
    // Equal points give the game to side 2.
    const int winner = points(1) > points(2) ? 1 : 2;
    if (ScoreField *won = currentGames(winner)) {
        stepGames(gamesEntry(winner, currentSet_), Qt::LeftButton);
        if (autoCount_) {
            const int mine = won->Tag;
            const int theirs = currentGames(other(winner))->Tag;
            if (mine == 6 && theirs == 6 && tieBreakOption_)
                SetTieBreakMode(true);
            if (!tieBreakMode_ && mine >= 6 && theirs <= mine - 2)
                Set1Click();
        }
    }
    setPoints(1, 0, QStringLiteral("0"));
    setPoints(2, 0, QStringLiteral("0"));
    mPodachaClick();
}

void MatchScore::Set1Click()
{
    if (currentSet_ < std::numeric_limits<int>::max())
        ++currentSet_;
    boldHeader_ = 0;
    emit boldHeaderChanged(0);
    if (currentSet_ <= setCount_) {
        LabelSClick(currentSet_);
        if (games(1, currentSet_) == -1 || games(2, currentSet_) == -1) {
            for (int side : {1, 2}) {
                mutableField(gamesEntry(side, currentSet_)).Tag = -1;
                stepGames(gamesEntry(side, currentSet_), Qt::LeftButton);
            }
        }
    }
    if (autoCount_)
        SetTieBreakMode(false);
    for (int side : {1, 2}) {
        mutableField(pointsEntry(side)).Tag = -1;
        eSchetMouseDown(side, Qt::LeftButton);
    }
    MarkSetLeaders();
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
    if (isGamesEntry(entry) || entry == kLabTBreak1 || entry == kLabTBreak2)
        stepGames(entry, button);
}

void MatchScore::mPodachaClick()
{
    server_ = 1 - server_;
    emit serverChanged(server_);
}

void MatchScore::mTieBreakClick()
{
    if (!tieBreakOption_ || autoCount_)
        return;
    // The mark is a flag of its own: after an automatic tie-break the first toggle
    // sets it and leaves the mode on.
    manualTieBreakMark_ = !manualTieBreakMark_;
    SetTieBreakMode(manualTieBreakMark_);
}

void MatchScore::SetTieBreakMode(bool on)
{
    tieBreakMode_ = on;
    emit tieBreakModeChanged(on);
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
    setPoints(1, -1, QString());
    setPoints(2, -1, QString());
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
        if (f.Tag < 0)
            f.Tag = 5;
        if (f.Tag > 5)
            f.Tag = 0;
        f.Text = PointTexts[f.Tag];
    }
    emit fieldChanged(pointsEntry(side));
}

void MatchScore::stepGames(int entry, Qt::MouseButton button)
{
    ScoreField &f = mutableField(entry);
    if (button == Qt::LeftButton && f.Tag < kMaxGames)
        ++f.Tag;
    else if (button == Qt::RightButton && f.Tag > -1)
        --f.Tag;
    f.Text = f.Tag == -1 ? QString() : QString::number(f.Tag);
    emit fieldChanged(entry);
}

void MatchScore::setPoints(int side, int value, const QString &text)
{
    mutableField(pointsEntry(side)) = ScoreField{value, text};
    emit fieldChanged(pointsEntry(side));
}

int MatchScore::leaderIndex(int gamesEntry)
{
    Q_ASSERT(isGamesEntry(gamesEntry));
    return (gamesEntry / 6 - 1) * kMaxSets + gamesEntry % 6 - 1;
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
    s.setCount = setCount_;
    s.tieBreakMode = tieBreakMode_;
    s.tieBreakOption = tieBreakOption_;
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
    setCount_ = s.setCount;
    tieBreakOption_ = s.tieBreakOption;
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
    if (s.tieBreakMode != old.tieBreakMode)
        SetTieBreakMode(s.tieBreakMode);
    if (server_ != old.server)
        emit serverChanged(server_);
    // The marks are colours the scheme may have repainted since, so all of them are sent.
    for (int side : {1, 2}) {
        for (int set = 1; set <= kMaxSets; ++set)
            emit setLeaderMarked(gamesEntry(side, set), leaderRole(gamesEntry(side, set)));
    }
}
