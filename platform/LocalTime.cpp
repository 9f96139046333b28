#include "platform/LocalTime.h"

#include <QDateTime>

#include <cmath>

namespace {

constexpr double kMsecsPerDay = 86400000.0;
constexpr qint64 kMsecsPerMinute = 60000;
constexpr qint64 kDaysTo1970 = 25569; // 30 December 1899 to 1 January 1970

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

} // namespace

TDateTime encodeDateTime(const QDate &date, const QTime &time)
{
    const QDate epoch(1899, 12, 30);
    return double(epoch.daysTo(date)) + time.msecsSinceStartOfDay() / kMsecsPerDay;
}

TimeOfDay timeOfDay(TDateTime dateTime)
{
    if (!std::isfinite(dateTime))
        return {};
    // Rounded before splitting, so that 10:10:15.250 does not come out as .249.
    double msecs = std::fmod(std::nearbyint(dateTime * kMsecsPerDay), kMsecsPerDay);
    if (msecs < 0)
        msecs += kMsecsPerDay;
    const int ms = int(msecs);
    return {ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
}

TDateTime SystemLocalTime::now() const
{
    return at(QDateTime::currentMSecsSinceEpoch());
}

TDateTime SystemLocalTime::at(qint64 utcMsecs) const
{
    const qint64 minute = floorDiv(utcMsecs, kMsecsPerMinute);
    qint64 offset = 0;
    {
        const std::lock_guard lock(mutex_);
        if (minute != offsetMinute_) {
            offsetMinute_ = minute;
            offsetMsecs_ = qint64(QDateTime::fromMSecsSinceEpoch(minute * kMsecsPerMinute, Qt::LocalTime).offsetFromUtc()) * 1000;
        }
        offset = offsetMsecs_;
    }
    // Split as encodeDateTime splits a date and a time, so both give the same double.
    const qint64 local = utcMsecs + offset;
    const qint64 day = floorDiv(local, qint64(kMsecsPerDay));
    return double(day + kDaysTo1970) + double(local - day * qint64(kMsecsPerDay)) / kMsecsPerDay;
}
