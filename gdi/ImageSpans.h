#pragma once

#include "gdi/Colors.h"

#include <QRect>

#include <vector>

class QImage;

// Opaque spans into the rows of an image GdiCanvas::directImage() accepted, clipped to it.
void writeSpans(QImage &image, const std::vector<QRect> &spans, TColor color);
