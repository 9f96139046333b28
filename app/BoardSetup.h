#pragma once

#include "core/BoardSettings.h"

#include <optional>

class BoardModel;
class FeedPublisher;
class FullScreenSwitch;
class WindowBounds;

// The board's remembered set-up as the board holds it: the model's part, the window's
// bounds and full screen, and the feed's. Read once at start and written once at exit.
class BoardSetup
{
public:
    BoardSetup(BoardModel &model, WindowBounds &bounds, const FullScreenSwitch &fullScreen,
               FeedPublisher &feed);

    BoardSettings current() const;
    // Does not move the window onto a screen.
    void apply(const BoardSettings &settings);
    // The store read over what the board holds, applied with the window kept on a screen;
    // nothing when the store holds nothing.
    std::optional<BoardSettings> applyStored();
    void store() const;

private:
    BoardModel &model_;
    WindowBounds &bounds_;
    const FullScreenSwitch &fullScreen_;
    FeedPublisher &feed_;
};
