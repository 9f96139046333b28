#pragma once

#include "gdi/Colors.h"

#include <QColor>

// The classic Windows colour scheme, fixed, so that the board looks the same on every
// desktop theme. Indices 0..30 are the Windows system colour numbers.
inline constexpr int kSystemColorCount = 31;

// RGB of system colour `index` (0x00BBGGRR); black for an index outside the table,
// as GetSysColor gives for an unknown index.
TColor sysColor(int index);

// A colour value resolved to plain RGB: system colours become their table value,
// any other value keeps its low three bytes.
TColor colorToRGB(TColor color);

QColor toQColor(TColor color);
TColor fromQColor(const QColor &color);
