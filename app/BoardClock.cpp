#include "app/BoardClock.h"

#include "app/BoardFonts.h"
#include "controls/PLNClock.h"

void setUpBoardClock(TPLNClock &clock)
{
    clock.resize(249, 249);
    clock.setSpiderClock(false);
    clock.setHrStyle(hsCircle);
    clock.setHrSize(10);
    clock.setColorHr(clWhite);
    clock.setColorHrIn(clWhite);
    clock.setColorMin(clWhite);
    clock.setColorMinIn(clWhite);
    clock.setColorHandHr(clYellow);
    clock.setColorHandMin(clYellow);
    clock.setColorHandSec(clWhite);
    clock.setWidthHandHr(6);
    clock.setWidthHr(1);
    clock.setCenterSize(5);
    clock.setCenterCol(clYellow);
    clock.setColor(clBlack);
    clock.setFont(boardFont(QStringLiteral("MS Sans Serif"), 12, true));
    clock.setFontColor(clYellow);
    clock.setBevelWidth(3);
    clock.setBevelInner(bvNone);
    clock.setBevelOuter(bvNone);
}
