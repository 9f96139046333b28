#include "app/FeedStrip.h"

#include "app/WidgetColours.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

FeedStrip::FeedStrip(QWidget &window)
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
    ePort_->setToolTip(QStringLiteral("Port %1 bis %2").arg(kLowestPort).arg(kHighestPort));
    cbNet_ = check("cbFeedNet", QStringLiteral("im Netz"), {114, 3, 66, 16});
    cbFiles_ = check("cbFeedFiles", QStringLiteral("Dateien"), {184, 3, 66, 16});
    bFolder_ = new QPushButton(QStringLiteral("Ordner\u2026"), PanelFeed_);
    bFolder_->setObjectName(QStringLiteral("bFeedFolder"));
    bFolder_->setGeometry(252, 2, 58, 18);
    LabFeedStatus_ = new QLabel(QStringLiteral("Aus"), PanelFeed_);
    LabFeedStatus_->setObjectName(QStringLiteral("LabFeedStatus"));
    LabFeedStatus_->setGeometry(318, 3, window.width() - 322, 16);
    LabFeedStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    QWidget::setTabOrder(cbFeed_, ePort_);
    QWidget::setTabOrder(ePort_, cbNet_);
    QWidget::setTabOrder(cbNet_, cbFiles_);
    QWidget::setTabOrder(cbFiles_, bFolder_);
}

std::optional<int> FeedStrip::typedPort() const
{
    bool ok = false;
    const int port = ePort_->text().toInt(&ok);
    if (!ok || !isUsablePort(port))
        return std::nullopt;
    return port;
}

void FeedStrip::showPort(int port)
{
    ePort_->setText(QString::number(port));
}
