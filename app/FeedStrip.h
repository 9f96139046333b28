#pragma once

#include <QObject>

class BrokerPublisher;
class FeedPublisher;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

// The feed's row of the configuration strip: on and off, the port, the network and the text
// files, the tournament broker, and a line that says in words what the feed and the broker
// are doing. It shows their state and sends the operator's choices to them.
class FeedStrip : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHeight = 22;

    FeedStrip(QWidget &window, FeedPublisher &feed, BrokerPublisher &broker);

    QFrame *panel() const { return PanelFeed_; }
    QCheckBox *cbFeed() const { return cbFeed_; }
    QLineEdit *ePort() const { return ePort_; }
    QCheckBox *cbNet() const { return cbNet_; }
    QCheckBox *cbFiles() const { return cbFiles_; }
    QPushButton *bFolder() const { return bFolder_; }
    QLabel *status() const { return LabFeedStatus_; }
    // The paired remotes, each to be forgotten from its menu.
    QToolButton *bDevices() const { return bDevices_; }
    QCheckBox *cbBroker() const { return cbBroker_; }
    // Opens the broker's host, court, user and TLS fields.
    QPushButton *bBroker() const { return bBroker_; }
    // The whole status, of which the line shows what fits.
    QString statusText() const;

private:
    void showState();
    void portEntered();
    void chooseFolder();
    void listDevices();
    // Switching the broker on without a host asks for the fields first.
    void editBroker(bool switchingOn);

    FeedPublisher &feed_;
    BrokerPublisher &broker_;
    QFrame *PanelFeed_ = nullptr;
    QCheckBox *cbFeed_ = nullptr;
    QLineEdit *ePort_ = nullptr;
    QCheckBox *cbNet_ = nullptr;
    QCheckBox *cbFiles_ = nullptr;
    QPushButton *bFolder_ = nullptr;
    QLabel *LabFeedStatus_ = nullptr;
    QToolButton *bDevices_ = nullptr;
    QCheckBox *cbBroker_ = nullptr;
    QPushButton *bBroker_ = nullptr;
};
