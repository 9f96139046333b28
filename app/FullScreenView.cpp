#include "app/FullScreenView.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

// Forgets whether anything lies over the widget that paints alone whenever any widget
// shows, hides, moves, resizes or changes its place in the stacking order: looking it up
// visits every widget above it, more than the tick it serves costs otherwise.
class CoverWatch final : public QObject
{
public:
    explicit CoverWatch(bool &known) : known_(known) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ZOrderChange:
        case QEvent::ParentChange:
        case QEvent::ChildAdded:
        case QEvent::ChildRemoved:
            known_ = false;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool &known_;
};

} // namespace

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
    cover_ = {};
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

bool FullScreenView::repaintAlone(QWidget &widget, const QRect &area, const PaintAlone &paint)
{
    QBackingStore *store = backingStore();
    // The store must be the window's size: right after a resize the view's own paint
    // resizes it first.
    if (!proxy_ || !isVisible() || !widget.isVisible() || !board_.isAncestorOf(&widget) || !store
        || store->size() != size() || !windowHandle() || !windowHandle()->isExposed()
        || viewport()->testAttribute(Qt::WA_WState_InPaintEvent))
        return false;
    const QTransform screen = toScreen(widget);
    // Only pixels that are the widget's alone: at a fractional factor its edge pixels are
    // shared with its neighbours.
    const QRect own = screen.mapRect(QRectF(widget.rect())).toAlignedRect().adjusted(1, 1, -1, -1);
    const QRect device = screen.mapRect(QRectF(area)).toAlignedRect();
    if (!own.contains(device))
        return false;
    if (!cover_.known || cover_.widget != &widget) {
        if (!cover_.watch) {
            cover_.watch = std::make_unique<CoverWatch>(cover_.known);
            qApp->installEventFilter(cover_.watch.get());
        }
        cover_.widget = &widget;
        cover_.covered = covered(widget);
        cover_.known = true;
    }
    if (cover_.covered)
        return false;
    // Into the window's backing store between two of its paints, as a paint of the view
    // would put it there; anything else on the screen keeps its own updates.
    const QPoint at = viewport()->mapTo(this, QPoint());
    const QRect inWindow = device.translated(at);
    store->beginPaint(inWindow);
    {
        QPainter painter(store->paintDevice());
        painter.setClipRect(inWindow);
        painter.setRenderHints(renderHints());
        painter.setTransform(screen * QTransform::fromTranslate(at.x(), at.y()));
        paint(painter, area);
    }
    store->endPaint();
    store->flush(inWindow, windowHandle());
    emit repaintedAlone(device);
    return true;
}

QTransform FullScreenView::toScreen(const QWidget &widget) const
{
    const QPoint at = widget.mapTo(&board_, QPoint());
    return QTransform::fromTranslate(at.x(), at.y()) * proxy_->sceneTransform() * viewportTransform();
}

// Whether anything may lie over `widget`: a widget stacked above it in the board, or
// another item of the scene (the board's dialogs and pop-ups).
bool FullScreenView::covered(const QWidget &widget) const
{
    const QRect inBoard(widget.mapTo(&board_, QPoint()), widget.size());
    const QRectF inScene = proxy_->sceneTransform().mapRect(QRectF(inBoard));
    const QList<QGraphicsItem *> items = scene()->items();
    for (const QGraphicsItem *item : items) {
        if (item != proxy_ && item->isVisible() && item->sceneBoundingRect().intersects(inScene))
            return true;
    }
    for (const QWidget *w = &widget; w != &board_; w = w->parentWidget()) {
        const QWidget *parent = w->parentWidget();
        const QRect area(widget.mapTo(parent, QPoint()), widget.size());
        // Later children are stacked above the earlier ones.
        const QObjectList &siblings = parent->children();
        for (auto it = std::find(siblings.cbegin(), siblings.cend(), w) + 1; it < siblings.cend(); ++it) {
            const auto *above = qobject_cast<const QWidget *>(*it);
            if (above && !above->isWindow() && above->isVisible() && above->geometry().intersects(area))
                return true;
        }
    }
    return false;
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

