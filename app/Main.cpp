#include "app/Main.h"

#include "app/BoardFonts.h"
#include "app/BoardMessage.h"
#include "app/ControlButtons.h"
#include "app/FeedStrip.h"
#include "app/FocusHome.h"
#include "app/FormatChoice.h"
#include "app/NamesView.h"
#include "app/NoticeLine.h"
#include "app/DlgYesNo.h"
#include "app/ServeView.h"
#include "app/TimeView.h"
#include "app/WidgetColours.h"
#include "controls/PLNClock.h"
#include "core/SettingsStore.h"
#include "feed/BrokerPublisher.h"
#include "feed/FeedPublisher.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QResizeEvent>
#include <QTextEdit>
#include <QTimer>

TFormMain::TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
                     const TitleFilePlace &titlePlace, const Court &court, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      model_(ticks, MatchJournal::defaultFolder()), monitors_(monitors), shell_(shell),
      bounds_(std::make_unique<WindowBounds>(*this)),
      feed_(std::make_unique<FeedPublisher>(model_, ticks)),
      broker_(std::make_unique<BrokerPublisher>(model_)), court_(court)
{
    setObjectName(QStringLiteral("FormMain"));
    setFixedSize(kClientWidth, kClientHeight);
    move(BoardSettings().L, BoardSettings().T);
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
    feedRow_ = std::make_unique<FeedStrip>(*this, *feed_, *broker_);
    fullScreen_ = std::make_unique<FullScreenSwitch>(*this, *strip_->panel(), *time_->clock(), monitors_, model_);
    setup_ = std::make_unique<BoardSetup>(model_, *feed_, *broker_, *bounds_);
    notice_ = std::make_unique<NoticeLine>(*this, model_);
    wire();
    FormCreate();
}

TFormMain::~TFormMain()
{
    title_->saveOnExit(this);
    setup_->store(windowBounds(), fullScreenShown());
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
    for (QWidget *editor : {names_->edit(1), names_->edit(2), static_cast<QWidget *>(title_->edit()),
                            static_cast<QWidget *>(formats_->eFormatCode())})
        menu_->watchEditor(editor);
    names_->setFocusHome(clock);
    title_->setFocusHome(clock);
    new FocusHome(*this, *clock, {names_->edit(1), names_->edit(2), title_->edit()});
    strip_->setFocusHome(clock);
    strip_->attach(feedRow_->panel());
    connect(score_.get(), &ScoreView::setPanelMoved, names_.get(), &NamesView::fitTo);
    connect(broker_.get(), &BrokerPublisher::problem, this,
            [this](const QString &text) { notice_->say(NoticeLine::Source::Broker, text); });
    connect(feed_.get(), &FeedPublisher::statusChanged, this,
            [this] { notice_->say(NoticeLine::Source::Feed, feed_->noticeText()); });
    connect(&model_, &BoardModel::coloursChanged, this, [this] { setGround(this, model_.colour(0)); });
    connect(buttons_.get(), &ControlButtons::configClicked, this, &TFormMain::ObCFGClick);
    connect(buttons_.get(), &ControlButtons::resetClicked, this, &TFormMain::bResetClick);
    connect(buttons_.get(), &ControlButtons::logoClicked, this,
            [this] { shell_.open(QLatin1String(ControlButtons::kLogoAddress), ShowCommand::Restore); });
    connect(strip_.get(), &ConfigStrip::companionClicked, this,
            [this] { shell_.open(QLatin1String(ConfigStrip::kCompanionFile), ShowCommand::ShowMaximized); });
    // Going full screen and back moves the focus through the full-screen window.
    connect(strip_.get(), &ConfigStrip::focusLeft, this, [this](QWidget *to) {
        if (to != fullScreenView())
            strip_->close();
    });
    connect(fullScreen_.get(), &FullScreenSwitch::largePicturesWanted, this, [this](bool large) {
        serve_->showLargePictures(large);
        buttons_->showLargePictures(large);
    });
    connect(menu_.get(), &BoardMenu::resetAsked, this, &TFormMain::bResetClick);
    connect(menu_.get(), &BoardMenu::configAsked, this, &TFormMain::ObCFGClick);
    connect(menu_.get(), &BoardMenu::titleAsked, title_.get(), &TitleArea::RekClick);
    connect(menu_.get(), &BoardMenu::recordsAsked, this, [this] {
        const QString folder = model_.journal().recordsFolder();
        if (!QDir().mkpath(folder))
            notice_->say(NoticeLine::Source::Window,
                         QStringLiteral("Der Ordner der Spielberichte %1 lässt sich nicht anlegen (keine Rechte "
                                        "oder kein Platz).")
                             .arg(QDir::toNativeSeparators(folder)));
        if (!shell_.open(folder, ShowCommand::Restore))
            BoardMessage::show(*this, QStringLiteral("Kein Dateimanager gefunden, der den Ordner öffnet.\n"
                                                     "Die Spielberichte liegen in\n%1")
                                          .arg(QDir::toNativeSeparators(folder)));
    });
}

void TFormMain::FormCreate()
{
    setWindowTitle(QStringLiteral("Courtlyx ") + QLatin1String(COURTLYX_VERSION) + court_.captionSuffix());
    title_->loadDefault();
    strip_->dock(size());
    strip_->close();
    menu_->givePauseKey();
    const std::optional<BoardSettings> stored = setup_->applyStored(windowBounds());
    if (!stored && court_.number() > 1) {
        BoardSettings first = settings();
        first.FeedPort = court_.defaultFeedPort(first.FeedPort);
        first.BrokerCourt = QString::number(court_.number());
        applySettings(first);
    } else if (court_.number() > 1 && !SettingsStore::holds("BrokerCourt")) {
        // A court's board kept from before the broker publishes under its own number.
        BoardSettings kept = settings();
        kept.BrokerCourt = QString::number(court_.number());
        applySettings(kept);
    }
    if (const QString why = setup_->whyNotStored(); !why.isEmpty())
        notice_->say(NoticeLine::Source::Window, why);
    strip_->refreshMonitorList(monitors_.monitors());
    if (model_.start(title_->fileName())) {
        // Told where the operator looks and spectators do not: the window caption.
        const QString caption = windowTitle();
        setWindowTitle(caption + QStringLiteral(" - match restored"));
        QTimer::singleShot(5000, this, [this, caption] { setWindowTitle(caption); });
    }
    if (stored && stored->FullScreen)
        setFullScreen(true);
}

QRect TFormMain::windowBounds() const
{
    QRect bounds = bounds_->outer();
    if (fullScreenShown())
        bounds.moveTopLeft(fullScreenView()->windowPos());
    return bounds;
}

bool TFormMain::asked(const QString &question)
{
    return FDlgYesNo && FDlgYesNo->ask(question) == TFDlgYesNo::mrYes;
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    // A match whose record could not be written stays on the board, with the notice saying why.
    event->setAccepted(asked(QStringLiteral("Beenden?")) && model_.end());
}

void TFormMain::resizeEvent(QResizeEvent *event)
{
    score_->followResize(event->size());
    buttons_->followResize(event->size());
    // The configuration strip stays docked at the bottom.
    strip_->dock(size());
    QWidget::resizeEvent(event);
}

void TFormMain::bResetClick()
{
    if (asked(QStringLiteral("Reset?")))
        model_.execute(MatchCommand::of(MatchCommand::Kind::Reset));
}

void TFormMain::ObCFGClick()
{
    strip_->refreshMonitorList(monitors_.monitors());
    strip_->open();
}
