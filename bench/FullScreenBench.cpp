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

// What the full-screen view's viewport repainted since the last reset, through its paint
// events and straight onto the screen.
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
        board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, monitor));
        board->show();
        // An earlier board of the bench left full screen on in the settings, on its monitor.
        board->setFullScreen(false);
        board->setFullScreen(true);
        view = board->fullScreenView();
        shown = QTest::qWaitForWindowExposed(view);
        board->bPlayClick();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(view->windowHandle(), Qt::Key_F1);
        QApplication::processEvents();
        view->viewport()->installEventFilter(&paints);
        QObject::connect(view, &FullScreenView::repaintedAlone, view, [this](const QRect &area) {
            paints.painted += area;
            ++paints.paints;
        });
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
    for (int run = 0; run < 100; ++run) {
        const auto start = Clock::now();
        t.view->viewport()->repaint();
        times.push_back(microseconds(Clock::now() - start) / 1000);
    }
    const double paint = median(times);
    table.add(QStringLiteral("full repaint, full screen 3840 x 2160"), ms(paint), QStringLiteral("<= 8 ms"),
              t.shown && paint <= 8 && t.view->size() == QSize(3840, 2160),
              QStringLiteral("100 viewport repaints, factor %1").arg(t.view->factor(), 0, 'f', 3));
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
            t.board->model().execute(MatchCommand::of(MatchCommand::Kind::Reset));
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

// The box of the pixels where `image` differs from `reference`.
QRect differing(const QImage &image, const QImage &reference)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != reference.pixel(x, y))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

void tickBench(BenchTable &table)
{
    constexpr int kTicks = 60;
    BenchTicks ticks;
    FullBoard t(ticks, 0);
    auto *clock = t.board->findChild<TPLNClock *>(QStringLiteral("PLNClock1"));
    // The ticks are the bench's: the clock's own timer would move the hands between them.
    for (QTimer *timer : clock->findChildren<QTimer *>())
        timer->stop();
    clock->setColor(clock->Color()); // repaints the face: the surface holds no hands
    QApplication::processEvents();
    const QImage face = clock->surface().copy();
    clock->ClockTick();
    QApplication::processEvents();
    const QPoint clockAt = static_cast<QWidget *>(clock)->pos();
    std::vector<double> times;
    int larger = 0;
    int unpainted = 0;
    int still = 0;
    double excess = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
        // The second hand moves on with the wall clock, as between two timer ticks.
        QTest::qWait(100);
        const QImage before = clock->surface().copy();
        t.paints.painted = QRegion();
        t.paints.paints = 0;
        const auto start = Clock::now();
        clock->ClockTick();
        // The scene's update, the view's update request, then its paint: a round each.
        for (int round = 0; round < 4 && t.paints.paints == 0; ++round)
            QCoreApplication::sendPostedEvents();
        const double took = microseconds(Clock::now() - start);
        // A tick that leaves every hand on the same pixels has nothing to show.
        if (clock->surface() == before) {
            ++still;
            continue;
        }
        times.push_back(took);
        // The hands' box, old and new, as the window's surface has it, and as the screen
        // shows it, where the hands are shapes of their own: the clock adds up to four board
        // pixels for their round ends and wide strokes.
        const QRect hands = differing(before, face) | differing(clock->surface(), face);
        const QRectF shown = t.view->viewportTransform().mapRect(QRectF(hands.translated(clockAt)));
        const QRect allowed = t.view->viewportTransform()
                                  .mapRect(QRectF(hands.translated(clockAt).adjusted(-4, -4, 4, 4)))
                                  .toAlignedRect();
        const QRect painted = t.paints.painted.boundingRect();
        if (t.paints.paints == 0)
            ++unpainted;
        if (!allowed.contains(painted))
            ++larger;
        excess = std::max(excess, double(painted.width()) * painted.height() / (shown.width() * shown.height()));
    }
    const double tick = median(times);
    table.add(QStringLiteral("clock tick, full screen 3840 x 2160"), us(tick), QStringLiteral("<= 200 µs"),
              t.shown && tick <= 200 && unpainted == 0, QStringLiteral("%1 ticks 0.1 s apart that moved a hand, painted; %2 unpainted; %3 moved none")
                  .arg(times.size())
                  .arg(unpainted)
                  .arg(still));
    table.add(QStringLiteral("clock tick 3840 x 2160: repainted area vs hands' box"),
              QStringLiteral("%1 of %2 outside").arg(larger).arg(times.size()), QStringLiteral("none outside"),
              t.shown && larger == 0 && unpainted == 0,
              QStringLiteral("largest repaint %1 times the hands' box; outside: beyond 4 board pixels of it").arg(excess, 0, 'f', 2));
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
              t.shown && idle <= 0.5 && t.view->size() == QSize(1920, 1080) && t.board->model().match().timer().isRunning(),
              QStringLiteral("%1 paints a second").arg(t.paints.paints / wall, 0, 'f', 1));
}

} // namespace

void runFullScreenBench(BenchTable &table, const QStringList &rows)
{
    const auto want = [&rows](const char *row) {
        return rows.isEmpty() || rows.contains(QLatin1String("fullscreen-") + QLatin1String(row));
    };
    if (want("repaint"))
        repaintBench(table);
    if (want("key"))
        keyBench(table);
    if (want("tick"))
        tickBench(table);
    if (want("idle"))
        idleBench(table);
}
