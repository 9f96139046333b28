#pragma once

#include "app/BoardMenu.h"
#include "app/BoardSetup.h"
#include "app/Court.h"
#include "app/ConfigStrip.h"
#include "app/FullScreenSwitch.h"
#include "app/FullScreenView.h"
#include "app/ScoreView.h"
#include "app/TitleArea.h"
#include "app/WindowBounds.h"
#include "core/BoardModel.h"

#include <QWidget>

#include <memory>

class BrokerPublisher;
class ControlButtons;
class FeedPublisher;
class FeedStrip;
class FormatChoice;
class MonitorSource;
class NamesView;
class NoticeLine;
class ServeView;
class Shell;
class TFDlgYesNo;
class TimeView;

// The scoreboard window. It builds the board's views on its one model, connects them and
// answers what only a window can: the questions, the shell, its bounds and full screen.
class TFormMain : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 792;
    static constexpr int kClientHeight = 547;

    // Tests give the default title file's place other folders.
    TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
              const TitleFilePlace &titlePlace = TitleFilePlace::ofThisProgram(), const Court &court = Court(),
              QWidget *parent = nullptr);
    ~TFormMain() override;

    // Created after the window, as the program entry does; asked before reset and close.
    void setConfirmationDialog(TFDlgYesNo *dialog) { FDlgYesNo = dialog; }

    BoardModel &model() { return model_; }
    FeedPublisher &feed() { return *feed_; }
    BrokerPublisher &broker() { return *broker_; }
    TLabel3D *fieldLabel(int entry) const { return score_->fieldLabel(entry); }
    QString titleFileName() const { return title_->fileName(); }
    NoticeLine &notice() const { return *notice_; }
    // The remembered set-up as the board holds it now, and the board set up from one.
    BoardSettings settings() const { return setup_->current(windowBounds(), fullScreenShown()); }
    void applySettings(const BoardSettings &settings) { setup_->apply(settings); }
    // The board full screen on the monitor chosen in the monitor list (F11, "Vollbild").
    void setFullScreen(bool on) { fullScreen_->set(on); }
    bool fullScreenShown() const { return fullScreen_ && fullScreen_->shown(); }
    FullScreenView *fullScreenView() const { return fullScreen_ ? fullScreen_->view() : nullptr; }

    void bPlayClick() { model_.execute(MatchCommand::of(MatchCommand::Kind::Play)); }
    void bResetClick();
    void ObCFGClick();
    void sbCloseClick() { strip_->close(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void wire();
    void FormCreate();
    // Asks the yes/no question; true for "Ja".
    bool asked(const QString &question);
    // Full screen, the window keeps its place for the way back.
    QRect windowBounds() const;

    BoardModel model_;
    const MonitorSource &monitors_;
    Shell &shell_;
    TFDlgYesNo *FDlgYesNo = nullptr;
    std::unique_ptr<WindowBounds> bounds_;
    std::unique_ptr<FeedPublisher> feed_;
    std::unique_ptr<BrokerPublisher> broker_;
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
    std::unique_ptr<BoardSetup> setup_;
    std::unique_ptr<NoticeLine> notice_;
    const Court court_;
};
