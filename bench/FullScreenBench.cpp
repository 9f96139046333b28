#include "bench/FullScreenBench.h"

#include "app/FullScreenView.h"
#include "app/Main.h"
#include "bench/BenchSources.h"
#include "bench/BenchTable.h"
#include "controls/Label3D.h"
#include "controls/PLNClock.h"

#include <QApplication>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

class TwoMonitors final : public MonitorSource
{
public:
    QList<QRect> monitors() const override { return {QRect(0, 0, 3840, 2160), QRect(3840, 0, 1920, 1080)}; }
};

// What the full-screen view's viewport repainted since the last reset.
class ViewportPaints : public QObject
{
public:
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

struct FullBoard
{
    FullBoard(const TickSource &ticks, int monitor)
        : board(std::make_unique<TFormMain>(ticks, monitors, shell))
    {
        board->setMonitor(monitor);
        board->show();
        board->setFullScreen(true);
        view = board->fullScreenView();
        shown = QTest::qWaitForWindowExposed(view);
        board->bPlayClick();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(view->windowHandle(), Qt::Key_F1);
        QApplication::processEvents();
        view->viewport()->installEventFilter(&paints);
    }

    TwoMonitors monitors;
    BenchShell shell;
    std::unique_ptr<TFormMain> board;
    FullScreenView *view = nullptr;
    ViewportPaints paints;
    bool shown = false;
};

QString us(double value)
{
    return QString::number(value, 'f', value < 100 ? 1 : 0) + QStringLiteral(" µs");
}

QString ms(double value)
{
    return QString::number(value, 'f', value < 10 ? 2 : 1) + QStringLiteral(" ms");
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void repaintBench(BenchTable &table)
{
    BenchTicks ticks;
    FullBoard t(ticks, 0);
    std::vector<double> times;
    for (int run = 0; run < 40; ++run) {
        const auto start = Clock::now();
        t.view->viewport()->repaint();
        times.push_back(microseconds(Clock::now() - start) / 1000);
    }
    const double paint = median(times);
    table.add(QStringLiteral("full repaint, full screen 3840 x 2160"), ms(paint), QStringLiteral("<= 8 ms"),
              t.shown && paint <= 8 && t.view->size() == QSize(3840, 2160),
              QStringLiteral("40 viewport repaints, factor %1").arg(t.view->factor(), 0, 'f', 3));
}

void keyBench(BenchTable &table)
{
    BenchTicks ticks;
    FullBoard t(ticks, 0);
    const TLabel3D *points = t.board->fieldLabel(MatchScore::pointsEntry(1));
    std::vector<double> times;
    int unpainted = 0;
    for (int press = 0; press < 300; ++press) {
        if (press % 72 == 0 && press > 0) {
            t.board->match().reset();
            t.board->bPlayClick();
        }
        ticks.value += 1000;
        QApplication::processEvents();
        t.paints.paints = 0;
        const QString before = points->Caption();
        const auto start = Clock::now();
        QTest::keyClick(t.view->windowHandle(), Qt::Key_F1);
        QCoreApplication::sendPostedEvents();
        times.push_back(microseconds(Clock::now() - start));
        if (t.paints.paints == 0 || points->Caption() == before)
            ++unpainted;
    }
    std::sort(times.begin(), times.end());
    const double key = median(times);
    table.add(QStringLiteral("F1 to painted board, full screen 3840 x 2160"), us(key), QStringLiteral("<= 2 ms"),
              t.shown && key <= 2000 && unpainted == 0,
              QStringLiteral("300 presses, p90 %1; %2 unpainted").arg(us(times[times.size() * 9 / 10])).arg(unpainted));
}

void tickBench(BenchTable &table)
{
    BenchTicks ticks;
    FullBoard t(ticks, 0);
    auto *clock = t.board->findChild<TPLNClock *>(QStringLiteral("PLNClock1"));
    const QRectF clockArea = t.view->mapFromScene(QRectF(static_cast<QWidget *>(clock)->geometry())).boundingRect();
    std::vector<double> times;
    int outside = 0;
    double area = 0;
    for (int tick = 0; tick < 200; ++tick) {
        QApplication::processEvents();
        t.paints.painted = QRegion();
        const auto start = Clock::now();
        clock->ClockTick();
        QCoreApplication::sendPostedEvents();
        times.push_back(microseconds(Clock::now() - start));
        const QRect box = t.paints.painted.boundingRect();
        if (!clockArea.toAlignedRect().adjusted(-2, -2, 2, 2).contains(box))
            ++outside;
        area += double(box.width()) * box.height();
    }
    const double tick = median(times);
    const double clockPixels = clockArea.width() * clockArea.height();
    table.add(QStringLiteral("clock tick, full screen 3840 x 2160"), us(tick), QStringLiteral("<= 200 µs"),
              t.shown && tick <= 200 && outside == 0,
              QStringLiteral("200 ticks; repainted %1 % of the clock's box on average, %2 outside it")
                  .arg(100 * area / 200 / clockPixels, 0, 'f', 1).arg(outside));
}

void idleBench(BenchTable &table)
{
    const SystemTickSource ticks;
    FullBoard t(ticks, 1);
    QTest::qWait(1000);
    t.paints.paints = 0;
    const double cpu = cpuSeconds();
    const auto start = Clock::now();
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double idle = 100 * (cpuSeconds() - cpu) / wall;
    table.add(QStringLiteral("idle, match running, full screen 1920 x 1080, 10 s"),
              QString::number(idle, 'f', 3) + QStringLiteral(" %"), QStringLiteral("<= 0.5 % of a core"),
              t.shown && idle <= 0.5 && t.view->size() == QSize(1920, 1080) && t.board->match().timer().isRunning(),
              QStringLiteral("%1 viewport paints a second").arg(t.paints.paints / wall, 0, 'f', 1));
}

} // namespace

void runFullScreenBench(BenchTable &table)
{
    repaintBench(table);
    keyBench(table);
    tickBench(table);
    idleBench(table);
}
