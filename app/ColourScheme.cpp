#include "app/ColourScheme.h"

#include "app/BoardLayout.h"
#include "app/Shape.h"
#include "app/WidgetColours.h"
#include "controls/Label3D.h"
#include "controls/PLNClock.h"
#include "platform/SystemColors.h"

#include <QFrame>
#include <QLabel>

void ColourScheme::applyTo(const BoardLayout &layout, QWidget *title) const
{
    setGround(&layout.window, colours_[0]);
    // The clock repaints on every assignment; an unchanged scheme must not make it flicker.
    if (layout.PLNClock1->Color() != colours_[0])
        layout.PLNClock1->setColor(colours_[0]);
    setGround(title, colours_[0]);
    setGround(layout.PanelSatz, colours_[0]);
    const QList<QWidget *> fields = layout.textFields();
    for (QWidget *w : fields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setColor(colours_[1]);
        else
            setGround(w, colours_[1]);
    }
    for (QWidget *w : fields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setFontColor(colours_[2]);
        else
            setTextColour(w, colours_[2]);
    }
    for (QLabel *header : layout.LabelS)
        setTextColour(header, colours_[2]);
    for (QWidget *w : fields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setBorderColor(colours_[3]);
    }
    layout.Shape1->setPenColor(toQColor(colours_[3]));
    layout.Shape2->setPenColor(toQColor(colours_[3]));
}
