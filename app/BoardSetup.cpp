#include "app/BoardSetup.h"

#include "app/FullScreenSwitch.h"
#include "app/FullScreenView.h"
#include "app/WindowBounds.h"
#include "core/BoardModel.h"
#include "core/SettingsStore.h"
#include "feed/FeedPublisher.h"

BoardSetup::BoardSetup(BoardModel &model, WindowBounds &bounds, const FullScreenSwitch &fullScreen,
                       FeedPublisher &feed)
    : model_(model), bounds_(bounds), fullScreen_(fullScreen), feed_(feed)
{
}

BoardSettings BoardSetup::current() const
{
    QRect bounds = bounds_.outer();
    // Full screen, the window keeps its place for the way back.
    if (fullScreen_.shown())
        bounds.moveTopLeft(fullScreen_.view()->windowPos());
    BoardSettings s;
    s.L = bounds.left();
    s.T = bounds.top();
    s.W = bounds.width();
    s.H = bounds.height();
    model_.store(s);
    s.FullScreen = fullScreen_.shown();
    feed_.store(s);
    return s;
}

void BoardSetup::apply(const BoardSettings &s)
{
    bounds_.setOuter(QRect(s.L, s.T, s.W, s.H));
    model_.apply(s);
    feed_.apply(s);
}

std::optional<BoardSettings> BoardSetup::applyStored()
{
    BoardSettings now = current();
    // A store without a format keeps the one its set count and tie-break option give.
    now.Format.clear();
    const std::optional<BoardSettings> stored = SettingsStore::read(now);
    if (stored) {
        apply(*stored);
        bounds_.keepOnScreen();
    }
    return stored;
}

void BoardSetup::store() const
{
    SettingsStore::write(current());
}
