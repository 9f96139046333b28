#pragma once

#include <QObject>

#include <array>

class BoardModel;
class ClickLabel;
class QWidget;
class TShape;

// The two serve circles and the ball beside the serving side; a click on either passes the
// serve.
class ServeView : public QObject
{
    Q_OBJECT

public:
    ServeView(QWidget &window, BoardModel &model);

    // The ball lies above the circles and the figures created before it.
    void createBall();
    // The ball at four times its size while the board is enlarged.
    void showLargePictures(bool large);

private:
    // Follows the model's colour scheme; what already shows its colour is left alone.
    void showColours();
    void showServer(int server);
    // No ball while the match is decided: nobody serves any more.
    void showMatchOver();

    BoardModel &model_;
    QWidget &window_;
    std::array<TShape *, 2> Shape_{};
    ClickLabel *ImageBall_ = nullptr;
};
