#pragma once

#include <QObject>

class FeedPublisher;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

// The feed's row of the configuration strip: on and off, the port, the network and the text
// files, and a line that says in words what the feed is doing. It shows the feed's state
// and sends the operator's choices to it.
class FeedStrip : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHeight = 22;

    FeedStrip(QWidget &window, FeedPublisher &feed);

    QFrame *panel() const { return PanelFeed_; }
    QCheckBox *cbFeed() const { return cbFeed_; }
    QLineEdit *ePort() const { return ePort_; }
    QCheckBox *cbNet() const { return cbNet_; }
    QCheckBox *cbFiles() const { return cbFiles_; }
    QPushButton *bFolder() const { return bFolder_; }
    QLabel *status() const { return LabFeedStatus_; }
    // The paired remotes, each to be forgotten from its menu.
    QToolButton *bDevices() const { return bDevices_; }

private:
    void showState();
    void portEntered();
    void chooseFolder();
    void listDevices();

    FeedPublisher &feed_;
    QFrame *PanelFeed_ = nullptr;
    QCheckBox *cbFeed_ = nullptr;
    QLineEdit *ePort_ = nullptr;
    QCheckBox *cbNet_ = nullptr;
    QCheckBox *cbFiles_ = nullptr;
    QPushButton *bFolder_ = nullptr;
    QLabel *LabFeedStatus_ = nullptr;
    QToolButton *bDevices_ = nullptr;
};
