#pragma once

class QString;
class QWidget;

// A message the operator reads on the board, for what the board could not do. It holds
// nothing up: the match goes on behind it.
class BoardMessage
{
public:
    static void show(QWidget &window, const QString &text);
};
