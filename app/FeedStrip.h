#pragma once

#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The feed's row of the configuration strip: on and off, the port, the network and the text
// files, and a line that says in words what the feed is doing. It knows the controls, not
// the feed.
class FeedStrip
{
public:
    static constexpr int kHeight = 22;
    static constexpr int kLowestPort = 1024;
    static constexpr int kHighestPort = 65535;

    explicit FeedStrip(QWidget &window);
    FeedStrip(const FeedStrip &) = delete;
    FeedStrip &operator=(const FeedStrip &) = delete;

    QFrame *panel() const { return PanelFeed_; }
    QCheckBox *cbFeed() const { return cbFeed_; }
    QLineEdit *ePort() const { return ePort_; }
    QCheckBox *cbNet() const { return cbNet_; }
    QCheckBox *cbFiles() const { return cbFiles_; }
    QPushButton *bFolder() const { return bFolder_; }
    QLabel *status() const { return LabFeedStatus_; }

    // The typed port, when the feed may listen on it.
    std::optional<int> typedPort() const;
    void showPort(int port);
    static bool isUsablePort(int port) { return port >= kLowestPort && port <= kHighestPort; }

private:
    QFrame *PanelFeed_ = nullptr;
    QCheckBox *cbFeed_ = nullptr;
    QLineEdit *ePort_ = nullptr;
    QCheckBox *cbNet_ = nullptr;
    QCheckBox *cbFiles_ = nullptr;
    QPushButton *bFolder_ = nullptr;
    QLabel *LabFeedStatus_ = nullptr;
};
