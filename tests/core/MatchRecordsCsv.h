#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>
#include <vector>

struct MatchFormat;

// Reading the point-by-point match files: S/A the server won the point, R/D the
// returner; ';' ends a game, '.' a set, '/' a change of server inside a tie-break.
namespace MatchRecordsCsv {

using Sets = std::vector<std::pair<int, int>>; // games of side 1 and side 2

struct Record
{
    QString id;
    QByteArray pbp;
    Sets sets;
    QString score;
    int winner = 0;
};

QString dataFile();

// One CSV line into its fields, quoted fields ("a ""b"", c") included.
QList<QByteArray> splitLine(const QByteArray &line);

// Whether the third set was played to a tie-break at 6:6 or on to a two-game lead.
enum class FinalSet { TieBreak, Advantage };

// Advantage final sets (above 7 games) fall outside the tie-break rules the board plays;
// read as advantage final sets, a third set decided 7:6 is one a tie-break ended.
bool parseScore(const QString &score, int winner, Sets &sets, FinalSet finalSet = FinalSet::TieBreak);

// Games per set counted straight from the points, without any tennis rule: the winner of a
// game is the winner of its last point.
Sets countedGames(const QByteArray &pbp);

// A line with the header's columns into a record; false when it is unusable (its points do
// not add up to its score, or a set above 7 games).
bool parseRecord(const QList<QByteArray> &header, const QByteArray &line, Record &record,
                 FinalSet finalSet = FinalSet::TieBreak);

std::vector<Record> usableRecords(const QString &path, int &rows, FinalSet finalSet = FinalSet::TieBreak);

// Replays the points through the point commands, server1 as side 1; the serving side comes
// from the board. Games per finished set. Under a format of its own the board also keeps the
// serve order inside tie-breaks, which the record marks, and names the winner.
Sets replay(const QByteArray &pbp, int setCount = 3, const MatchFormat *format = nullptr,
            int *winner = nullptr);

} // namespace MatchRecordsCsv
