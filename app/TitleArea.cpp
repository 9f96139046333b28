#include "app/TitleArea.h"

#include "app/WidgetColours.h"
#include "platform/RtfFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextEdit>

TitleArea::TitleArea(QWidget &window) : eTitle_(new QTextEdit(&window))
{
    eTitle_->setObjectName(QStringLiteral("eTitle"));
    eTitle_->setGeometry(256, 8, 530, 320);
    eTitle_->setFrameStyle(QFrame::NoFrame);
    setGround(eTitle_, clBlack);
    setTextColour(eTitle_, clWhite);
    eTitle_->installEventFilter(&window);
}

void TitleArea::setFileName(const QString &name)
{
    fileName_ = name;
    eTitle_->setToolTip(name); // the operator sees which file the title is saved to
}

void TitleArea::loadDefault()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    setFileName(program.absolutePath() + u'/' + program.completeBaseName() + QStringLiteral(".rtf"));
    // A missing or unreadable title file leaves the title area empty.
    loadRtfFile(*eTitle_->document(), fileName_);
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

void TitleArea::save()
{
    // Written whole or not at all: a failed save keeps the old file.
    if (eTitle_->document()->isModified())
        saveRtfFile(*eTitle_->document(), fileName_);
}
