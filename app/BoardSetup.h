#pragma once

#include "core/BoardSettings.h"

#include <QRect>

#include <optional>

class BoardModel;
class FeedPublisher;

// The board's remembered set-up: the model's and the feed's values together with the
// window's bounds and full screen, which the window gives. Read once at start and written
// once at exit.
class BoardSetup
{
public:
    BoardSetup(BoardModel &model, FeedPublisher &feed);

    BoardSettings current(const QRect &windowBounds, bool fullScreen) const;
    // The model's and the feed's part of the set-up.
    void apply(const BoardSettings &settings);
    // The store read over what the board holds now; nothing when it holds nothing.
    std::optional<BoardSettings> stored(const QRect &windowBounds) const;
    void store(const QRect &windowBounds, bool fullScreen) const;

private:
    BoardModel &model_;
    FeedPublisher &feed_;
};
