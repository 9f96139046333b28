#pragma once

#include "core/BoardSettings.h"

#include <gtest/gtest.h>

// Every one of the sixteen values away from its default.
inline BoardSettings allChanged()
{
    BoardSettings s;
    s.L = 301;
    s.T = 202;
    s.W = 1001;
    s.H = 603;
    s.Sound = true;
    s.Monitor = 3;
    s.Comanda1 = QStringLiteral("Graf");
    s.Comanda2 = QStringLiteral("Seles");
    s.C = {0x000080, 0x008000, 0x00FF00, clBtnFace, 0xFF0000};
    s.TieBreak = false;
    s.CountSets = 3;
    s.AutoSchet = false;
    return s;
}

inline void expectSame(const BoardSettings &a, const BoardSettings &b)
{
    EXPECT_EQ(a.L, b.L);
    EXPECT_EQ(a.T, b.T);
    EXPECT_EQ(a.W, b.W);
    EXPECT_EQ(a.H, b.H);
    EXPECT_EQ(a.Sound, b.Sound);
    EXPECT_EQ(a.Monitor, b.Monitor);
    EXPECT_EQ(a.Comanda1, b.Comanda1);
    EXPECT_EQ(a.Comanda2, b.Comanda2);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(a.C[slot], b.C[slot]) << "C" << slot;
    EXPECT_EQ(a.TieBreak, b.TieBreak);
    EXPECT_EQ(a.CountSets, b.CountSets);
    EXPECT_EQ(a.AutoSchet, b.AutoSchet);
    EXPECT_EQ(a.Feed, b.Feed);
    EXPECT_EQ(a.FeedPort, b.FeedPort);
    EXPECT_EQ(a.FeedNet, b.FeedNet);
    EXPECT_EQ(a.FeedFiles, b.FeedFiles);
    EXPECT_EQ(a.FeedFolder, b.FeedFolder);
    EXPECT_EQ(a.FeedPin, b.FeedPin);
    EXPECT_EQ(a.FeedHost, b.FeedHost);
    EXPECT_EQ(a.Broker, b.Broker);
    EXPECT_EQ(a.BrokerHost, b.BrokerHost);
    EXPECT_EQ(a.BrokerPort, b.BrokerPort);
    EXPECT_EQ(a.BrokerCourt, b.BrokerCourt);
    EXPECT_EQ(a.BrokerUser, b.BrokerUser);
    EXPECT_EQ(a.BrokerPassword, b.BrokerPassword);
    EXPECT_EQ(a.BrokerTls, b.BrokerTls);
    EXPECT_EQ(a.BrokerCaFile, b.BrokerCaFile);
}
