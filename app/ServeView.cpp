#include "app/ServeView.h"

#include "app/ColourScheme.h"
#include "app/LargePicture.h"
#include "controls/ClickLabel.h"
#include "controls/Shape.h"
#include "core/BoardModel.h"
#include "gdi/SystemColors.h"

ServeView::ServeView(QWidget &window, BoardModel &model) : model_(model), window_(window)
{
    for (int side : {1, 2}) {
        auto *s = new TShape(&window);
        s->setObjectName(QStringLiteral("Shape%1").arg(side));
        s->setGeometry(736, side == 1 ? 358 : 414, 49, 49);
        s->setCursor(Qt::PointingHandCursor);
        s->setToolTip(QStringLiteral("F5"));
        connect(s, &TShape::mouseDown, this,
                [this] { model_.execute(MatchCommand::of(MatchCommand::Kind::Serve)); });
        Shape_[size_t(side - 1)] = s;
    }
    connect(&model_.score(), &MatchScore::serverChanged, this, &ServeView::showServer);
    connect(&model_.score(), &MatchScore::matchWinnerChanged, this, &ServeView::showMatchOver);
    connect(&model_, &BoardModel::coloursChanged, this, &ServeView::showColours);
    showColours();
}

void ServeView::createBall()
{
    ImageBall_ = new ClickLabel(&window_);
    ImageBall_->setObjectName(QStringLiteral("ImageBall"));
    ImageBall_->setGeometry(736, 358, 49, 49);
    ImageBall_->setPixmap(largePicture("ball", false));
    ImageBall_->setCursor(Qt::PointingHandCursor);
    ImageBall_->setToolTip(QStringLiteral("F5"));
    // Every press passes the serve, a double click's second one too.
    connect(ImageBall_, &ClickLabel::pressed, this,
            [this] { model_.execute(MatchCommand::of(MatchCommand::Kind::Serve)); });
}

void ServeView::showServer(int server)
{
    ImageBall_->move(ImageBall_->x(), Shape_[server == 0 ? 0 : 1]->y());
}

void ServeView::showMatchOver()
{
    if (ImageBall_)
        ImageBall_->setVisible(!model_.score().matchOver());
}

void ServeView::showColours()
{
    for (TShape *mark : Shape_)
        mark->setPenColor(toQColor(model_.colour(ColourScheme::kBorder)));
}

void ServeView::showLargePictures(bool large)
{
    ImageBall_->setPixmap(largePicture("ball", large));
}
