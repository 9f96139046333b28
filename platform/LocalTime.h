#pragma once

#include <QDate>
#include <QTime>

#include <limits>
#include <mutex>

// A date-time as the board's clock counts it: whole days since 30 December 1899, the
// fraction the time of day.
using TDateTime = double;

struct TimeOfDay
{
    int hour = 0; // 0..23
    int minute = 0;
    int second = 0;
    int msec = 0;
};

TDateTime encodeDateTime(const QDate &date, const QTime &time);

// The time of day of `dateTime`, to the nearest millisecond. Before 30 December 1899
// (negative values) the day still runs forward from midnight, so one minute before
// midnight of day 0 (-1/1440) is 23:59. A value that is no number reads as midnight.
TimeOfDay timeOfDay(TDateTime dateTime);

// The local date and time with milliseconds, injectable so that tests can set it.
class LocalTimeSource
{
public:
    virtual ~LocalTimeSource() = default;
    virtual TDateTime now() const = 0;
};

// Reading the local time asks the C library for the zone, which looks at the zone file
// on every call. Zones change their offset only at whole minutes, so the offset is read
// once a minute and the clock's ten ticks a second cost no file look-up.
class SystemLocalTime final : public LocalTimeSource
{
public:
    TDateTime now() const override;
    // The local date-time at `utcMsecs` since 1970 (UTC).
    TDateTime at(qint64 utcMsecs) const;

private:
    mutable std::mutex mutex_;
    mutable qint64 offsetMinute_ = std::numeric_limits<qint64>::min(); // UTC minute the offset is for
    mutable qint64 offsetMsecs_ = 0;
};
