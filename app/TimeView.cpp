#include "app/TimeView.h"

#include "app/BoardClock.h"
#include "app/BoardFigure.h"
#include "app/BoardFonts.h"
#include "app/ColourScheme.h"
#include "controls/OvalBtn.h"
#include "controls/PLNClock.h"
#include "core/BoardModel.h"

TimeView::TimeView(QWidget &window, BoardModel &model) : window_(window), model_(model)
{
    eTime_ = boardFigure(&window, QStringLiteral("eTime"), {8, 274, 195, 44},
                         boardFont(QStringLiteral("Arial"), 45), clAqua);
    eTime_->setCaption(QStringLiteral("00:00.00"));
    eTime_->setCursor(Qt::ArrowCursor);
    bPlay_ = boardButton(&window, QStringLiteral("bPlay"), {207, 274, 45, 45}, QStringLiteral("HotKey (Pause)"));
    bPlay_->setCaption(QStringLiteral("Play"));
    bPlay_->setColor(kPlayStopped);
    bPlay_->setFont(boardFont(QStringLiteral("MS Sans Serif"), 11, true));
    bPlay_->setFontColor(clYellow);
    bPlay_->setTransparentColor(clBlack);
    connect(bPlay_, &TOvalButton::clicked, this,
            [this] { model_.execute(MatchCommand::of(MatchCommand::Kind::Play)); });

    const MatchTimer *timer = &model_.timer();
    connect(timer, &MatchTimer::elapsedTextChanged, eTime_, &TLabel3D::setCaption);
    connect(timer, &MatchTimer::phaseChanged, this, [this](int phase) { showPlay(phase == MatchTimer::Running); });
}

void TimeView::createClock()
{
    PLNClock1_ = new TPLNClock(&window_);
    PLNClock1_->setObjectName(QStringLiteral("PLNClock1"));
    setUpBoardClock(*PLNClock1_);
    PLNClock1_->move(2, 10);
    PLNClock1_->setFocus(); // the window's first focused control
    eTime_->setCaption(model_.timer().elapsedText());
    connect(&model_, &BoardModel::coloursChanged, this, &TimeView::showColours);
    showColours();
}

void TimeView::showPlay(bool running)
{
    bPlay_->setCaption(running ? QStringLiteral("Pause") : QStringLiteral("Play"));
    bPlay_->setColor(running ? kPlayRunning : kPlayStopped);
}

void TimeView::showColours()
{
    // The clock repaints on every assignment; an unchanged scheme must not make it flicker.
    if (PLNClock1_->Color() != model_.colour(ColourScheme::kDisplay))
        PLNClock1_->setColor(model_.colour(ColourScheme::kDisplay));
    ColourScheme::showOnTextField(eTime_, model_.colours());
}
