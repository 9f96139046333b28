#pragma once

#include <QWidget>

// The "undone" mark: an arrow turning back over the top, drawn in the text colour. A font's
// glyph for it is missing from the fonts a plain install has, and would show as a box.
class UndoMark : public QWidget
{
    Q_OBJECT

public:
    explicit UndoMark(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
