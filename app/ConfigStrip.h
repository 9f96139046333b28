#pragma once

#include <QList>
#include <QObject>
#include <QRect>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;
class ToColorCombo;

// The configuration strip docked at the bottom of the board: options, colour pickers,
// the companion button and the monitor list. Hidden until the operator opens it.
class ConfigStrip
{
public:
    static constexpr int kHeight = 67;

    // `focusLeft` runs when the focus moves from inside the strip to a control outside it.
    ConfigStrip(QWidget &window, std::function<void()> focusLeft);
    ~ConfigStrip();
    ConfigStrip(const ConfigStrip &) = delete;
    ConfigStrip &operator=(const ConfigStrip &) = delete;

    QFrame *panel() const { return PanelCFG_; }
    QPushButton *sbClose() const { return sbClose_; }
    QPushButton *bGame() const { return bGame_; }
    QCheckBox *cbAutoSchet() const { return cbAutoSchet_; }
    QCheckBox *cbTieBreak() const { return cbTieBreak_; }
    // 0: five sets, 1: three sets.
    QRadioButton *countItem(int index) const { return rgCountSatzItems_[index]; }
    QComboBox *cbMonitor() const { return cbMonitor_; }
    ToColorCombo *picker(int slot) const { return cbColor_[slot]; }

    // Where the focus goes when the strip closes while holding it.
    void setFocusHome(QWidget *home) { focusHome_ = home; }
    void dock(QSize client);
    void open();
    void close();
    // Rebuilds the list only when the number of monitors changed, so that the operator's
    // selection stays; `remembered` is selected in a new list.
    void refreshMonitorList(const QList<QRect> &monitors, int remembered);

private:
    void createColourPickers();

    QFrame *PanelCFG_ = nullptr;
    QPushButton *sbClose_ = nullptr;
    QCheckBox *cbAutoSchet_ = nullptr;
    QCheckBox *cbTieBreak_ = nullptr;
    QGroupBox *rgCountSatz_ = nullptr;
    std::array<QRadioButton *, 2> rgCountSatzItems_{};
    QGroupBox *gbFarbe_ = nullptr;
    std::array<ToColorCombo *, 5> cbColor_{}; // cbColor0 .. cbColor4, tags 0 .. 4
    QPushButton *bGame_ = nullptr;
    QLabel *LabMonitor_ = nullptr;
    QComboBox *cbMonitor_ = nullptr;
    QWidget *focusHome_ = nullptr;
    // How many monitors the list was last built for.
    int lastMonitorCount_ = 0;
    // The focus hook; it must not outlive the part, whose owner it calls back.
    QMetaObject::Connection focusHook_;
};
