#pragma once

#include <QLabel>

// A plain label that answers the mouse as the board's pictures and headers do: every press
// of a mouse button is a press (a double click's second one too), and a left press released
// inside the label is a click, a double click being one click.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget *parent = nullptr) : QLabel(parent) {}

signals:
    void pressed();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool press(QMouseEvent *event, bool second);

    // The last press was a double click's second one: its release is no click.
    bool secondPress_ = false;
};
