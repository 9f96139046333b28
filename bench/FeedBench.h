#pragma once

#include <QString>

class BenchTable;

// The board with its live score feed on: from a key to the state at 50 WebSocket clients, to
// the text files and to the painted board; the feed's idle cost; the board under a flood of
// connections. Clients and load run on 127.0.0.1 only.
void runFeedBench(BenchTable &table, const QString &program);

// The children's sides: a board idling for the idle figure, and the connection flood.
int feedIdleChild(int argc, char **argv);
int feedLoadChild(int argc, char **argv);
int feedGuessChild(int argc, char **argv);
