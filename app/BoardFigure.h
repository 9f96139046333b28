#pragma once

#include "controls/Label3D.h"

#include <QRect>

class QFont;
class QLabel;
class QWidget;
class TOvalButton;

// The figures share one look: a white 1-pixel frame, black bevel copies, text centred
// vertically, on the text-field ground.
TLabel3D *boardFigure(QWidget *parent, const QString &name, QRect geometry, const QFont &font,
                      TColor colour, TAlignment align = taCenter);
// A label of the platform's own, named and placed.
QLabel *plainLabel(QWidget *parent, const QString &name, QRect geometry);
// An oval button of the board, named and placed, with its hint.
TOvalButton *boardButton(QWidget *parent, const QString &name, QRect geometry, const QString &hint);
