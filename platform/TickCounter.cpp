#include "platform/TickCounter.h"

#include <QElapsedTimer>

std::uint32_t SystemTickSource::now() const
{
    // The monotonic reference is the system start on Linux; only the low 32 bits count.
    QElapsedTimer timer;
    timer.start();
    return static_cast<std::uint32_t>(timer.msecsSinceReference());
}
