#include "app/TitleArea.h"

#include "app/WidgetColours.h"
#include "core/BoardModel.h"
#include "rtf/RtfFile.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTextEdit>

TitleArea::TitleArea(QWidget &window, BoardModel &model, const TitleFilePlace &place)
    : model_(model), place_(place)
{
    Image1_ = new QLabel(&window);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setGeometry(264, 24, 529, 233);
    eTitle_ = new QTextEdit(&window);
    eTitle_->setObjectName(QStringLiteral("eTitle"));
    eTitle_->setGeometry(256, 8, 530, 320);
    eTitle_->setFrameStyle(QFrame::NoFrame);
    // A scroll bar would show light grey on the black board; the operator scrolls with the
    // keys or the wheel.
    eTitle_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    eTitle_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setGround(eTitle_, clBlack);
    setTextColour(eTitle_, clWhite);
    // A single click or Tab would leave the keyboard in the title without the operator
    // noticing; the board's keys and letters then went into the text.
    eTitle_->setFocusPolicy(Qt::NoFocus);
    eTitle_->installEventFilter(this);
    eTitle_->viewport()->installEventFilter(this);
    connect(&model_, &BoardModel::titleFileChanged, this, [this] { loadFile(model_.titleFile()); });
    connect(&model_, &BoardModel::coloursChanged, this, &TitleArea::showColours);
    showColours();
}

bool TitleArea::editing() const
{
    return eTitle_->hasFocus();
}

void TitleArea::beginEditing(QPoint at)
{
    eTitle_->setTextCursor(eTitle_->cursorForPosition(at));
    eTitle_->setFocus(Qt::MouseFocusReason);
}

void TitleArea::endEditing()
{
    if (!editing())
        return;
    if (focusHome_)
        focusHome_->setFocus(Qt::OtherFocusReason);
    else
        eTitle_->clearFocus();
}

void TitleArea::showEditing(bool on)
{
    // Framed in the text colour while the keys type into the title.
    eTitle_->setFrameStyle(on ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
}

bool TitleArea::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        if (watched == eTitle_->viewport() && !editing()) {
            beginEditing(static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (watched == eTitle_ && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
            && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
            endEditing();
            return true;
        }
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (watched == eTitle_)
            showEditing(event->type() == QEvent::FocusIn);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TitleArea::showColours()
{
    setGround(eTitle_, model_.colour(0));
}

void TitleArea::setFileName(const QString &name)
{
    fileName_ = name;
    eTitle_->setToolTip(name); // the operator sees which file the title is saved to
}

void TitleArea::loadDefault()
{
    setFileName(place_.defaultFile());
    // A missing or unreadable title file leaves the title area empty.
    loadRtfFile(*eTitle_->document(), place_.startFile());
    eTitle_->document()->setModified(false);
}

void TitleArea::RekClick(int tag)
{
    // A missing or unreadable file changes nothing, not even the file name.
    const QString name = QString::number(tag) + QStringLiteral(".rtf");
    if (!loadRtfFile(*eTitle_->document(), name))
        return;
    eTitle_->document()->setModified(false);
    if (name == fileName_)
        return;
    setFileName(name);
    model_.execute(MatchCommand::titleFile(name));
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

void TitleArea::saveOnExit(QWidget *parentForMessage)
{
    QString why;
    if (save(&why))
        return;
    const QString failed = QFileInfo(fileName_).absoluteFilePath();
    const QString fallback = place_.fallbackFor(failed);
    QString fallbackWhy;
    QString text = QStringLiteral("Der Titel konnte nicht in\n%1\ngespeichert werden: %2\n\n").arg(failed, why);
    if (fallback != failed && saveTo(fallback, &fallbackWhy))
        text += QStringLiteral("Er wurde stattdessen in\n%1\ngespeichert.").arg(fallback);
    else if (fallback != failed)
        text += QStringLiteral("Auch in\n%1\nkonnte er nicht gespeichert werden: %2").arg(fallback, fallbackWhy);
    else
        text += QStringLiteral("Er ist verloren.");
    QMessageBox::warning(parentForMessage, QCoreApplication::applicationName(), text);
}
