#pragma once

#include "core/BoardSettings.h"
#include "core/Match.h"
#include "core/MatchFormat.h"
#include "core/MatchCommand.h"
#include "gdi/Colors.h"

#include <QWidget>

#include <memory>

class BoardFeed;
class BoardJournal;
class BoardLayout;
class BoardMenu;
class ColourScheme;
class ConfigStrip;
class FullScreenSwitch;
class FullScreenView;
class FormatChoice;
class FormatDisplay;
class QAction;
class TFDlgYesNo;
class TLabel3D;
class TitleArea;
class TitleFilePlace;
class WindowBounds;
class ToColorCombo;
class MonitorSource;
class Shell;

// The scoreboard window. It wires its parts (layout, colour scheme, title area,
// configuration strip, hidden menu) to the match and routes the operator's keys and
// clicks; the match itself lives in `Match`. Its controls are reached by object name.
class TFormMain : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 792;
    static constexpr int kClientHeight = 547;
    static constexpr int kDesignLeft = 248;
    static constexpr int kDesignTop = 128;

    // The address the logo opens.
    static constexpr auto kLogoAddress = "https://courtlyx.example.org/";
    static constexpr auto kCompanionFile = "tennis.swf";

    TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
              QWidget *parent = nullptr);
    // With the default title file's place given (tests give other folders).
    TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
              const TitleFilePlace &titlePlace, QWidget *parent = nullptr);
    ~TFormMain() override;

    // Created after the window, as the program entry does; asked before reset and close.
    void setConfirmationDialog(TFDlgYesNo *dialog) { FDlgYesNo = dialog; }

    Match &match() { return match_; }
    MatchScore &score() { return match_.score(); }
    BoardJournal &journal() { return *journal_; }
    BoardFeed &feed() { return *feed_; }
    const MatchScore &score() const { return match_.score(); }

    // The figure that shows an entry of the score field table (or a hidden tie-break field).
    TLabel3D *fieldLabel(int entry) const;
    QAction *menuItem(const QString &name) const;
    QString titleFileName() const;

    // The remembered set-up as the window holds it now, and the window set up from one.
    // Applying leaves the scheme to `applyScheme` and does not move the window onto a screen.
    BoardSettings settings() const;
    void applySettings(const BoardSettings &settings);

    // The frame's left and top and the outer size of a Windows frame around the client area.
    QRect outerBounds() const;

    bool Sound() const { return sound_; }
    int Monitor() const { return monitor_; }
    void setMonitor(int number) { monitor_ = number; }
    // The board full screen on the monitor chosen in the monitor list (F11, "Vollbild").
    void setFullScreen(bool on);
    bool fullScreenShown() const;
    FullScreenView *fullScreenView() const;
    TColor schemeColour(int slot) const;
    void setSchemeColour(int slot, TColor colour);

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
    // A format the operator chose or the settings hold; the strip follows its set count
    // and tie-break option.
    void chooseFormat(const MatchFormat &format);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wireLayout();
    void wireStrip();
    void wireMenu();
    void connectMatch();
    void wireFormats();
    void wireFullScreen();
    void FormCreate();
    bool FormCloseQuery();
    void FormDestroy();
    void saveTitle();
    void showField(int entry);
    void showPhase(int phase);
    void markLeader(int entry, MatchScore::TextRole role);
    void command(const MatchCommand &command);
    void wireJournal();
    void showOptions();

    Match match_;
    const MonitorSource &monitors_;
    Shell &shell_;
    TFDlgYesNo *FDlgYesNo = nullptr;
    bool sound_ = false;
    int monitor_ = 0;
    std::unique_ptr<WindowBounds> bounds_;
    std::unique_ptr<BoardLayout> layout_;
    std::unique_ptr<ColourScheme> scheme_;
    std::unique_ptr<TitleFilePlace> titlePlace_;
    std::unique_ptr<TitleArea> title_;
    std::unique_ptr<ConfigStrip> strip_;
    std::unique_ptr<BoardMenu> menu_;
    std::unique_ptr<FormatChoice> formats_;
    std::unique_ptr<FormatDisplay> formatDisplay_;
    // The control whose double click's second press came last: its release is no click.
    QObject *secondPressOf_ = nullptr;
    std::unique_ptr<BoardJournal> journal_;
    std::unique_ptr<BoardFeed> feed_;
    std::unique_ptr<FullScreenSwitch> fullScreen_;
};
