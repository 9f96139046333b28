#pragma once

#include "app/scoring/ScoreState.h"

#include <ostream>

// Lets test failures show a score state as the board would, not as bytes.
inline void PrintTo(const ScoreState &s, std::ostream *os)
{
    *os << "{set " << s.currentSet << " bold " << s.boldHeader << " server " << s.server << " sets "
        << s.setCount << (s.tieBreakMode ? " TB" : "") << (s.tieBreakOption ? " tbOpt" : "")
        << (s.autoCount ? " auto" : "") << (s.manualTieBreakMark ? " mark" : "") << " |";
    for (const ScoreField &f : s.fields)
        *os << ' ' << f.Tag << "'" << f.Text.toStdString() << "'";
    *os << " | tb " << s.tieBreakFields[0].Tag << ' ' << s.tieBreakFields[1].Tag << " | hi";
    for (bool hi : s.leaderHighlighted)
        *os << (hi ? '1' : '0');
    *os << '}';
}
