#pragma once

#include "core/ScoreState.h"

#include <ostream>

// Lets test failures show a score state as the board would, not as bytes.
inline void PrintTo(const ScoreState &s, std::ostream *os)
{
    *os << "{set " << s.currentSet << " bold " << s.boldHeader << " server " << s.server << " "
        << s.rules.format().code().toStdString() << (s.tieBreakMode ? " TB" : "")
        << (s.rules.tieBreakOption() ? " tbOpt" : "")
        << (s.autoCount ? " auto" : "") << (s.manualTieBreakMark ? " mark" : "") << " |";
    for (const ScoreField &f : s.fields)
        *os << ' ' << f.Tag << "'" << f.Text.toStdString() << "'";
    *os << " | tb " << s.tieBreakFields[0].Tag << ' ' << s.tieBreakFields[1].Tag << " | hi";
    for (bool hi : s.leaderHighlighted)
        *os << (hi ? '1' : '0');
    *os << " | rules given " << s.rules.givenFormat().code().toStdString() << " first "
        << s.rules.tieBreakFirstServer << " dp " << s.rules.decidingPoint << " result "
        << s.rules.result.over << '/' << s.rules.result.winner << " lost";
    for (int p : s.rules.tieBreakLoserPoints)
        *os << ' ' << p;
    *os << '}';
}
