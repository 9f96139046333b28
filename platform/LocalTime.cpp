#include "platform/LocalTime.h"

#include <QDateTime>

#include <cmath>

namespace {

constexpr double kMsecsPerDay = 86400000.0;

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
    const QDateTime now = QDateTime::currentDateTime();
    return encodeDateTime(now.date(), now.time());
}
