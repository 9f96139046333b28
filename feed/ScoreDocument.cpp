#include "feed/ScoreDocument.h"

#include "core/BoardModel.h"

#include <QJsonArray>

namespace {

QString phaseName(int phase)
{
    switch (phase) {
    case MatchTimer::Running:
        return QStringLiteral("running");
    case MatchTimer::Paused:
        return QStringLiteral("paused");
    default:
        return QStringLiteral("not-started");
    }
}

QJsonValue gamesValue(int games)
{
    return games < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(games);
}

QJsonObject setEntry(const MatchScore &score, int set)
{
    const int g1 = score.games(1, set);
    const int g2 = score.games(2, set);
    // The same comparison that colours a set's leader on the board.
    const int leader = g1 > g2 ? 1 : g2 > g1 ? 2 : 0;
    return QJsonObject{
        {QStringLiteral("games"), QJsonArray{gamesValue(g1), gamesValue(g2)}},
        {QStringLiteral("texts"),
         QJsonArray{score.field(MatchScore::gamesEntry(1, set)).Text,
                    score.field(MatchScore::gamesEntry(2, set)).Text}},
        {QStringLiteral("leader"), leader},
    };
}

QJsonObject sideEntry(const MatchScore &score, int side, const QString &name)
{
    return QJsonObject{
        {QStringLiteral("name"), name.left(ScoreDocument::kMaxNameLength)},
        {QStringLiteral("points"), score.field(MatchScore::pointsEntry(side)).Text},
    };
}

} // namespace

const QJsonObject &ScoreDocument::update(const BoardModel &model)
{
    return update(model.match(), model.name(1), model.name(2));
}

const QJsonObject &ScoreDocument::update(const Match &match, const QString &name1, const QString &name2)
{
    QJsonObject next = build(match, name1, name2, change_);
    if (next != current_) {
        next[QStringLiteral("change")] = ++change_;
        current_ = next;
    }
    return current_;
}

QJsonObject ScoreDocument::build(const Match &match, const QString &name1, const QString &name2,
                                 qint64 change)
{
    const MatchScore &score = match.score();
    const MatchTimer &timer = match.timer();
    QJsonArray sets;
    for (int set = 1; set <= score.setCount(); ++set)
        sets.append(setEntry(score, set));
    return QJsonObject{
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("change"), change},
        {QStringLiteral("format"), score.format().code()},
        {QStringLiteral("setCount"), score.setCount()},
        {QStringLiteral("phase"), phaseName(timer.MatchPhase())},
        {QStringLiteral("elapsed"),
         QJsonObject{{QStringLiteral("text"), timer.elapsedText()},
                     {QStringLiteral("seconds"), elapsedSeconds(timer.elapsedText())}}},
        {QStringLiteral("currentSet"), score.CurrentSet()},
        {QStringLiteral("tieBreak"), score.tieBreakMode()},
        // The board's server 0 is side 1.
        {QStringLiteral("server"), score.server() + 1},
        {QStringLiteral("sides"), QJsonArray{sideEntry(score, 1, name1), sideEntry(score, 2, name2)}},
        {QStringLiteral("sets"), sets},
        // 0 until the format decides the match; the board's side after.
        {QStringLiteral("winner"), score.matchOver() ? score.matchWinner() : 0},
    };
}

qint64 ScoreDocument::elapsedSeconds(const QString &text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return 0;
    qint64 seconds = 0;
    for (const QString &part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 0 || part.size() > 4)
            return 0;
        seconds = seconds * 60 + value;
    }
    return seconds;
}
