#include "feed/ResultDocument.h"

#include "core/BoardModel.h"
#include "core/MatchJournal.h"
#include "core/MatchRecord.h"
#include "feed/ScoreDocument.h"

#include <QJsonArray>

QString ResultDocument::isoWithOffset(const QDateTime &time)
{
    if (!time.isValid())
        return {};
    const QDateTime fixed = time.toOffsetFromUtc(time.offsetFromUtc());
    QString text = fixed.toString(Qt::ISODate);
    // Qt writes no offset at all for UTC itself; the document always carries one.
    if (text.endsWith(u'Z'))
        text.chop(1);
    if (fixed.offsetFromUtc() == 0 && !text.endsWith(QStringLiteral("+00:00")))
        text += QStringLiteral("+00:00");
    return text;
}

QJsonObject ResultDocument::build(const BoardModel &model, const QString &court, const QDateTime &end)
{
    const QString id = model.journal().matchId();
    const MatchRecord record = MatchRecord::fromJournal(model.journal().records());
    MatchRecord::Facts facts;
    facts.id = id;
    facts.date = end.date();
    const QStringList columns = MatchRecord::csvHeader().split(u',');
    const QStringList values = record.csvFields(facts);
    QJsonObject line;
    for (qsizetype i = 0; i < columns.size(); ++i)
        line.insert(columns[i], values.value(i));
    const QString score = record.score();
    QJsonArray sets;
    for (const QString &set : score.split(u' ', Qt::SkipEmptyParts))
        sets.append(set);
    const int winner = model.winner();
    const QString elapsed = model.timer().elapsedText();
    return QJsonObject{
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("court"), court},
        {QStringLiteral("id"), id},
        {QStringLiteral("names"), QJsonArray{model.name(1), model.name(2)}},
        {QStringLiteral("format"), model.score().format().code()},
        {QStringLiteral("sets"), sets},
        {QStringLiteral("score"), score},
        {QStringLiteral("start"), isoWithOffset(MatchJournal::startOfMatchId(id))},
        {QStringLiteral("end"), isoWithOffset(end)},
        {QStringLiteral("elapsed"),
         QJsonObject{{QStringLiteral("text"), elapsed},
                     {QStringLiteral("seconds"), ScoreDocument::elapsedSeconds(elapsed)}}},
        {QStringLiteral("winner"), winner},
        {QStringLiteral("winnerName"), winner == 0 ? QString() : model.name(winner)},
        {QStringLiteral("pbp"), record.pbp()},
        {QStringLiteral("record"), line},
    };
}
