#include "app/ColourScheme.h"

#include "controls/Shape.h"
#include "app/WidgetColours.h"
#include "controls/Label3D.h"
#include "controls/PLNClock.h"
#include "gdi/SystemColors.h"

#include <QLabel>

void ColourScheme::apply() const
{
    const Targets &t = targets_;
    setGround(t.window, colours_[0]);
    // The clock repaints on every assignment; an unchanged scheme must not make it flicker.
    if (t.clock->Color() != colours_[0])
        t.clock->setColor(colours_[0]);
    setGround(t.title, colours_[0]);
    setGround(t.setPanel, colours_[0]);
    for (QWidget *w : t.textFields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setColor(colours_[1]);
        else
            setGround(w, colours_[1]);
    }
    for (QWidget *w : t.textFields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setFontColor(colours_[2]);
        else
            setTextColour(w, colours_[2]);
    }
    for (QLabel *header : t.setHeaders)
        setTextColour(header, colours_[2]);
    for (QWidget *w : t.textFields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setBorderColor(colours_[3]);
    }
    for (TShape *mark : t.serveMarks)
        mark->setPenColor(toQColor(colours_[3]));
}
