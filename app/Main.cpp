#include "app/Main.h"

#include "app/BoardFeed.h"
#include "app/BoardFonts.h"
#include "app/BoardJournal.h"
#include "app/BoardLayout.h"
#include "app/BoardMenu.h"
#include "app/ColourScheme.h"
#include "app/ConfigStrip.h"
#include "app/DlgYesNo.h"
#include "app/FormatChoice.h"
#include "app/FormatDisplay.h"
#include "app/FullScreenSwitch.h"
#include "app/FullScreenView.h"
#include "core/SettingsStore.h"
#include "controls/Shape.h"
#include "app/TitleArea.h"
#include "app/TitleFilePlace.h"
#include "app/WidgetColours.h"
#include "app/WindowBounds.h"
#include "controls/Label3D.h"
#include "controls/OvalBtn.h"
#include "controls/PLNClock.h"
#include "controls/oClrBox.h"
#include "platform/LongTimeFormat.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTextEdit>

#include <utility>

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
      match_(ticks, formatLongTime(QTime(0, 0, 0))), monitors_(monitors), shell_(shell),
      bounds_(std::make_unique<WindowBounds>(*this)),
      titlePlace_(std::make_unique<TitleFilePlace>(titlePlace))
{
    setObjectName(QStringLiteral("FormMain"));
    setFixedSize(kClientWidth, kClientHeight);
    move(kDesignLeft, kDesignTop);
    setGround(this, BoardSettings().C[0]);
    setTextColour(this, 0xFFFFFF);
    setFont(boardFont(QStringLiteral("MS Sans Serif"), 11));
    // Creation order is stacking order: the title area and the strip lie between the
    // name edits and the set panel.
    layout_ = std::make_unique<BoardLayout>(*this);
    title_ = std::make_unique<TitleArea>(*this);
    strip_ = std::make_unique<ConfigStrip>(*this, [this] { PanelCFGExit(); });
    layout_->createSetPanel(title_->edit(), strip_->panel());
    const BoardLayout &l = *layout_;
    scheme_ = std::make_unique<ColourScheme>(ColourScheme::Targets{
        this, l.PLNClock1, title_->edit(), l.PanelSatz, l.textFields(), l.LabelS, {l.Shape1, l.Shape2}});
    menu_ = std::make_unique<BoardMenu>(*this);
    formats_ = std::make_unique<FormatChoice>(*strip_->panel(),
                                              [this](const MatchFormat &format) { chooseFormat(format); });
    formatDisplay_ = std::make_unique<FormatDisplay>(*layout_, score(),
                                                     [this](int slot) { return scheme_->colour(slot); });
    journal_ = std::make_unique<BoardJournal>(*this, match_, *layout_);
    feed_ = std::make_unique<BoardFeed>(*this, *strip_, ticks, BoardFeed::Board{
        match_, *journal_, {l.eName1, l.eName2}, [this](const MatchCommand &c) { command(c); },
        [this] { bPlayClick(); }});
    wireLayout();
    wireStrip();
    wireMenu();
    wireFullScreen();
    connectMatch();
    wireFormats();
    wireJournal();
    // Keys no control takes reach the window; it sorts out the number pad's.
    installEventFilter(this);
    FormCreate();
}

TFormMain::~TFormMain()
{
    FormDestroy();
    // Out of the scene before the view goes, which would take the board with it.
    fullScreen_->release();
}

void TFormMain::wireLayout()
{
    const BoardLayout &l = *layout_;
    for (TLabel3D *points : {l.eSchet1, l.eSchet2}) {
        const int side = points == l.eSchet1 ? 1 : 2;
        connect(points, &TLabel3D::mouseDown, this, [this, side](TLabel3D *, Qt::MouseButton button) {
            command(MatchCommand::pointsCorrection(side, button));
        });
    }
    auto onGamesDown = [this](TLabel3D *field, int entry) {
        connect(field, &TLabel3D::mouseDown, this,
                [this, entry](TLabel3D *, Qt::MouseButton button) {
                    command(MatchCommand::gamesCorrection(entry, button));
                });
    };
    onGamesDown(l.LabTBreak1, MatchScore::kLabTBreak1);
    onGamesDown(l.LabTBreak2, MatchScore::kLabTBreak2);
    for (int n = 0; n < 5; ++n) {
        onGamesDown(l.S1[n], MatchScore::gamesEntry(1, n + 1));
        onGamesDown(l.S2[n], MatchScore::gamesEntry(2, n + 1));
    }
    connect(l.Shape1, &TShape::mouseDown, this, &TFormMain::eShapeMouseDown);
    connect(l.Shape2, &TShape::mouseDown, this, &TFormMain::eShapeMouseDown);
    connect(l.bPlay, &TOvalButton::clicked, this, &TFormMain::bPlayClick);
    connect(l.ObCFG, &TOvalButton::clicked, this, &TFormMain::ObCFGClick);
    connect(l.LName1, &TLabel3D::clicked, this,
            [this] { command(MatchCommand::point(1, MatchCommand::PointSource::NameLabel)); });
    connect(l.LName2, &TLabel3D::clicked, this,
            [this] { command(MatchCommand::point(2, MatchCommand::PointSource::NameLabel)); });
    connect(l.bReset, &TOvalButton::clicked, this, &TFormMain::bResetClick);
}

void TFormMain::wireStrip()
{
    ConfigStrip &s = *strip_;
    s.setFocusHome(layout_->PLNClock1);
    connect(s.sbClose(), &QPushButton::clicked, this, &TFormMain::sbCloseClick);
    connect(s.cbAutoSchet(), &QCheckBox::toggled, this,
            [this](bool on) { command(MatchCommand::withValue(MatchCommand::Kind::AutoCount, on ? 1 : 0)); });
    connect(s.cbTieBreak(), &QCheckBox::toggled, this, &TFormMain::cbTieBreakClick);
    for (int i = 0; i < 2; ++i)
        connect(s.countItem(i), &QRadioButton::clicked, this, &TFormMain::rgCountSatzClick);
    for (int slot = 0; slot < 5; ++slot)
        connect(s.picker(slot), &ToColorCombo::changed, this, &TFormMain::cbColorChange);
    connect(s.bGame(), &QPushButton::clicked, this, &TFormMain::bGameClick);
    connect(s.cbMonitor(), &QComboBox::activated, this, &TFormMain::cbMonitorChange);
}

void TFormMain::wireFullScreen()
{
    fullScreen_ = std::make_unique<FullScreenSwitch>(*this, *strip_->panel(), *layout_, monitors_,
                                                     [this] { return monitor_; });
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

void TFormMain::wireMenu()
{
    using Kind = MatchCommand::Kind;
    auto run = [this](const char *item, MatchCommand c) {
        connect(menuItem(QLatin1String(item)), &QAction::triggered, this, [this, c] { command(c); });
    };
    connect(menuItem(QStringLiteral("mPause")), &QAction::triggered, this, &TFormMain::bPlayClick);
    connect(menuItem(QStringLiteral("Reset1")), &QAction::triggered, this, &TFormMain::bResetClick);
    run("mPodacha", MatchCommand::of(Kind::Serve));
    connect(menuItem(QStringLiteral("Config1")), &QAction::triggered, this, &TFormMain::ObCFGClick);
    run("mSchet1", MatchCommand::point(1));
    run("mSchet2", MatchCommand::point(2));
    run("Game1", MatchCommand::of(Kind::GameAward));
    run("Set1", MatchCommand::of(Kind::NextSet));
    // Its check mark is the match's manual tie-break mark.
    run("mTieBreak", MatchCommand::of(Kind::TieBreakToggle));
    run("mUndo", MatchCommand::of(Kind::Undo));
    run("mRedo", MatchCommand::of(Kind::Redo));
    run("mRedo2", MatchCommand::of(Kind::Redo));
    connect(menuItem(QStringLiteral("mRecords")), &QAction::triggered, this, [this] {
        QDir().mkpath(BoardJournal::recordsFolder());
        shell_.open(BoardJournal::recordsFolder(), ShowCommand::Restore);
    });
    for (int tag = 1; tag <= 9; ++tag) {
        connect(menuItem(QStringLiteral("Rek%1").arg(tag)), &QAction::triggered, this,
                [this, tag] { RekClick(tag); });
    }
}

void TFormMain::connectMatch()
{
    MatchScore *s = &score();
    connect(s, &MatchScore::fieldChanged, this, &TFormMain::showField);
    connect(s, &MatchScore::boldHeaderChanged, this, [this](int header) { layout_->showBoldHeader(header); });
    connect(s, &MatchScore::tieBreakModeChanged, layout_->LabelTieBreak, &QWidget::setVisible);
    connect(s, &MatchScore::serverChanged, this, [this](int server) { layout_->showServer(server); });
    connect(s, &MatchScore::setLeaderMarked, this, &TFormMain::markLeader);
    connect(&match_.timer(), &MatchTimer::phaseChanged, this, &TFormMain::showPhase);
    connect(&match_.timer(), &MatchTimer::elapsedTextChanged, layout_->eTime, &TLabel3D::setCaption);
}

// After connectMatch: the format's marks go over what the score's texts show.
void TFormMain::wireFormats()
{
    MatchScore *s = &score();
    FormatDisplay *d = formatDisplay_.get();
    connect(s, &MatchScore::fieldChanged, this, [d](int entry) {
        if (entry == MatchScore::pointsEntry(1) || entry == MatchScore::pointsEntry(2))
            d->showDecidingPoint();
        else if (MatchScore::isGamesEntry(entry))
            d->showTieBreakMarks();
    });
    connect(s, &MatchScore::decidingPointChanged, this, [d] { d->showDecidingPoint(); });
    connect(s, &MatchScore::boldHeaderChanged, this, [d] { d->showTieBreakMarks(); });
    connect(s, &MatchScore::setLeaderMarked, this, [d] { d->showTieBreakMarks(); });
    connect(s, &MatchScore::matchWinnerChanged, this, [d] { d->showWinner(); });
    connect(formats_->cbTBPoints(), &QCheckBox::toggled, this,
            [d](bool on) { d->setShowTieBreakPoints(on); });
    formats_->showFormat(score().format());
}

void TFormMain::chooseFormat(const MatchFormat &format)
{
    command(MatchCommand::format(format.code()));
    showOptions();
}

void TFormMain::wireJournal()
{
    BoardJournal *j = journal_.get();
    connect(j, &BoardJournal::optionsChanged, this, &TFormMain::showOptions);
    connect(&j->controller(), &MatchController::namesChanged, this, [this] {
        layout_->eName1->setText(journal_->controller().name(1));
        layout_->eName2->setText(journal_->controller().name(2));
    });
    connect(&j->controller(), &MatchController::titleFileChanged, this,
            [this] { title_->loadFile(journal_->controller().titleFile()); });
}

void TFormMain::command(const MatchCommand &c)
{
    journal_->execute(c);
}

// The strip and the board follow options that undo, redo or a restore brought back.
void TFormMain::showOptions()
{
    const ConfigStrip &s = *strip_;
    const QSignalBlocker blockAuto(s.cbAutoSchet());
    const QSignalBlocker blockTieBreak(s.cbTieBreak());
    s.cbAutoSchet()->setChecked(score().autoCount());
    s.cbTieBreak()->setChecked(score().tieBreakOption());
    layout_->LabelTbOn->setVisible(score().tieBreakOption());
    const int sets = score().setCount();
    for (int i = 0; i < 2; ++i) {
        QRadioButton *item = s.countItem(i);
        // A count the group has no item for (a pro set's one) leaves both unchecked.
        item->setAutoExclusive(false);
        item->setChecked(sets == (i == 0 ? 5 : 3));
        item->setAutoExclusive(true);
    }
    layout_->layOutForSets(sets);
    formats_->showFormat(score().format());
}

void TFormMain::FormCreate()
{
    setWindowTitle(QCoreApplication::applicationName() + u' ' + QLatin1String(COURTLYX_VERSION));
    title_->loadDefault(*titlePlace_);
    BoardLayout &l = *layout_;
    l.eTime->setCaption(match_.timer().elapsedText());
    strip_->dock(size());
    strip_->close();
    l.LName1->move(l.LName1->x(), l.eName1->y());
    l.LName2->move(l.LName2->x(), l.eName2->y());
    menu_->givePauseKey();
    const QString gamesHint = QStringLiteral("Left button +1, right button -1");
    for (int n = 0; n < 5; ++n) {
        l.S1[n]->setToolTip(gamesHint);
        l.S2[n]->setToolTip(gamesHint);
    }
    score().setAutoCount(strip_->cbAutoSchet()->isChecked());
    score().setTieBreakOption(strip_->cbTieBreak()->isChecked());
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
    for (int slot = 0; slot < 5; ++slot)
        strip_->picker(slot)->setColorValue(scheme_->colour(slot));
    if (journal_->start(title_->fileName()))
        showOptions();
    if (stored && stored->FullScreen)
        setFullScreen(true);
}

bool TFormMain::FormCloseQuery()
{
    return FDlgYesNo && FDlgYesNo->ask(QStringLiteral("Beenden?")) == TFDlgYesNo::mrYes;
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery()) {
        journal_->end();
        event->accept();
    }
    else
        event->ignore();
}

void TFormMain::FormDestroy()
{
    saveTitle();
    SettingsStore::write(settings());
}

// No typed title is lost without a word: one that cannot be written to its file goes to
// the data folder, and the operator is told where.
void TFormMain::saveTitle()
{
    QString why;
    if (title_->save(&why))
        return;
    const QString failed = QFileInfo(title_->fileName()).absoluteFilePath();
    const QString fallback = titlePlace_->fallbackFor(failed);
    QString fallbackWhy;
    QString text = QStringLiteral("Der Titel konnte nicht in\n%1\ngespeichert werden: %2\n\n").arg(failed, why);
    if (fallback != failed && title_->saveTo(fallback, &fallbackWhy))
        text += QStringLiteral("Er wurde stattdessen in\n%1\ngespeichert.").arg(fallback);
    else if (fallback != failed)
        text += QStringLiteral("Auch in\n%1\nkonnte er nicht gespeichert werden: %2").arg(fallback, fallbackWhy);
    else
        text += QStringLiteral("Er ist verloren.");
    QMessageBox::warning(this, QCoreApplication::applicationName(), text);
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
    s.Sound = sound_;
    s.Monitor = monitor_;
    s.Comanda1 = layout_->eName1->text();
    s.Comanda2 = layout_->eName2->text();
    s.C = scheme_->colours();
    s.TieBreak = strip_->cbTieBreak()->isChecked();
    s.CountSets = score().setCount();
    s.AutoSchet = strip_->cbAutoSchet()->isChecked();
    s.Format = score().format().code();
    s.TieBreakPoints = formats_->cbTBPoints()->isChecked();
    s.FullScreen = fullScreenShown();
    feed_->store(s);
    return s;
}

void TFormMain::applySettings(const BoardSettings &s)
{
    bounds_->setOuter(QRect(s.L, s.T, s.W, s.H));
    sound_ = s.Sound;
    monitor_ = s.Monitor;
    layout_->eName1->setText(s.Comanda1);
    layout_->eName2->setText(s.Comanda2);
    scheme_->setColours(s.C);
    strip_->cbTieBreak()->setChecked(s.TieBreak);
    cbTieBreakClick();
    // Any count but 3 plays five sets.
    const int sets = s.CountSets == 3 ? 3 : 5;
    if (sets != score().setCount()) {
        strip_->countItem(sets == 3 ? 1 : 0)->setChecked(true);
        rgCountSatzClick();
    }
    strip_->cbAutoSchet()->setChecked(s.AutoSchet);
    // Empty or not a format: the set count and the tie-break option give it.
    if (const MatchFormat::Parsed stored = MatchFormat::parse(s.Format); stored.format)
        chooseFormat(*stored.format);
    formats_->cbTBPoints()->setChecked(s.TieBreakPoints);
    feed_->apply(s);
}

TColor TFormMain::schemeColour(int slot) const
{
    return scheme_->colour(slot);
}

void TFormMain::setSchemeColour(int slot, TColor colour)
{
    scheme_->setColour(slot, colour);
}

QRect TFormMain::outerBounds() const
{
    return bounds_->outer();
}

void TFormMain::resizeEvent(QResizeEvent *event)
{
    layout_->followResize(event->size());
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
    return layout_->fieldLabel(entry);
}

QAction *TFormMain::menuItem(const QString &name) const
{
    return menu_->item(name);
}

void TFormMain::bPlayClick()
{
    // The names are the match's once it starts and the edits hide.
    if (match_.timer().MatchPhase() == MatchTimer::NotStarted)
        command(MatchCommand::names(layout_->eName1->text(), layout_->eName2->text()));
    command(MatchCommand::of(MatchCommand::Kind::Play));
}

void TFormMain::bResetClick()
{
    if (!FDlgYesNo || FDlgYesNo->ask(QStringLiteral("Reset?")) != TFDlgYesNo::mrYes)
        return;
    command(MatchCommand::of(MatchCommand::Kind::Reset));
}

void TFormMain::RekClick(int tag)
{
    const QString before = title_->fileName();
    title_->RekClick(tag);
    if (title_->fileName() != before)
        command(MatchCommand::titleFile(title_->fileName()));
}

void TFormMain::ObCFGClick()
{
    strip_->bGame()->setEnabled(QFileInfo::exists(QLatin1String(kCompanionFile)));
    refreshMonitorList();
    strip_->open();
}

void TFormMain::sbCloseClick()
{
    strip_->close();
}

// Called when the focus moves from inside the strip to a control outside it.
void TFormMain::PanelCFGExit()
{
    // Going full screen and back moves the focus through the full-screen window.
    if (fullScreenView() && QApplication::focusWidget() == fullScreenView())
        return;
    strip_->close();
}

void TFormMain::bGameClick()
{
    strip_->sbClose()->click();
    shell_.open(QLatin1String(kCompanionFile), ShowCommand::ShowMaximized);
}

void TFormMain::ImageDEClick()
{
    shell_.open(QLatin1String(kLogoAddress), ShowCommand::Restore);
}

void TFormMain::refreshMonitorList()
{
    strip_->refreshMonitorList(monitors_.monitors(), monitor_);
}

void TFormMain::cbMonitorChange(int index)
{
    monitor_ = index;
}

void TFormMain::applyScheme()
{
    scheme_->apply();
    formatDisplay_->showWinner();
    formatDisplay_->showTieBreakMarks();
}

void TFormMain::cbColorChange(ToColorCombo *sender)
{
    scheme_->setColour(sender->Tag(), sender->ColorValue());
    applyScheme();
}

void TFormMain::cbTieBreakClick()
{
    const bool on = strip_->cbTieBreak()->isChecked();
    command(MatchCommand::withValue(MatchCommand::Kind::TieBreakOption, on ? 1 : 0));
    layout_->LabelTbOn->setVisible(on);
    formats_->showFormat(score().format());
}

void TFormMain::rgCountSatzClick()
{
    command(MatchCommand::withValue(MatchCommand::Kind::SetCount, strip_->countItem(0)->isChecked() ? 5 : 3));
    layout_->layOutForSets(score().setCount());
    formats_->showFormat(score().format());
}

void TFormMain::eShapeMouseDown()
{
    menuItem(QStringLiteral("mPodacha"))->trigger();
}

void TFormMain::showField(int entry)
{
    if (TLabel3D *l = fieldLabel(entry))
        l->setCaption(score().field(entry).Text);
}

void TFormMain::showPhase(int phase)
{
    layout_->showPlay(phase == MatchTimer::Running);
    layout_->showNames(!match_.timer().isRunning());
}

void TFormMain::markLeader(int entry, MatchScore::TextRole role)
{
    // The pickers' current colours, which are the scheme's once it has been applied.
    const int slot = role == MatchScore::TextRole::TextHi ? ColourScheme::kTextHi : ColourScheme::kText;
    if (TLabel3D *l = fieldLabel(entry))
        l->setFontColor(strip_->picker(slot)->ColorValue());
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    const BoardLayout &l = *layout_;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Taken here, the key reaches the focused control as an ordinary key instead.
        if (watched == this && menu_->isKeypadTwin(static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        // Edits claim some of the board's keys (Ctrl+E, Ctrl+T ...); the board's keys win,
        // but for undo and redo, which the names and the title keep for their text.
        if ((watched == l.eName1 || watched == l.eName2 || watched == title_->edit())
            && menu_->isEditorKey(static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        if (menu_->isShortcut(static_cast<QKeyEvent *>(event))) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        // The window sees the presses its controls pass up.
        if (watched == this
            || (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton))
            break;
        // The ball passes the serve on every press, the double click's second one too.
        if (watched == l.ImageBall) {
            eShapeMouseDown();
            return true;
        }
        secondPressOf_ = event->type() == QEvent::MouseButtonDblClick ? watched : nullptr;
        break;
    }
    case QEvent::MouseButtonRelease: {
        // A click is a left press released inside the control; a double click is one click.
        const auto *me = static_cast<QMouseEvent *>(event);
        auto *w = qobject_cast<QWidget *>(watched);
        if (watched == this)
            break;
        const bool secondPress = std::exchange(secondPressOf_, nullptr) == watched;
        if (secondPress || me->button() != Qt::LeftButton || !w
            || !w->rect().contains(me->position().toPoint()))
            break;
        if (watched == l.ImageDE)
            ImageDEClick();
        else if (watched == l.LabelTbOn)
            menuItem(QStringLiteral("mTieBreak"))->trigger();
        for (int n = 0; n < 5; ++n) {
            if (watched == l.LabelS[n])
                command(MatchCommand::withValue(MatchCommand::Kind::SetHeader, n + 1));
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
