#include "app/Main.h"

#include "app/BoardFonts.h"
#include "app/BoardMenu.h"
#include "app/ConfigStrip.h"
#include "app/ControlButtons.h"
#include "app/FeedStrip.h"
#include "app/FormatChoice.h"
#include "app/FullScreenSwitch.h"
#include "app/FullScreenView.h"
#include "app/NamesView.h"
#include "app/DlgYesNo.h"
#include "app/ScoreView.h"
#include "app/ServeView.h"
#include "app/TimeView.h"
#include "app/TitleArea.h"
#include "app/TitleFilePlace.h"
#include "app/WidgetColours.h"
#include "app/WindowBounds.h"
#include "controls/NameEdit.h"
#include "controls/PLNClock.h"
#include "core/SettingsStore.h"
#include "feed/FeedPublisher.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QResizeEvent>
#include <QTextEdit>
#include <QTimer>

TFormMain::TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
                     QWidget *parent)
    : TFormMain(ticks, monitors, shell, TitleFilePlace::ofThisProgram(), parent)
{
}

TFormMain::TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
                     const TitleFilePlace &titlePlace, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      model_(ticks, MatchJournal::defaultFolder()), monitors_(monitors), shell_(shell),
      bounds_(std::make_unique<WindowBounds>(*this)),
      feed_(std::make_unique<FeedPublisher>(model_, ticks))
{
    setObjectName(QStringLiteral("FormMain"));
    setFixedSize(kClientWidth, kClientHeight);
    move(kDesignLeft, kDesignTop);
    setGround(this, BoardSettings().C[0]);
    setTextColour(this, 0xFFFFFF);
    setFont(boardFont(QStringLiteral("MS Sans Serif"), 11));
    // Creation order is stacking order: the views come in steps so that each control lies
    // where the board has always had it.
    serve_ = std::make_unique<ServeView>(*this, model_);
    score_ = std::make_unique<ScoreView>(*this, model_);
    time_ = std::make_unique<TimeView>(*this, model_);
    buttons_ = std::make_unique<ControlButtons>(*this, model_);
    serve_->createBall();
    names_ = std::make_unique<NamesView>(*this, model_);
    buttons_->createButtons();
    time_->createClock();
    names_->createEdits();
    title_ = std::make_unique<TitleArea>(*this, model_, titlePlace);
    strip_ = std::make_unique<ConfigStrip>(*this, model_);
    score_->createSetPanel();
    menu_ = std::make_unique<BoardMenu>(*this, model_);
    formats_ = std::make_unique<FormatChoice>(*strip_->panel(), model_);
    feedRow_ = std::make_unique<FeedStrip>(*this, *feed_);
    fullScreen_ = std::make_unique<FullScreenSwitch>(*this, *strip_->panel(), *time_->clock(), monitors_, model_);
    wire();
    FormCreate();
}

TFormMain::~TFormMain()
{
    FormDestroy();
    // Out of the scene before the view goes, which would take the board with it.
    fullScreen_->release();
}

void TFormMain::wire()
{
    QWidget *clock = time_->clock();
    QWidget::setTabOrder(clock, names_->edit(1));
    QWidget::setTabOrder(names_->edit(1), names_->edit(2));
    QWidget::setTabOrder(names_->edit(2), title_->edit());
    QWidget::setTabOrder(title_->edit(), strip_->panel());
    for (QWidget *editor : {static_cast<QWidget *>(names_->edit(1)), static_cast<QWidget *>(names_->edit(2)),
                            static_cast<QWidget *>(title_->edit())})
        menu_->watchEditor(editor);
    names_->setFocusHome(clock);
    strip_->setFocusHome(clock);
    strip_->attach(feedRow_->panel());
    connect(score_.get(), &ScoreView::setPanelMoved, names_.get(), &NamesView::fitTo);
    connect(&model_, &BoardModel::coloursChanged, this, &TFormMain::applyScheme);
    connect(buttons_.get(), &ControlButtons::configClicked, this, &TFormMain::ObCFGClick);
    connect(buttons_.get(), &ControlButtons::resetClicked, this, &TFormMain::bResetClick);
    connect(buttons_.get(), &ControlButtons::logoClicked, this,
            [this] { shell_.open(QLatin1String(kLogoAddress), ShowCommand::Restore); });
    connect(strip_.get(), &ConfigStrip::companionClicked, this,
            [this] { shell_.open(QLatin1String(kCompanionFile), ShowCommand::ShowMaximized); });
    // Going full screen and back moves the focus through the full-screen window.
    connect(strip_.get(), &ConfigStrip::focusLeft, this, [this](QWidget *to) {
        if (to != fullScreenView())
            strip_->close();
    });
    connect(fullScreen_.get(), &FullScreenSwitch::largePicturesWanted, this, [this](bool large) {
        serve_->showLargePictures(large);
        buttons_->showLargePictures(large);
    });
    connect(menu_.get(), &BoardMenu::requested, this, [this](BoardMenu::Request request, int tag) {
        switch (request) {
        case BoardMenu::Request::Reset:
            bResetClick();
            break;
        case BoardMenu::Request::Config:
            ObCFGClick();
            break;
        case BoardMenu::Request::Records:
            QDir().mkpath(model_.journal().recordsFolder());
            shell_.open(model_.journal().recordsFolder(), ShowCommand::Restore);
            break;
        case BoardMenu::Request::Title:
            title_->RekClick(tag);
            break;
        case BoardMenu::Request::None:
            break;
        }
    });
}

void TFormMain::FormCreate()
{
    setWindowTitle(QCoreApplication::applicationName() + u' ' + QLatin1String(COURTLYX_VERSION));
    title_->loadDefault();
    strip_->dock(size());
    strip_->close();
    menu_->givePauseKey();
    BoardSettings current = settings();
    // A store without a format keeps the one its set count and tie-break option give.
    current.Format.clear();
    const std::optional<BoardSettings> stored = SettingsStore::read(current);
    if (stored) {
        applySettings(*stored);
        bounds_->keepOnScreen();
    }
    refreshMonitorList();
    applyScheme();
    if (model_.start(title_->fileName())) {
        // Told where the operator looks and spectators do not: the window caption.
        const QString caption = windowTitle();
        setWindowTitle(caption + QStringLiteral(" - match restored"));
        QTimer::singleShot(5000, this, [this, caption] { setWindowTitle(caption); });
    }
    if (stored && stored->FullScreen)
        setFullScreen(true);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (FDlgYesNo && FDlgYesNo->ask(QStringLiteral("Beenden?")) == TFDlgYesNo::mrYes) {
        model_.end();
        event->accept();
    } else {
        event->ignore();
    }
}

void TFormMain::FormDestroy()
{
    title_->saveOnExit(this);
    SettingsStore::write(settings());
}

BoardSettings TFormMain::settings() const
{
    QRect bounds = outerBounds();
    // Full screen, the window keeps its place for the way back.
    if (fullScreenShown())
        bounds.moveTopLeft(fullScreenView()->windowPos());
    BoardSettings s;
    s.L = bounds.left();
    s.T = bounds.top();
    s.W = bounds.width();
    s.H = bounds.height();
    model_.store(s);
    s.FullScreen = fullScreenShown();
    feed_->store(s);
    return s;
}

void TFormMain::applySettings(const BoardSettings &s)
{
    bounds_->setOuter(QRect(s.L, s.T, s.W, s.H));
    model_.apply(s);
    feed_->apply(s);
}

QRect TFormMain::outerBounds() const
{
    return bounds_->outer();
}

void TFormMain::setMonitor(int number)
{
    model_.execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, number));
}

void TFormMain::setSchemeColour(int slot, TColor colour)
{
    MatchCommand c = MatchCommand::withValue(MatchCommand::Kind::Colour, int(colour));
    c.side = slot;
    model_.execute(c);
}

bool TFormMain::fullScreenShown() const
{
    return fullScreen_ && fullScreen_->shown();
}

void TFormMain::setFullScreen(bool on)
{
    fullScreen_->set(on);
}

FullScreenView *TFormMain::fullScreenView() const
{
    return fullScreen_ ? fullScreen_->view() : nullptr;
}

void TFormMain::resizeEvent(QResizeEvent *event)
{
    score_->followResize(event->size());
    buttons_->followResize(event->size());
    // The configuration strip stays docked at the bottom.
    strip_->dock(size());
    QWidget::resizeEvent(event);
}

QString TFormMain::titleFileName() const
{
    return title_->fileName();
}

TLabel3D *TFormMain::fieldLabel(int entry) const
{
    return score_->fieldLabel(entry);
}

QAction *TFormMain::menuItem(const QString &name) const
{
    return menu_->item(name);
}

void TFormMain::bPlayClick()
{
    model_.execute(MatchCommand::of(MatchCommand::Kind::Play));
}

void TFormMain::bResetClick()
{
    if (FDlgYesNo && FDlgYesNo->ask(QStringLiteral("Reset?")) == TFDlgYesNo::mrYes)
        model_.execute(MatchCommand::of(MatchCommand::Kind::Reset));
}

void TFormMain::ObCFGClick()
{
    refreshMonitorList();
    strip_->open(QFileInfo::exists(QLatin1String(kCompanionFile)));
}

void TFormMain::sbCloseClick()
{
    strip_->close();
}

void TFormMain::refreshMonitorList()
{
    strip_->refreshMonitorList(monitors_.monitors());
}

void TFormMain::applyScheme()
{
    setGround(this, model_.colour(0));
    time_->showColours();
    title_->showColours();
    score_->showColours();
    names_->showColours();
    serve_->showColours();
    strip_->showColours();
}
