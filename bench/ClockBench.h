#pragma once

class BenchTable;

// One tick of the wall clock as the board configures it, and the area that tick repaints.
void runClockBench(BenchTable &table);
