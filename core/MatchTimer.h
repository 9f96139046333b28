#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

class TickSource;

// Elapsed playing time with pause; its first start opens the match.
class MatchTimer : public QObject
{
    Q_OBJECT

public:
    enum Phase { NotStarted = -1, Paused = 0, Running = 1 };
    static constexpr int kIntervalMs = 200;

    MatchTimer(const TickSource &ticks, QString timeZeroText, QObject *parent = nullptr);

    int MatchPhase() const { return phase_; }
    bool isRunning() const { return timer_.isActive(); }
    int tickIntervalMs() const { return timer_.interval(); }
    std::uint32_t StartTicks() const { return startTicks_; }
    std::uint32_t PauseTicks() const { return pauseTicks_; }
    const QString &elapsedText() const { return text_; }
    const QString &timeZeroText() const { return timeZero_; }

    // Playing time so far in ms, pauses excluded; 0 before the start.
    std::uint32_t elapsedMs() const;

    void bPlayClick();
    // A decided match stops the playing time; reopened, it runs on if it ran when decided.
    void setMatchDecided(bool decided);
    void TimerTimer();
    void reset();
    // A match brought back after a crash: paused, showing the playing time it had.
    void restorePaused(std::uint32_t elapsedMs);

    static QString ElapsedText(std::uint64_t seconds);

signals:
    // The first start (or the first after a reset): the next set is to be opened.
    void matchStarted();
    void phaseChanged(int phase);
    void elapsedTextChanged(const QString &text);

private:
    void setText(const QString &text);

    const TickSource &ticks_;
    const QString timeZero_;
    QTimer timer_;
    QString text_;
    int phase_ = NotStarted;
    std::uint32_t startTicks_ = 0;
    std::uint32_t pauseTicks_ = 0;
    bool resumeWhenReopened_ = false;
};
