#include "app/NamesView.h"

#include "app/BoardFigure.h"
#include "app/BoardFonts.h"
#include "app/ColourScheme.h"
#include "app/PacedSender.h"
#include "app/WidgetColours.h"
#include "controls/NameEdit.h"
#include "core/BoardModel.h"

#include <limits>

namespace {
const QFont &nameFont()
{
    static const QFont font = boardFont(QStringLiteral("Arial"), 37);
    return font;
}
} // namespace

NamesView::NamesView(QWidget &window, BoardModel &model) : window_(window), model_(model)
{
    for (int side : {1, 2}) {
        // Where the edit stands: the figure takes its place while the match runs.
        TLabel3D *name = boardFigure(&window, QStringLiteral("LName%1").arg(side),
                                     {8, side == 1 ? 358 : 414, 324, 49}, nameFont(), clWhite, taRightJustify);
        name->setHint(QStringLiteral("F%1").arg(side));
        name->setShowHint(side == 1);
        name->setTag(-1);
        name->hide();
        connect(name, &TLabel3D::clicked, this,
                [this, side] { model_.execute(MatchCommand::point(side, MatchCommand::PointSource::NameLabel)); });
        LName_[size_t(side - 1)] = name;
    }
    connect(&model_, &BoardModel::namesChanged, this, &NamesView::showNames);
    connect(&model_.timer(), &MatchTimer::phaseChanged, this,
            [this] { showEditing(!model_.timer().isRunning()); });
    connect(&model_.score(), &MatchScore::matchWinnerChanged, this, &NamesView::showWinner);
}

void NamesView::createEdits()
{
    typing_ = new PacedSender([this] { sendTyped(); }, this);
    // A name typed just before Pause or a point belongs to the match before that command.
    connect(&model_, &BoardModel::commandComing, typing_, &PacedSender::flush);
    for (int side : {1, 2}) {
        auto *e = new NameEdit(model_.name(side), &window_);
        // The store keeps names of any length; the edit's default would cut them.
        e->setMaxLength(std::numeric_limits<int>::max());
        e->setObjectName(QStringLiteral("eName%1").arg(side));
        e->setGeometry(8, side == 1 ? 358 : 414, 324, 50);
        e->setFont(nameFont());
        setGround(e, clBlack);
        setTextColour(e, clWhite);
        connect(e, &QLineEdit::textChanged, typing_, &PacedSender::changed);
        // Left or confirmed with Enter: the name as it stands now.
        connect(e, &QLineEdit::editingFinished, typing_, &PacedSender::flush);
        eName_[size_t(side - 1)] = e;
    }
    showNames();
    connect(&model_, &BoardModel::coloursChanged, this, &NamesView::showColours);
    showColours();
}

void NamesView::sendTyped()
{
    const QString name1 = eName_[0]->text();
    const QString name2 = eName_[1] ? eName_[1]->text() : model_.name(2);
    if (name1 != model_.name(1) || name2 != model_.name(2))
        model_.execute(MatchCommand::typedNames(name1, name2));
}

void NamesView::showNames()
{
    for (int side : {1, 2}) {
        NameEdit *e = eName_[size_t(side - 1)];
        // Not sent back: the other edit may not show the model's name yet.
        const QSignalBlocker quiet(e);
        if (e->text() != model_.name(side))
            e->setText(model_.name(side));
        LName_[size_t(side - 1)]->setCaption(model_.name(side) + u' ');
    }
}

void NamesView::showEditing(bool editing)
{
    // A hidden edit would pass the focus on down the chain, to the title area.
    if (!editing && focusHome_ && (eName_[0]->hasFocus() || eName_[1]->hasFocus()))
        focusHome_->setFocus();
    for (int i = 0; i < 2; ++i) {
        eName_[size_t(i)]->setVisible(editing);
        LName_[size_t(i)]->setVisible(!editing);
    }
}

void NamesView::showWinner()
{
    const int winner = model_.winner();
    for (int side : {1, 2}) {
        const TColor c = model_.colour(side == winner ? ColourScheme::kTextHi : ColourScheme::kText);
        LName_[size_t(side - 1)]->setFontColor(c);
        setTextColour(eName_[size_t(side - 1)], c);
    }
}

void NamesView::showColours()
{
    for (int i = 0; i < 2; ++i) {
        ColourScheme::showOnTextField(eName_[size_t(i)], model_.colours());
        ColourScheme::showOnTextField(LName_[size_t(i)], model_.colours());
    }
    showWinner();
}

void NamesView::fitTo(int setPanelLeft)
{
    const int width = setPanelLeft - LName_[0]->x() - 8;
    for (int i = 0; i < 2; ++i) {
        LName_[size_t(i)]->resize(width, LName_[size_t(i)]->height());
        eName_[size_t(i)]->resize(width, eName_[size_t(i)]->height());
    }
}

QWidget *NamesView::edit(int side) const
{
    return eName_[size_t(side - 1)];
}
