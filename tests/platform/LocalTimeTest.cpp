#include "platform/LocalTime.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(LocalTime, DaysCountFromTheLastDaysOf1899)
{
    EXPECT_EQ(encodeDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0.0);
    EXPECT_EQ(encodeDateTime(QDate(1900, 1, 1), QTime(18, 0)), 2.75);
    EXPECT_EQ(encodeDateTime(QDate(2024, 5, 17), QTime(0, 0)), 45429.0);
}

TEST(LocalTime, TimeOfDayKeepsTheMilliseconds)
{
    const TimeOfDay t = timeOfDay(encodeDateTime(QDate(2024, 5, 17), QTime(10, 10, 15, 250)));
    EXPECT_EQ(t.hour, 10);
    EXPECT_EQ(t.minute, 10);
    EXPECT_EQ(t.second, 15);
    EXPECT_EQ(t.msec, 250);
    // Every millisecond of a day survives the trip through a double.
    for (int ms = 0; ms < 86400000; ms += 997) {
        const TimeOfDay back = timeOfDay(encodeDateTime(QDate(2030, 1, 1), QTime::fromMSecsSinceStartOfDay(ms)));
        ASSERT_EQ(((back.hour * 60 + back.minute) * 60 + back.second) * 1000 + back.msec, ms);
    }
}

TEST(LocalTime, DaysBeforeTheEpochStillRunForward)
{
    const TimeOfDay t = timeOfDay(-1.0 / 1440);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(timeOfDay(-1.0).hour, 0);
    const TimeOfDay nan = timeOfDay(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan.hour + nan.minute + nan.second + nan.msec, 0);
}

TEST(LocalTime, SystemSourceFollowsTheLocalClock)
{
    const QDateTime before = QDateTime::currentDateTime();
    const TDateTime now = SystemLocalTime().now();
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_GE(now, encodeDateTime(before.date(), before.time()));
    EXPECT_LE(now, encodeDateTime(after.date(), after.time()));
}
