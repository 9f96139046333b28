#include "app/DlgYesNo.h"

#include <QCoreApplication>
#include <QGraphicsProxyWidget>
#include <QLabel>
#include <QMoveEvent>
#include <QPixmap>
#include <QPushButton>

TFDlgYesNo::TFDlgYesNo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FDlgYesNo"));
    setFixedSize(222, 94);
    setPalette(QPalette(QColor(192, 192, 192)));
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(40, 6, 169, 49);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);

    Icon = new QLabel(this);
    Icon->setObjectName(QStringLiteral("Icon"));
    Icon->setGeometry(4, 14, 32, 32);
    Icon->setPixmap(QPixmap(QStringLiteral(":/pictures/question.png")));

    OKBtn = new QPushButton(QStringLiteral("Ja"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(39, 60, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrYes); });

    CancelBtn = new QPushButton(QStringLiteral("Nein"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(135, 60, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });

    setTabOrder(OKBtn, CancelBtn);
    FormCreate();
}

void TFDlgYesNo::FormCreate()
{
    setWindowTitle(QCoreApplication::applicationName());
}

int TFDlgYesNo::ask(const QString &question)
{
    Label1->setText(question);
    CancelBtn->setDefault(true);
    CancelBtn->setFocus();
    centreOnOwner();
    return exec();
}

void TFDlgYesNo::centreOnOwner()
{
    QWidget *owner = parentWidget();
    if (!owner)
        return;
    // Over a board shown full screen the dialog joins the board's scene: see showEvent.
    if (owner->graphicsProxyWidget())
        return;
    // Before the first show the window manager has not framed the dialog yet, so its frame
    // is its client area; the owner's frame is the nearest guess at the one it will get.
    QSize frame = frameGeometry().size();
    if (frame == size())
        frame += owner->frameGeometry().size() - owner->size();
    centredFrame_ = frame;
    QRect placed(QPoint(), frame);
    placed.moveCenter(owner->frameGeometry().center());
    move(placed.topLeft());
}

void TFDlgYesNo::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    // Once framed, the dialog's frame may differ from the guess (a fixed dialog has no
    // resize handle): centre it again with the real one. A move by the user keeps it.
    const QSize frame = frameGeometry().size();
    if (isVisible() && !graphicsProxyWidget() && frame != size() && frame != centredFrame_)
        centreOnOwner();
}

void TFDlgYesNo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Embedded in the scene of a full-screen board, centred over the board there.
    if (QGraphicsProxyWidget *proxy = graphicsProxyWidget()) {
        if (const QGraphicsItem *board = proxy->parentItem())
            proxy->setPos(board->boundingRect().center() - proxy->boundingRect().center());
    }
}

// Escape and the close box answer as "Nein" does.
void TFDlgYesNo::reject()
{
    done(mrCancel);
}
