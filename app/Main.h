#pragma once

#include "app/scoring/Match.h"
#include "platform/Colors.h"

#include <QWidget>

#include <array>
#include <cstdint>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTextEdit;
class TFDlgYesNo;
class TLabel3D;
class TOvalButton;
class ToColorCombo;
class TPLNClock;
class TShape;
class TickSource;
class MonitorSource;
class Shell;

// The scoreboard window. It shows the match and forwards the operator's keys and clicks
// to it; the match itself lives in `Match`.
class TFormMain : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 792;
    static constexpr int kClientHeight = 547;
    static constexpr int kDesignLeft = 248;
    static constexpr int kDesignTop = 128;
    // A Windows frame adds this much around the client area.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 31;
    static constexpr int kMinOuterWidth = 800;
    static constexpr int kMinOuterHeight = 546;

    // The address the logo opens.
    static constexpr auto kLogoAddress = "https://courtlyx.example.org/";
    static constexpr auto kCompanionFile = "tennis.swf";

    TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
              QWidget *parent = nullptr);
    ~TFormMain() override;

    // Created after the window, as the program entry does; asked before reset and close.
    void setConfirmationDialog(TFDlgYesNo *dialog) { FDlgYesNo = dialog; }

    Match &match() { return match_; }
    MatchScore &score() { return match_.score(); }
    const MatchScore &score() const { return match_.score(); }

    // The figure that shows an entry of the score field table (or a hidden tie-break field).
    TLabel3D *fieldLabel(int entry) const;
    QAction *menuItem(const QString &name) const;
    QString titleFileName() const;

    // The window's bounds as the settings keep them: the frame's left and top, and the
    // outer size of a Windows frame around the client area. Each part applies at once;
    // the outer size never falls below 800 x 546 nor grows past the desktop.
    QRect outerBounds() const;
    void setOuterLeft(int left);
    void setOuterTop(int top);
    void setOuterWidth(int width);
    void setOuterHeight(int height);
    // Moves a window that lies on no screen back onto the primary one.
    void keepOnScreen();

    bool Sound() const { return sound_; }
    void setSound(bool on) { sound_ = on; }
    int Monitor() const { return monitor_; }
    void setMonitor(int number) { monitor_ = number; }
    TColor schemeColour(int slot) const { return scheme_[slot]; }
    void setSchemeColour(int slot, TColor colour) { scheme_[slot] = colour; }

    void bPlayClick();
    void bResetClick();
    void RekClick(int tag);
    void ObCFGClick();
    void sbCloseClick();
    void cbTieBreakClick();
    void rgCountSatzClick();
    void eShapeMouseDown();
    void PanelCFGExit();
    void bGameClick();
    void ImageDEClick();
    void refreshMonitorList();
    void cbMonitorChange(int index);
    void applyScheme();
    void cbColorChange(ToColorCombo *sender);

    // Controls, by the names the board gives them.
    QLabel *Image1;
    TShape *Shape1;
    QLabel *LabelTieBreak;
    TShape *Shape2;
    TLabel3D *eSchet1;
    TLabel3D *eSchet2;
    TLabel3D *LabTBreak1;
    TLabel3D *LabTBreak2;
    TLabel3D *eTime;
    QLabel *ImageDE;
    TOvalButton *bPlay;
    QLabel *ImageBall;
    TOvalButton *ObCFG;
    TLabel3D *LName1;
    TLabel3D *LName2;
    TOvalButton *bReset;
    QLabel *LabelTbOn;
    TPLNClock *PLNClock1 = nullptr;
    QLineEdit *eName1;
    QLineEdit *eName2;
    QTextEdit *eTitle;
    QFrame *PanelCFG;
    QCheckBox *cbAutoSchet;
    QCheckBox *cbTieBreak;
    QGroupBox *rgCountSatz;
    std::array<QRadioButton *, 2> rgCountSatzItems;
    QPushButton *sbClose;
    QPushButton *bGame;
    QLabel *LabMonitor;
    QComboBox *cbMonitor;
    QGroupBox *gbFarbe;
    std::array<ToColorCombo *, 5> cbColor; // cbColor0 .. cbColor4, tags 0 .. 4
    QFrame *PanelSatz;
    std::array<QLabel *, 5> LabelS;
    std::array<TLabel3D *, 5> S1; // S1_1 .. S1_5
    std::array<TLabel3D *, 5> S2; // S2_1 .. S2_5
    QMenu *Keys1;
    QMenu *Reklama1;
    QAction *mTieBreak;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createPanelSatz();
    void createPanelCFG();
    void createClock();
    void createColourPickers();
    void createMenu();
    // The nineteen text fields in the order the colour scheme treats them.
    QList<QWidget *> textFields() const;
    void connectMatch();
    void FormCreate();
    bool FormCloseQuery();
    void FormDestroy();
    void saveTitle();
    void showField(int entry);
    void showBoldHeader(int header);
    void showServer(int server);
    void showPhase(int phase);
    void markLeader(int entry, MatchScore::TextRole role);
    bool isShortcut(const QKeyEvent *event) const;

    Match match_;
    const MonitorSource &monitors_;
    Shell &shell_;
    // How many monitors the list was last built for.
    int lastMonitorCount_ = 0;
    TFDlgYesNo *FDlgYesNo = nullptr;
    // The scheme colours C0 .. C4.
    std::array<TColor, 5> scheme_ = {clBlack, clBlack, clWhite, clWhite, clYellow};
    bool sound_ = false;
    int monitor_ = 0;
    // The client size the right- and bottom-anchored controls were last placed for.
    QSize laidOutFor_{kClientWidth, kClientHeight};
    QList<QAction *> menuItems_;
};
