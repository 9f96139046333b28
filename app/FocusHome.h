#pragma once

#include <QList>
#include <QObject>

class QWidget;

// Where the keyboard belongs when the operator is not typing: a click on any part of the
// board that takes no keys itself (the clock, the ground, a figure) gives the keys back
// there from a name or the title, as the operator expects. The strip's own fields keep
// theirs: it closes when the focus leaves it.
class FocusHome : public QObject
{
    Q_OBJECT

public:
    FocusHome(QWidget &window, QWidget &home, const QList<QWidget *> &editors);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &window_;
    QWidget &home_;
    const QList<QWidget *> editors_;
};
