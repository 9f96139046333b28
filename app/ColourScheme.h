#pragma once

#include "platform/Colors.h"

#include <array>

class BoardLayout;
class QWidget;

// The five colours of the board: C0 Display (the grounds), C1 TextFon (the text fields'
// ground), C2 Text, C3 Border (field frames and serve marks), C4 TextHi (set leaders).
class ColourScheme
{
public:
    static constexpr int kDisplay = 0;
    static constexpr int kText = 2;
    static constexpr int kTextHi = 4;

    TColor colour(int slot) const { return colours_[slot]; }
    void setColour(int slot, TColor colour) { colours_[slot] = colour; }
    const std::array<TColor, 5> &colours() const { return colours_; }
    void setColours(const std::array<TColor, 5> &colours) { colours_ = colours; }

    // Recolours the board; what already shows its colour is left alone, so an unchanged
    // scheme repaints nothing.
    void applyTo(const BoardLayout &layout, QWidget *title) const;

private:
    std::array<TColor, 5> colours_ = {clBlack, clBlack, clWhite, clWhite, clYellow};
};
