#pragma once

#include <QString>

class BenchTable;

// The scoreboard window on the offscreen platform: a key press until the board is painted,
// a full paint into an image, and what a running match costs while nobody touches it.
void runKeyBench(BenchTable &table, const QString &figure = QStringLiteral("F1 to painted board"));
void runPaintBench(BenchTable &table);
void runIdleBench(BenchTable &table);

// Start-up in fresh processes: `program` is run with --startup-child and `settingsDir`.
void runStartupBench(BenchTable &table, const QString &program, const QString &settingsDir);
// The child's side: builds the board as the program entry does, reports the moment of the
// first painted frame and the peak memory so far on stdout.
int startupChild(int argc, char **argv);
