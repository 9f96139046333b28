#include "app/HeapTuning.h"
#include "bench/BenchTable.h"
#include "bench/BoardBench.h"
#include "bench/BrokerBench.h"
#include "bench/ClockBench.h"
#include "bench/FeedBench.h"
#include "bench/FullScreenBench.h"
#include "bench/JournalBench.h"
#include "bench/RtfBench.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

// courtlyx_bench [figure ...]: key, paint, clock, idle, startup, rtf, journal, feed, fullscreen,
// broker; all by default.
int main(int argc, char **argv)
{
    // As the program does, so the figures are the program's.
    keepFreedHeapForReuse();
    if (argc == 3 && qstrcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--feed-idle-child") == 0)
        return feedIdleChild(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--feed-load-child") == 0)
        return feedLoadChild(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--feed-guess-child") == 0)
        return feedGuessChild(argc, argv);
    if (argc == 6 && qstrcmp(argv[1], "--broker-court-child") == 0)
        return brokerCourtChild(argc, argv);
    QTemporaryDir work;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The full-screen figures need monitors of their size; the board's window is the same
    // on any of them.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile screens(work.path() + QStringLiteral("/screens.json"));
        if (screens.open(QIODevice::WriteOnly) && screens.write(kFullScreenBenchScreens) > 0) {
            screens.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
        }
    }
    // Private, as Qt wants it; the start-up children inherit it.
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(work.path()));
    // Nor the user's match journal: the board and the start-up children keep theirs here.
    const QByteArray dataDir = QFile::encodeName(work.path() + QStringLiteral("/data"));
    qputenv("XDG_DATA_HOME", dataDir);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Courtlyx"));
    // The board reads and writes its settings; never the real user's.
    const QString settingsDir = work.path() + QStringLiteral("/settings");
    QDir().mkpath(settingsDir);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir);

    QStringList wanted = app.arguments().mid(1);
    auto want = [&](const char *name) { return wanted.isEmpty() || wanted.contains(QLatin1String(name)); };
    auto step = [](const char *what) { std::fprintf(stderr, "measuring %s ...\n", what); };
    BenchTable table;
    if (want("key")) {
        step("key to painted board");
        runKeyBench(table);
    }
    if (want("paint")) {
        step("full paint");
        runPaintBench(table);
    }
    if (want("clock")) {
        step("clock tick");
        runClockBench(table);
    }
    if (want("idle")) {
        step("idle cost (30 s)");
        runIdleBench(table);
    }
    if (want("startup")) {
        step("start-up");
        const QString startupSettings = work.path() + QStringLiteral("/startup-settings");
        QDir().mkpath(startupSettings);
        runStartupBench(table, QCoreApplication::applicationFilePath(), startupSettings);
    }
    if (want("rtf")) {
        step("title files");
        runRtfBench(table, work.path());
    }
    if (want("journal")) {
        step("match journal");
        runJournalKeyBench(table);
        runUndoBench(table);
        const QString restoreSettings = work.path() + QStringLiteral("/restore-settings");
        QDir().mkpath(restoreSettings);
        runRestoreBench(table, QCoreApplication::applicationFilePath(), restoreSettings,
                        work.path() + QStringLiteral("/restore-data"));
    }
    if (want("journal") || want("long-journal")) {
        step("long match journal");
        const QString longSettings = work.path() + QStringLiteral("/long-settings");
        QDir().mkpath(longSettings);
        runLongJournalBench(table, QCoreApplication::applicationFilePath(), longSettings,
                            work.path() + QStringLiteral("/long-data"));
        runJournalIdleBench(table);
    }
    if (want("feed")) {
        step("live score feed");
        runFeedBench(table, QCoreApplication::applicationFilePath());
    }
    // "broker-fanout", "-restart" or "-courts" picks one of its rows.
    const QStringList brokerRows = wanted.filter(QStringLiteral("broker-"));
    if (want("broker") || !brokerRows.isEmpty()) {
        step("tournament broker (about 2 min)");
        runBrokerBench(table, argv[0], brokerRows);
    }
    // "fullscreen-repaint", "-key", "-tick" or "-idle" picks one of its rows.
    const QStringList fullScreenRows = wanted.filter(QStringLiteral("fullscreen-"));
    if (want("fullscreen") || !fullScreenRows.isEmpty()) {
        step("full screen (10 s idle)");
        runFullScreenBench(table, fullScreenRows);
    }
    table.print();
    return table.allPassed() ? 0 : 1;
}
