#include "app/BoardSetup.h"

#include "core/BoardModel.h"
#include "core/SettingsStore.h"
#include "feed/FeedPublisher.h"

BoardSetup::BoardSetup(BoardModel &model, FeedPublisher &feed) : model_(model), feed_(feed) {}

BoardSettings BoardSetup::current(const QRect &bounds, bool fullScreen) const
{
    BoardSettings s;
    s.L = bounds.left();
    s.T = bounds.top();
    s.W = bounds.width();
    s.H = bounds.height();
    model_.store(s);
    s.FullScreen = fullScreen;
    feed_.store(s);
    return s;
}

void BoardSetup::apply(const BoardSettings &s)
{
    model_.apply(s);
    feed_.apply(s);
}

std::optional<BoardSettings> BoardSetup::stored(const QRect &windowBounds) const
{
    BoardSettings now = current(windowBounds, false);
    // A store without a format keeps the one its set count and tie-break option give.
    now.Format.clear();
    return SettingsStore::read(now);
}

void BoardSetup::store(const QRect &windowBounds, bool fullScreen) const
{
    SettingsStore::write(current(windowBounds, fullScreen));
}
