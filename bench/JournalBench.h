#pragma once

#include <QString>

class BenchTable;

// What the match journal costs the board: F1 with and without the journal file, one undo
// in a long match, and the start of a fresh process that restores a five-set match.
void runJournalKeyBench(BenchTable &table);
void runUndoBench(BenchTable &table);
// `dataDir` is the children's XDG_DATA_HOME; `settingsDir` as for the start-up figure.
void runRestoreBench(BenchTable &table, const QString &program, const QString &settingsDir,
                     const QString &dataDir);
