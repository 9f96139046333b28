#pragma once

#include "core/FormatRules.h"
#include "core/JournalRecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// A match as the point-by-point match files keep it, read from its journal: one character
// a point from the server's view (S won, R lost), ';' after a game, '.' after a set, and
// '/' inside a tie-break where the serve passes. Hand corrections of figures have no
// notation except a point given or taken away by hand in a game, which counts as played or
// not; undo and redo take points back and bring them again.
class MatchRecord
{
public:
    struct Facts
    {
        QString id;
        QDate date;
        QString tournament;
        QString tour;
        QString draw;
    };

    static MatchRecord fromJournal(const QList<JournalRecord> &records);

    const QString &pbp() const { return pbp_; }
    // Games of every begun set from the leader's side, the lost points of a tie-break that
    // decided a set in parentheses, a match tie-break in brackets: "6-4 6-7(5) [10-8]".
    QString score() const;
    // Sides as the files count them: 1 is the side that served first; 0 for a match that
    // was not played to its end (an empty winner column in the table).
    int winner() const;
    QString server1() const;
    QString server2() const;
    int firstServerSide() const { return firstServer_; }
    int minutes() const;

    static QString csvHeader();
    QString csvLine(const Facts &facts) const;
    // The line's values in the header's order, before CSV quoting.
    QStringList csvFields(const Facts &facts) const;
    static QString csvField(const QString &value);

private:
    int winnerSide() const;
    // Who leads in sets, else in the last set begun: the side a score is read from.
    int leaderSide() const;

    QString pbp_;
    std::array<std::array<int, 2>, kMaxSets + 1> games_{}; // by set from 1, sides 1 and 2
    FormatRules rules_;                                     // as the match ended
    FormatRules::Result result_;
    int firstServer_ = 1;
    QString name1_;
    QString name2_;
    std::uint32_t elapsedMs_ = 0;
};
