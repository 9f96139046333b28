#include "app/ScoreView.h"

#include "app/BoardFigure.h"
#include "app/BoardFonts.h"
#include "app/ColourScheme.h"
#include "app/WidgetColours.h"
#include "controls/ClickLabel.h"
#include "core/BoardModel.h"
#include "gdi/SystemColors.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>

namespace {

const QString kArial = QStringLiteral("Arial");

// In the figure's top right corner, clear of a centred one- or two-digit games figure and
// inside its 1-pixel frame.
constexpr QRect kMarkPlace{38, 2, 15, 15};

} // namespace

ScoreView::ScoreView(QWidget &window, BoardModel &model)
    : window_(window), model_(model), laidOutFor_(window.size())
{
    LabelTieBreak_ = plainLabel(&window, QStringLiteral("LabelTieBreak"), {620, 327, 113, 32});
    LabelTieBreak_->setText(QStringLiteral("Tiebreak:"));
    LabelTieBreak_->setFont(boardFont(kArial, 27));
    LabelTieBreak_->setCursor(Qt::PointingHandCursor);
    LabelTieBreak_->hide();
    const QFont pointsFont = boardFont(kArial, 45, true);
    for (int side : {1, 2}) {
        TLabel3D *points = boardFigure(&window, QStringLiteral("eSchet%1").arg(side),
                                       {624, side == 1 ? 358 : 414, 105, 49}, pointsFont, clYellow);
        points->setTag(-1);
        connect(points, &TLabel3D::mouseDown, this, [this, side](TLabel3D *, Qt::MouseButton button) {
            model_.execute(MatchCommand::pointsCorrection(side, button));
        });
        eSchet_[side - 1] = points;
    }
    const QFont tieBreakFont = boardFont(kArial, 37, true);
    for (int side : {1, 2}) {
        TLabel3D *hidden = boardFigure(&window, QStringLiteral("LabTBreak%1").arg(side),
                                       {side == 1 ? 448 : 512, side == 1 ? 497 : 498, 55, 44},
                                       tieBreakFont, clYellow);
        hidden->setCaption(QStringLiteral("0"));
        hidden->hide();
        const int entry = side == 1 ? MatchScore::kLabTBreak1 : MatchScore::kLabTBreak2;
        connect(hidden, &TLabel3D::mouseDown, this, [this, entry](TLabel3D *, Qt::MouseButton button) {
            model_.execute(MatchCommand::gamesCorrection(entry, button));
        });
        LabTBreak_[side - 1] = hidden;
    }

    const MatchScore *s = &model_.score();
    connect(s, &MatchScore::fieldChanged, this, &ScoreView::showField);
    connect(s, &MatchScore::decidingPointChanged, this, &ScoreView::showPoints);
    connect(s, &MatchScore::boldHeaderChanged, this, &ScoreView::showBoldHeader);
    connect(s, &MatchScore::tieBreakModeChanged, LabelTieBreak_, &QWidget::setVisible);
    connect(s, &MatchScore::setLeaderMarked, this, [this](int entry, MatchScore::TextRole role) {
        markLeader(entry, role == MatchScore::TextRole::TextHi);
    });
    connect(&model_, &BoardModel::tieBreakPointsChanged, this, &ScoreView::showTieBreakMarks);
    connect(&model_, &BoardModel::optionsChanged, this, [this] { layOutForSets(model_.score().setCount()); });
}

void ScoreView::createSetPanel()
{
    PanelSatz_ = new QFrame(&window_);
    PanelSatz_->setObjectName(QStringLiteral("PanelSatz"));
    PanelSatz_->setGeometry(340, 337, 271, 126);
    setGround(PanelSatz_, clHotLight); // the scheme's "Display:" colour replaces it at start

    const QFont headerFont = boardFont(QStringLiteral("MS Sans Serif"), 16);
    for (int n = 0; n < 5; ++n) {
        auto *h = new ClickLabel(PanelSatz_);
        h->setObjectName(QStringLiteral("LabelS%1").arg(n + 1));
        h->setGeometry(54 * n, 0, 56, 20);
        h->setText(QStringLiteral("Satz %1").arg(n + 1));
        h->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        h->setFont(headerFont);
        setTextColour(h, clWhite);
        h->setCursor(Qt::PointingHandCursor);
        connect(h, &ClickLabel::clicked, this,
                [this, n] { model_.execute(MatchCommand::withValue(MatchCommand::Kind::SetHeader, n + 1)); });
        LabelS_[n] = h;
    }
    const QFont gamesFont = boardFont(kArial, 45, true);
    gamesFont_ = gamesFont;
    const QString gamesHint = QStringLiteral("Left button +1, right button -1");
    auto gamesField = [&](int side, int n) {
        TLabel3D *l = boardFigure(PanelSatz_, QStringLiteral("S%1_%2").arg(side).arg(n + 1),
                                  {54 * n, side == 1 ? 21 : 77, kSetFieldWidth, 49}, gamesFont, clWhite);
        l->setTag(-1);
        l->setToolTip(gamesHint);
        const int entry = MatchScore::gamesEntry(side, n + 1);
        connect(l, &TLabel3D::mouseDown, this, [this, entry](TLabel3D *, Qt::MouseButton button) {
            model_.execute(MatchCommand::gamesCorrection(entry, button));
        });
        return l;
    };
    // The upper row is created right to left, so each field lies under its left neighbour.
    for (int n = 4; n >= 0; --n)
        S1_[size_t(n)] = gamesField(1, n);
    for (int n = 0; n < 5; ++n)
        S2_[size_t(n)] = gamesField(2, n);

    const QFont markFont = boardFont(kArial, 13, true);
    for (int i = 0; i < 10; ++i) {
        TLabel3D *games = (i < 5 ? S1_ : S2_)[size_t(i % 5)];
        auto *mark = new QLabel(games);
        mark->setObjectName(games->objectName() + QStringLiteral("_TB"));
        mark->setGeometry(kMarkPlace);
        mark->setFont(markFont);
        mark->setAlignment(Qt::AlignRight | Qt::AlignTop);
        // A click on the mark is a click on the games figure.
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        mark->hide();
        marks_[size_t(i)] = mark;
    }
    connect(&model_, &BoardModel::coloursChanged, this, &ScoreView::showColours);
    showColours();
}

TLabel3D *ScoreView::fieldLabel(int entry) const
{
    if (entry == MatchScore::kLabTBreak1 || entry == MatchScore::kLabTBreak2)
        return LabTBreak_[size_t(entry - MatchScore::kLabTBreak1)];
    if (entry == MatchScore::pointsEntry(1) || entry == MatchScore::pointsEntry(2))
        return eSchet_[size_t(MatchScore::sideOfEntry(entry) - 1)];
    if (!MatchScore::isGamesEntry(entry))
        return nullptr;
    return (MatchScore::sideOfEntry(entry) == 1 ? S1_ : S2_)[size_t(MatchScore::setOfEntry(entry) - 1)];
}

QLabel *ScoreView::tieBreakMark(int side, int set) const
{
    return marks_[size_t((side - 1) * 5 + set - 1)];
}

void ScoreView::showField(int entry)
{
    if (entry == MatchScore::pointsEntry(1) || entry == MatchScore::pointsEntry(2)) {
        showPoints();
        return;
    }
    if (TLabel3D *l = fieldLabel(entry))
        l->setCaption(model_.score().field(entry).Text);
    if (MatchScore::isGamesEntry(entry))
        showTieBreakMarks();
}

void ScoreView::showPoints()
{
    for (int side : {1, 2})
        eSchet_[size_t(side - 1)]->setCaption(model_.pointsText(side));
}

void ScoreView::showBoldHeader(int header)
{
    for (int n = 0; n < 5; ++n) {
        QFont f = LabelS_[size_t(n)]->font();
        f.setBold(n + 1 == header);
        LabelS_[size_t(n)]->setFont(f);
    }
    showTieBreakMarks();
}

void ScoreView::markLeader(int entry, bool highlighted)
{
    if (TLabel3D *l = fieldLabel(entry))
        l->setFontColor(model_.colour(highlighted ? ColourScheme::kTextHi : ColourScheme::kText));
    showTieBreakMarks();
}

void ScoreView::showTieBreakMarks()
{
    const MatchScore &score = model_.score();
    for (int set = 1; set <= MatchScore::kMaxSets; ++set) {
        const int loserPoints = score.tieBreakLoserPoints(set);
        const int g1 = score.games(1, set);
        const int g2 = score.games(2, set);
        // The mark stands beside the loser's games, as on a printed result (7:6 with 6⁵).
        const int loser = loserPoints < 0 || g1 == g2 ? 0 : g1 < g2 ? 1 : 2;
        for (int side : {1, 2}) {
            QLabel *mark = tieBreakMark(side, set);
            const bool shown = model_.showsTieBreakPoints() && side == loser;
            TLabel3D *figure = fieldLabel(MatchScore::gamesEntry(side, set));
            if (shown) {
                mark->setText(QString::number(loserPoints));
                setTextColour(mark, figure->FontColor());
            }
            mark->setVisible(shown);
            fitGamesFigure(figure, shown);
        }
    }
}

void ScoreView::fitGamesFigure(TLabel3D *figure, bool marked)
{
    const QString text = figure->Caption();
    // One digit always fits beside the mark, centred as ever.
    const bool apart = marked && text.size() > 1;
    const int room = apart ? kMarkPlace.left() - 3 : kSetFieldWidth - 4;
    QFont font = gamesFont_;
    while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    if (font != figure->font())
        figure->setFont(font);
    figure->setAlignment(apart ? taLeftJustify : taCenter);
}

void ScoreView::showColours()
{
    const ColourScheme::Colours &c = model_.colours();
    setGround(PanelSatz_, c[ColourScheme::kDisplay]);
    for (int side : {1, 2}) {
        for (TLabel3D *games : side == 1 ? S1_ : S2_)
            ColourScheme::showOnTextField(games, c);
    }
    for (TLabel3D *f : {eSchet_[0], eSchet_[1], LabTBreak_[0], LabTBreak_[1]})
        ColourScheme::showOnTextField(f, c);
    for (QLabel *header : LabelS_)
        setTextColour(header, c[ColourScheme::kText]);
    showTieBreakMarks();
}

void ScoreView::layOutForSets(int count)
{
    // Neighbouring columns overlap by one pixel.
    laidOutSets_ = count;
    const int width = (kSetFieldWidth - 1) * count + 1;
    // The right edge stays: 611 at the design size, further right in a wider window.
    const int right = PanelSatz_->x() + PanelSatz_->width();
    PanelSatz_->setGeometry(right - width, PanelSatz_->y(), width, PanelSatz_->height());
    emit setPanelMoved(PanelSatz_->x());
}

void ScoreView::followResize(QSize size)
{
    const QSize delta = size - laidOutFor_;
    laidOutFor_ = size;
    PanelSatz_->move(PanelSatz_->x() + delta.width(), PanelSatz_->y());
    // A hidden window gets its size only when shown, after the stored set count was laid out.
    if (laidOutSets_ != 0)
        layOutForSets(laidOutSets_);
}
