#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <optional>

class BenchTable;

// The scoreboard window on the offscreen platform: a key press until the board is painted,
// a full paint into an image, and what a running match costs while nobody touches it.
void runKeyBench(BenchTable &table, const QString &figure = QStringLiteral("F1 to painted board"));
void runPaintBench(BenchTable &table);
void runIdleBench(BenchTable &table);

// Start-up in fresh processes: `program` is run with --startup-child and `settingsDir`.
void runStartupBench(BenchTable &table, const QString &program, const QString &settingsDir);
// One fresh process in start-up mode: from spawn to its first painted frame, and its peak
// resident memory then; nothing, with the reason in *failure, when it fails or says nothing.
struct StartupTiming
{
    double firstFrameMs = 0;
    double peakMb = 0;
};
std::optional<StartupTiming> runStartupChild(const QString &program, const QString &settingsDir,
                                             const QProcessEnvironment &env, QString *failure);
// The child's side: builds the board as the program entry does, reports the moment of the
// first painted frame and the peak memory so far on stdout.
int startupChild(int argc, char **argv);
