#include "core/MatchTimer.h"

#include "platform/TickCounter.h"

MatchTimer::MatchTimer(const TickSource &ticks, QString timeZeroText, QObject *parent)
    : QObject(parent), ticks_(ticks), timeZero_(std::move(timeZeroText)), text_(timeZero_)
{
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &MatchTimer::TimerTimer);
}

void MatchTimer::bPlayClick()
{
    resumeWhenReopened_ = false;
    switch (phase_) {
    case NotStarted:
        startTicks_ = ticks_.now();
        phase_ = Running;
        emit matchStarted();
        break;
    case Paused:
        phase_ = Running;
        // Unsigned arithmetic: the pause does not count, even across a counter wrap.
        startTicks_ += ticks_.now() - pauseTicks_;
        break;
    default:
        phase_ = Paused;
        pauseTicks_ = ticks_.now();
        break;
    }
    if (phase_ == Running)
        timer_.start();
    else
        timer_.stop();
    emit phaseChanged(phase_);
}

void MatchTimer::setMatchDecided(bool decided)
{
    if (decided && phase_ == Running) {
        bPlayClick();
        resumeWhenReopened_ = true;
    } else if (!decided && resumeWhenReopened_) {
        const bool paused = phase_ == Paused;
        resumeWhenReopened_ = false;
        if (paused)
            bPlayClick();
    }
}

void MatchTimer::TimerTimer()
{
    const std::uint32_t elapsedMs = ticks_.now() - startTicks_;
    // A new second shows once 900 ms of it have passed.
    setText(ElapsedText((std::uint64_t{elapsedMs} + 100) / 1000));
}

void MatchTimer::reset()
{
    timer_.stop();
    setText(timeZero_);
    pauseTicks_ = 0;
    resumeWhenReopened_ = false;
    phase_ = NotStarted;
    emit phaseChanged(phase_);
}

std::uint32_t MatchTimer::elapsedMs() const
{
    switch (phase_) {
    case NotStarted:
        return 0;
    case Paused:
        return pauseTicks_ - startTicks_;
    default:
        return ticks_.now() - startTicks_;
    }
}

void MatchTimer::restorePaused(std::uint32_t elapsedMs)
{
    timer_.stop();
    resumeWhenReopened_ = false;
    pauseTicks_ = ticks_.now();
    // Unsigned: a start reading before the counter's zero wraps like any other.
    startTicks_ = pauseTicks_ - elapsedMs;
    phase_ = Paused;
    setText(ElapsedText((std::uint64_t{elapsedMs} + 100) / 1000));
    emit phaseChanged(phase_);
}

QString MatchTimer::ElapsedText(std::uint64_t x)
{
    QString s = QString::number(x % 60).rightJustified(2, u'0');
    s = QString::number((x / 60) % 60) + u':' + s;
    if (x >= 3600) {
        if (s.size() == 4)
            s.prepend(u'0');
        s = QString::number(x / 3600) + u':' + s;
    }
    return s;
}

void MatchTimer::setText(const QString &text)
{
    text_ = text;
    emit elapsedTextChanged(text_);
}
