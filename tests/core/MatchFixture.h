#pragma once

#include "core/Match.h"
#include "tests/core/FakeTicks.h"

#include <gtest/gtest.h>

#include <string>

// A match with a fake clock, started so that set 1 is open at 0:0.
class MatchFixture : public ::testing::Test
{
protected:
    MatchFixture() : match(ticks, QStringLiteral("00:00:00")) {}

    MatchScore &score() { return match.score(); }
    void start() { match.timer().bPlayClick(); }

    // Plays points from a string of '1' and '2', one point for that side each.
    void play(const std::string &points)
    {
        for (char c : points)
            c == '1' ? score().mSchet1Click() : score().mSchet2Click();
    }
    void winGame(int side) { play(std::string(4, side == 1 ? '1' : '2')); }
    void winGames(int side, int n)
    {
        for (int i = 0; i < n; ++i)
            winGame(side);
    }
    QString pointsText(int side) { return score().field(MatchScore::pointsEntry(side)).Text; }
    std::pair<int, int> games(int set) { return {score().games(1, set), score().games(2, set)}; }

    FakeTicks ticks;
    Match match;
};
