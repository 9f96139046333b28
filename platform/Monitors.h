#pragma once

#include <QList>
#include <QRect>

// The attached monitors in the platform's order, each by its full area in virtual-screen
// coordinates.
class MonitorSource
{
public:
    virtual ~MonitorSource() = default;
    virtual QList<QRect> monitors() const = 0;
};

class ScreenMonitorSource final : public MonitorSource
{
public:
    QList<QRect> monitors() const override;
};
