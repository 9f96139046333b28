#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

class BoardModel;
class ClickLabel;
class QLabel;
class UndoMark;
class QWidget;
class TOvalButton;

// The operator's corner of the board: the strip's and the reset button, the tie-break
// option's "T" with the undo mark beside it, and the logo.
class ControlButtons : public QObject
{
    Q_OBJECT

public:
    static constexpr int kUndoMarkMs = 1000;
    // The address the logo opens.
    static constexpr auto kLogoAddress = "https://courtlyx.example.org/";

    // The logo first; the buttons and the "T" in a second step, above the ball.
    ControlButtons(QWidget &window, BoardModel &model);
    void createButtons();

    // The logo keeps its distance to the right and bottom edges.
    void followResize(QSize size);
    // The logo at four times its size while the board is enlarged.
    void showLargePictures(bool large);

signals:
    void configClicked();
    void resetClicked();
    void logoClicked();

private:
    void showUndoMark();

    QWidget &window_;
    BoardModel &model_;
    ClickLabel *ImageDE_ = nullptr;
    TOvalButton *ObCFG_ = nullptr;
    TOvalButton *bReset_ = nullptr;
    ClickLabel *LabelTbOn_ = nullptr;
    UndoMark *undoMark_ = nullptr;
    QTimer undoMarkTimer_;
    QSize laidOutFor_;
};
