#pragma once

#include <QStringList>

class BenchTable;

// The board full screen on the screens main() configures: 3840 x 2160 (primary) and
// 1920 x 1080 beside it. `rows` ("fullscreen-repaint", "-key", "-tick", "-idle") picks
// some; empty, all.
void runFullScreenBench(BenchTable &table, const QStringList &rows = {});

// The offscreen platform's screen set-up those figures need, as its configuration file.
inline constexpr auto kFullScreenBenchScreens =
    R"({ "screens": [ { "name": "UHD", "x": 0, "y": 0, "width": 3840, "height": 2160, "logicalDpi": 96 },)"
    R"( { "name": "FHD", "x": 3840, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96 } ] })";
