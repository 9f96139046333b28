#pragma once

#include <QFont>
#include <QObject>
#include <QSize>

#include <array>

class BoardModel;
class ClickLabel;
class QFrame;
class QLabel;
class QWidget;
class TLabel3D;

// The score's figures: both sides' points, the set panel with its headers and games, the
// loser's tie-break points small beside a set's games, "Tiebreak:" and the hidden tie-break
// fields. It shows what the model says and turns clicks into the model's commands.
class ScoreView : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSetFieldWidth = 55;

    // The points and tie-break figures; the set panel comes in a second step, above the
    // title area and the strip.
    ScoreView(QWidget &window, BoardModel &model);
    void createSetPanel();

    // The figure that shows an entry of the score field table (or a hidden tie-break field).
    TLabel3D *fieldLabel(int entry) const;
    // The small tie-break mark of a games figure (side 1 or 2, set 1 .. 5).
    QLabel *tieBreakMark(int side, int set) const;
    // The set panel keeps its distance to the right edge.
    void followResize(QSize size);

signals:
    // The set panel's left edge moved: the names take the room it leaves.
    void setPanelMoved(int left);

private:
    // Follows the model's colour scheme; what already shows its colour is left alone.
    void showColours();
    void showField(int entry);
    void showPoints();
    void showBoldHeader(int header);
    void markLeader(int entry, bool highlighted);
    void showTieBreakMarks();
    // A figure shrinks until it fits its field, and beside a mark until the two stand apart.
    void fitGamesFigure(TLabel3D *figure, bool marked);
    // The set panel keeps its right edge and is as wide as the sets played.
    void layOutForSets(int count);

    QWidget &window_;
    BoardModel &model_;
    QLabel *LabelTieBreak_ = nullptr;
    std::array<TLabel3D *, 2> eSchet_{};
    std::array<TLabel3D *, 2> LabTBreak_{};
    QFrame *PanelSatz_ = nullptr;
    std::array<ClickLabel *, 5> LabelS_{};
    std::array<TLabel3D *, 5> S1_{}; // S1_1 .. S1_5
    std::array<TLabel3D *, 5> S2_{}; // S2_1 .. S2_5
    std::array<QLabel *, 10> marks_{}; // side 1 sets 1 .. 5, then side 2
    QFont gamesFont_;
    QSize laidOutFor_;
    // The set count last laid out for; 0 while the panel keeps its design width.
    int laidOutSets_ = 0;
};
