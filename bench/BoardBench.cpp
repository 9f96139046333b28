#include "bench/BoardBench.h"

#include "bench/ChildSettings.h"
#include "core/MatchJournal.h"
#include "app/DlgYesNo.h"
#include "app/Main.h"
#include "bench/BenchSources.h"
#include "bench/BenchTable.h"
#include "controls/Label3D.h"
#include "controls/PLNClock.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QHash>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPresses = 600;
constexpr int kPressesPerMatch = 72; // three sets to love: the match is over
constexpr int kPaints = 100;
constexpr int kIdleRuns = 3;
constexpr int kIdleMs = 10000;
constexpr int kStartupRuns = 7;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Who received a paint event since the last reset.
class PaintCounter : public QObject
{
public:
    PaintCounter() { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    std::set<QObject *> painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted.insert(watched);
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Each figure's board starts as on a first start, not with the match the last one left.
void dropJournal()
{
    QDir(MatchJournal::defaultFolder()).removeRecursively();
}

struct BoardUnderTest
{
    explicit BoardUnderTest(const TickSource &ticks)
        : board((dropJournal(), std::make_unique<TFormMain>(ticks, monitors, shell)))
    {
        board->show();
        board->activateWindow();
        shown = QTest::qWaitForWindowActive(board.get());
    }

    BenchMonitors monitors;
    BenchShell shell;
    std::unique_ptr<TFormMain> board;
    bool shown = false;
};

// User and system time of the whole process so far.
std::pair<double, double> cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

QString us(double value)
{
    return QString::number(value, 'f', value < 100 ? 1 : 0) + QStringLiteral(" µs");
}

QString ms(double value)
{
    return QString::number(value, 'f', value < 10 ? 2 : 1) + QStringLiteral(" ms");
}

} // namespace

void runKeyBench(BenchTable &table, const QString &figure)
{
    BenchTicks ticks;
    BoardUnderTest t(ticks);
    TFormMain &board = *t.board;
    QWindow *window = board.windowHandle();
    const TLabel3D *points = board.fieldLabel(MatchScore::pointsEntry(1));
    const TLabel3D *games = board.fieldLabel(MatchScore::gamesEntry(1, 1));
    board.bPlayClick();
    PaintCounter counter;
    std::vector<double> times;
    int unpainted = 0;
    int late = 0;
    int widgets = 0;
    for (int press = 0; press < kPresses; ++press) {
        if (press % kPressesPerMatch == 0 && press > 0) {
            board.model().execute(MatchCommand::of(MatchCommand::Kind::Reset));
            board.bPlayClick();
        }
        ticks.value += 1000;
        QApplication::processEvents();
        counter.painted.clear();
        const QString before = points->Caption() + games->Caption();
        const auto start = Clock::now();
        QTest::keyClick(window, Qt::Key_F1);
        // The window's update request paints every dirty widget and flushes the frame.
        QCoreApplication::sendPostedEvents();
        times.push_back(microseconds(Clock::now() - start));
        widgets += int(counter.painted.size());
        if (points->Caption() + games->Caption() == before || counter.painted.empty())
            ++unpainted;
        // Anything painted now, apart from what the timers drive, was missed above.
        counter.painted.clear();
        QApplication::processEvents();
        counter.painted.erase(board.findChild<TPLNClock *>(QStringLiteral("PLNClock1")));
        counter.painted.erase(board.findChild<TLabel3D *>(QStringLiteral("eTime")));
        if (!counter.painted.empty())
            ++late;
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const double key = median(times);
    table.add(figure, us(key), QStringLiteral("<= 1 ms"),
              key <= 1000 && unpainted == 0 && late == 0,
              QStringLiteral("%1 presses, p90 %2, max %3; %4 widgets painted a press; %5 unscored, %6 painted late")
                  .arg(kPresses).arg(us(sorted[sorted.size() * 9 / 10]), us(sorted.back()))
                  .arg(double(widgets) / kPresses, 0, 'f', 1).arg(unpainted).arg(late));
}

void runPaintBench(BenchTable &table)
{
    BenchTicks ticks;
    BoardUnderTest t(ticks);
    TFormMain &board = *t.board;
    board.bPlayClick();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(board.windowHandle(), Qt::Key_F1);
    QApplication::processEvents();
    QImage image(board.size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int run = 0; run < kPaints; ++run) {
        image.fill(Qt::magenta);
        const auto start = Clock::now();
        board.render(&image);
        times.push_back(microseconds(Clock::now() - start));
    }
    // Every pixel is the board's: no magenta left where nothing was drawn.
    int unpainted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            unpainted += image.pixel(x, y) == QColor(Qt::magenta).rgb();
    }
    const double paint = median(times) / 1000;
    table.add(QStringLiteral("full paint 792 x 547 into QImage"), ms(paint), QStringLiteral("<= 3 ms"),
              paint <= 3 && image.size() == QSize(792, 547) && unpainted == 0,
              QStringLiteral("%1 renders; %2 pixels left unpainted").arg(kPaints).arg(unpainted));
}

void runIdleBench(BenchTable &table)
{
    const SystemTickSource ticks;
    BoardUnderTest t(ticks);
    TFormMain &board = *t.board;
    board.bPlayClick();
    QTest::qWait(1000);
    PaintCounter counter;
    std::vector<double> percent;
    std::vector<double> userPercent;
    for (int run = 0; run < kIdleRuns; ++run) {
        const auto [user, system] = cpuSeconds();
        const auto start = Clock::now();
        QEventLoop loop;
        QTimer::singleShot(kIdleMs, &loop, &QEventLoop::quit);
        loop.exec();
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const auto [userAfter, systemAfter] = cpuSeconds();
        percent.push_back(100 * (userAfter - user + systemAfter - system) / wall);
        userPercent.push_back(100 * (userAfter - user) / wall);
    }
    const double idle = median(percent);
    table.add(QStringLiteral("idle, match running, 10 s"), QString::number(idle, 'f', 3) + QStringLiteral(" %"),
              QStringLiteral("<= 0.5 % of a core"), idle <= 0.5 && board.model().match().timer().isRunning(),
              QStringLiteral("%1 runs, user %2 %; %3 paint events a second; elapsed shows %4")
                  .arg(kIdleRuns).arg(median(userPercent), 0, 'f', 3)
                  .arg(counter.paints / (kIdleRuns * kIdleMs / 1000.0), 0, 'f', 1)
                  .arg(board.findChild<TLabel3D *>(QStringLiteral("eTime"))->Caption()));
}

std::optional<StartupTiming> runStartupChild(const QString &program, const QString &settingsDir,
                                             const QProcessEnvironment &env, QString *failure)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto start = Clock::now();
    child.start(program, {QStringLiteral("--startup-child"), settingsDir});
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        *failure = QStringLiteral("child failed: ") + child.errorString();
        return std::nullopt;
    }
    const QList<QByteArray> report = child.readAllStandardOutput().trimmed().split(' ');
    if (report.size() != 2) {
        *failure = QStringLiteral("child reported nothing");
        return std::nullopt;
    }
    const Clock::time_point painted{Clock::duration(report[0].toLongLong())};
    return StartupTiming{microseconds(painted - start) / 1000, report[1].toDouble() / 1024};
}

void runStartupBench(BenchTable &table, const QString &program, const QString &settingsDir)
{
    std::vector<double> startMs;
    std::vector<double> peakMb;
    QString failure;
    // The first run writes the settings the others read.
    for (int run = 0; run <= kStartupRuns && failure.isEmpty(); ++run) {
        const auto timing =
            runStartupChild(program, settingsDir, QProcessEnvironment::systemEnvironment(), &failure);
        if (!timing || run == 0)
            continue;
        startMs.push_back(timing->firstFrameMs);
        peakMb.push_back(timing->peakMb);
    }
    const bool settingsRead = QFile::exists(settingsDir + QStringLiteral("/Quorbel/Courtlyx.conf"));
    const double startup = median(startMs);
    const double peak = median(peakMb);
    table.add(QStringLiteral("start to first painted frame"), ms(startup), QStringLiteral("<= 250 ms"),
              failure.isEmpty() && settingsRead && startup <= 250,
              failure.isEmpty() ? QStringLiteral("%1 fresh processes, from spawn; settings file %2")
                                      .arg(kStartupRuns).arg(settingsRead ? "read" : "MISSING")
                                : failure);
    table.add(QStringLiteral("peak resident memory at first frame"), QString::number(peak, 'f', 1) + QStringLiteral(" MB"),
              QStringLiteral("<= 60 MB"), failure.isEmpty() && peak <= 60, QStringLiteral("ru_maxrss of the child"));
}

namespace {

// Notes the window's first paint event; the frame is flushed when that event's update
// request returns.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QObject *window) : window_(window) { qApp->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }

private:
    QObject *window_;
};

} // namespace

int startupChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    useChildSettings(argv[2]);
    const SystemTickSource ticks;
    const ScreenMonitorSource monitors;
    BenchShell shell;
    TFormMain board(ticks, monitors, shell);
    board.setConfirmationDialog(new TFDlgYesNo(&board));
    FirstPaint first(&board);
    board.show();
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!first.painted && Clock::now() < deadline)
        QApplication::processEvents();
    if (!first.painted)
        return 2;
    const auto painted = Clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%lld %ld\n", static_cast<long long>(painted.time_since_epoch().count()), usage.ru_maxrss);
    std::fflush(stdout);
    return 0;
}
