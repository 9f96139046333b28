#include "controls/PLNClock.h"

#include "app/BoardClock.h"

#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const QDate kDay(2024, 5, 17);

class FakeTime : public LocalTimeSource
{
public:
    TDateTime now() const override { return value; }
    void set(int h, int m, int s, int ms = 0, QDate day = kDay) { value = encodeDateTime(day, QTime(h, m, s, ms)); }
    TDateTime value = 0;
};

TColor at(const QImage &image, int x, int y)
{
    return fromQColor(image.pixelColor(x, y));
}

// `drawing` done by hand on a copy of `base`.
QImage drawnOver(const QImage &base, const std::function<void(GdiCanvas &)> &drawing)
{
    QImage image = base.copy();
    GdiCanvas canvas(&image);
    drawing(canvas);
    return image;
}

bool sameIn(const QImage &a, const QImage &b, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

void line(GdiCanvas &canvas, TColor color, int width, QPoint from, QPoint to)
{
    canvas.setPenColor(color);
    canvas.setPenWidth(width);
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
}

class ScoreboardClock : public ::testing::Test
{
protected:
    void SetUp() override
    {
        time.set(10, 10, 15, 250);
        clock = std::make_unique<TPLNClock>(nullptr, &time);
        setUpBoardClock(*clock);
    }

    FakeTime time; // outlives the clock
    std::unique_ptr<TPLNClock> clock;
};

} // namespace

TEST_F(ScoreboardClock, FaceGeometry)
{
    const TPLNClock::Geometry &g = clock->geometry();
    EXPECT_EQ(g.CenterX, 124);
    EXPECT_EQ(g.CenterY, 124);
    EXPECT_EQ(g.RadiusX, 113);
    EXPECT_EQ(g.RadiusY, 113);
    EXPECT_EQ(g.HandRadius, 112);
    EXPECT_EQ(g.HrHandCut, 37);

    clock->setDate(true);
    EXPECT_EQ(g.CenterX, 124);
    EXPECT_EQ(g.CenterY, 128);
    EXPECT_EQ(g.RadiusX, 113);
    EXPECT_EQ(g.RadiusY, 117);
    EXPECT_EQ(g.HandRadius, 112);
}

TEST_F(ScoreboardClock, HourCirclesFillTheirBoxes)
{
    const std::vector<std::pair<int, GdiRect>> circles = {
        {12, {120, 2, 130, 12}}, {1, {179, 18, 189, 28}}, {2, {222, 61, 232, 71}}, {3, {238, 120, 248, 130}}};
    const QImage black = drawnOver(clock->surface(), [](GdiCanvas &c) {
        c.setBrushColor(clBlack);
        c.fillRect({0, 0, 249, 249});
    });
    for (const auto &[hour, box] : circles) {
        EXPECT_EQ(clock->markBox(hour * 500, 10), box) << hour;
        const QImage expected = drawnOver(black, [&](GdiCanvas &c) {
            c.setPenColor(clWhite);
            c.setBrushColor(clWhite);
            c.ellipse(box);
        });
        EXPECT_TRUE(sameIn(clock->surface(), expected, box.inset(-1).toQRect())) << hour;
    }
}

TEST_F(ScoreboardClock, MinuteLinesLeaveRoomForHourMarks)
{
    const std::vector<std::pair<int, QLine>> lines = {
        {1, QLine(136, 12, 137, 5)}, {7, QLine(200, 40, 204, 35)}, {59, QLine(112, 12, 111, 5)}};
    const QImage black = drawnOver(clock->surface(), [](GdiCanvas &c) {
        c.setBrushColor(clBlack);
        c.fillRect({0, 0, 249, 249});
    });
    for (const auto &[minute, stroke] : lines) {
        EXPECT_TRUE(clock->carriesMinuteMark(minute));
        EXPECT_EQ(clock->markLine(minute * 100, 7), stroke) << minute;
        const QImage expected = drawnOver(black, [&](GdiCanvas &c) { line(c, clWhite, 1, stroke.p1(), stroke.p2()); });
        const QRect area = QRect(stroke.p1(), stroke.p2()).normalized().adjusted(-1, -1, 1, 1);
        EXPECT_TRUE(sameIn(clock->surface(), expected, area)) << minute;
    }
    for (int minute : {0, 5, 10, 55})
        EXPECT_FALSE(clock->carriesMinuteMark(minute)) << minute;
}

TEST_F(ScoreboardClock, RefreshTickDrawsTheSixStrokesAndTheDot)
{
    const QImage face = clock->surface().copy();
    clock->ClockTick();
    EXPECT_EQ(clock->PosSec(), 1525);
    EXPECT_EQ(clock->PosMin(), 1025);
    EXPECT_EQ(clock->PosHr(), 5083);

    const QImage expected = drawnOver(face, [](GdiCanvas &c) {
        line(c, clYellow, 3, {127, 123}, {220, 72});
        line(c, clYellow, 3, {121, 125}, {115, 129});
        line(c, clYellow, 6, {122, 122}, {63, 81});
        line(c, clYellow, 6, {126, 126}, {132, 130});
        line(c, clWhite, 1, {128, 124}, {236, 127});
        line(c, clWhite, 1, {120, 124}, {109, 124});
        c.setPenColor(clYellow);
        c.setPenWidth(1);
        c.setBrushColor(clYellow);
        c.ellipse(119, 119, 129, 129);
    });
    EXPECT_TRUE(clock->surface() == expected);
}

TEST_F(ScoreboardClock, AfternoonHourHandPointsAsInTheMorning)
{
    time.set(15, 45, 0);
    clock->ClockTick();
    EXPECT_EQ(clock->PosHr(), 7875);

    FakeTime morning;
    morning.set(3, 45, 0);
    TPLNClock other(nullptr, &morning);
    setUpBoardClock(other);
    other.ClockTick();
    EXPECT_EQ(other.PosHr(), 1875);
    EXPECT_TRUE(other.surface() == clock->surface());
}

namespace {

class WatchedClock : public TPLNClock
{
public:
    using TPLNClock::TPLNClock;
    QRegion painted;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        painted += event->region();
        TPLNClock::paintEvent(event);
    }
};

} // namespace

TEST_F(ScoreboardClock, TickUpdatesOnlyTheHandsAndExposeKeepsThem)
{
    WatchedClock watched(nullptr, &time);
    setUpBoardClock(watched);
    // Only the test's own ticks: one from the clock's timer at the same time would also
    // change the surface, and under load it may come between the tick and the check.
    watched.findChild<QTimer *>()->stop();
    watched.show();
    QApplication::processEvents();
    watched.painted = QRegion();

    watched.ClockTick();
    QApplication::processEvents();
    EXPECT_TRUE(watched.painted.contains(QPoint(235, 127))); // second hand tip
    EXPECT_TRUE(watched.painted.contains(QPoint(64, 81)));   // hour hand tip
    EXPECT_FALSE(watched.painted.contains(QPoint(5, 5)));
    EXPECT_FALSE(watched.painted.contains(QPoint(124, 5))); // the 12 o'clock circle

    EXPECT_TRUE(watched.grab().toImage().convertToFormat(QImage::Format_RGB32) == watched.surface());
}

namespace {

// The box of the pixels where a and b differ.
QRect differing(const QImage &a, const QImage &b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST_F(ScoreboardClock, TickRepaintsExactlyTheBoxOfTheHandsItErasedAndDrew)
{
    WatchedClock watched(nullptr, &time);
    setUpBoardClock(watched);
    // Only the test's own ticks: one from the clock's timer at the same time would also
    // change the surface, and under load it may come between the tick and the check.
    watched.findChild<QTimer *>()->stop();
    const QImage face = watched.surface().copy(); // no tick yet: no hands
    watched.show();
    QApplication::processEvents();
    // The first tick after a face repaint erases hands that are not there, the later ones
    // move the second hand, and a refresh tick moves the others.
    for (int tick = 0; tick < 60; ++tick) {
        const QImage before = watched.surface().copy();
        time.value += 1.0 / 86400;
        watched.painted = QRegion();
        watched.ClockTick();
        QApplication::processEvents();
        const QImage &after = watched.surface();
        const QRect hands = differing(before, face) | differing(after, face);
        const QRect update = watched.painted.boundingRect();
        ASSERT_TRUE(update == hands) << "tick " << tick << ": update " << update.width() << "x" << update.height()
                                     << " at " << update.x() << "," << update.y() << ", hands " << hands.width()
                                     << "x" << hands.height() << " at " << hands.x() << "," << hands.y();
    }
}

namespace {

class ClockEvents : public ::testing::Test
{
protected:
    void start(int h, int m, int s, int ms)
    {
        time.set(h, m, s, ms);
        clock = std::make_unique<TPLNClock>(nullptr, &time);
        const auto record = [this](const char *what) {
            return [this, what](TPLNClock *sender, int hour, int minute, int second) {
                EXPECT_EQ(sender, clock.get());
                log.push_back(std::string(what) + " " + std::to_string(hour) + ":" + std::to_string(minute) + ":" +
                              std::to_string(second));
            };
        };
        clock->setOnChangeSec(record("sec"));
        clock->setOnChangeMin(record("min"));
        clock->setOnChangeHour(record("hour"));
        clock->setOnSameTime([this](TPLNClock *) { log.push_back("same"); });
    }
    void tickAt(int h, int m, int s, int ms = 0, QDate day = kDay)
    {
        time.set(h, m, s, ms, day);
        clock->ClockTick();
    }
    QTimer *timer() const { return clock->findChild<QTimer *>(); }

    FakeTime time;
    std::unique_ptr<TPLNClock> clock;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(ClockEvents, ChangesAreReportedOnlyWhenTheyHappen)
{
    start(10, 10, 15, 250);
    ASSERT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 100);
    tickAt(10, 10, 15, 350);
    EXPECT_EQ(log, Log{});
    tickAt(10, 10, 16);
    tickAt(10, 10, 16, 100);
    EXPECT_EQ(log, (Log{"sec 10:10:16"}));

    log.clear();
    tickAt(10, 11, 0);
    tickAt(10, 59, 59, 900);
    tickAt(11, 0, 0);
    EXPECT_EQ(log, (Log{"sec 10:11:0", "min 10:11:0", "sec 10:59:59", "min 10:59:59", "sec 11:0:0", "min 11:0:0",
                        "hour 11:0:0"}));

    log.clear();
    tickAt(23, 59, 59);
    tickAt(0, 0, 0, 0, kDay.addDays(1));
    // The initial TimeSet 0 is an alarm at midnight.
    EXPECT_EQ(log, (Log{"sec 23:59:59", "min 23:59:59", "hour 23:59:59", "sec 0:0:0", "same", "min 0:0:0",
                        "hour 0:0:0"}));
}

TEST_F(ClockEvents, SameTimeFiresOncePerMatchingSecondEveryDay)
{
    start(11, 59, 58, 0);
    clock->setTimeSet(encodeDateTime(QDate(2001, 2, 3), QTime(12, 0, 0)));
    log.clear();
    tickAt(11, 59, 59, 900);
    tickAt(12, 0, 0, 50);
    tickAt(12, 0, 0, 550);
    tickAt(12, 0, 1);
    tickAt(12, 0, 0, 0, kDay.addDays(1));
    EXPECT_EQ(std::count(log.begin(), log.end(), "same"), 2);

    // The shown time counts, offset included.
    clock->setTimeOffset(60);
    log.clear();
    tickAt(10, 59, 59, 0, kDay.addDays(2));
    tickAt(11, 0, 0, 0, kDay.addDays(2));
    EXPECT_EQ(std::count(log.begin(), log.end(), "same"), 1);
}

TEST_F(ClockEvents, NoneWhileStoppedOrAfterDestruction)
{
    start(10, 10, 15, 250);
    clock->setClockEnabled(false);
    EXPECT_FALSE(timer()->isActive());
    tickAt(10, 10, 17);
    tickAt(11, 30, 0);
    EXPECT_EQ(log, Log{});
    clock->setClockEnabled(true);
    EXPECT_TRUE(timer()->isActive());

    // The timer goes while the clock is still a whole clock, before its base parts.
    bool timerWentFirst = false;
    QObject *whole = clock.get();
    QObject::connect(timer(), &QObject::destroyed,
                     [&] { timerWentFirst = qobject_cast<TPLNClock *>(whole) != nullptr; });
    clock.reset();
    EXPECT_TRUE(timerWentFirst);
    EXPECT_EQ(log, Log{});
}

TEST_F(ScoreboardClock, StopFreezesTheHandsAndTimeSetMovesThem)
{
    time.set(10, 15, 42);
    clock->setClockEnabled(false);
    EXPECT_EQ(clock->TimeSet(), time.value);
    EXPECT_EQ(clock->PosSec(), 4200);
    EXPECT_EQ(clock->PosMin(), 1570);
    EXPECT_EQ(clock->PosHr(), 5125);
    const QImage frozen = clock->surface().copy();

    time.set(10, 20, 7, 500);
    for (int i = 0; i < 30; ++i)
        clock->ClockTick();
    EXPECT_EQ(clock->PosMin(), 1570);
    EXPECT_TRUE(clock->surface() == frozen);
    clock->setColor(clBlack); // a repaint of a stopped clock brings the hands back at once
    EXPECT_TRUE(clock->surface() == frozen);

    clock->setTimeSet(encodeDateTime(kDay, QTime(8, 0, 0)));
    EXPECT_EQ(clock->PosHr(), 4000);
    EXPECT_EQ(clock->PosMin(), 0);
    // Moved without a trail: as a clock stopped at 08:00 from the start.
    FakeTime eight;
    eight.set(8, 0, 0);
    TPLNClock fresh(nullptr, &eight);
    setUpBoardClock(fresh);
    fresh.setClockEnabled(false);
    EXPECT_TRUE(clock->surface() == fresh.surface());

    clock->setTimeOffset(90); // a stopped clock follows the offset at once
    EXPECT_EQ(clock->PosHr(), int(((9u * 60 + 30) * 25) / 3));
}

TEST_F(ScoreboardClock, TimeOffsetShiftsTheShownTime)
{
    std::vector<std::string> log;
    clock->setOnChangeHour([&](TPLNClock *, int h, int m, int s) {
        log.push_back(std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s));
    });
    clock->ClockTick();
    clock->setTimeOffset(90);
    EXPECT_EQ(clock->PosHr(), 5083); // a running clock waits for its next tick
    time.set(10, 10, 16);
    clock->ClockTick();
    EXPECT_EQ(clock->PosHr(), 5833);
    EXPECT_EQ(clock->PosMin(), 4026);
    EXPECT_EQ(log, std::vector<std::string>{"11:40:16"});

    clock->setTimeOffset(-1440);
    clock->ClockTick();
    EXPECT_EQ(clock->PosHr(), 5083);
    EXPECT_EQ(clock->PosMin(), 1026);
}

TEST_F(ScoreboardClock, SecJumpDrawsOnceASecond)
{
    int seconds = 0;
    clock->setOnChangeSec([&](TPLNClock *, int, int, int) { ++seconds; });
    const QImage face = clock->surface().copy();
    clock->setSecJump(true);
    EXPECT_TRUE(clock->surface() == face); // stores only
    clock->ClockTick();
    EXPECT_EQ(clock->PosSec(), 1500);
    const QImage jumped = clock->surface().copy();
    time.set(10, 10, 15, 850);
    clock->ClockTick();
    EXPECT_TRUE(clock->surface() == jumped);
    time.set(10, 10, 16, 50);
    clock->ClockTick();
    EXPECT_EQ(clock->PosSec(), 1600);
    EXPECT_EQ(seconds, 1);
}

TEST_F(ScoreboardClock, SecondsOffErasesTheLastSecondHand)
{
    clock->ClockTick();
    ASSERT_EQ(at(clock->surface(), 200, 126), clWhite);
    const QImage shown = clock->surface().copy();
    clock->setSeconds(false);
    EXPECT_TRUE(clock->surface() == shown); // stores only
    clock->ClockTick();
    EXPECT_EQ(at(clock->surface(), 200, 126), clBlack);
    EXPECT_EQ(clock->PosSec(), 0);
    EXPECT_EQ(at(clock->surface(), 90, 100), clYellow); // the hour hand stays

    // A hand standing at 12 o'clock (position 0) goes as well.
    clock->setSeconds(true);
    clock->setSecJump(true);
    time.set(10, 9, 59, 400);
    clock->ClockTick();
    time.set(10, 10, 0, 400);
    clock->ClockTick();
    ASSERT_EQ(clock->PosSec(), 0);
    ASSERT_EQ(at(clock->surface(), 124, 60), clWhite);
    clock->setSeconds(false);
    time.set(10, 10, 1);
    clock->ClockTick();
    EXPECT_EQ(at(clock->surface(), 124, 60), clBlack);
}

TEST_F(ScoreboardClock, WithoutSecondsHandsReturnAtTheNextRefreshTick)
{
    clock->setSeconds(false);
    clock->ClockTick(); // a refresh tick: the count starts again from 0
    clock->setColor(clBlack);
    const QImage face = clock->surface().copy();
    for (int i = 0; i < 50; ++i)
        clock->ClockTick();
    EXPECT_TRUE(clock->surface() == face);
    clock->ClockTick();
    EXPECT_EQ(at(clock->surface(), 90, 100), clYellow);
    EXPECT_EQ(at(clock->surface(), 124, 124), clYellow); // the centre dot
}

// Shown enlarged, the ticks leave the clock's own-size surface alone; shown at its size
// again, it shows what the same ticks would have drawn there.
TEST_F(ScoreboardClock, TicksWhileEnlargedLeaveTheSurfaceAsTicksAtItsSize)
{
    FakeTime same;
    same.value = time.value;
    TPLNClock reference(nullptr, &same);
    setUpBoardClock(reference);
    for (TPLNClock *c : {clock.get(), &reference}) {
        c->findChild<QTimer *>()->stop();
        c->show();
    }
    QApplication::processEvents();
    const auto tickBoth = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            time.value += 0.7 / 86400;
            same.value = time.value;
            clock->ClockTick();
            reference.ClockTick();
        }
    };
    tickBoth(3);
    QImage enlarged(clock->size() * 3, QImage::Format_RGB32);
    {
        QPainter painter(&enlarged);
        painter.scale(3, 3);
        clock->render(&painter);
    }
    const QImage before = clock->surface().copy();
    tickBoth(40); // past a move of the hour and minute hands
    EXPECT_TRUE(clock->surface() == reference.surface());
    EXPECT_FALSE(clock->surface() == before);
    // At its size again it shows them, and the ticks draw on the surface once more.
    tickBoth(2);
    clock->repaint();
    EXPECT_TRUE(clock->grab().toImage().convertToFormat(QImage::Format_RGB32) == reference.surface());
    tickBoth(30);
    QApplication::processEvents();
    EXPECT_TRUE(clock->grab().toImage().convertToFormat(QImage::Format_RGB32) == reference.surface());
}

TEST_F(ScoreboardClock, WithSecondsHourAndMinuteHandsMoveEveryTwentySixthTick)
{
    clock->ClockTick(); // a refresh tick: the count starts again from 0
    ASSERT_EQ(clock->PosMin(), 1025);
    // Each tick adds 2; the count passes 50 only at the 26th.
    for (int tick = 1; tick <= 25; ++tick) {
        time.value += 1.0 / 86400;
        clock->ClockTick();
        ASSERT_EQ(clock->PosMin(), 1025) << "tick " << tick;
    }
    time.value += 1.0 / 86400;
    clock->ClockTick();
    EXPECT_EQ(clock->PosMin(), int(((10u * 60 + 41) * 10) / 6)); // 10:10:41
}

TEST_F(ScoreboardClock, WithoutSecondsHourAndMinuteHandsMoveEveryFiftyFirstTick)
{
    clock->setSeconds(false);
    clock->ClockTick();
    ASSERT_EQ(clock->PosMin(), 1025);
    for (int tick = 1; tick <= 50; ++tick) {
        time.value += 1.0 / 86400;
        clock->ClockTick();
        ASSERT_EQ(clock->PosMin(), 1025) << "tick " << tick;
    }
    time.value += 1.0 / 86400;
    clock->ClockTick();
    EXPECT_EQ(clock->PosMin(), int(((10u * 60 + 66) * 10) / 6)); // 10:11:06
}

TEST_F(ScoreboardClock, FourHourMarksLeaveTheOtherPlacesToMinuteMarks)
{
    clock->setColorMin(clBlue);
    clock->setHrMarks(hmFour);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(clock->carriesMinuteMark(i), i % 15 != 0) << i;

    // Hour circles only at 3, 6, 9 and 12; a minute line where the others would be.
    const QImage &face = clock->surface();
    for (int n = 1; n <= 12; ++n) {
        const GdiRect box = clock->markBox(n * 500, 10);
        const QPoint middle((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        if (n % 3 == 0)
            EXPECT_EQ(at(face, middle.x(), middle.y()), clWhite) << n;
        else
            EXPECT_NE(at(face, middle.x(), middle.y()), clWhite) << n;
        const QLine minute = clock->markLine(n * 500, 7);
        EXPECT_EQ(at(face, minute.x1(), minute.y1()) == clBlue, n % 3 != 0) << n;
    }

    // Line hour marks follow the same four places.
    clock->setHrStyle(hsLine);
    clock->setColorHr(clRed);
    for (int n = 1; n <= 12; ++n) {
        const QLine hour = clock->markLine(n * 500, 10);
        EXPECT_EQ(at(clock->surface(), hour.x1(), hour.y1()), n % 3 == 0 ? clRed : clBlue) << n;
    }
}
