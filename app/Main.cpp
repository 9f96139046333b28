#include "app/Main.h"

#include "app/BoardFonts.h"
#include "app/DlgYesNo.h"
#include "app/SettingsStore.h"
#include "app/Shape.h"
#include "platform/LongTimeFormat.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"
#include "platform/ShortcutCode.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSaveFile>
#include <QScreen>
#include <QTextEdit>

#include <algorithm>

namespace {

constexpr auto kDesignCaption = "0.94";
constexpr int kPanelCfgHeight = 67;
constexpr int kSetFieldWidth = 55;
constexpr std::uint32_t kPlayStopped = 160;      // dark red
constexpr std::uint32_t kPlayRunning = 0x00B000; // green

QColor fromTColor(std::uint32_t c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void setTextColour(QWidget *w, std::uint32_t c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, fromTColor(c));
    pal.setColor(QPalette::Text, fromTColor(c));
    w->setPalette(pal);
}

void setGround(QWidget *w, std::uint32_t c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, fromTColor(c));
    pal.setColor(QPalette::Base, fromTColor(c));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setButtonColour(QPushButton *b, std::uint32_t c)
{
    QPalette pal = b->palette();
    pal.setColor(QPalette::Button, fromTColor(c));
    b->setPalette(pal);
}

// Keys of the hidden menu, in menu order: name, caption, shortcut code.
struct MenuRow
{
    const char *name;
    const char *caption;
    int shortcut;
};
constexpr MenuRow kKeys[] = {
    {"mPause", "Pause", 0}, // the Pause key is given at creation
    {"Reset1", "Reset", 16432},   {"mPodacha", "Podacha", 116}, {"Config1", "Config", 16453},
    {"mSchet1", "Schet1", 112},   {"mSchet2", "Schet2", 113},   {"Game1", "Game", 16455},
    {"Set1", "Set", 16467},       {"mTieBreak", "TieBreak", 16468},
};
constexpr int kPauseKey = 19;
constexpr int kFirstRekShortcut = 16433; // Ctrl+1

} // namespace

TFormMain::TFormMain(const TickSource &ticks, const MonitorSource &monitors, Shell &shell,
                     QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      match_(ticks, formatLongTime(QTime(0, 0, 0))), monitors_(monitors), shell_(shell)
{
    setObjectName(QStringLiteral("FormMain"));
    setFixedSize(kClientWidth, kClientHeight);
    move(kDesignLeft, kDesignTop);
    setGround(this, scheme_[0]);
    setTextColour(this, 0xFFFFFF);
    setFont(boardFont(QStringLiteral("MS Sans Serif"), 11));
    createControls();
    createMenu();
    connectMatch();
    FormCreate();
}

TFormMain::~TFormMain()
{
    FormDestroy();
}

void TFormMain::createControls()
{
    const QString arial = QStringLiteral("Arial");
    auto plainLabel = [this](const char *name, QRect geometry) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        return l;
    };
    auto figure = [&](const char *name, QRect geometry, const QFont &font, std::uint32_t colour,
                      Qt::Alignment align = Qt::AlignCenter) {
        QLabel *l = plainLabel(name, geometry);
        l->setFont(font);
        l->setAlignment(align);
        setTextColour(l, colour);
        setGround(l, scheme_[1]);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        return l;
    };
    auto serveMark = [this](const char *name, QRect geometry) {
        auto *s = new TShape(this);
        s->setObjectName(QString::fromLatin1(name));
        s->setGeometry(geometry);
        s->setCursor(Qt::PointingHandCursor);
        s->setToolTip(QStringLiteral("F5"));
        connect(s, &TShape::mouseDown, this, &TFormMain::eShapeMouseDown);
        return s;
    };
    auto button = [this](const char *name, QRect geometry, const QString &hint) {
        auto *b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setCursor(Qt::PointingHandCursor);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };

    // Labels, shapes and pictures first: everything that owns a window lies above them.
    Image1 = plainLabel("Image1", {264, 24, 529, 233});
    Shape1 = serveMark("Shape1", {736, 358, 49, 49});
    LabelTieBreak = plainLabel("LabelTieBreak", {620, 327, 113, 32});
    LabelTieBreak->setText(QStringLiteral("Tiebreak:"));
    LabelTieBreak->setFont(boardFont(arial, 27));
    LabelTieBreak->setCursor(Qt::PointingHandCursor);
    LabelTieBreak->hide();
    Shape2 = serveMark("Shape2", {736, 414, 49, 49});
    eSchet1 = figure("eSchet1", {624, 358, 105, 49}, boardFont(arial, 45, true), 0x00FFFF);
    eSchet2 = figure("eSchet2", {624, 414, 105, 49}, boardFont(arial, 45, true), 0x00FFFF);
    LabTBreak1 = figure("LabTBreak1", {448, 497, 55, 44}, boardFont(arial, 37, true), 0x00FFFF);
    LabTBreak2 = figure("LabTBreak2", {512, 498, 55, 44}, boardFont(arial, 37, true), 0x00FFFF);
    LabTBreak1->hide();
    LabTBreak2->hide();
    eTime = figure("eTime", {8, 274, 195, 44}, boardFont(arial, 45), 0xFFFF00);
    eTime->setCursor(Qt::ArrowCursor);
    eTime->removeEventFilter(this);
    ImageDE = plainLabel("ImageDE", {613, 510, 175, 32});
    ImageDE->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.png")));
    ImageDE->installEventFilter(this);
    bPlay = button("bPlay", {207, 274, 45, 45}, QStringLiteral("HotKey (Pause)"));
    bPlay->setText(QStringLiteral("Play"));
    bPlay->setFont(boardFont(QStringLiteral("MS Sans Serif"), 11, true));
    setTextColour(bPlay, 0x00FFFF);
    setButtonColour(bPlay, kPlayStopped);
    connect(bPlay, &QPushButton::clicked, this, &TFormMain::bPlayClick);
    ImageBall = plainLabel("ImageBall", {736, 358, 49, 49});
    ImageBall->setPixmap(QPixmap(QStringLiteral(":/pictures/ball.png")));
    ImageBall->setCursor(Qt::PointingHandCursor);
    ImageBall->setToolTip(QStringLiteral("F5"));
    ImageBall->installEventFilter(this);
    ObCFG = button("ObCFG", {2, 512, 33, 33}, QStringLiteral("Einstellungen (Ctrl+E)"));
    connect(ObCFG, &QPushButton::clicked, this, &TFormMain::ObCFGClick);
    const QFont nameFont = boardFont(arial, 37);
    LName1 = figure("LName1", {8, 342, 324, 49}, nameFont, 0xFFFFFF, Qt::AlignRight | Qt::AlignVCenter);
    LName1->setToolTip(QStringLiteral("F1"));
    LName1->hide();
    LName2 = figure("LName2", {8, 430, 324, 49}, nameFont, 0xFFFFFF, Qt::AlignRight | Qt::AlignVCenter);
    LName2->setToolTip(QStringLiteral("F2")); // kept, but never shown: see eventFilter
    LName2->hide();
    bReset = button("bReset", {36, 512, 33, 33}, QStringLiteral("Reset (Ctrl+0)"));
    connect(bReset, &QPushButton::clicked, this, &TFormMain::bResetClick);
    LabelTbOn = plainLabel("LabelTbOn", {74, 514, 18, 32});
    LabelTbOn->setText(QStringLiteral("T"));
    LabelTbOn->setFont(boardFont(arial, 27, true));
    LabelTbOn->setCursor(Qt::PointingHandCursor);
    LabelTbOn->setToolTip(QStringLiteral("Show/Hide Tiebreak"));
    LabelTbOn->installEventFilter(this);

    auto nameEdit = [&](const char *name, int top, const char *text) {
        auto *e = new QLineEdit(QString::fromLatin1(text), this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(8, top, 324, 50);
        e->setFont(nameFont);
        setGround(e, scheme_[1]);
        setTextColour(e, 0xFFFFFF);
        e->installEventFilter(this);
        return e;
    };
    eName1 = nameEdit("eName1", 358, "Name 1");
    eName2 = nameEdit("eName2", 414, "Name 2");
    eTitle = new QTextEdit(this);
    eTitle->setObjectName(QStringLiteral("eTitle"));
    eTitle->setGeometry(256, 8, 530, 320);
    eTitle->setFrameStyle(QFrame::NoFrame);
    setGround(eTitle, scheme_[0]);
    setTextColour(eTitle, 0xFFFFFF);
    eTitle->installEventFilter(this);
    createPanelCFG();
    createPanelSatz();
    setTabOrder(eName1, eName2);
    setTabOrder(eName2, eTitle);
}

void TFormMain::createPanelSatz()
{
    PanelSatz = new QFrame(this);
    PanelSatz->setObjectName(QStringLiteral("PanelSatz"));
    PanelSatz->setGeometry(340, 337, 271, 126);
    setGround(PanelSatz, scheme_[0]);
    const QFont headerFont = boardFont(QStringLiteral("MS Sans Serif"), 16);
    const QFont gamesFont = boardFont(QStringLiteral("Arial"), 45, true);
    for (int n = 0; n < 5; ++n) {
        auto *h = new QLabel(QStringLiteral("Satz %1").arg(n + 1), PanelSatz);
        h->setObjectName(QStringLiteral("LabelS%1").arg(n + 1));
        h->setGeometry(54 * n, 0, 56, 20);
        h->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        h->setFont(headerFont);
        h->setCursor(Qt::PointingHandCursor);
        h->installEventFilter(this);
        LabelS[n] = h;
    }
    auto gamesField = [&](int side, int n) {
        auto *l = new QLabel(PanelSatz);
        l->setObjectName(QStringLiteral("S%1_%2").arg(side).arg(n + 1));
        l->setGeometry(54 * n, side == 1 ? 21 : 77, kSetFieldWidth, 49);
        l->setFont(gamesFont);
        l->setAlignment(Qt::AlignCenter);
        setGround(l, scheme_[1]);
        setTextColour(l, scheme_[2]);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        return l;
    };
    // Created right to left in the upper row, so each field lies under its left neighbour.
    for (int n = 4; n >= 0; --n)
        S1[n] = gamesField(1, n);
    for (int n = 0; n < 5; ++n)
        S2[n] = gamesField(2, n);
}

void TFormMain::createPanelCFG()
{
    PanelCFG = new QFrame(this);
    PanelCFG->setObjectName(QStringLiteral("PanelCFG"));
    PanelCFG->setGeometry(0, 48, kClientWidth, kPanelCfgHeight);
    PanelCFG->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelCFG->setLineWidth(3);
    setGround(PanelCFG, 0xC0C0C0);
    setTextColour(PanelCFG, 0x000000);

    auto check = [this](const char *name, const char *caption, int top) {
        auto *c = new QCheckBox(QString::fromLatin1(caption), PanelCFG);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(624, top, 81, 17);
        c->setChecked(true);
        return c;
    };
    sbClose = new QPushButton(QStringLiteral("X"), PanelCFG);
    sbClose->setObjectName(QStringLiteral("sbClose"));
    sbClose->setGeometry(4, 21, 23, 23);
    sbClose->setFont(boardFont(QStringLiteral("MS Sans Serif"), 11, true));
    connect(sbClose, &QPushButton::clicked, this, &TFormMain::sbCloseClick);
    cbAutoSchet = check("cbAutoSchet", "AutoSchet", 8);
    connect(cbAutoSchet, &QCheckBox::toggled, &score(), &MatchScore::setAutoCount);
    cbTieBreak = check("cbTieBreak", "Tiebreak", 24);
    connect(cbTieBreak, &QCheckBox::toggled, this, &TFormMain::cbTieBreakClick);

    rgCountSatz = new QGroupBox(QStringLiteral("Satz"), PanelCFG);
    rgCountSatz->setObjectName(QStringLiteral("rgCountSatz"));
    rgCountSatz->setGeometry(424, 8, 49, 49);
    const char *items[] = {"5", "3"};
    for (int i = 0; i < 2; ++i) {
        auto *r = new QRadioButton(QString::fromLatin1(items[i]), rgCountSatz);
        r->setGeometry(8, 15 + 15 * i, 36, 15);
        connect(r, &QRadioButton::clicked, this, &TFormMain::rgCountSatzClick);
        rgCountSatzItems[i] = r;
    }
    rgCountSatzItems[0]->setChecked(true);

    bGame = new QPushButton(QStringLiteral("Game"), PanelCFG);
    bGame->setObjectName(QStringLiteral("bGame"));
    bGame->setGeometry(722, 10, 62, 25);
    connect(bGame, &QPushButton::clicked, this, &TFormMain::bGameClick);
    LabMonitor = new QLabel(QStringLiteral("Multimonitor:"), PanelCFG);
    LabMonitor->setObjectName(QStringLiteral("LabMonitor"));
    LabMonitor->setGeometry(622, 42, 59, 13);
    LabMonitor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cbMonitor = new QComboBox(PanelCFG);
    cbMonitor->setObjectName(QStringLiteral("cbMonitor"));
    cbMonitor->setGeometry(684, 38, 102, 21);
    cbMonitor->setEnabled(false);
    connect(cbMonitor, &QComboBox::activated, this, &TFormMain::cbMonitorChange);

    setTabOrder(bGame, cbAutoSchet);
    setTabOrder(cbAutoSchet, sbClose);
    setTabOrder(sbClose, cbTieBreak);
    setTabOrder(cbTieBreak, cbMonitor);
    setTabOrder(cbMonitor, rgCountSatzItems[0]);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *from, QWidget *to) {
        if (from && to && PanelCFG->isAncestorOf(from) && !PanelCFG->isAncestorOf(to))
            PanelCFGExit();
    });
}

void TFormMain::createMenu()
{
    Keys1 = new QMenu(QStringLiteral("Keys"), this);
    Keys1->setObjectName(QStringLiteral("Keys1"));
    Reklama1 = new QMenu(QStringLiteral("Reklama"), this);
    Reklama1->setObjectName(QStringLiteral("Reklama1"));
    // Both top-level entries stay invisible: the menu only carries the shortcuts.
    Keys1->menuAction()->setVisible(false);
    Reklama1->menuAction()->setVisible(false);

    auto item = [this](QMenu *menu, const QString &name, const QString &caption, int code) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(name);
        a->setShortcut(keySequenceFromShortcut(code));
        addAction(a); // the window, not the hidden menu, makes the shortcut live
        menuItems_.append(a);
        return a;
    };
    for (const MenuRow &row : kKeys)
        item(Keys1, QString::fromLatin1(row.name), QString::fromLatin1(row.caption), row.shortcut);
    MatchScore *s = &score();
    connect(menuItem(QStringLiteral("mPause")), &QAction::triggered, this, &TFormMain::bPlayClick);
    connect(menuItem(QStringLiteral("Reset1")), &QAction::triggered, this, &TFormMain::bResetClick);
    connect(menuItem(QStringLiteral("mPodacha")), &QAction::triggered, s, &MatchScore::mPodachaClick);
    connect(menuItem(QStringLiteral("Config1")), &QAction::triggered, this, &TFormMain::ObCFGClick);
    connect(menuItem(QStringLiteral("mSchet1")), &QAction::triggered, s, &MatchScore::mSchet1Click);
    connect(menuItem(QStringLiteral("mSchet2")), &QAction::triggered, s, &MatchScore::mSchet2Click);
    connect(menuItem(QStringLiteral("Game1")), &QAction::triggered, s, &MatchScore::Game1Click);
    connect(menuItem(QStringLiteral("Set1")), &QAction::triggered, s, &MatchScore::Set1Click);
    // Its check mark is the match's manual tie-break mark.
    mTieBreak = menuItem(QStringLiteral("mTieBreak"));
    connect(mTieBreak, &QAction::triggered, s, &MatchScore::mTieBreakClick);
    for (int tag = 1; tag <= 9; ++tag) {
        QAction *rek = item(Reklama1, QStringLiteral("Rek%1").arg(tag), QStringLiteral("Rek"),
                            kFirstRekShortcut + tag - 1);
        rek->setData(tag);
        connect(rek, &QAction::triggered, this, [this, tag] { RekClick(tag); });
    }
}

void TFormMain::connectMatch()
{
    MatchScore *s = &score();
    connect(s, &MatchScore::fieldChanged, this, &TFormMain::showField);
    connect(s, &MatchScore::boldHeaderChanged, this, &TFormMain::showBoldHeader);
    connect(s, &MatchScore::tieBreakModeChanged, LabelTieBreak, &QWidget::setVisible);
    connect(s, &MatchScore::serverChanged, this, &TFormMain::showServer);
    connect(s, &MatchScore::setLeaderMarked, this, &TFormMain::markLeader);
    connect(&match_.timer(), &MatchTimer::phaseChanged, this, &TFormMain::showPhase);
    connect(&match_.timer(), &MatchTimer::elapsedTextChanged, eTime, &QLabel::setText);
}

void TFormMain::FormCreate()
{
    setWindowTitle(QCoreApplication::applicationName() + u' ' + QLatin1String(kDesignCaption));
    const QFileInfo program(QCoreApplication::applicationFilePath());
    eTitle->setToolTip(program.absolutePath() + u'/' + program.completeBaseName()
                       + QStringLiteral(".rtf"));
    // A missing or unreadable title file leaves the title area empty.
    QFile title(titleFileName());
    if (title.open(QIODevice::ReadOnly))
        eTitle->setPlainText(QString::fromUtf8(title.readAll()));
    eTitle->document()->setModified(false);
    eTime->setText(match_.timer().elapsedText());
    PanelCFG->setGeometry(0, height() - kPanelCfgHeight, width(), kPanelCfgHeight);
    PanelCFG->hide();
    LName1->move(LName1->x(), eName1->y());
    LName2->move(LName2->x(), eName2->y());
    menuItem(QStringLiteral("mPause"))->setShortcut(keySequenceFromShortcut(kPauseKey));
    const QString gamesHint = QStringLiteral("Left button +1, right button -1");
    for (int n = 0; n < 5; ++n) {
        S1[n]->setToolTip(gamesHint);
        S2[n]->setToolTip(gamesHint);
    }
    score().setAutoCount(cbAutoSchet->isChecked());
    score().setTieBreakOption(cbTieBreak->isChecked());
    SettingsStore(*this).read();
    refreshMonitorList();
    // The colour scheme attaches here.
}

QRect TFormMain::outerBounds() const
{
    return QRect(pos(), size() + QSize(kFrameWidth, kFrameHeight));
}

void TFormMain::setOuterLeft(int left)
{
    move(left, y());
}

void TFormMain::setOuterTop(int top)
{
    move(x(), top);
}

namespace {
// A stored size may be anything; the window stays between its minimum and the desktop.
int boundedOuter(int stored, int minimum, int desktop)
{
    return std::clamp(stored, minimum, std::max(minimum, desktop));
}
} // namespace

void TFormMain::setOuterWidth(int width)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int desktop = screen ? screen->virtualGeometry().width() : kMinOuterWidth;
    setFixedWidth(boundedOuter(width, kMinOuterWidth, desktop) - kFrameWidth);
}

void TFormMain::setOuterHeight(int height)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int desktop = screen ? screen->virtualGeometry().height() : kMinOuterHeight;
    setFixedHeight(boundedOuter(height, kMinOuterHeight, desktop) - kFrameHeight);
}

void TFormMain::keepOnScreen()
{
    // The caption strip must be reachable, or the operator cannot drag the window back.
    const QRect caption(pos(), QSize(width(), kFrameHeight));
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(caption))
            return;
    }
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        move(primary->availableGeometry().topLeft());
}

void TFormMain::resizeEvent(QResizeEvent *event)
{
    // The set panel and the logo keep their distance to the right edge, the logo also to
    // the bottom; the configuration strip stays docked at the bottom.
    const QSize delta = event->size() - laidOutFor_;
    laidOutFor_ = event->size();
    PanelSatz->move(PanelSatz->x() + delta.width(), PanelSatz->y());
    ImageDE->move(ImageDE->pos() + QPoint(delta.width(), delta.height()));
    PanelCFG->setGeometry(0, height() - kPanelCfgHeight, width(), kPanelCfgHeight);
    QWidget::resizeEvent(event);
}

QString TFormMain::titleFileName() const
{
    return eTitle->toolTip();
}

bool TFormMain::FormCloseQuery()
{
    return FDlgYesNo && FDlgYesNo->ask(QStringLiteral("Beenden?")) == TFDlgYesNo::mrYes;
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TFormMain::FormDestroy()
{
    saveTitle();
    SettingsStore(*this).write();
}

void TFormMain::saveTitle()
{
    if (eTitle->document()->isModified()) {
        // Written whole or not at all: a failed save keeps the old file.
        QSaveFile file(titleFileName());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(eTitle->toPlainText().toUtf8());
            file.commit();
        }
    }
}

QLabel *TFormMain::fieldLabel(int entry) const
{
    if (entry == MatchScore::kLabTBreak1)
        return LabTBreak1;
    if (entry == MatchScore::kLabTBreak2)
        return LabTBreak2;
    if (entry == MatchScore::pointsEntry(1))
        return eSchet1;
    if (entry == MatchScore::pointsEntry(2))
        return eSchet2;
    if (!MatchScore::isGamesEntry(entry))
        return nullptr;
    return (entry < MatchScore::pointsEntry(2) ? S1 : S2)[entry % 6 - 1];
}

QAction *TFormMain::menuItem(const QString &name) const
{
    for (QAction *a : menuItems_) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

void TFormMain::bPlayClick()
{
    match_.timer().bPlayClick();
}

void TFormMain::bResetClick()
{
    if (!FDlgYesNo || FDlgYesNo->ask(QStringLiteral("Reset?")) != TFDlgYesNo::mrYes)
        return;
    match_.reset();
}

void TFormMain::RekClick(int tag)
{
    const QString name = QString::number(tag) + QStringLiteral(".rtf");
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return;
    eTitle->setPlainText(QString::fromUtf8(file.readAll()));
    eTitle->document()->setModified(false);
    eTitle->setToolTip(name);
}

void TFormMain::ObCFGClick()
{
    bGame->setEnabled(QFileInfo::exists(QLatin1String(kCompanionFile)));
    refreshMonitorList();
    PanelCFG->show();
    sbClose->setFocus();
}

void TFormMain::sbCloseClick()
{
    PanelCFG->hide();
}

// Called when the focus moves from inside the strip to a control outside it.
void TFormMain::PanelCFGExit()
{
    PanelCFG->hide();
}

void TFormMain::bGameClick()
{
    sbClose->click();
    shell_.open(QLatin1String(kCompanionFile), ShowCommand::ShowMaximized);
}

void TFormMain::ImageDEClick()
{
    shell_.open(QLatin1String(kLogoAddress), ShowCommand::Restore);
}

void TFormMain::refreshMonitorList()
{
    const QList<QRect> monitors = monitors_.monitors();
    const int n = int(monitors.size());
    cbMonitor->setEnabled(n > 1);
    LabMonitor->setEnabled(n > 1);
    if (n == lastMonitorCount_)
        return; // the operator's selection stays
    lastMonitorCount_ = n;
    cbMonitor->clear();
    if (n > 1) {
        for (int i = 0; i < n; ++i) {
            const QRect &m = monitors[i];
            cbMonitor->addItem(QString::asprintf("%d=(%d,%d)-(%d,%d)", i, m.left(), m.top(),
                                                 m.width(), m.height()));
        }
        // A remembered number that no longer exists leaves nothing selected.
        cbMonitor->setCurrentIndex(monitor_ >= 0 && monitor_ < n ? monitor_ : -1);
    } else {
        cbMonitor->addItem(QStringLiteral("Anfangswert"));
        cbMonitor->setCurrentIndex(0);
    }
}

void TFormMain::cbMonitorChange(int index)
{
    monitor_ = index;
}

void TFormMain::cbTieBreakClick()
{
    score().setTieBreakOption(cbTieBreak->isChecked());
    LabelTbOn->setVisible(cbTieBreak->isChecked());
}

void TFormMain::rgCountSatzClick()
{
    score().setSetCount(rgCountSatzItems[0]->isChecked() ? 5 : 3);
    // Neighbouring columns overlap by one pixel.
    const int width = (kSetFieldWidth - 1) * score().setCount() + 1;
    // The right edge stays: 611 at the design size, further right in a wider window.
    const int right = PanelSatz->x() + PanelSatz->width();
    PanelSatz->setGeometry(right - width, PanelSatz->y(), width, PanelSatz->height());
    const int nameWidth = PanelSatz->x() - LName1->x() - 8;
    for (QWidget *w : {static_cast<QWidget *>(LName1), static_cast<QWidget *>(eName1),
                       static_cast<QWidget *>(LName2), static_cast<QWidget *>(eName2)})
        w->resize(nameWidth, w->height());
}

void TFormMain::eShapeMouseDown()
{
    menuItem(QStringLiteral("mPodacha"))->trigger();
}

void TFormMain::showField(int entry)
{
    if (QLabel *l = fieldLabel(entry))
        l->setText(score().field(entry).Text);
}

void TFormMain::showBoldHeader(int header)
{
    for (int n = 0; n < 5; ++n) {
        QFont f = LabelS[n]->font();
        f.setBold(n + 1 == header);
        LabelS[n]->setFont(f);
    }
}

void TFormMain::showServer(int server)
{
    ImageBall->move(ImageBall->x(), (server == 0 ? Shape1 : Shape2)->y());
}

void TFormMain::showPhase(int phase)
{
    const bool running = phase == MatchTimer::Running;
    bPlay->setText(running ? QStringLiteral("Pause") : QStringLiteral("Play"));
    setButtonColour(bPlay, running ? kPlayRunning : kPlayStopped);
    const bool editing = !match_.timer().isRunning();
    eName1->setVisible(editing);
    eName2->setVisible(editing);
    if (!editing) {
        LName1->setText(eName1->text() + u' ');
        LName2->setText(eName2->text() + u' ');
    }
    LName1->setVisible(!editing);
    LName2->setVisible(!editing);
}

void TFormMain::markLeader(int entry, MatchScore::TextRole role)
{
    if (QLabel *l = fieldLabel(entry))
        setTextColour(l, scheme_[role == MatchScore::TextRole::TextHi ? 4 : 2]);
}

bool TFormMain::isShortcut(const QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    for (const QAction *a : menuItems_) {
        if (!a->shortcut().isEmpty() && a->shortcut().matches(pressed) == QKeySequence::ExactMatch)
            return true;
    }
    return false;
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Edits claim some of the board's keys (Ctrl+E, Ctrl+T ...); the board's keys win.
        if (isShortcut(static_cast<QKeyEvent *>(event))) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::ToolTip:
        // LName2 carries its hint with tooltips switched off.
        if (watched == LName2)
            return true;
        break;
    case QEvent::MouseButtonPress: {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
            break;
        if (watched == eSchet1 || watched == eSchet2) {
            score().eSchetMouseDown(watched == eSchet1 ? 1 : 2, button);
            return true;
        }
        if (watched == ImageBall) {
            eShapeMouseDown();
            return true;
        }
        for (int entry = MatchScore::gamesEntry(1, 1); entry <= MatchScore::kLabTBreak2; ++entry) {
            if (fieldLabel(entry) == watched && entry != MatchScore::pointsEntry(2)) {
                score().SMouseDown(entry, button);
                return true;
            }
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto *me = static_cast<QMouseEvent *>(event);
        auto *w = qobject_cast<QWidget *>(watched);
        if (me->button() != Qt::LeftButton || !w || !w->rect().contains(me->position().toPoint()))
            break;
        if (watched == ImageDE)
            ImageDEClick();
        if (watched == LName1)
            score().mSchet1Click();
        else if (watched == LName2)
            score().mSchet2Click();
        else if (watched == LabelTbOn)
            mTieBreak->trigger();
        for (int n = 0; n < 5; ++n) {
            if (watched == LabelS[n])
                score().LabelSClick(n + 1);
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
