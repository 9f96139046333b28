#pragma once

#include "core/FormatRules.h"
#include "core/ScoreField.h"

#include <array>

// Everything of the score the board shows, as one value: what undo goes back to and what
// a replayed journal must reproduce. Field order follows the score field table from entry 6.
struct ScoreState
{
    std::array<ScoreField, 12> fields;
    std::array<ScoreField, 2> tieBreakFields; // the hidden LabTBreak1 and LabTBreak2
    int currentSet = 0;
    int boldHeader = 0;
    int server = 0;
    bool tieBreakMode = false;
    // The format with the set count and tie-break option applied, and its rule state.
    FormatRules rules;
    bool autoCount = true;
    bool manualTieBreakMark = false;
    // Set-leader marks of S1_1..S1_5 then S2_1..S2_5: true for the highlight colour.
    std::array<bool, 10> leaderHighlighted{};

    bool operator==(const ScoreState &) const = default;
};
