#include "bench/ClockBench.h"

#include "app/BoardClock.h"

#include "bench/BenchSources.h"
#include "bench/BenchTable.h"
#include "controls/PLNClock.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTest>

#include <chrono>
#include <limits>

namespace {

constexpr int kTicks = 1200; // twenty minutes of clock time, one second a tick
using Clock = std::chrono::steady_clock;

// The region of each paint event the clock receives.
class PaintRecorder : public QObject
{
public:
    QRegion painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return QObject::eventFilter(watched, event);
    }
};

// The box of the pixels where `image` differs from `reference`.
QRect differing(const QImage &image, const QImage &reference)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(reference.constScanLine(y));
        int left = -1;
        int right = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (a[x] != b[x]) {
                if (left < 0)
                    left = x;
                right = x;
            }
        }
        if (left >= 0)
            box |= QRect(left, y, right - left + 1, 1);
    }
    return box;
}

qint64 area(const QRect &r)
{
    return qint64(r.width()) * r.height();
}

} // namespace

void runClockBench(BenchTable &table)
{
    BenchTime time;
    time.value = encodeDateTime(QDate(2024, 6, 9), QTime(10, 10, 15, 250));
    TPLNClock clock(nullptr, &time);
    setUpBoardClock(clock);
    // No tick has run yet: the surface holds the face alone.
    const QImage face = clock.surface().copy();
    clock.show();
    if (!QTest::qWaitForWindowExposed(&clock)) {
        table.add(QStringLiteral("clock tick"), QStringLiteral("-"), QStringLiteral("<= 50 µs"), false,
                  QStringLiteral("the clock never showed"));
        return;
    }
    PaintRecorder recorder;
    clock.installEventFilter(&recorder);

    std::vector<double> us;
    qint64 worstExcess = std::numeric_limits<qint64>::min();
    QRect worstUpdate;
    QRect worstHands;
    int uncovered = 0;
    int larger = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
        QApplication::processEvents(); // the clock's own timer may have drawn meanwhile
        const QImage before = clock.surface().copy();
        time.advanceSeconds(1);
        recorder.painted = QRegion();
        const auto start = Clock::now();
        clock.ClockTick();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        QCoreApplication::sendPostedEvents(); // shows what the tick asked to update
        const QImage &after = clock.surface();
        const QRect update = recorder.painted.boundingRect();
        const QRect hands = differing(before, face) | differing(after, face);
        const QRect changed = differing(after, before);
        if (!update.contains(changed))
            ++uncovered;
        if (area(update) > area(hands))
            ++larger;
        if (area(update) - area(hands) > worstExcess) {
            worstExcess = area(update) - area(hands);
            worstUpdate = update;
            worstHands = hands;
        }
    }
    clock.removeEventFilter(&recorder);

    const double tickUs = median(us);
    table.add(QStringLiteral("clock tick (hands erased, redrawn)"),
              QString::number(tickUs, 'f', 1) + QStringLiteral(" µs"), QStringLiteral("<= 50 µs"),
              tickUs <= 50, QStringLiteral("%1 ticks, one second apart").arg(kTicks));
    auto box = [](const QRect &r) {
        return QStringLiteral("%1x%2 at (%3,%4)").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
    };
    table.add(QStringLiteral("clock tick: update area vs hands' box"),
              QStringLiteral("%1 of %2 larger").arg(larger).arg(kTicks),
              QStringLiteral("none larger, all changes inside"), larger == 0 && uncovered == 0,
              QStringLiteral("worst: update %1, hands %2; %3 ticks left changes outside")
                  .arg(box(worstUpdate), box(worstHands)).arg(uncovered));
}
