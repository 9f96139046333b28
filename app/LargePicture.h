#pragma once

#include <QPixmap>

// A picture of the board at its own size or, while the board is enlarged, at four times
// its size, drawn at a quarter of its pixels.
QPixmap largePicture(const char *name, bool large);
