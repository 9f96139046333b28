#pragma once

#include <QtGlobal>

// Where the text and words of an RTF group go; a group inherits its parent's.
enum class RtfDestination : quint8 {
    Text, Skip, FontTable, ColorTable, Picture,
    ListTable, ListDefinition, ListLevel, LevelText, ListOverrideTable, ListOverride, OldStyleList,
};
