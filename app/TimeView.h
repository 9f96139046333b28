#pragma once

#include "gdi/Colors.h"

#include <QObject>

class BoardModel;
class QWidget;
class TLabel3D;
class TOvalButton;
class TPLNClock;

// The wall clock, the playing time and the Play button that starts, pauses and resumes it.
class TimeView : public QObject
{
    Q_OBJECT

public:
    static constexpr TColor kPlayStopped = 160;      // dark red
    static constexpr TColor kPlayRunning = 0x00B000; // green

    // The playing time and the button; the clock comes in a later step.
    TimeView(QWidget &window, BoardModel &model);
    void createClock();

    TPLNClock *clock() const { return PLNClock1_; }

private:
    // Follows the model's colour scheme; what already shows its colour is left alone.
    void showColours();
    void showPlay(bool running);

    QWidget &window_;
    BoardModel &model_;
    TLabel3D *eTime_ = nullptr;
    TOvalButton *bPlay_ = nullptr;
    TPLNClock *PLNClock1_ = nullptr;
};
