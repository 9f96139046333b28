#include "app/DlgYesNo.h"

#include <QCoreApplication>
#include <QLabel>
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
    if (QWidget *owner = parentWidget())
        move(owner->frameGeometry().center() - QPoint(frameGeometry().width() / 2,
                                                         frameGeometry().height() / 2));
    return exec();
}

// Escape and the close box answer as "Nein" does.
void TFDlgYesNo::reject()
{
    done(mrCancel);
}
