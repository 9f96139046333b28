#include "app/FeedStrip.h"

#include "app/BrokerDialog.h"
#include "app/WidgetColours.h"
#include "core/SettingsStore.h"
#include "feed/BrokerPublisher.h"
#include "feed/FeedPublisher.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>

FeedStrip::FeedStrip(QWidget &window, FeedPublisher &feed, BrokerPublisher &broker) : feed_(feed), broker_(broker)
{
    PanelFeed_ = new QFrame(&window);
    PanelFeed_->setObjectName(QStringLiteral("PanelFeed"));
    PanelFeed_->setGeometry(0, 0, window.width(), kHeight);
    PanelFeed_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelFeed_->setLineWidth(1);
    setGround(PanelFeed_, 0xC0C0C0);
    setTextColour(PanelFeed_, 0x000000);
    PanelFeed_->hide();

    auto check = [this](const char *name, const QString &caption, QRect geometry) {
        auto *c = new QCheckBox(caption, PanelFeed_);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(geometry);
        return c;
    };
    cbFeed_ = check("cbFeed", QStringLiteral("Feed"), {8, 3, 50, 16});
    ePort_ = new QLineEdit(PanelFeed_);
    ePort_->setObjectName(QStringLiteral("eFeedPort"));
    ePort_->setGeometry(60, 2, 46, 18);
    ePort_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), ePort_));
    ePort_->setToolTip(QStringLiteral("Port %1 bis %2").arg(SettingsStore::kLowestPort).arg(SettingsStore::kHighestPort));
    cbNet_ = check("cbFeedNet", QStringLiteral("im Netz"), {114, 3, 66, 16});
    cbFiles_ = check("cbFeedFiles", QStringLiteral("Dateien"), {184, 3, 66, 16});
    bFolder_ = new QPushButton(QStringLiteral("Ordner\u2026"), PanelFeed_);
    bFolder_->setObjectName(QStringLiteral("bFeedFolder"));
    bFolder_->setGeometry(252, 2, 58, 18);
    bDevices_ = new QToolButton(PanelFeed_);
    bDevices_->setObjectName(QStringLiteral("bFeedDevices"));
    bDevices_->setGeometry(314, 2, 68, 18);
    bDevices_->setPopupMode(QToolButton::InstantPopup);
    bDevices_->setToolTip(QStringLiteral("Gekoppelte Fernbedienungen"));
    bDevices_->setMenu(new QMenu(bDevices_));
    LabFeedStatus_ = new QLabel(QStringLiteral("Aus"), PanelFeed_);
    LabFeedStatus_->setObjectName(QStringLiteral("LabFeedStatus"));
    // The broker at the row's right end, the status between.
    cbBroker_ = check("cbBroker", QStringLiteral("Broker"), {window.width() - 98, 3, 64, 16});
    bBroker_ = new QPushButton(QStringLiteral("\u2026"), PanelFeed_);
    bBroker_->setObjectName(QStringLiteral("bBroker"));
    bBroker_->setGeometry(window.width() - 32, 2, 26, 18);
    bBroker_->setToolTip(QStringLiteral("Broker: Rechner, Port, Platz, Anmeldung, TLS"));
    LabFeedStatus_->setGeometry(388, 3, window.width() - 392 - 102, 16);
    LabFeedStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    QWidget::setTabOrder(cbFeed_, ePort_);
    QWidget::setTabOrder(ePort_, cbNet_);
    QWidget::setTabOrder(cbNet_, cbFiles_);
    QWidget::setTabOrder(cbFiles_, bFolder_);
    QWidget::setTabOrder(bFolder_, bDevices_);
    QWidget::setTabOrder(bDevices_, cbBroker_);
    QWidget::setTabOrder(cbBroker_, bBroker_);

    connect(cbFeed_, &QCheckBox::toggled, this, [this](bool on) { feed_.setOn(on); });
    connect(cbNet_, &QCheckBox::toggled, this, [this](bool on) { feed_.setOnNetwork(on); });
    connect(ePort_, &QLineEdit::editingFinished, this, &FeedStrip::portEntered);
    connect(cbFiles_, &QCheckBox::toggled, this, [this](bool on) { feed_.setWritesFiles(on); });
    connect(bFolder_, &QPushButton::clicked, this, &FeedStrip::chooseFolder);
    connect(&feed_, &FeedPublisher::statusChanged, this, &FeedStrip::showState);
    connect(bDevices_->menu(), &QMenu::aboutToShow, this, &FeedStrip::listDevices);
    connect(cbBroker_, &QCheckBox::toggled, this, [this](bool on) {
        // Without a broker to reach the fields come first.
        if (on && broker_.setup().host.isEmpty())
            editBroker(true);
        else
            broker_.setOn(on);
    });
    connect(bBroker_, &QPushButton::clicked, this, [this] { editBroker(false); });
    connect(&broker_, &BrokerPublisher::statusChanged, this, &FeedStrip::showState);
    showState();
}

void FeedStrip::showState()
{
    const QSignalBlocker blockFeed(cbFeed_);
    const QSignalBlocker blockNet(cbNet_);
    const QSignalBlocker blockFiles(cbFiles_);
    const QSignalBlocker blockBroker(cbBroker_);
    cbBroker_->setChecked(broker_.setup().on);
    cbFeed_->setChecked(feed_.isOn());
    cbNet_->setChecked(feed_.onNetwork());
    cbFiles_->setChecked(feed_.writesFiles());
    if (!ePort_->hasFocus())
        ePort_->setText(QString::number(feed_.port()));
    const QString text = statusText();
    LabFeedStatus_->setText(text);
    bDevices_->setText(QStringLiteral("Geräte: %1").arg(feed_.server().devices().size()));
    QString tip = feed_.writesFiles() ? QStringLiteral("Dateien in ") + feed_.filesFolder() : QString();
    if (!broker_.statusText().isEmpty())
        tip = tip.isEmpty() ? text : text + u'\n' + tip;
    LabFeedStatus_->setToolTip(tip);
}

QString FeedStrip::statusText() const
{
    const QString broker = broker_.statusText();
    return broker.isEmpty() ? feed_.statusText() : feed_.statusText() + QStringLiteral("  \u00b7  ") + broker;
}

void FeedStrip::editBroker(bool switchingOn)
{
    // A child of the row: the strip counts the dialog as its own and stays open.
    BrokerDialog dialog(broker_.setup(), PanelFeed_);
    if (dialog.exec() == QDialog::Accepted) {
        BrokerPublisher::Setup setup = dialog.setup();
        setup.on = setup.on || switchingOn;
        broker_.setSetup(setup);
    }
    showState();
}

void FeedStrip::portEntered()
{
    bool ok = false;
    const int typed = ePort_->text().toInt(&ok);
    // Digits outside the range: the port stays.
    if (!ok || !feed_.setPort(typed))
        ePort_->setText(QString::number(feed_.port()));
}

void FeedStrip::chooseFolder()
{
    // A child of the row: the strip counts the dialog as its own and stays open.
    const QString chosen = QFileDialog::getExistingDirectory(PanelFeed_, QStringLiteral("Ordner für die Dateien"),
                                                             feed_.filesFolder());
    feed_.setFilesFolder(chosen);
}

void FeedStrip::listDevices()
{
    QMenu *menu = bDevices_->menu();
    menu->clear();
    FeedServer &server = feed_.server();
    for (const PinGuard::Device &device : server.devices()) {
        const QByteArray token = device.token;
        menu->addAction(QStringLiteral("%1 vergessen").arg(device.label),
                        this, [&server, token] { server.forgetDevice(token); });
    }
    if (server.devices().isEmpty()) {
        menu->addAction(QStringLiteral("Kein Gerät gekoppelt"))->setEnabled(false);
        return;
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("Alle vergessen"), this, [&server] { server.forgetAllDevices(); });
}
