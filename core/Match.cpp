#include "core/Match.h"

Match::Match(const TickSource &ticks, const QString &timeZeroText, QObject *parent)
    : QObject(parent), timer_(ticks, timeZeroText), score_(timer_)
{
    connect(&timer_, &MatchTimer::matchStarted, &score_, &MatchScore::Set1Click);
    connect(&score_, &MatchScore::matchWinnerChanged, &timer_, [this] { timer_.setMatchDecided(score_.matchOver()); });
}

void Match::reset()
{
    timer_.reset();
    score_.reset();
}
