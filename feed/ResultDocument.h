#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

class BoardModel;

// A decided match as the tournament's broker receives it (docs/broker-result.schema.json):
// names, format, sets, times, winner, the point-by-point string, and the match's line of
// the records as its columns.
class ResultDocument
{
public:
    static constexpr int kVersion = 1;

    static QJsonObject build(const BoardModel &model, const QString &court, const QDateTime &end);
    // ISO 8601 with the offset from UTC: "2026-12-09T10:00:05+01:00".
    static QString isoWithOffset(const QDateTime &time);
};
