#include "app/BoardLayout.h"

#include "app/BoardClock.h"
#include "app/BoardFonts.h"
#include "controls/NameEdit.h"
#include "controls/Shape.h"
#include "app/WidgetColours.h"
#include "core/MatchScore.h"
#include "controls/Label3D.h"
#include "controls/OvalBtn.h"
#include "controls/PLNClock.h"
#include "gdi/SystemColors.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include <limits>

namespace {

const QString kArial = QStringLiteral("Arial");
const QString kSansSerif = QStringLiteral("MS Sans Serif");

QLabel *plainLabel(QWidget *parent, const QString &name, QRect geometry)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

// The figures share one look: a white 1-pixel frame, black bevel copies, text centred
// vertically, on the text-field ground.
TLabel3D *figure(QWidget *parent, const QString &name, QRect geometry, const QFont &font,
                 TColor colour, TAlignment align = taCenter)
{
    auto *l = new TLabel3D(parent);
    l->setObjectName(name);
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
}

TShape *serveMark(QWidget *parent, const QString &name, QRect geometry)
{
    auto *s = new TShape(parent);
    s->setObjectName(name);
    s->setGeometry(geometry);
    s->setCursor(Qt::PointingHandCursor);
    s->setToolTip(QStringLiteral("F5"));
    return s;
}

TOvalButton *ovalButton(QWidget *parent, const QString &name, QRect geometry, const QString &hint)
{
    auto *b = new TOvalButton(parent);
    b->setObjectName(name);
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
}

TOvalButton *toolButton(QWidget *parent, const QString &name, QRect geometry, const QString &hint,
                        const QString &glyph)
{
    TOvalButton *b = ovalButton(parent, name, geometry, hint);
    b->setColor(clBtnFace);
    b->setFont(boardFont(kSansSerif, 11));
    b->setFontColor(clWindowText);
    b->setGlyph(QImage(glyph));
    b->setNumGlyphs(2);
    b->setTransparentColor(clOlive);
    return b;
}

} // namespace

BoardLayout::BoardLayout(QWidget &w) : window(w), laidOutFor_(w.size())
{
    QWidget *board = &window;
    // Labels, shapes, pictures and oval buttons first: whatever owns a window lies above.
    Image1 = plainLabel(board, QStringLiteral("Image1"), {264, 24, 529, 233});
    Shape1 = serveMark(board, QStringLiteral("Shape1"), {736, 358, 49, 49});
    LabelTieBreak = plainLabel(board, QStringLiteral("LabelTieBreak"), {620, 327, 113, 32});
    LabelTieBreak->setText(QStringLiteral("Tiebreak:"));
    LabelTieBreak->setFont(boardFont(kArial, 27));
    LabelTieBreak->setCursor(Qt::PointingHandCursor);
    LabelTieBreak->hide();
    Shape2 = serveMark(board, QStringLiteral("Shape2"), {736, 414, 49, 49});
    const QFont pointsFont = boardFont(kArial, 45, true);
    eSchet1 = figure(board, QStringLiteral("eSchet1"), {624, 358, 105, 49}, pointsFont, clYellow);
    eSchet2 = figure(board, QStringLiteral("eSchet2"), {624, 414, 105, 49}, pointsFont, clYellow);
    for (TLabel3D *points : {eSchet1, eSchet2})
        points->setTag(-1);
    const QFont tieBreakFont = boardFont(kArial, 37, true);
    LabTBreak1 = figure(board, QStringLiteral("LabTBreak1"), {448, 497, 55, 44}, tieBreakFont, clYellow);
    LabTBreak2 = figure(board, QStringLiteral("LabTBreak2"), {512, 498, 55, 44}, tieBreakFont, clYellow);
    for (TLabel3D *hidden : {LabTBreak1, LabTBreak2}) {
        hidden->setCaption(QStringLiteral("0"));
        hidden->hide();
    }
    eTime = figure(board, QStringLiteral("eTime"), {8, 274, 195, 44}, boardFont(kArial, 45), clAqua);
    eTime->setCaption(QStringLiteral("00:00.00"));
    eTime->setCursor(Qt::ArrowCursor);
    ImageDE = plainLabel(board, QStringLiteral("ImageDE"), {613, 510, 175, 32});
    ImageDE->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.png")));
    ImageDE->installEventFilter(board);
    bPlay = ovalButton(board, QStringLiteral("bPlay"), {207, 274, 45, 45}, QStringLiteral("HotKey (Pause)"));
    bPlay->setCaption(QStringLiteral("Play"));
    bPlay->setColor(kPlayStopped);
    bPlay->setFont(boardFont(kSansSerif, 11, true));
    bPlay->setFontColor(clYellow);
    bPlay->setTransparentColor(clBlack);
    ImageBall = plainLabel(board, QStringLiteral("ImageBall"), {736, 358, 49, 49});
    ImageBall->setPixmap(QPixmap(QStringLiteral(":/pictures/ball.png")));
    ImageBall->setCursor(Qt::PointingHandCursor);
    ImageBall->setToolTip(QStringLiteral("F5"));
    ImageBall->installEventFilter(board);
    ObCFG = toolButton(board, QStringLiteral("ObCFG"), {2, 512, 33, 33},
                       QStringLiteral("Einstellungen (Ctrl+E)"), QStringLiteral(":/pictures/glyph_cfg.png"));
    const QFont nameFont = boardFont(kArial, 37);
    LName1 = figure(board, QStringLiteral("LName1"), {8, 342, 324, 49}, nameFont, clWhite, taRightJustify);
    LName1->setHint(QStringLiteral("F1"));
    LName1->setShowHint(true);
    LName2 = figure(board, QStringLiteral("LName2"), {8, 430, 324, 49}, nameFont, clWhite, taRightJustify);
    LName2->setHint(QStringLiteral("F2"));
    LName2->setShowHint(false);
    for (TLabel3D *name : {LName1, LName2}) {
        name->setTag(-1);
        name->hide();
    }
    bReset = toolButton(board, QStringLiteral("bReset"), {36, 512, 33, 33},
                        QStringLiteral("Reset (Ctrl+0)"), QStringLiteral(":/pictures/glyph_reset.png"));
    bReset->setTag(-1);
    LabelTbOn = plainLabel(board, QStringLiteral("LabelTbOn"), {74, 514, 18, 32});
    LabelTbOn->setText(QStringLiteral("T"));
    LabelTbOn->setFont(boardFont(kArial, 27, true));
    LabelTbOn->setCursor(Qt::PointingHandCursor);
    LabelTbOn->setToolTip(QStringLiteral("Show/Hide Tiebreak"));
    LabelTbOn->installEventFilter(board);

    PLNClock1 = new TPLNClock(board);
    PLNClock1->setObjectName(QStringLiteral("PLNClock1"));
    setUpBoardClock(*PLNClock1);
    PLNClock1->move(2, 10);
    PLNClock1->setFocus(); // the window's first focused control

    auto nameEdit = [&](const QString &name, int top, const QString &text) {
        auto *e = new NameEdit(text, board);
        // The store keeps names of any length; the edit's default would cut them.
        e->setMaxLength(std::numeric_limits<int>::max());
        e->setObjectName(name);
        e->setGeometry(8, top, 324, 50);
        e->setFont(nameFont);
        setGround(e, clBlack);
        setTextColour(e, clWhite);
        e->installEventFilter(board);
        return e;
    };
    eName1 = nameEdit(QStringLiteral("eName1"), 358, QStringLiteral("Name 1"));
    eName2 = nameEdit(QStringLiteral("eName2"), 414, QStringLiteral("Name 2"));
}

void BoardLayout::createSetPanel(QWidget *title, QWidget *strip)
{
    PanelSatz = new QFrame(&window);
    PanelSatz->setObjectName(QStringLiteral("PanelSatz"));
    PanelSatz->setGeometry(340, 337, 271, 126);
    setGround(PanelSatz, clHotLight); // the scheme's "Display:" colour replaces it at start

    const QFont headerFont = boardFont(kSansSerif, 16);
    for (int n = 0; n < 5; ++n) {
        QLabel *h = plainLabel(PanelSatz, QStringLiteral("LabelS%1").arg(n + 1), {54 * n, 0, 56, 20});
        h->setText(QStringLiteral("Satz %1").arg(n + 1));
        h->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        h->setFont(headerFont);
        setTextColour(h, clWhite);
        h->setCursor(Qt::PointingHandCursor);
        h->installEventFilter(&window);
        LabelS[n] = h;
    }
    const QFont gamesFont = boardFont(kArial, 45, true);
    auto gamesField = [&](int side, int n) {
        TLabel3D *l = figure(PanelSatz, QStringLiteral("S%1_%2").arg(side).arg(n + 1),
                             {54 * n, side == 1 ? 21 : 77, kSetFieldWidth, 49}, gamesFont, clWhite);
        l->setTag(-1);
        return l;
    };
    // The upper row is created right to left, so each field lies under its left neighbour.
    for (int n = 4; n >= 0; --n)
        S1[n] = gamesField(1, n);
    for (int n = 0; n < 5; ++n)
        S2[n] = gamesField(2, n);

    QWidget::setTabOrder(PLNClock1, eName1);
    QWidget::setTabOrder(eName1, eName2);
    QWidget::setTabOrder(eName2, title);
    QWidget::setTabOrder(title, strip);
}

TLabel3D *BoardLayout::fieldLabel(int entry) const
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
    return (MatchScore::sideOfEntry(entry) == 1 ? S1 : S2)[MatchScore::setOfEntry(entry) - 1];
}

QList<QWidget *> BoardLayout::textFields() const
{
    QList<QWidget *> list{eName1, LName1, eName2, LName2};
    for (TLabel3D *f : S1)
        list << f;
    for (TLabel3D *f : S2)
        list << f;
    list << eSchet1 << eSchet2 << eTime << LabTBreak1 << LabTBreak2;
    return list;
}

void BoardLayout::layOutForSets(int count)
{
    // Neighbouring columns overlap by one pixel.
    laidOutSets_ = count;
    const int width = (kSetFieldWidth - 1) * count + 1;
    // The right edge stays: 611 at the design size, further right in a wider window.
    const int right = PanelSatz->x() + PanelSatz->width();
    PanelSatz->setGeometry(right - width, PanelSatz->y(), width, PanelSatz->height());
    const int nameWidth = PanelSatz->x() - LName1->x() - 8;
    for (QWidget *w : {static_cast<QWidget *>(LName1), static_cast<QWidget *>(eName1),
                       static_cast<QWidget *>(LName2), static_cast<QWidget *>(eName2)})
        w->resize(nameWidth, w->height());
}

void BoardLayout::followResize(QSize size)
{
    const QSize delta = size - laidOutFor_;
    laidOutFor_ = size;
    PanelSatz->move(PanelSatz->x() + delta.width(), PanelSatz->y());
    ImageDE->move(ImageDE->pos() + QPoint(delta.width(), delta.height()));
    // A hidden window gets its size only when shown, after the stored set count was laid out.
    if (laidOutSets_ != 0)
        layOutForSets(laidOutSets_);
}

void BoardLayout::showBoldHeader(int header)
{
    for (int n = 0; n < 5; ++n) {
        QFont f = LabelS[n]->font();
        f.setBold(n + 1 == header);
        LabelS[n]->setFont(f);
    }
}

void BoardLayout::showServer(int server)
{
    ImageBall->move(ImageBall->x(), (server == 0 ? Shape1 : Shape2)->y());
}

void BoardLayout::showPlay(bool running)
{
    bPlay->setCaption(running ? QStringLiteral("Pause") : QStringLiteral("Play"));
    bPlay->setColor(running ? kPlayRunning : kPlayStopped);
}

void BoardLayout::showNames(bool editing)
{
    // A hidden edit would pass the focus on down the chain, to the title area.
    if (!editing && (eName1->hasFocus() || eName2->hasFocus()))
        PLNClock1->setFocus();
    eName1->setVisible(editing);
    eName2->setVisible(editing);
    if (!editing) {
        LName1->setCaption(eName1->text() + u' ');
        LName2->setCaption(eName2->text() + u' ');
    }
    LName1->setVisible(!editing);
    LName2->setVisible(!editing);
}
