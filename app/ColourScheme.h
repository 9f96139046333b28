#pragma once

#include "gdi/Colors.h"

#include <QList>

#include <array>

class QLabel;
class QWidget;
class TPLNClock;
class TShape;

// The five colours of the board: C0 Display (the grounds), C1 TextFon (the text fields'
// ground), C2 Text, C3 Border (field frames and serve marks), C4 TextHi (set leaders).
class ColourScheme
{
public:
    static constexpr int kText = 2;
    static constexpr int kTextHi = 4;

    // What each colour reaches.
    struct Targets
    {
        QWidget *window = nullptr;
        TPLNClock *clock = nullptr;
        QWidget *title = nullptr;
        QWidget *setPanel = nullptr;
        // In the order the scheme treats them.
        QList<QWidget *> textFields;
        std::array<QLabel *, 5> setHeaders{};
        std::array<TShape *, 2> serveMarks{};
    };

    explicit ColourScheme(Targets targets) : targets_(std::move(targets)) {}

    TColor colour(int slot) const { return colours_[slot]; }
    void setColour(int slot, TColor colour) { colours_[slot] = colour; }
    const std::array<TColor, 5> &colours() const { return colours_; }
    void setColours(const std::array<TColor, 5> &colours) { colours_ = colours; }

    // Recolours the board; what already shows its colour is left alone, so an unchanged
    // scheme repaints nothing.
    void apply() const;

private:
    Targets targets_;
    std::array<TColor, 5> colours_ = {clBlack, clBlack, clWhite, clWhite, clYellow};
};
