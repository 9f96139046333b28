#include "app/ColourScheme.h"

#include "app/WidgetColours.h"
#include "controls/Label3D.h"

void ColourScheme::showOnTextField(QWidget *field, const Colours &colours)
{
    if (auto *l = qobject_cast<TLabel3D *>(field)) {
        l->setColor(colours[kTextFon]);
        l->setFontColor(colours[kText]);
        l->setBorderColor(colours[kBorder]);
    } else {
        setGround(field, colours[kTextFon]);
        setTextColour(field, colours[kText]);
    }
}
