#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QTransform>

#include <functional>
#include <vector>

class QPainter;

// What a control paints through an enlarging painter, kept as an image at the device's
// resolution. Text, frames and shapes are drawn once at the enlarged size; a repaint that
// does not follow a change of the control (an expose, a neighbour's update, a tick of the
// clock's hands) then only copies pixels. The control drops the image whenever what it
// shows changes.
class DevicePaintCache
{
public:
    // Opaque: the control paints every pixel of its area, which is then copied as is.
    // Otherwise the pixels it leaves alone stay transparent and show what lies beneath.
    enum class Cover { Opaque, Partly };

    // Whether `painter` enlarges or shrinks without turning: only then does the cache serve.
    static bool serves(const QPainter &painter);
    // The device pixels an opaque area fills through `device`: those whose centres it holds,
    // as the painter's own aliased fills take them.
    static QRect coveredPixels(const QTransform &device, QSize size);

    // Paints the part `exposed` of the control's area (0, 0, `size`) through `painter` from
    // the image, drawing the image first with `draw` when it was dropped or was made for
    // another scale or sub-pixel position. `draw` paints in the control's own coordinates.
    void paint(QPainter &painter, QSize size, const QRectF &exposed, Cover cover,
               const std::function<void(QPainter &)> &draw);
    // The same for several parts at once; the image must be there already (isEmpty false,
    // after paint at this painter's scale).
    void paintParts(QPainter &painter, QSize size, const std::vector<QRectF> &exposed, Cover cover);
    void drop() { image_ = QImage(); }
    bool isEmpty() const { return image_.isNull(); }

private:
    QImage image_;
    QTransform madeFor_; // device transform less the image's whole-pixel position
    Cover cover_ = Cover::Partly;
};
