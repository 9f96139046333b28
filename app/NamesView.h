#pragma once

#include <QObject>

#include <array>

class BoardModel;
class NameEdit;
class PacedSender;
class QWidget;
class TLabel3D;

// The two names: edits while the match may be set up (before the start and in a pause),
// figures while it runs, where a click gives that side a point. The winner's name takes the
// set-leader colour.
class NamesView : public QObject
{
    Q_OBJECT

public:
    // The figures come in a first step, the edits (which own windows and lie above) later.
    NamesView(QWidget &window, BoardModel &model);
    void createEdits();

    // Where the focus goes when an edit that holds it hides.
    void setFocusHome(QWidget *home) { focusHome_ = home; }
    QWidget *edit(int side) const;

    // The names end where the set panel begins.
    void fitTo(int setPanelLeft);

private:
    // Follows the model's colour scheme; what already shows its colour is left alone.
    void showColours();
    void showNames();
    void showEditing(bool editing);
    void showWinner();
    // The names as typed, when they differ from the model's.
    void sendTyped();

    QWidget &window_;
    BoardModel &model_;
    QWidget *focusHome_ = nullptr;
    std::array<TLabel3D *, 2> LName_{};
    std::array<NameEdit *, 2> eName_{};
    PacedSender *typing_ = nullptr;
};
