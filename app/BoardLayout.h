#pragma once

#include "gdi/Colors.h"

#include <QList>
#include <QSize>

#include <array>

class QLabel;
class QLineEdit;
class QFrame;
class QWidget;
class TLabel3D;
class TOvalButton;
class TPLNClock;
class TShape;

// The board's controls: where they stand, how they look, which lies above which. It
// creates them on the window and keeps them; what they do is wired by the window.
// Creation order is stacking order, so the controls come in two steps around the title
// area and the configuration strip, which the window creates in between.
class BoardLayout
{
public:
    static constexpr int kSetFieldWidth = 55;
    static constexpr TColor kPlayStopped = 160;      // dark red
    static constexpr TColor kPlayRunning = 0x00B000; // green

    // The labels, pictures, buttons, figures, the clock and the name edits.
    explicit BoardLayout(QWidget &window);
    // The set panel with its headers and games fields, and the focus order.
    void createSetPanel(QWidget *title, QWidget *strip);

    // The figure that shows an entry of the score field table (or a hidden tie-break field).
    TLabel3D *fieldLabel(int entry) const;
    // The nineteen text fields in the order the colour scheme treats them.
    QList<QWidget *> textFields() const;
    // The set panel keeps its right edge, and the names take the room it leaves.
    void layOutForSets(int count);
    // The set panel and the logo keep their distance to the right edge, the logo also to
    // the bottom.
    void followResize(QSize size);

    // Header `header` (1 .. 5) bold, the others plain; 0 leaves none bold.
    void showBoldHeader(int header);
    // The ball beside the serving side's mark: 0 side 1, 1 side 2.
    void showServer(int server);
    void showPlay(bool running);
    // While the names may be edited the edits show; otherwise the figures show the names.
    void showNames(bool editing);

    QWidget &window;
    QLabel *Image1 = nullptr;
    TShape *Shape1 = nullptr;
    QLabel *LabelTieBreak = nullptr;
    TShape *Shape2 = nullptr;
    TLabel3D *eSchet1 = nullptr;
    TLabel3D *eSchet2 = nullptr;
    TLabel3D *LabTBreak1 = nullptr;
    TLabel3D *LabTBreak2 = nullptr;
    TLabel3D *eTime = nullptr;
    QLabel *ImageDE = nullptr;
    TOvalButton *bPlay = nullptr;
    QLabel *ImageBall = nullptr;
    TOvalButton *ObCFG = nullptr;
    TLabel3D *LName1 = nullptr;
    TLabel3D *LName2 = nullptr;
    TOvalButton *bReset = nullptr;
    QLabel *LabelTbOn = nullptr;
    TPLNClock *PLNClock1 = nullptr;
    QLineEdit *eName1 = nullptr;
    QLineEdit *eName2 = nullptr;
    QFrame *PanelSatz = nullptr;
    std::array<QLabel *, 5> LabelS{};
    std::array<TLabel3D *, 5> S1{}; // S1_1 .. S1_5
    std::array<TLabel3D *, 5> S2{}; // S2_1 .. S2_5

private:
    // The client size the right- and bottom-anchored controls were last placed for.
    QSize laidOutFor_;
    // The set count the names were last laid out for; 0 while they keep their design width.
    int laidOutSets_ = 0;
};
