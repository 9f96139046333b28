#pragma once

#include <QString>

class BenchTable;

// Loading and saving title files, through the same calls as the board, from files in `dir`.
void runRtfBench(BenchTable &table, const QString &dir);
