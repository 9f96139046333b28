#pragma once

#include "core/MatchScore.h"
#include "core/MatchTimer.h"

#include <QObject>

class TickSource;

// One match: its score and its timer, wired so that the first start opens a set.
class Match : public QObject
{
    Q_OBJECT

public:
    Match(const TickSource &ticks, const QString &timeZeroText, QObject *parent = nullptr);

    MatchScore &score() { return score_; }
    const MatchScore &score() const { return score_; }
    MatchTimer &timer() { return timer_; }
    const MatchTimer &timer() const { return timer_; }

    // The confirmed reset: the timer first, then the score.
    void reset();

private:
    MatchTimer timer_;
    MatchScore score_;
};
