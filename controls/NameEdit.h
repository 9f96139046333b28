#pragma once

#include <QLineEdit>

// A name edit of the board: the platform's edit with the sunken 3-D edge of the classic
// scheme drawn over its frame, so that the border shows on a black board. The text keeps
// the place the platform's frame gives it.
class NameEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NameEdit(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    // A name is one thing: a double click selects it whole, not the word under the pointer.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
