#pragma once

#include "core/BoardSettings.h"

#include <QRect>

#include <optional>

class BoardModel;
class BrokerPublisher;
class FeedPublisher;
class WindowBounds;

// The board's remembered set-up: the model's and the feed's values and the window's bounds;
// where the window stands while full screen, the window gives. Read once at start and
// written once at exit.
class BoardSetup
{
public:
    BoardSetup(BoardModel &model, FeedPublisher &feed, BrokerPublisher &broker, WindowBounds &bounds);

    BoardSettings current(const QRect &windowBounds, bool fullScreen) const;
    // Does not move the window onto a screen.
    void apply(const BoardSettings &settings);
    // The store read over what the board holds now and applied, the window kept on a
    // screen; nothing when the store holds nothing.
    std::optional<BoardSettings> applyStored(const QRect &windowBounds);
    void store(const QRect &windowBounds, bool fullScreen) const;
    // Why the set-up will not be kept at exit, in the board's words; empty when it will.
    static QString whyNotStored();

private:
    BoardModel &model_;
    FeedPublisher &feed_;
    BrokerPublisher &broker_;
    WindowBounds &bounds_;
};
