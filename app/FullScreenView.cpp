#include "app/FullScreenView.h"

#include <QCloseEvent>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

FullScreenView::FullScreenView(QWidget &board, std::function<void()> left)
    : QGraphicsView(static_cast<QWidget *>(nullptr)), board_(board), left_(std::move(left))
{
    setObjectName(QStringLiteral("FullScreenView"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(board.windowTitle());
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundBrush(Qt::black);
    setAlignment(Qt::AlignCenter);
    // Only the board's own updates repaint, and only where they fall.
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    setOptimizationFlags(QGraphicsView::DontSavePainterState | QGraphicsView::DontAdjustForAntialiasing);
    // The pictures are kept at several times their size and scaled down smoothly.
    setRenderHint(QPainter::SmoothPixmapTransform, true);
    // drawBackground paints what the board leaves: no fill of the whole screen first.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setScene(new QGraphicsScene(this));
    scene()->setBackgroundBrush(Qt::black);
    // A handful of items (the board, its pop-ups): a spatial index costs more to keep
    // than it saves on each update.
    scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
}

FullScreenView::~FullScreenView()
{
    // The scene would delete the board with its proxy.
    if (proxy_)
        proxy_->setWidget(nullptr);
}

double FullScreenView::fitFactor(QSize screen, QSize board)
{
    if (board.isEmpty())
        return 1.0;
    return std::min(double(screen.width()) / board.width(), double(screen.height()) / board.height());
}

void FullScreenView::enter(QScreen *screen)
{
    if (proxy_ || !screen)
        return;
    windowPos_ = board_.pos();
    setWindowTitle(board_.windowTitle()); // the board names itself after it is made
    // An embedded widget may not be a window on screen as well.
    board_.hide();
    proxy_ = scene()->addWidget(&board_);
    board_.show(); // in the scene only: the proxy keeps it off the screen
    proxy_->setPos(0, 0); // the window's place came along
    proxy_->setFocusPolicy(Qt::StrongFocus);
    scene()->setSceneRect(QRectF(QPointF(), QSizeF(board_.size())));
    setScreen(screen);
    setGeometry(screen->geometry());
    showFullScreen();
    // A window shown before keeps its old screen's full-screen size on some platforms.
    if (geometry() != screen->geometry())
        setGeometry(screen->geometry());
    fit();
    activateWindow();
    scene()->setActiveWindow(proxy_);
    proxy_->setFocus();
}

void FullScreenView::leave()
{
    if (!proxy_)
        return;
    QGraphicsProxyWidget *proxy = proxy_;
    proxy_ = nullptr;
    proxy->setWidget(nullptr);
    delete proxy;
    hide();
    board_.setAttribute(Qt::WA_QuitOnClose, true);
    // The widget counts as shown while embedded; show it again as a window.
    board_.hide();
    board_.move(windowPos_);
    board_.show();
    board_.activateWindow();
}

QRectF FullScreenView::boardArea() const
{
    if (!proxy_)
        return {};
    return QRectF(mapFromScene(QPointF(0, 0)), QSizeF(board_.size()) * factor_);
}

void FullScreenView::drawBackground(QPainter *painter, const QRectF &rect)
{
    // Black only beside the board, which paints its own area, in whole screen pixels; the
    // bars reach one pixel under the board's edge, which the board then paints over.
    const QTransform device = painter->deviceTransform();
    QRegion bars(device.mapRect(rect).toAlignedRect());
    if (proxy_)
        bars -= device.mapRect(scene()->sceneRect()).toAlignedRect().adjusted(1, 1, -1, -1);
    painter->save();
    painter->setWorldTransform(device.inverted() * painter->worldTransform());
    for (const QRect &bar : bars)
        painter->fillRect(bar, Qt::black);
    painter->restore();
}

void FullScreenView::fit()
{
    factor_ = fitFactor(size(), board_.size());
    setTransform(QTransform::fromScale(factor_, factor_));
}

void FullScreenView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    if (proxy_)
        fit();
}

void FullScreenView::keyPressEvent(QKeyEvent *event)
{
    QGraphicsView::keyPressEvent(event);
    // Escape that no control of the board took (a dialog takes it) returns to the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && proxy_
        && !event->isAccepted()) {
        event->accept();
        leave();
        if (left_)
            left_();
    }
}

// Closing the full-screen window is closing the board: the board asks first.
void FullScreenView::closeEvent(QCloseEvent *event)
{
    if (!proxy_) {
        event->accept();
        return;
    }
    if (board_.close())
        event->accept();
    else
        event->ignore();
}

