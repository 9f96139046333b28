#include "app/BrokerDialog.h"

#include "core/SettingsStore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

BrokerDialog::BrokerDialog(const BrokerPublisher::Setup &setup, QWidget *parent) : QDialog(parent), on_(setup.on)
{
    setObjectName(QStringLiteral("BrokerDialog"));
    setWindowTitle(QStringLiteral("Broker"));
    auto *form = new QFormLayout(this);
    const auto edit = [this](const char *name, const QString &text) {
        auto *e = new QLineEdit(text, this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    eHost_ = edit("eBrokerHost", setup.host);
    eHost_->setPlaceholderText(QStringLiteral("z. B. 192.168.1.10 oder turnier-pc"));
    ePort_ = edit("eBrokerPort", QString::number(setup.port));
    ePort_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,5}")), ePort_));
    eCourt_ = edit("eBrokerCourt", setup.court);
    eCourt_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z0-9_-]{1,%1}").arg(SettingsStore::kMaxCourtLength)), eCourt_));
    eCourt_->setToolTip(QStringLiteral("Buchstaben, Ziffern, - und _"));
    eUser_ = edit("eBrokerUser", setup.user);
    eUser_->setPlaceholderText(QStringLiteral("z. B. court-3"));
    ePassword_ = edit("eBrokerPassword", setup.password);
    ePassword_->setEchoMode(QLineEdit::Password);
    cbTls_ = new QCheckBox(QStringLiteral("TLS"), this);
    cbTls_->setObjectName(QStringLiteral("cbBrokerTls"));
    cbTls_->setChecked(setup.tls);
    eCaFile_ = edit("eBrokerCaFile", setup.caFile);
    eCaFile_->setPlaceholderText(QStringLiteral("leer: die Zertifikate des Systems"));
    auto *choose = new QPushButton(QStringLiteral("\u2026"), this);
    choose->setObjectName(QStringLiteral("bBrokerCaFile"));
    auto *caRow = new QHBoxLayout;
    caRow->addWidget(eCaFile_);
    caRow->addWidget(choose);
    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("LabBrokerHint"));

    form->addRow(QStringLiteral("Rechner:"), eHost_);
    form->addRow(QStringLiteral("Port:"), ePort_);
    form->addRow(QStringLiteral("Platz:"), eCourt_);
    form->addRow(QStringLiteral("Benutzer:"), eUser_);
    form->addRow(QStringLiteral("Passwort:"), ePassword_);
    form->addRow(QString(), cbTls_);
    form->addRow(QStringLiteral("CA-Datei:"), caRow);
    form->addRow(hint_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    form->addRow(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &BrokerDialog::check);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(choose, &QPushButton::clicked, this, &BrokerDialog::chooseCaFile);
}

BrokerPublisher::Setup BrokerDialog::setup() const
{
    BrokerPublisher::Setup s;
    s.on = on_;
    s.host = eHost_->text().trimmed();
    s.port = ePort_->text().toInt();
    s.court = eCourt_->text();
    s.user = eUser_->text();
    s.password = ePassword_->text();
    s.tls = cbTls_->isChecked();
    s.caFile = eCaFile_->text().trimmed();
    return s;
}

void BrokerDialog::check()
{
    const BrokerPublisher::Setup s = setup();
    if (s.port < 1 || s.port > SettingsStore::kHighestPort)
        hint_->setText(QStringLiteral("Der Port liegt zwischen 1 und %1.").arg(SettingsStore::kHighestPort));
    else if (!SettingsStore::isCourtName(s.court))
        hint_->setText(QStringLiteral("Der Platz braucht einen Namen aus Buchstaben, Ziffern, - und _."));
    else
        accept();
}

void BrokerDialog::chooseCaFile()
{
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("CA-Datei des Brokers"), eCaFile_->text(),
                                                        QStringLiteral("Zertifikate (*.crt *.pem);;Alle Dateien (*)"));
    if (!chosen.isEmpty())
        eCaFile_->setText(chosen);
}
