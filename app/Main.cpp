#include "app/Main.h"

#include "app/BoardFonts.h"
#include "app/DlgYesNo.h"
#include "app/SettingsStore.h"
#include "app/Shape.h"
#include "controls/Label3D.h"
#include "controls/OvalBtn.h"
#include "controls/PLNClock.h"
#include "controls/oClrBox.h"
#include "platform/SystemColors.h"
#include "platform/LongTimeFormat.h"
#include "platform/Monitors.h"
#include "platform/RtfFile.h"
#include "platform/Shell.h"
#include "platform/ShortcutCode.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
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
#include <QScreen>
#include <QTextEdit>

#include <algorithm>

namespace {

constexpr auto kDesignCaption = "0.94";
constexpr int kPanelCfgHeight = 67;
constexpr int kSetFieldWidth = 55;
constexpr TColor kPlayStopped = 160;      // dark red
constexpr TColor kPlayRunning = 0x00B000; // green

// Text and ground of the platform's own controls (edits, panels, plain labels).
void setTextColour(QWidget *w, TColor c)
{
    QPalette pal = w->palette();
    if (pal.color(QPalette::WindowText) == toQColor(c) && pal.color(QPalette::Text) == toQColor(c))
        return;
    pal.setColor(QPalette::WindowText, toQColor(c));
    pal.setColor(QPalette::Text, toQColor(c));
    w->setPalette(pal);
}

void setGround(QWidget *w, TColor c)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    if (pal.color(QPalette::Window) == toQColor(c) && pal.color(QPalette::Base) == toQColor(c))
        return;
    pal.setColor(QPalette::Window, toQColor(c));
    pal.setColor(QPalette::Base, toQColor(c));
    w->setPalette(pal);
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
    const QString sansSerif = QStringLiteral("MS Sans Serif");
    auto plainLabel = [this](QWidget *parent, const char *name, QRect geometry) {
        auto *l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        return l;
    };
    // The figures share one look: a white 1-pixel frame, black bevel copies, text centred
    // vertically, on the text-field ground.
    auto figure = [&](QWidget *parent, const char *name, QRect geometry, const QFont &font,
                      TColor colour, TAlignment align = taCenter) {
        auto *l = new TLabel3D(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        l->setFirstColor(clWhite);
        l->setLastColor(clTeal);
        l->setFillGradient(false);
        l->setGradientOrientation(goHorizontal);
        l->setHighLightColor(clBlack);
        l->setShadowColor(clBlack);
        l->setBorderColor(clWhite);
        l->setBorderWidth(1);
        l->setBorderStyle(lbNormal);
        l->setColor(clBlack);
        l->setTransparent(false);
        l->setLayout(tlCenter);
        l->setAlignment(align);
        l->setFont(font);
        l->setFontColor(colour);
        l->setCursor(Qt::PointingHandCursor);
        return l;
    };
    auto onGamesDown = [this](TLabel3D *field, int entry) {
        connect(field, &TLabel3D::mouseDown, this,
                [this, entry](TLabel3D *, Qt::MouseButton button) { score().SMouseDown(entry, button); });
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
    auto ovalButton = [this](const char *name, QRect geometry, const QString &hint) {
        auto *b = new TOvalButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setCursor(Qt::PointingHandCursor);
        b->setHint(hint);
        b->setShowHint(true);
        b->setDown(false);
        b->setFlat(false);
        b->setGroupIndex(0);
        b->setLayout(blGlyphBottom);
        b->setMargin(0);
        b->setSpacing(4);
        b->setTransparent(false);
        return b;
    };
    auto toolButton = [&](const char *name, QRect geometry, const QString &hint, const char *glyph) {
        TOvalButton *b = ovalButton(name, geometry, hint);
        b->setColor(clBtnFace);
        b->setFont(boardFont(sansSerif, 11));
        b->setFontColor(clWindowText);
        b->setGlyph(QImage(QString::fromLatin1(glyph)));
        b->setNumGlyphs(2);
        b->setTransparentColor(clOlive);
        return b;
    };

    // Labels, shapes, pictures and oval buttons first: whatever owns a window lies above.
    Image1 = plainLabel(this, "Image1", {264, 24, 529, 233});
    Shape1 = serveMark("Shape1", {736, 358, 49, 49});
    LabelTieBreak = plainLabel(this, "LabelTieBreak", {620, 327, 113, 32});
    LabelTieBreak->setText(QStringLiteral("Tiebreak:"));
    LabelTieBreak->setFont(boardFont(arial, 27));
    LabelTieBreak->setCursor(Qt::PointingHandCursor);
    LabelTieBreak->hide();
    Shape2 = serveMark("Shape2", {736, 414, 49, 49});
    eSchet1 = figure(this, "eSchet1", {624, 358, 105, 49}, boardFont(arial, 45, true), clYellow);
    eSchet2 = figure(this, "eSchet2", {624, 414, 105, 49}, boardFont(arial, 45, true), clYellow);
    for (TLabel3D *points : {eSchet1, eSchet2}) {
        points->setTag(-1);
        connect(points, &TLabel3D::mouseDown, this, [this](TLabel3D *sender, Qt::MouseButton button) {
            score().eSchetMouseDown(sender == eSchet1 ? 1 : 2, button);
        });
    }
    LabTBreak1 = figure(this, "LabTBreak1", {448, 497, 55, 44}, boardFont(arial, 37, true), clYellow);
    LabTBreak2 = figure(this, "LabTBreak2", {512, 498, 55, 44}, boardFont(arial, 37, true), clYellow);
    onGamesDown(LabTBreak1, MatchScore::kLabTBreak1);
    onGamesDown(LabTBreak2, MatchScore::kLabTBreak2);
    for (TLabel3D *hidden : {LabTBreak1, LabTBreak2}) {
        hidden->setCaption(QStringLiteral("0"));
        hidden->hide();
    }
    eTime = figure(this, "eTime", {8, 274, 195, 44}, boardFont(arial, 45), clAqua);
    eTime->setCaption(QStringLiteral("00:00.00"));
    eTime->setCursor(Qt::ArrowCursor);
    ImageDE = plainLabel(this, "ImageDE", {613, 510, 175, 32});
    ImageDE->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.png")));
    ImageDE->installEventFilter(this);
    bPlay = ovalButton("bPlay", {207, 274, 45, 45}, QStringLiteral("HotKey (Pause)"));
    bPlay->setCaption(QStringLiteral("Play"));
    bPlay->setColor(kPlayStopped);
    bPlay->setFont(boardFont(sansSerif, 11, true));
    bPlay->setFontColor(clYellow);
    bPlay->setTransparentColor(clBlack);
    connect(bPlay, &TOvalButton::clicked, this, &TFormMain::bPlayClick);
    ImageBall = plainLabel(this, "ImageBall", {736, 358, 49, 49});
    ImageBall->setPixmap(QPixmap(QStringLiteral(":/pictures/ball.png")));
    ImageBall->setCursor(Qt::PointingHandCursor);
    ImageBall->setToolTip(QStringLiteral("F5"));
    ImageBall->installEventFilter(this);
    ObCFG = toolButton("ObCFG", {2, 512, 33, 33}, QStringLiteral("Einstellungen (Ctrl+E)"),
                       ":/pictures/glyph_cfg.png");
    connect(ObCFG, &TOvalButton::clicked, this, &TFormMain::ObCFGClick);
    const QFont nameFont = boardFont(arial, 37);
    LName1 = figure(this, "LName1", {8, 342, 324, 49}, nameFont, clWhite, taRightJustify);
    LName1->setHint(QStringLiteral("F1"));
    LName1->setShowHint(true);
    LName2 = figure(this, "LName2", {8, 430, 324, 49}, nameFont, clWhite, taRightJustify);
    LName2->setHint(QStringLiteral("F2"));
    LName2->setShowHint(false);
    for (TLabel3D *name : {LName1, LName2}) {
        name->setTag(-1);
        name->hide();
    }
    connect(LName1, &TLabel3D::clicked, &score(), &MatchScore::mSchet1Click);
    connect(LName2, &TLabel3D::clicked, &score(), &MatchScore::mSchet2Click);
    bReset = toolButton("bReset", {36, 512, 33, 33}, QStringLiteral("Reset (Ctrl+0)"),
                        ":/pictures/glyph_reset.png");
    bReset->setTag(-1);
    connect(bReset, &TOvalButton::clicked, this, &TFormMain::bResetClick);
    LabelTbOn = plainLabel(this, "LabelTbOn", {74, 514, 18, 32});
    LabelTbOn->setText(QStringLiteral("T"));
    LabelTbOn->setFont(boardFont(arial, 27, true));
    LabelTbOn->setCursor(Qt::PointingHandCursor);
    LabelTbOn->setToolTip(QStringLiteral("Show/Hide Tiebreak"));
    LabelTbOn->installEventFilter(this);

    createClock();
    auto nameEdit = [&](const char *name, int top, const char *text) {
        auto *e = new QLineEdit(QString::fromLatin1(text), this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(8, top, 324, 50);
        e->setFont(nameFont);
        setGround(e, clBlack);
        setTextColour(e, clWhite);
        e->installEventFilter(this);
        return e;
    };
    eName1 = nameEdit("eName1", 358, "Name 1");
    eName2 = nameEdit("eName2", 414, "Name 2");
    eTitle = new QTextEdit(this);
    eTitle->setObjectName(QStringLiteral("eTitle"));
    eTitle->setGeometry(256, 8, 530, 320);
    eTitle->setFrameStyle(QFrame::NoFrame);
    setGround(eTitle, clBlack);
    setTextColour(eTitle, clWhite);
    eTitle->installEventFilter(this);
    createPanelCFG();
    createPanelSatz();

    const QFont headerFont = boardFont(sansSerif, 16);
    const QFont gamesFont = boardFont(arial, 45, true);
    for (int n = 0; n < 5; ++n) {
        auto *h = plainLabel(PanelSatz, "", {54 * n, 0, 56, 20});
        h->setObjectName(QStringLiteral("LabelS%1").arg(n + 1));
        h->setText(QStringLiteral("Satz %1").arg(n + 1));
        h->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        h->setFont(headerFont);
        setTextColour(h, clWhite);
        h->setCursor(Qt::PointingHandCursor);
        h->installEventFilter(this);
        LabelS[n] = h;
    }
    auto gamesField = [&](int side, int n) {
        TLabel3D *l = figure(PanelSatz, "", {54 * n, side == 1 ? 21 : 77, kSetFieldWidth, 49},
                             gamesFont, clWhite);
        l->setObjectName(QStringLiteral("S%1_%2").arg(side).arg(n + 1));
        l->setTag(-1);
        onGamesDown(l, MatchScore::gamesEntry(side, n + 1));
        return l;
    };
    // The upper row is created right to left, so each field lies under its left neighbour.
    for (int n = 4; n >= 0; --n)
        S1[n] = gamesField(1, n);
    for (int n = 0; n < 5; ++n)
        S2[n] = gamesField(2, n);

    setTabOrder(PLNClock1, eName1);
    setTabOrder(eName1, eName2);
    setTabOrder(eName2, eTitle);
    setTabOrder(eTitle, PanelCFG);
}

void TFormMain::createClock()
{
    PLNClock1 = new TPLNClock(this);
    PLNClock1->setObjectName(QStringLiteral("PLNClock1"));
    PLNClock1->setGeometry(2, 10, 249, 249);
    PLNClock1->setSpiderClock(false);
    PLNClock1->setHrStyle(hsCircle);
    PLNClock1->setHrSize(10);
    PLNClock1->setColorHr(clWhite);
    PLNClock1->setColorHrIn(clWhite);
    PLNClock1->setColorMin(clWhite);
    PLNClock1->setColorMinIn(clWhite);
    PLNClock1->setColorHandHr(clYellow);
    PLNClock1->setColorHandMin(clYellow);
    PLNClock1->setColorHandSec(clWhite);
    PLNClock1->setWidthHandHr(6);
    PLNClock1->setWidthHr(1);
    PLNClock1->setCenterSize(5);
    PLNClock1->setCenterCol(clYellow);
    PLNClock1->setColor(clBlack);
    PLNClock1->setFont(boardFont(QStringLiteral("MS Sans Serif"), 12, true));
    PLNClock1->setFontColor(clYellow);
    PLNClock1->setBevelWidth(3);
    PLNClock1->setBevelInner(bvNone);
    PLNClock1->setBevelOuter(bvNone);
    PLNClock1->setFocus(); // the window's first focused control
}

void TFormMain::createPanelSatz()
{
    PanelSatz = new QFrame(this);
    PanelSatz->setObjectName(QStringLiteral("PanelSatz"));
    PanelSatz->setGeometry(340, 337, 271, 126);
    setGround(PanelSatz, clHotLight); // the scheme's "Display:" colour replaces it at start
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
    sbClose->setAutoDefault(true); // Enter presses the focused button, as Space does
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

    createColourPickers();
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

    setTabOrder(gbFarbe, bGame);
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

void TFormMain::createColourPickers()
{
    gbFarbe = new QGroupBox(QStringLiteral("Farben"), PanelCFG);
    gbFarbe->setObjectName(QStringLiteral("gbFarbe"));
    gbFarbe->setGeometry(32, 2, 377, 60);
    struct Caption { const char *name; const char *text; QRect geometry; };
    const Caption captions[] = {
        {"Label3", "TextHi:", {261, 18, 34, 13}}, {"Label4", "Display:", {3, 21, 37, 13}},
        {"Label5", "Border:", {132, 40, 34, 13}}, {"Label16", "Text:", {134, 18, 24, 13}},
        {"Label17", "TextFon:", {4, 40, 42, 13}}};
    for (const Caption &c : captions) {
        auto *l = new QLabel(QString::fromLatin1(c.text), gbFarbe);
        l->setObjectName(QString::fromLatin1(c.name));
        l->setGeometry(c.geometry);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // In creation order: cbColor1, cbColor0, cbColor2, cbColor3, cbColor4.
    const std::pair<int, QRect> pickers[] = {{1, {49, 38, 73, 19}}, {0, {41, 16, 56, 19}},
                                             {2, {161, 16, 73, 19}}, {3, {169, 38, 73, 19}},
                                             {4, {297, 16, 73, 19}}};
    for (const auto &[slot, geometry] : pickers) {
        auto *c = new ToColorCombo(gbFarbe);
        c->setObjectName(QStringLiteral("cbColor%1").arg(slot));
        c->setGeometry(geometry);
        c->setTag(slot);
        c->setColorSet({clrPure, clrUser});
        c->setDrawColorName(false);
        // The value first, the user colour after it, and the callback only then: no
        // picker has raised a change when the window's creation step begins.
        c->setColorValue(slot == 4 ? clYellow : clBlack);
        c->setColorUser(clBlack);
        connect(c, &ToColorCombo::changed, this, &TFormMain::cbColorChange);
        cbColor[slot] = c;
    }
    for (int slot = 0; slot < 4; ++slot)
        setTabOrder(cbColor[slot], cbColor[slot + 1]);
}

QList<QWidget *> TFormMain::textFields() const
{
    QList<QWidget *> list{eName1, LName1, eName2, LName2};
    for (TLabel3D *f : S1)
        list << f;
    for (TLabel3D *f : S2)
        list << f;
    list << eSchet1 << eSchet2 << eTime << LabTBreak1 << LabTBreak2;
    return list;
}

void TFormMain::applyScheme()
{
    setGround(this, scheme_[0]);
    // The clock repaints on every assignment; an unchanged scheme must not make it flicker.
    if (PLNClock1->Color() != scheme_[0])
        PLNClock1->setColor(scheme_[0]);
    setGround(eTitle, scheme_[0]);
    setGround(PanelSatz, scheme_[0]);
    const QList<QWidget *> fields = textFields();
    for (QWidget *w : fields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setColor(scheme_[1]);
        else
            setGround(w, scheme_[1]);
    }
    for (QWidget *w : fields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setFontColor(scheme_[2]);
        else
            setTextColour(w, scheme_[2]);
    }
    for (QLabel *header : LabelS)
        setTextColour(header, scheme_[2]);
    for (QWidget *w : fields) {
        if (auto *l = qobject_cast<TLabel3D *>(w))
            l->setBorderColor(scheme_[3]);
    }
    Shape1->setPenColor(toQColor(scheme_[3]));
    Shape2->setPenColor(toQColor(scheme_[3]));
}

void TFormMain::cbColorChange(ToColorCombo *sender)
{
    scheme_[sender->Tag()] = sender->ColorValue();
    applyScheme();
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
    connect(&match_.timer(), &MatchTimer::elapsedTextChanged, eTime, &TLabel3D::setCaption);
}

void TFormMain::FormCreate()
{
    setWindowTitle(QCoreApplication::applicationName() + u' ' + QLatin1String(kDesignCaption));
    const QFileInfo program(QCoreApplication::applicationFilePath());
    eTitle->setToolTip(program.absolutePath() + u'/' + program.completeBaseName()
                       + QStringLiteral(".rtf"));
    // A missing or unreadable title file leaves the title area empty.
    loadRtfFile(*eTitle->document(), titleFileName());
    eTitle->document()->setModified(false);
    eTime->setCaption(match_.timer().elapsedText());
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
    applyScheme();
    for (int slot = 0; slot < 5; ++slot)
        cbColor[slot]->setColorValue(scheme_[slot]);
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
    // Written whole or not at all: a failed save keeps the old file.
    if (eTitle->document()->isModified())
        saveRtfFile(*eTitle->document(), titleFileName());
}

TLabel3D *TFormMain::fieldLabel(int entry) const
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
    // A missing or unreadable file changes nothing, not even the file name.
    const QString name = QString::number(tag) + QStringLiteral(".rtf");
    if (!loadRtfFile(*eTitle->document(), name))
        return;
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
    if (TLabel3D *l = fieldLabel(entry))
        l->setCaption(score().field(entry).Text);
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
    bPlay->setCaption(running ? QStringLiteral("Pause") : QStringLiteral("Play"));
    bPlay->setColor(running ? kPlayRunning : kPlayStopped);
    const bool editing = !match_.timer().isRunning();
    eName1->setVisible(editing);
    eName2->setVisible(editing);
    if (!editing) {
        LName1->setCaption(eName1->text() + u' ');
        LName2->setCaption(eName2->text() + u' ');
    }
    LName1->setVisible(!editing);
    LName2->setVisible(!editing);
}

void TFormMain::markLeader(int entry, MatchScore::TextRole role)
{
    // The pickers' current colours, which are the scheme's once it has been applied.
    if (TLabel3D *l = fieldLabel(entry))
        l->setFontColor(cbColor[role == MatchScore::TextRole::TextHi ? 4 : 2]->ColorValue());
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
    case QEvent::MouseButtonPress: {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
            break;
        if (watched == ImageBall) {
            eShapeMouseDown();
            return true;
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
