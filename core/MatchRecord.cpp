#include "core/MatchRecord.h"

#include "core/Match.h"
#include "core/MatchController.h"
#include "platform/TickCounter.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

class StillTicks final : public TickSource
{
public:
    std::uint32_t now() const override { return 0; }
};

// The record as it stood at one undo depth.
struct Progress
{
    QString pbp;
    int firstServer = 0; // 0 until the first point
};

int pointsOf(const ScoreState &s, int side)
{
    return MatchScore::fieldIn(s, MatchScore::pointsEntry(side)).Tag;
}

// An award leaves both sides at 0; a point does so otherwise only by wrapping past the blank
// outside a tie-break, and then the serve stays.
bool gameAwarded(const ScoreState &before, const ScoreState &after)
{
    return pointsOf(after, 1) == 0 && pointsOf(after, 2) == 0
           && (after.server != before.server || before.tieBreakMode);
}

void closeGame(Progress &p, const ScoreState &before, const ScoreState &after)
{
    p.pbp += after.currentSet != before.currentSet ? u'.' : u';';
}

void advance(Progress &p, const MatchCommand &c, const ScoreState &before, const ScoreState &after)
{
    using Kind = MatchCommand::Kind;
    switch (c.kind) {
    case Kind::Reset:
        p = Progress{};
        break;
    case Kind::Point: {
        if (p.firstServer == 0)
            p.firstServer = before.server + 1;
        int server = before.server;
        if (before.tieBreakMode) {
            // Under the legacy formats the serve mark stays with the side that began the
            // tie-break; the others keep its order themselves, from the side the rules noted.
            const int first = before.rules.legacy() ? before.server : before.rules.tieBreakFirstServer;
            const int played = std::max(0, pointsOf(before, 1)) + std::max(0, pointsOf(before, 2));
            server = FormatRules::tiebreakServer(first, played);
            if (played > 0 && server != FormatRules::tiebreakServer(first, played - 1))
                p.pbp += u'/';
        }
        p.pbp += c.side == server + 1 ? u'S' : u'R';
        if (gameAwarded(before, after))
            closeGame(p, before, after);
        break;
    }
    case Kind::PointsCorrection: {
        // A point taken away by hand is no point of the match; one given by hand is, for the
        // side that got it. Inside a tie-break the serve order of what is left is unknown.
        if (before.tieBreakMode)
            break;
        const int change = pointsOf(after, c.side) - pointsOf(before, c.side);
        const QChar mark = c.side == before.server + 1 ? u'S' : u'R';
        if (change > 0) {
            if (p.firstServer == 0)
                p.firstServer = before.server + 1;
            p.pbp += mark;
        } else if (change < 0) {
            const qsizetype gameStart = std::max(p.pbp.lastIndexOf(u';'), p.pbp.lastIndexOf(u'.')) + 1;
            const qsizetype at = p.pbp.lastIndexOf(mark);
            if (at >= gameStart)
                p.pbp.remove(at, 1);
        }
        break;
    }
    case Kind::GameAward:
        closeGame(p, before, after);
        break;
    case Kind::NextSet:
        if (p.pbp.endsWith(u';'))
            p.pbp.back() = u'.';
        else if (!p.pbp.isEmpty() && !p.pbp.endsWith(u'.'))
            p.pbp += u'.';
        break;
    default:
        break;
    }
}

} // namespace

MatchRecord MatchRecord::fromJournal(const QList<JournalRecord> &records)
{
    StillTicks ticks;
    Match match(ticks, QString());
    MatchController controller(match);
    controller.setJournalKept(false);
    std::vector<Progress> byDepth(1);
    Progress now;
    MatchRecord out;
    for (const JournalRecord &r : records) {
        out.elapsedMs_ = r.elapsedMs;
        if (r.type != JournalRecord::Type::Command || !r.command.isValid())
            continue;
        const bool started = match.timer().MatchPhase() != MatchTimer::NotStarted;
        const int depthBefore = controller.undoDepth();
        const ScoreState before = match.score().state();
        controller.replayRecord(r);
        const ScoreState after = match.score().state();
        const int depth = controller.undoDepth();
        const MatchCommand::Kind kind = r.command.kind;
        if (kind == MatchCommand::Kind::Undo || kind == MatchCommand::Kind::Redo) {
            now = byDepth[size_t(depth)];
        } else if (kind == MatchCommand::Kind::Play && !started) {
            advance(now, MatchCommand::of(MatchCommand::Kind::NextSet), before, after);
            byDepth.assign(1, now);
        } else if (depth != depthBefore || kind == MatchCommand::Kind::Reset) {
            advance(now, r.command, before, after);
            byDepth.resize(size_t(depth));
            byDepth.push_back(now);
        }
    }
    while (now.pbp.endsWith(u';') || now.pbp.endsWith(u'.'))
        now.pbp.chop(1);
    out.pbp_ = now.pbp;
    out.firstServer_ = now.firstServer == 0 ? 1 : now.firstServer;
    const MatchScore &score = match.score();
    for (int set = 1; set <= kMaxSets; ++set)
        out.games_[size_t(set)] = {score.games(1, set), score.games(2, set)};
    // Undo restores the rules' state with the score, so its tie-break points are the board's.
    out.rules_ = score.state().rules;
    out.result_ = out.rules_.result;
    if (out.rules_.legacy()) {
        // Counted by hand the board decides no match: a side that won the sets it needs did.
        std::array<int, 3> won{};
        for (int set = 1; set <= score.setCount() && set <= kMaxSets; ++set)
            ++won[size_t(out.rules_.setWinner(set, score.games(1, set), score.games(2, set)))];
        const int needed = score.setCount() / 2 + 1;
        if (std::max(won[1], won[2]) >= needed)
            out.result_ = {true, won[1] > won[2] ? 1 : 2};
    }
    out.name1_ = controller.name(1);
    out.name2_ = controller.name(2);
    return out;
}

int MatchRecord::leaderSide() const
{
    int sets1 = 0;
    int sets2 = 0;
    int last = 0;
    for (int set = 1; set <= kMaxSets; ++set) {
        const auto [g1, g2] = games_[size_t(set)];
        if (g1 < 0 || g2 < 0 || (g1 == 0 && g2 == 0))
            continue;
        sets1 += g1 > g2;
        sets2 += g2 > g1;
        last = g1 > g2 ? 1 : g2 > g1 ? 2 : 0;
    }
    return sets1 > sets2 ? 1 : sets2 > sets1 ? 2 : last;
}

int MatchRecord::winnerSide() const
{
    // A match closed before its end has no winner, whoever leads.
    return result_.over ? result_.winner : 0;
}

int MatchRecord::winner() const
{
    const int side = winnerSide();
    return side == 0 ? 0 : side == firstServer_ ? 1 : 2;
}

QString MatchRecord::score() const
{
    const int w = leaderSide() == 0 ? firstServer_ : leaderSide();
    QStringList sets;
    for (int set = 1; set <= kMaxSets; ++set) {
        const auto [g1, g2] = games_[size_t(set)];
        const int mine = w == 1 ? g1 : g2;
        const int theirs = w == 1 ? g2 : g1;
        if (mine < 0 || theirs < 0 || (mine == 0 && theirs == 0))
            continue;
        QString text = QString::number(mine) + u'-' + QString::number(theirs);
        const int lost = rules_.tieBreakLoserPoints[size_t(set - 1)];
        if (rules_.isTiebreakSet(set))
            text = u'[' + text + u']';
        else if (lost >= 0 && rules_.setWinner(set, g1, g2) != 0)
            text += u'(' + QString::number(lost) + u')';
        sets.append(text);
    }
    return sets.join(u' ');
}

QString MatchRecord::server1() const
{
    return firstServer_ == 1 ? name1_ : name2_;
}

QString MatchRecord::server2() const
{
    return firstServer_ == 1 ? name2_ : name1_;
}

int MatchRecord::minutes() const
{
    return int((std::uint64_t{elapsedMs_} + 30'000) / 60'000);
}

QString MatchRecord::csvHeader()
{
    return QStringLiteral("pbp_id,date,tny_name,tour,draw,server1,server2,winner,pbp,score,adf_flag,wh_minutes");
}

QString MatchRecord::csvField(const QString &value)
{
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString MatchRecord::csvLine(const Facts &facts) const
{
    QStringList out;
    for (const QString &f : csvFields(facts))
        out.append(csvField(f));
    return out.join(u',');
}

QStringList MatchRecord::csvFields(const Facts &facts) const
{
    return {
        facts.id,
        QLocale::c().toString(facts.date, QStringLiteral("dd MMM yy")),
        facts.tournament,
        facts.tour,
        facts.draw,
        server1(),
        server2(),
        winner() == 0 ? QString() : QString::number(winner()),
        pbp_,
        score(),
        // Aces and double faults are not told apart on the board.
        QStringLiteral("0"),
        QString::number(minutes()),
    };
}
