#include "tests/core/MatchFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdint>
#include <limits>

namespace {

class MatchTimerTest : public MatchFixture
{
protected:
    MatchTimer &timer() { return match.timer(); }
    QString shownAfter(std::uint32_t ms)
    {
        ticks.advance(ms);
        timer().TimerTimer();
        return timer().elapsedText();
    }
};

TEST(ElapsedText, MinutesUnpaddedUnderAnHourAndHoursNeverWrap)
{
    const std::pair<std::uint64_t, const char *> table[] = {
        {0, "0:00"}, {59, "0:59"}, {61, "1:01"}, {3599, "59:59"},
        {3600, "1:00:00"}, {3725, "1:02:05"}, {90000, "25:00:00"}, {36000, "10:00:00"}};
    for (const auto &[seconds, text] : table)
        EXPECT_EQ(MatchTimer::ElapsedText(seconds), text) << seconds;
}

TEST_F(MatchTimerTest, FirstStartOpensSetOneAndKeepsTimeZeroUntilFirstTick)
{
    ticks.value = 5000;
    start();
    EXPECT_EQ(timer().MatchPhase(), MatchTimer::Running);
    EXPECT_TRUE(timer().isRunning());
    EXPECT_EQ(timer().StartTicks(), 5000u);
    EXPECT_EQ(score().CurrentSet(), 1);
    EXPECT_EQ(timer().elapsedText(), "00:00:00");
    EXPECT_EQ(shownAfter(200), "0:00");
}

TEST_F(MatchTimerTest, NewSecondShowsAfterNineHundredMilliseconds)
{
    start();
    EXPECT_EQ(shownAfter(899), "0:00");
    EXPECT_EQ(shownAfter(1), "0:01");
    EXPECT_EQ(shownAfter(3600 * 1000 - 1000), "1:00:00");
}

TEST_F(MatchTimerTest, PauseIsNotCountedAndFreezesTheDisplay)
{
    start();
    EXPECT_EQ(shownAfter(10'000), "0:10");
    timer().bPlayClick();
    EXPECT_EQ(timer().MatchPhase(), MatchTimer::Paused);
    EXPECT_FALSE(timer().isRunning());
    ticks.advance(3'600'000);
    timer().bPlayClick();
    EXPECT_EQ(timer().MatchPhase(), MatchTimer::Running);
    EXPECT_EQ(score().CurrentSet(), 1) << "resuming opens no set";
    EXPECT_EQ(shownAfter(5'000), "0:15");
}

TEST_F(MatchTimerTest, ElapsedTimeSurvivesTickCounterWrap)
{
    ticks.value = std::numeric_limits<std::uint32_t>::max() - 30'000;
    start();
    EXPECT_EQ(shownAfter(20'000), "0:20");
    timer().bPlayClick();
    ticks.advance(60'000); // the pause spans the wrap
    timer().bPlayClick();
    EXPECT_LT(ticks.value, 100'000u);
    EXPECT_EQ(shownAfter(40'000), "1:00");
}

TEST_F(MatchTimerTest, ResetStopsAndShowsTimeZero)
{
    start();
    shownAfter(65'000);
    timer().bPlayClick();
    match.reset();
    EXPECT_EQ(timer().MatchPhase(), MatchTimer::NotStarted);
    EXPECT_FALSE(timer().isRunning());
    EXPECT_EQ(timer().PauseTicks(), 0u);
    EXPECT_EQ(timer().elapsedText(), "00:00:00");
    ticks.advance(7'000);
    start();
    EXPECT_EQ(shownAfter(1'000), "0:01") << "a new start counts from zero";
}

TEST_F(MatchTimerTest, QtTimerTicksEveryTwoHundredMilliseconds)
{
    int texts = 0;
    QObject::connect(&timer(), &MatchTimer::elapsedTextChanged, [&] { ++texts; });
    start();
    ticks.advance(1'000);
    QCoreApplication *app = QCoreApplication::instance();
    ASSERT_NE(app, nullptr);
    QElapsedTimer wall;
    wall.start();
    while (texts == 0 && wall.elapsed() < 2000)
        app->processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(texts, 1);
    EXPECT_EQ(timer().elapsedText(), "0:01");
    // The interval bounds the display's lag behind the elapsed time.
    EXPECT_EQ(timer().tickIntervalMs(), 200);
}

} // namespace
