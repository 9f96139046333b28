#pragma once

#include "platform/LocalTime.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"
#include "platform/TickCounter.h"

// Stand-ins for the operating system, so that a figure measures the board and nothing it
// would launch or wait for.

class BenchTicks final : public TickSource
{
public:
    std::uint32_t now() const override { return value; }
    std::uint32_t value = 1000;
};

class BenchMonitors final : public MonitorSource
{
public:
    QList<QRect> monitors() const override { return {QRect(0, 0, 1920, 1080)}; }
};

class BenchShell final : public Shell
{
public:
    bool open(const QString &, ShowCommand) override { return true; }
};

// A local time that moves only when told to.
class BenchTime final : public LocalTimeSource
{
public:
    TDateTime now() const override { return value; }
    void advanceSeconds(int seconds) { value += seconds / 86400.0; }
    TDateTime value = 0;
};
