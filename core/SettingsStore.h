#pragma once

#include "core/BoardSettings.h"

#include <optional>

class QSettings;

// The board's remembered set-up in the user's store: read once at start, written once at
// exit. It knows the keys, not the window.
class SettingsStore
{
public:
    static constexpr auto kOrganisation = "Quorbel";

    // The values read over `current`, in the stored order: the first one missing or of the
    // wrong kind ends the reading and it and those after it keep what `current` holds.
    // Nothing when the store holds no key at all.
    static std::optional<BoardSettings> read(const BoardSettings &current);
    static void write(const BoardSettings &settings);

    // The same, on a given store (tests point it at a temporary one).
    static std::optional<BoardSettings> read(QSettings &store, const BoardSettings &current);
    static void write(QSettings &store, const BoardSettings &settings);
};
