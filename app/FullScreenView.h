#pragma once

#include <QGraphicsView>
#include <QRect>

#include <functional>
#include <memory>

class QGraphicsProxyWidget;
class QScreen;

// The board shown full screen on one monitor: the board's own widgets, embedded in a
// scene and scaled uniformly by the largest factor that fits, centred on black. The
// widgets keep painting themselves, through a scaled painter, so text and frames are
// drawn at the monitor's resolution; the scene maps the pointer back onto them, and
// carries their pop-ups and dialogs at the same scale.
class FullScreenView : public QGraphicsView
{
    Q_OBJECT

public:
    // `left` runs after Escape has returned the board to its window.
    FullScreenView(QWidget &board, std::function<void()> left);
    ~FullScreenView() override;

    bool isActive() const { return proxy_ != nullptr; }
    // Takes the board out of its window onto `screen`; the window's geometry is kept.
    void enter(QScreen *screen);
    // Gives the board back to its window where it was.
    void leave();

    double factor() const { return factor_; }
    // Where the board lies in the view, in the view's (and the screen's local) pixels.
    QRectF boardArea() const;
    // The window's position (its frame's top left) before full screen.
    QPoint windowPos() const { return windowPos_; }

    static double fitFactor(QSize screen, QSize board);

    // Paints `area` of `widget`, an opaque widget of the board, at once and straight onto
    // the screen with `paint`: past the posted updates, the scene and the rest of the board,
    // which a clock's ten ticks a second would otherwise go through each time. `paint` gets
    // a painter that maps the widget's pixels onto the screen. False when anything may lie
    // over the widget or the view is painting; the caller then updates as usual.
    using PaintAlone = std::function<void(QPainter &, const QRect &)>;
    bool repaintAlone(QWidget &widget, const QRect &area, const PaintAlone &paint);

signals:
    // A repaint alone has reached the screen there, in the view's pixels.
    void repaintedAlone(const QRect &area);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;

private:
    void fit();
    // From `widget`'s pixels to the screen's.
    QTransform toScreen(const QWidget &widget) const;
    bool covered(const QWidget &widget) const;

    QWidget &board_;
    std::function<void()> left_;
    QGraphicsProxyWidget *proxy_ = nullptr;
    double factor_ = 1.0;
    QPoint windowPos_;
    // Whether anything lies over the widget that paints alone, while no widget changed since.
    struct Cover
    {
        std::unique_ptr<QObject> watch; // while full screen
        const QWidget *widget = nullptr;
        bool known = false;
        bool covered = false;
    };
    Cover cover_;
};
