#include "app/TitleArea.h"

#include "app/PacedSender.h"
#include "app/WidgetColours.h"
#include "core/BoardModel.h"
#include "rtf/RtfFile.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QApplication>
#include <QEvent>
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
    typing_ = new PacedSender([this] { sendText(); }, this);
    connect(eTitle_->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!loading_)
            typing_->changed();
    });
    connect(&model_, &BoardModel::titleTextChanged, this, &TitleArea::showText);
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
        if (watched == eTitle_) {
            showEditing(event->type() == QEvent::FocusIn);
            if (event->type() == QEvent::FocusOut)
                typing_->flush();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TitleArea::sendText()
{
    const QString rtf = QString::fromLatin1(writeRtf(*eTitle_->document()));
    if (rtf == sent_)
        return;
    sent_ = rtf;
    model_.execute(MatchCommand::titleText(rtf));
}

void TitleArea::showText(const QString &rtf)
{
    // What this area sent comes back the same; only a restore brings another text.
    if (rtf == sent_ || rtf.isEmpty())
        return;
    sent_ = rtf;
    loading_ = true;
    readRtf(*eTitle_->document(), rtf.toLatin1());
    loading_ = false;
    eTitle_->document()->setModified(true);
}

void TitleArea::markLoaded()
{
    eTitle_->document()->setModified(false);
    loaded_ = writeRtf(*eTitle_->document());
    sent_ = QString::fromLatin1(loaded_);
}

bool TitleArea::changedSinceLoad() const
{
    return eTitle_->document()->isModified() && writeRtf(*eTitle_->document()) != loaded_;
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
    loading_ = true;
    loadRtfFile(*eTitle_->document(), place_.startFile());
    loading_ = false;
    markLoaded();
}

void TitleArea::RekClick(int tag)
{
    // A missing or unreadable file changes nothing, not even the file name.
    const QString name = QString::number(tag) + QStringLiteral(".rtf");
    if (!load(name))
        return;
    if (name == fileName_)
        return;
    setFileName(name);
    model_.execute(MatchCommand::titleFile(name));
}

void TitleArea::loadFile(const QString &name)
{
    if (name == fileName_)
        return;
    if (load(name))
        setFileName(name);
}

bool TitleArea::load(const QString &name)
{
    // What a file brings is not typing: nothing goes to the model.
    loading_ = true;
    const bool loaded = loadRtfFile(*eTitle_->document(), name);
    loading_ = false;
    if (loaded)
        markLoaded();
    return loaded;
}

bool TitleArea::save(QString *error)
{
    // Written whole or not at all: a failed save keeps the old file.
    return !changedSinceLoad() || saveTo(fileName_, error);
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
