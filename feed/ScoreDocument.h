#pragma once

#include <QJsonObject>
#include <QString>

class BoardModel;
class Match;

// The whole board state as one JSON document (docs/score-feed.schema.json), for the score
// feed and the text files. The change counter goes up only when something else changed.
class ScoreDocument
{
public:
    static constexpr int kVersion = 1;
    // Longer names are cut: a document stays small whatever the operator types.
    static constexpr qsizetype kMaxNameLength = 100;

    const QJsonObject &update(const BoardModel &model);
    // The same of a match and names alone, as the model's parts give them.
    const QJsonObject &update(const Match &match, const QString &name1, const QString &name2);
    const QJsonObject &current() const { return current_; }

    static QJsonObject build(const Match &match, const QString &name1, const QString &name2, qint64 change);
    // "1:02:03", "2:05" or "00:00:00" as the timer shows them; 0 for anything else.
    static qint64 elapsedSeconds(const QString &text);

private:
    QJsonObject current_;
    qint64 change_ = 0;
};
