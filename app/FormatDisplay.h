#pragma once

#include "gdi/Colors.h"

#include <array>
#include <functional>

class BoardLayout;
class MatchScore;
class QLabel;

// What a match format adds to the board's figures: the loser's tie-break points small in
// the corner of a set won in a tie-break, "DP" in both points fields at a deciding point,
// and the winner's name in the set-leader colour once the match is decided.
class FormatDisplay
{
public:
    static constexpr auto kDecidingPointText = "DP";

    // `colour(slot)` gives a scheme colour as the board shows it now.
    FormatDisplay(BoardLayout &layout, const MatchScore &score, std::function<TColor(int)> colour);

    bool showsTieBreakPoints() const { return showTieBreakPoints_; }
    void setShowTieBreakPoints(bool on);

    // The small mark of a games figure (side 1 or 2, set 1 .. 5).
    QLabel *tieBreakMark(int side, int set) const;

    void showTieBreakMarks();
    // Run after the points fields took the score's texts.
    void showDecidingPoint();
    // Run after the colour scheme has painted the names.
    void showWinner();

private:
    BoardLayout &layout_;
    const MatchScore &score_;
    std::function<TColor(int)> colour_;
    bool showTieBreakPoints_ = false;
    std::array<QLabel *, 10> marks_{}; // side 1 sets 1 .. 5, then side 2
};
