#include "app/BoardMessage.h"

#include <QCoreApplication>
#include <QMessageBox>

void BoardMessage::show(QWidget &window, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Information, QCoreApplication::applicationName(), text,
                                QMessageBox::Ok, &window);
    box->setObjectName(QStringLiteral("BoardMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    // The folder's path can be copied from it.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->show();
}
