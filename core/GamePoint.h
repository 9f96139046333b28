#pragma once

// The points of a game in normal counting, as a points figure's value holds them; the figure
// shows MatchScore::PointTexts[value]. In tie-break mode the value is a plain count instead.
namespace GamePoint {

enum Value : int {
    Blank = -1, // no game under way
    Love,
    Fifteen,
    Thirty,
    Forty,
    Advantage,
    // Shown blank: automatic counting gives the game at once, stepping passes through it.
    WonFromAdvantage,
};

inline constexpr int kTexts = WonFromAdvantage + 1;

} // namespace GamePoint
