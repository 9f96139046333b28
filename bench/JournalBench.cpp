#include "bench/JournalBench.h"

#include "core/MatchJournal.h"
#include "app/Main.h"
#include "core/JournalFormat.h"
#include "core/JournalRecovery.h"
#include "core/Match.h"
#include "core/MatchController.h"
#include "bench/BenchSources.h"
#include "bench/BenchTable.h"
#include "bench/BoardBench.h"
#include "controls/Label3D.h"
#include "platform/TickCounter.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMatchPoints = 300;
constexpr int kUndos = 300;
constexpr int kRestoreRuns = 7;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Points of a long match with deuces in it: never two games alike.
Qt::Key pointKey(int n)
{
    static constexpr bool side1[] = {true, false, true, true, false, false, true, false, false, true, true};
    return side1[n % std::size(side1)] ? Qt::Key_F1 : Qt::Key_F2;
}

// Five sets, 6:4 to each side in turn, every game to love: the journal a restore reads.
QList<JournalRecord> fiveSetJournal()
{
    BenchTicks ticks;
    Match match(ticks, QStringLiteral("0:00:00"));
    MatchController controller(match);
    controller.execute(MatchCommand::names(QStringLiteral("Graf"), QStringLiteral("Seles")));
    controller.execute(MatchCommand::of(MatchCommand::Kind::Play));
    for (int set = 0; set < 5; ++set) {
        const int winner = set % 2 == 0 ? 1 : 2;
        for (int game = 0; game < 10; ++game) {
            const int side = game % 5 == 4 || game == 1 || game == 6 ? 3 - winner : winner;
            for (int p = 0; p < 4; ++p) {
                ticks.value += 20'000;
                controller.execute(MatchCommand::point(side));
            }
        }
    }
    return controller.journal();
}

// A journal as long as a scripted client can make it: one endless deuce game, so every
// record is a point that changes the board and an undo step, with the snapshots the board
// writes among the records.
constexpr qsizetype kLongRecords = 1'000'000;

QByteArray longJournal()
{
    BenchTicks ticks;
    Match match(ticks, QStringLiteral("0:00:00"));
    MatchController controller(match);
    controller.setJournalKept(false);
    QList<JournalRecord> records;
    records.reserve(kLongRecords);
    QObject::connect(&controller, &MatchController::recorded, [&](const JournalRecord &r) {
        records.append(r);
        if (records.size() % MatchJournal::kSnapshotEvery == 0)
            records.append(JournalRecord::ofSnapshot(r.elapsedMs, controller.snapshot()));
    });
    controller.execute(MatchCommand::names(QStringLiteral("Graf"), QStringLiteral("Seles")));
    controller.execute(MatchCommand::of(MatchCommand::Kind::Play));
    for (qsizetype n = records.size(); records.size() < kLongRecords; ++n) {
        ticks.value += 10;
        controller.execute(MatchCommand::point(n % 2 == 0 ? 1 : 2));
    }
    records.resize(kLongRecords);
    return JournalFormat::write(records, QStringLiteral("20260101-120000"));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Median time of `runs` presses of `key` until the board is painted, each followed by
// `undo` so the score stays where it was; how many left the board unchanged.
std::pair<double, int> timedKeys(QWindow *window, const TLabel3D *a, const TLabel3D *b, int runs,
                                 const std::function<void()> &press, const std::function<void()> &after)
{
    std::vector<double> times;
    int unchanged = 0;
    for (int n = 0; n < runs; ++n) {
        QApplication::processEvents();
        const QString before = a->Caption() + u':' + b->Caption();
        const auto start = Clock::now();
        press();
        QCoreApplication::sendPostedEvents();
        times.push_back(microseconds(Clock::now() - start));
        unchanged += a->Caption() + u':' + b->Caption() == before;
        after();
    }
    Q_UNUSED(window);
    std::sort(times.begin(), times.end());
    return {median(times), unchanged};
}

// Where a board started with this data folder keeps its journal, and the environment that
// points it there.
std::pair<QString, QProcessEnvironment> journalInDataFolder(const QString &dataDir)
{
    const QString folder = dataDir + QStringLiteral("/Courtlyx");
    QDir().mkpath(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataDir);
    return {JournalRecovery::journalPath(folder), env};
}

} // namespace

void runLongJournalBench(BenchTable &table, const QString &program, const QString &settingsDir,
                         const QString &dataDir)
{
    const QByteArray journal = longJournal();
    const auto [path, env] = journalInDataFolder(dataDir);
    std::vector<double> startMs;
    QString failure;
    for (int run = 0; run < 3 && failure.isEmpty(); ++run) {
        if (!writeFile(path, journal)) {
            failure = QStringLiteral("cannot write ") + path;
            break;
        }
        if (const auto timing = runStartupChild(program, settingsDir, env, &failure))
            startMs.push_back(timing->firstFrameMs);
    }
    const JournalFormat::ReadResult after = JournalFormat::readFile(path);
    const bool restored = after.status == JournalFormat::ReadResult::Status::Ok && after.records.size() == kLongRecords;
    const double startup = median(startMs);
    table.add(QStringLiteral("start restoring a 1,000,000-record journal to first painted frame"),
              QString::number(startup, 'f', 1) + QStringLiteral(" ms"), QStringLiteral("<= 1000 ms"),
              failure.isEmpty() && restored && startup <= 1000,
              failure.isEmpty() ? QStringLiteral("3 fresh processes, %1 MB journal; carried on in place: %2")
                                      .arg(journal.size() / 1e6, 0, 'f', 1).arg(restored ? "yes" : "NO")
                                : failure);

    // The same journal restored in this process: a key and an undo with that history.
    BenchTicks ticks;
    BenchMonitors monitors;
    BenchShell shell;
    QDir(MatchJournal::defaultFolder()).removeRecursively();
    QDir().mkpath(MatchJournal::defaultFolder());
    writeFile(JournalRecovery::journalPath(MatchJournal::defaultFolder()), journal);
    auto board = std::make_unique<TFormMain>(ticks, monitors, shell);
    board->show();
    board->activateWindow();
    const bool shown = QTest::qWaitForWindowActive(board.get());
    QWindow *window = board->windowHandle();
    const TLabel3D *points1 = board->fieldLabel(MatchScore::pointsEntry(1));
    const TLabel3D *points2 = board->fieldLabel(MatchScore::pointsEntry(2));
    const int history = board->model().controller().undoDepth();
    const auto key = timedKeys(
        window, points1, points2, kUndos, [&] { QTest::keyClick(window, Qt::Key_F1); },
        [&] { QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); });
    const auto undo = timedKeys(
        window, points1, points2, kUndos, [&] { QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); },
        [&] { QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier); });
    const QString note = QStringLiteral("%1 presses after a restore of %2 records, %3 undo steps kept; %4 unchanged")
                             .arg(kUndos).arg(kLongRecords).arg(history);
    table.add(QStringLiteral("F1 to painted board, 1,000,000-record history"), QString::number(key.first, 'f', 1) + QStringLiteral(" µs"),
              QStringLiteral("<= 1 ms"), shown && key.first <= 1000 && key.second == 0, note.arg(key.second));
    table.add(QStringLiteral("undo to painted board, 1,000,000-record history"), QString::number(undo.first, 'f', 1) + QStringLiteral(" µs"),
              QStringLiteral("<= 1 ms"), shown && undo.first <= 1000 && undo.second == 0, note.arg(undo.second));
    board.reset();
    QDir(MatchJournal::defaultFolder()).removeRecursively();
}

void runJournalIdleBench(BenchTable &table)
{
    const SystemTickSource ticks;
    BenchMonitors monitors;
    BenchShell shell;
    QDir(MatchJournal::defaultFolder()).removeRecursively();
    auto board = std::make_unique<TFormMain>(ticks, monitors, shell);
    board->show();
    if (!QTest::qWaitForWindowExposed(board.get()))
        qWarning("journal bench: the board's window was not exposed");
    board->bPlayClick();
    QTest::qWait(1000);
    const qsizetype recordsBefore = board->model().journal().records().size();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    // An event loop as the program's own: QTest::qWait wakes every few milliseconds and
    // would be measured instead of the journal.
    QEventLoop loop;
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    rusage afterUsage{};
    getrusage(RUSAGE_SELF, &afterUsage);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    const double cpu = seconds(afterUsage.ru_utime) - seconds(before.ru_utime) + seconds(afterUsage.ru_stime)
                       - seconds(before.ru_stime);
    const double percent = 100 * cpu / wall;
    const qsizetype clocks = board->model().journal().records().size() - recordsBefore;
    table.add(QStringLiteral("idle, match running, journal clock records on, 10 s"),
              QString::number(percent, 'f', 3) + QStringLiteral(" %"), QStringLiteral("<= 0.5 % of a core"),
              percent <= 0.5 && clocks >= 10,
              QStringLiteral("%1 clock records written into the journal").arg(clocks));
    board.reset();
    QDir(MatchJournal::defaultFolder()).removeRecursively();
}

void runJournalKeyBench(BenchTable &table)
{
    MatchJournal::setFileKept(false);
    runKeyBench(table, QStringLiteral("F1 to painted board, journal file off"));
    MatchJournal::setFileKept(true);
}

void runUndoBench(BenchTable &table)
{
    BenchTicks ticks;
    BenchMonitors monitors;
    BenchShell shell;
    QDir(MatchJournal::defaultFolder()).removeRecursively();
    auto board = std::make_unique<TFormMain>(ticks, monitors, shell);
    board->show();
    board->activateWindow();
    const bool shown = QTest::qWaitForWindowActive(board.get());
    QWindow *window = board->windowHandle();
    board->bPlayClick();
    for (int n = 0; n < kMatchPoints; ++n) {
        ticks.value += 20'000;
        QTest::keyClick(window, pointKey(n));
    }
    QApplication::processEvents();
    const TLabel3D *points1 = board->fieldLabel(MatchScore::pointsEntry(1));
    const TLabel3D *points2 = board->fieldLabel(MatchScore::pointsEntry(2));
    std::vector<double> times;
    int unchanged = 0;
    for (int n = 0; n < kUndos; ++n) {
        const QString before = points1->Caption() + u':' + points2->Caption();
        const auto start = Clock::now();
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents();
        times.push_back(microseconds(Clock::now() - start));
        if (points1->Caption() + u':' + points2->Caption() == before)
            ++unchanged;
        // Redo, so each undo takes back the same last point of the long match.
        QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier);
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    const double undo = median(times);
    table.add(QStringLiteral("undo to painted board, 300-point match"), QString::number(undo, 'f', 1) + QStringLiteral(" µs"),
              QStringLiteral("<= 1 ms"), shown && undo <= 1000 && unchanged == 0,
              QStringLiteral("%1 undos, p90 %2 µs; %3 left the points as they were; journal %4 records")
                  .arg(kUndos).arg(times[times.size() * 9 / 10], 0, 'f', 1).arg(unchanged)
                  .arg(board->model().journal().records().size()));
}

void runRestoreBench(BenchTable &table, const QString &program, const QString &settingsDir,
                     const QString &dataDir)
{
    const QList<JournalRecord> match = fiveSetJournal();
    const auto [path, env] = journalInDataFolder(dataDir);
    std::vector<double> startMs;
    QString failure;
    int restored = 0;
    for (int run = 0; run <= kRestoreRuns && failure.isEmpty(); ++run) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(JournalFormat::write(match)) < 0) {
            failure = QStringLiteral("cannot write ") + path;
            break;
        }
        file.close();
        const auto timing = runStartupChild(program, settingsDir, env, &failure);
        if (!timing)
            break;
        // The restored match carries on in a new journal of the same records.
        const JournalFormat::ReadResult after = JournalFormat::readFile(path);
        restored += after.records == match ? 1 : 0;
        if (run > 0)
            startMs.push_back(timing->firstFrameMs);
    }
    const double startup = median(startMs);
    table.add(QStringLiteral("start restoring a 5-set match to first painted frame"),
              QString::number(startup, 'f', 1) + QStringLiteral(" ms"), QStringLiteral("<= 250 ms"),
              failure.isEmpty() && startup <= 250 && restored == kRestoreRuns + 1,
              failure.isEmpty() ? QStringLiteral("%1 fresh processes, %2 records; %3 of %4 restored")
                                      .arg(kRestoreRuns).arg(match.size()).arg(restored).arg(kRestoreRuns + 1)
                                : failure);
}
