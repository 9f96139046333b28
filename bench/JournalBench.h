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
// A 1,000,000-record journal: the start of a fresh process that restores it, then a key and
// an undo on a board with that history. `dataDir` and `settingsDir` as for the restore.
void runLongJournalBench(BenchTable &table, const QString &program, const QString &settingsDir,
                         const QString &dataDir);
// What the journal's clock records cost a running match left alone.
void runJournalIdleBench(BenchTable &table);
