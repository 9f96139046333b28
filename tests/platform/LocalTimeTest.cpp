#include "platform/LocalTime.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <time.h>

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

// The offset is kept for a minute; a zone's change of offset must still show at its instant.
TEST(LocalTime, SystemSourceFollowsTheZonesOffsetChange)
{
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/Europe/Berlin")))
        GTEST_SKIP() << "no zone data";
    const QByteArray zone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const SystemLocalTime source;
    // Summer time began on 31 March 2024 at 01:00 UTC: 01:59:59.999 was followed by 03:00.
    const qint64 change = QDateTime(QDate(2024, 3, 31), QTime(1, 0), Qt::UTC).toMSecsSinceEpoch();
    const TDateTime before = source.at(change - 1);
    const TDateTime after = source.at(change);
    const TDateTime again = source.at(change - 1); // back across the same minute boundary
    const TDateTime winter = source.at(QDateTime(QDate(2024, 1, 10), QTime(11, 30, 15, 250), Qt::UTC).toMSecsSinceEpoch());
    const TDateTime beforeEpoch = source.at(-3600001); // 22:59:59.999 UTC on the last day of 1969
    if (hadZone)
        qputenv("TZ", zone);
    else
        qunsetenv("TZ");
    tzset();
    EXPECT_EQ(before, encodeDateTime(QDate(2024, 3, 31), QTime(1, 59, 59, 999)));
    EXPECT_EQ(after, encodeDateTime(QDate(2024, 3, 31), QTime(3, 0)));
    EXPECT_EQ(again, before);
    EXPECT_EQ(winter, encodeDateTime(QDate(2024, 1, 10), QTime(12, 30, 15, 250)));
    EXPECT_EQ(beforeEpoch, encodeDateTime(QDate(1969, 12, 31), QTime(23, 59, 59, 999)));
}
