#pragma once

#include <QDate>
#include <QTime>

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

class SystemLocalTime final : public LocalTimeSource
{
public:
    TDateTime now() const override;
};
