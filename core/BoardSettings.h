#pragma once

#include "gdi/Colors.h"

#include <QString>

#include <array>

// The board's remembered set-up as one value: what the store reads and writes, and what
// the window applies and reports.
struct BoardSettings
{
    // Every value at its default, the board's design value, as SettingsStore declares it.
    BoardSettings();

    // The window's outer frame: left, top, width and height.
    int L;
    int T;
    int W;
    int H;
    // Nothing reads the sound flag; it is carried from one run to the next.
    bool Sound;
    int Monitor;
    QString Comanda1;
    QString Comanda2;
    // The scheme colours C0 .. C4: Display, TextFon, Text, Border, TextHi.
    std::array<TColor, 5> C;
    bool TieBreak;
    int CountSets;
    bool AutoSchet;
    // The match format's code; empty, or a code that does not parse, leaves the format
    // that the set count and the tie-break option give.
    QString Format;
    // The loser's tie-break points beside a set won in a tie-break.
    bool TieBreakPoints;
    bool FullScreen;

    // The live score feed. FeedFolder empty: the text files go to the data folder's feed
    // folder; FeedPin empty: a new PIN at every start of the feed.
    bool Feed;
    int FeedPort;
    bool FeedNet;
    bool FeedFiles;
    QString FeedFolder;
    QString FeedPin;
    // A name the feed answers to besides this computer's own names and addresses.
    QString FeedHost;

    // Publishing to a tournament's MQTT broker. BrokerCourt names the board's topics
    // (letters, digits, '-' and '_'); BrokerCaFile is used with BrokerTls only.
    bool Broker;
    QString BrokerHost;
    int BrokerPort;
    QString BrokerCourt;
    QString BrokerUser;
    QString BrokerPassword;
    bool BrokerTls;
    QString BrokerCaFile;

    bool operator==(const BoardSettings &) const = default;
};
