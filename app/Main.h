#pragma once

#include "core/BoardModel.h"
#include "core/BoardSettings.h"
#include "gdi/Colors.h"

#include <QWidget>

#include <memory>

class BoardMenu;
class ConfigStrip;
class ControlButtons;
class FeedPublisher;
class FeedStrip;
class FormatChoice;
class FullScreenSwitch;
class FullScreenView;
class MonitorSource;
class NamesView;
class QAction;
class ScoreView;
class ServeView;
class Shell;
class TFDlgYesNo;
class TLabel3D;
class TimeView;
class TitleArea;
class TitleFilePlace;
class WindowBounds;

// The scoreboard window. It builds the board's views on its one model, connects them and
// answers what only a window can: the questions, the shell, its bounds and full screen.
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

    BoardModel &model() { return model_; }
    const MatchScore &score() const { return model_.score(); }
    const Match &match() const { return model_.match(); }
    const MatchJournal &journal() const { return model_.journal(); }
    FeedPublisher &feed() { return *feed_; }

    // The figure that shows an entry of the score field table (or a hidden tie-break field).
    TLabel3D *fieldLabel(int entry) const;
    QAction *menuItem(const QString &name) const;
    QString titleFileName() const;

    // The remembered set-up as the board holds it now, and the board set up from one.
    // Applying does not move the window onto a screen.
    BoardSettings settings() const;
    void applySettings(const BoardSettings &settings);
    // The frame's left and top and the outer size of a Windows frame around the client area.
    QRect outerBounds() const;

    bool Sound() const { return model_.sound(); }
    int Monitor() const { return model_.monitor(); }
    void setMonitor(int number);
    TColor schemeColour(int slot) const { return model_.colour(slot); }
    void setSchemeColour(int slot, TColor colour);
    // The board full screen on the monitor chosen in the monitor list (F11, "Vollbild").
    void setFullScreen(bool on);
    bool fullScreenShown() const;
    FullScreenView *fullScreenView() const;

    // Every view shows the model's colours.
    void applyScheme();
    void bPlayClick();
    void bResetClick();
    void ObCFGClick();
    void sbCloseClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void wire();
    void FormCreate();
    void FormDestroy();
    void refreshMonitorList();

    BoardModel model_;
    const MonitorSource &monitors_;
    Shell &shell_;
    TFDlgYesNo *FDlgYesNo = nullptr;
    std::unique_ptr<WindowBounds> bounds_;
    std::unique_ptr<FeedPublisher> feed_;
    std::unique_ptr<ServeView> serve_;
    std::unique_ptr<ScoreView> score_;
    std::unique_ptr<TimeView> time_;
    std::unique_ptr<ControlButtons> buttons_;
    std::unique_ptr<NamesView> names_;
    std::unique_ptr<TitleArea> title_;
    std::unique_ptr<ConfigStrip> strip_;
    std::unique_ptr<BoardMenu> menu_;
    std::unique_ptr<FormatChoice> formats_;
    std::unique_ptr<FeedStrip> feedRow_;
    std::unique_ptr<FullScreenSwitch> fullScreen_;
};
