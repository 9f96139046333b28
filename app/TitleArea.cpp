#include "app/TitleArea.h"

#include "app/TitleFilePlace.h"
#include "app/WidgetColours.h"
#include "rtf/RtfFile.h"

#include <QTextEdit>

TitleArea::TitleArea(QWidget &window) : eTitle_(new QTextEdit(&window))
{
    eTitle_->setObjectName(QStringLiteral("eTitle"));
    eTitle_->setGeometry(256, 8, 530, 320);
    eTitle_->setFrameStyle(QFrame::NoFrame);
    // A scroll bar would show light grey on the black board; the operator scrolls with the
    // keys or the wheel.
    eTitle_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    eTitle_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setGround(eTitle_, clBlack);
    setTextColour(eTitle_, clWhite);
    eTitle_->installEventFilter(&window);
}

void TitleArea::setFileName(const QString &name)
{
    fileName_ = name;
    eTitle_->setToolTip(name); // the operator sees which file the title is saved to
}

void TitleArea::loadDefault(const TitleFilePlace &place)
{
    setFileName(place.defaultFile());
    // A missing or unreadable title file leaves the title area empty.
    loadRtfFile(*eTitle_->document(), place.startFile());
    eTitle_->document()->setModified(false);
}

void TitleArea::RekClick(int tag)
{
    // A missing or unreadable file changes nothing, not even the file name.
    const QString name = QString::number(tag) + QStringLiteral(".rtf");
    if (!loadRtfFile(*eTitle_->document(), name))
        return;
    eTitle_->document()->setModified(false);
    setFileName(name);
}

void TitleArea::loadFile(const QString &name)
{
    if (name == fileName_ || !loadRtfFile(*eTitle_->document(), name))
        return;
    eTitle_->document()->setModified(false);
    setFileName(name);
}

bool TitleArea::save(QString *error)
{
    // Written whole or not at all: a failed save keeps the old file.
    return !eTitle_->document()->isModified() || saveTo(fileName_, error);
}

bool TitleArea::saveTo(const QString &file, QString *error) const
{
    return saveRtfFile(*eTitle_->document(), file, error);
}
