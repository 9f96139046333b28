#pragma once

#include "gdi/Colors.h"

#include <array>

class QWidget;

// The five colours of the board: C0 Display (the grounds), C1 TextFon (the text fields'
// ground), C2 Text, C3 Border (field frames and serve marks), C4 TextHi (set leaders and the
// winner). The colours live in the board model; each view shows them on its own controls.
class ColourScheme
{
public:
    using Colours = std::array<TColor, 5>;
    static constexpr int kDisplay = 0;
    static constexpr int kTextFon = 1;
    static constexpr int kText = 2;
    static constexpr int kBorder = 3;
    static constexpr int kTextHi = 4;

    // A text field, a 3-D figure or an edit: ground, text and frame. What already shows its
    // colour is left alone, so an unchanged scheme repaints nothing.
    static void showOnTextField(QWidget *field, const Colours &colours);
};
