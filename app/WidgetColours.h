#pragma once

#include "gdi/Colors.h"

class QWidget;

// Text and ground of the platform's own controls (edits, panels, plain labels). Neither
// touches the palette when it already shows the colour, so nothing repaints.
void setTextColour(QWidget *w, TColor c);
void setGround(QWidget *w, TColor c);
