#pragma once

#include "core/BoardSettings.h"

#include <QVariant>

#include <optional>
#include <span>

class QSettings;

// The board's remembered set-up in the user's store: read once at start, written once at
// exit. It knows the keys, not the window.
class SettingsStore
{
public:
    static constexpr auto kOrganisation = "Quorbel";

    // The feed's port: the one it listens on unless told otherwise, and the ones it may.
    static constexpr int kDefaultPort = 8765;
    static constexpr int kLowestPort = 1024;
    static constexpr int kHighestPort = 65535;
    // The tournament broker's MQTT port unless told otherwise, and the longest court name.
    static constexpr int kDefaultBrokerPort = 1883;
    static constexpr qsizetype kMaxCourtLength = 32;

    // How a value is kept: numbers, flags and colours as 32-bit numbers, names, the
    // format's code and the broker's court name as text.
    enum class Kind { Number, Flag, Colour, Text, Format, Court };
    // The sixteen values the board has always kept are read as one block; each value added
    // after them is read on its own, so a store that lacks one still gives the others.
    enum class Reading { InBlock, OnItsOwn };

    // One value, declared once: read, write and a new BoardSettings all go by it.
    struct Key
    {
        const char *name;
        Kind kind;
        Reading reading;
        // As `take` expects it: a number as qint64, a text as QString.
        QVariant fallback;
        // The numbers a value of a numeric kind may hold; any other is malformed.
        qint64 lowest;
        qint64 highest;
        void (*take)(BoardSettings &, const QVariant &);
        QVariant (*give)(const BoardSettings &);
    };

    // In the stored order, which is also the order of reading.
    static std::span<const Key> keys();

    // The values read over `current`, in the stored order. In the block, the first one
    // missing or of the wrong kind ends it, and it and the rest of the block keep what
    // `current` holds; a missing text reads as empty. After the block, a value missing or
    // malformed takes its default. Nothing when the store holds no key at all.
    static std::optional<BoardSettings> read(const BoardSettings &current);
    // A store holding a broker password is made readable by its user only.
    static void write(const BoardSettings &settings);
    // Whether the user's store holds the value at all.
    static bool holds(const char *name);

    // A name for the broker's topics: 1 to kMaxCourtLength letters, digits, '-' or '_'.
    static bool isCourtName(const QString &name);

    // The same, on a given store (tests point it at a temporary one).
    static std::optional<BoardSettings> read(QSettings &store, const BoardSettings &current);
    static void write(QSettings &store, const BoardSettings &settings);
    static bool holds(QSettings &store, const char *name);
};
