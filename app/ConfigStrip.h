#pragma once

#include <QList>
#include <QObject>
#include <QRect>

#include <array>

class BoardModel;
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
// the companion button and the monitor list. Hidden until the operator opens it. It shows
// the model's options, colours and monitor and sends the operator's choices to it.
class ConfigStrip : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHeight = 67;
    // The companion the "Game" button opens, when it is there.
    static constexpr auto kCompanionFile = "tennis.swf";

    ConfigStrip(QWidget &window, BoardModel &model);
    ~ConfigStrip() override;

    QFrame *panel() const { return PanelCFG_; }

    // A row of its own that belongs to the strip: shown, hidden and docked with it, against
    // its board side, and holding the focus as the strip's own controls do.
    void attach(QFrame *row);
    // Whether the widget is one of the strip's, its rows' or their pop-ups and dialogs.
    bool holds(const QWidget *w) const;

    // Where the focus goes when the strip closes while holding it.
    void setFocusHome(QWidget *home) { focusHome_ = home; }
    void dock(QSize client);
    void open();
    void close();
    // Rebuilds the list only when the number of monitors changed, so that the operator's
    // selection stays; the model's monitor is selected in a new list.
    void refreshMonitorList(const QList<QRect> &monitors);

signals:
    // The focus moved from inside the strip to a control outside it.
    void focusLeft(QWidget *to);
    void companionClicked();

private:
    // Follows the model's colour scheme; what already shows its colour is left alone.
    void showColours();
    void createColourPickers();
    void dockRows();
    void showOptions();

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
    BoardModel &model_;
    QWidget *focusHome_ = nullptr;
    QList<QFrame *> rows_;
    // How many monitors the list was last built for.
    int lastMonitorCount_ = 0;
};
