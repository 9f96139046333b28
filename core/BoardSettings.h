#pragma once

#include "gdi/Colors.h"

#include <QString>

#include <array>

// The board's remembered set-up as one value: what the store reads and writes, and what
// the window applies and reports. The initial values are the board's design values.
struct BoardSettings
{
    // The window's outer frame: left, top, width and height.
    int L = 248;
    int T = 128;
    int W = 800;
    int H = 578;
    // Nothing reads the sound flag; it is carried from one run to the next.
    bool Sound = false;
    int Monitor = 0;
    QString Comanda1 = QStringLiteral("Name 1");
    QString Comanda2 = QStringLiteral("Name 2");
    // The scheme colours C0 .. C4: Display, TextFon, Text, Border, TextHi.
    std::array<TColor, 5> C = {clBlack, clBlack, clWhite, clWhite, clYellow};
    bool TieBreak = true;
    int CountSets = 5;
    bool AutoSchet = true;
    // The match format's code; empty, or a code that does not parse, leaves the format
    // that the set count and the tie-break option give.
    QString Format;
    // The loser's tie-break points beside a set won in a tie-break.
    bool TieBreakPoints = false;
    bool FullScreen = false;

    // The live score feed. FeedFolder empty: the text files go to the data folder's feed
    // folder; FeedPin empty: a new PIN at every start of the feed.
    bool Feed = false;
    int FeedPort = 8765;
    bool FeedNet = false;
    bool FeedFiles = false;
    QString FeedFolder;
    QString FeedPin;

    bool operator==(const BoardSettings &) const = default;
};
