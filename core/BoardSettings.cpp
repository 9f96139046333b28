#include "core/BoardSettings.h"

#include "core/SettingsStore.h"

BoardSettings::BoardSettings()
{
    for (const SettingsStore::Key &key : SettingsStore::keys())
        key.take(*this, key.fallback);
}
