#include "app/BoardFigure.h"

#include "controls/OvalBtn.h"

#include <QLabel>

TLabel3D *boardFigure(QWidget *parent, const QString &name, QRect geometry, const QFont &font,
                      TColor colour, TAlignment align)
{
    auto *l = new TLabel3D(parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setFirstColor(clWhite);
    l->setLastColor(clTeal);
    l->setFillGradient(false);
    l->setGradientOrientation(goHorizontal);
    l->setHighLightColor(clBlack);
    l->setShadowColor(clBlack);
    l->setBorderColor(clWhite);
    l->setBorderWidth(1);
    l->setBorderStyle(lbNormal);
    l->setColor(clBlack);
    l->setTransparent(false);
    l->setLayout(tlCenter);
    l->setAlignment(align);
    l->setFont(font);
    l->setFontColor(colour);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

QLabel *plainLabel(QWidget *parent, const QString &name, QRect geometry)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

TOvalButton *boardButton(QWidget *parent, const QString &name, QRect geometry, const QString &hint)
{
    auto *b = new TOvalButton(parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setCursor(Qt::PointingHandCursor);
    b->setHint(hint);
    b->setShowHint(true);
    b->setDown(false);
    b->setFlat(false);
    b->setGroupIndex(0);
    b->setLayout(blGlyphBottom);
    b->setMargin(0);
    b->setSpacing(4);
    b->setTransparent(false);
    return b;
}
