#pragma once

#include <QColor>
#include <QWidget>

// A hollow circle mark, as the board's serve marks are drawn.
class TShape : public QWidget
{
    Q_OBJECT

public:
    explicit TShape(QWidget *parent = nullptr);

    QColor penColor() const { return pen_; }
    void setPenColor(const QColor &color);

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QColor pen_ = Qt::white;
};
