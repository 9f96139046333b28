#include "app/ControlButtons.h"

#include "app/BoardFigure.h"
#include "app/BoardFonts.h"
#include "app/LargePicture.h"
#include "controls/ClickLabel.h"
#include "controls/OvalBtn.h"
#include "controls/UndoMark.h"
#include "core/BoardModel.h"
#include "gdi/SystemColors.h"

#include <QLabel>

namespace {

TOvalButton *toolButton(QWidget *parent, const QString &name, QRect geometry, const QString &hint,
                        const QString &glyph)
{
    TOvalButton *b = boardButton(parent, name, geometry, hint);
    b->setColor(clBtnFace);
    b->setFont(boardFont(QStringLiteral("MS Sans Serif"), 11));
    b->setFontColor(clWindowText);
    b->setGlyph(QImage(glyph));
    b->setNumGlyphs(2);
    b->setTransparentColor(clOlive);
    return b;
}

} // namespace

ControlButtons::ControlButtons(QWidget &window, BoardModel &model)
    : window_(window), model_(model), laidOutFor_(window.size())
{
    ImageDE_ = new ClickLabel(&window);
    ImageDE_->setObjectName(QStringLiteral("ImageDE"));
    ImageDE_->setGeometry(613, 510, 175, 32);
    ImageDE_->setPixmap(largePicture("logo", false));
    connect(ImageDE_, &ClickLabel::clicked, this, &ControlButtons::logoClicked);
    connect(&model_, &BoardModel::undone, this, &ControlButtons::showUndoMark);
}

void ControlButtons::createButtons()
{
    ObCFG_ = toolButton(&window_, QStringLiteral("ObCFG"), {2, 512, 33, 33},
                        QStringLiteral("Einstellungen (Ctrl+E)"), QStringLiteral(":/pictures/glyph_cfg.png"));
    connect(ObCFG_, &TOvalButton::clicked, this, &ControlButtons::configClicked);
    bReset_ = toolButton(&window_, QStringLiteral("bReset"), {36, 512, 33, 33},
                         QStringLiteral("Reset (Ctrl+0)"), QStringLiteral(":/pictures/glyph_reset.png"));
    bReset_->setTag(-1);
    connect(bReset_, &TOvalButton::clicked, this, &ControlButtons::resetClicked);
    LabelTbOn_ = new ClickLabel(&window_);
    LabelTbOn_->setObjectName(QStringLiteral("LabelTbOn"));
    LabelTbOn_->setGeometry(74, 514, 18, 32);
    LabelTbOn_->setText(QStringLiteral("T"));
    LabelTbOn_->setFont(boardFont(QStringLiteral("Arial"), 27, true));
    LabelTbOn_->setCursor(Qt::PointingHandCursor);
    LabelTbOn_->setToolTip(QStringLiteral("Show/Hide Tiebreak"));
    connect(LabelTbOn_, &ClickLabel::clicked, this,
            [this] { model_.execute(MatchCommand::of(MatchCommand::Kind::TieBreakToggle)); });
    connect(&model_, &BoardModel::optionsChanged, this,
            [this] { LabelTbOn_->setVisible(model_.score().tieBreakOption()); });

    // Beside the "T", in its colours: quiet enough that spectators read no score into it.
    undoMark_ = new UndoMark(&window_);
    undoMark_->setObjectName(QStringLiteral("LabelUndone"));
    undoMark_->hide();
    undoMarkTimer_.setSingleShot(true);
    undoMarkTimer_.setInterval(kUndoMarkMs);
    connect(&undoMarkTimer_, &QTimer::timeout, undoMark_, &QWidget::hide);
}

void ControlButtons::showUndoMark()
{
    const QRect t = LabelTbOn_->geometry();
    undoMark_->setGeometry(t.right() + 3, t.top(), 24, t.height());
    undoMark_->setPalette(LabelTbOn_->palette());
    undoMark_->show();
    undoMark_->raise();
    undoMarkTimer_.start();
}

void ControlButtons::followResize(QSize size)
{
    const QSize delta = size - laidOutFor_;
    laidOutFor_ = size;
    ImageDE_->move(ImageDE_->pos() + QPoint(delta.width(), delta.height()));
}

void ControlButtons::showLargePictures(bool large)
{
    ImageDE_->setPixmap(largePicture("logo", large));
}
