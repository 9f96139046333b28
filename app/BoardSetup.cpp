#include "app/BoardSetup.h"

#include "app/WindowBounds.h"
#include "core/BoardModel.h"
#include "core/SettingsStore.h"
#include "feed/BrokerPublisher.h"
#include "feed/FeedPublisher.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

BoardSetup::BoardSetup(BoardModel &model, FeedPublisher &feed, BrokerPublisher &broker, WindowBounds &bounds)
    : model_(model), feed_(feed), broker_(broker), bounds_(bounds)
{
}

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
    broker_.store(s);
    return s;
}

void BoardSetup::apply(const BoardSettings &s)
{
    bounds_.setOuter(QRect(s.L, s.T, s.W, s.H));
    model_.apply(s);
    feed_.apply(s);
    broker_.apply(s);
}

std::optional<BoardSettings> BoardSetup::applyStored(const QRect &windowBounds)
{
    BoardSettings now = current(windowBounds, false);
    // A store without a format keeps the one its set count and tie-break option give.
    now.Format.clear();
    const std::optional<BoardSettings> stored = SettingsStore::read(now);
    if (stored) {
        apply(*stored);
        bounds_.keepOnScreen();
    }
    return stored;
}

void BoardSetup::store(const QRect &windowBounds, bool fullScreen) const
{
    SettingsStore::write(current(windowBounds, fullScreen));
}

QString BoardSetup::whyNotStored()
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(SettingsStore::kOrganisation),
                          QCoreApplication::applicationName());
    if (store.isWritable())
        return {};
    return QStringLiteral("Die Einstellungen (Farben, Namen, Fenster) werden beim Beenden nicht gespeichert: "
                          "%1 ist nicht beschreibbar. Die Tafel startet dann wieder mit den alten Werten.")
        .arg(QDir::toNativeSeparators(store.fileName()));
}
