#include "controls/PLNClock.h"

#include "controls/PropertyChange.h"
#include "gdi/GdiCanvas.h"
#include "gdi/SystemColors.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

namespace {

constexpr int kTickInterval = 100; // ms
constexpr int kRefreshCount = 50;  // TickCount above this redraws hour and minute hands
constexpr int kStartSize = 137;
constexpr double kStepAngle = 0.0010471975511965978; // one hand step, pi/3000 radians
constexpr int kMinuteStep = 100;                      // hand steps between minute marks
constexpr int kHourStep = 500;

// Nearest integer, halves to the even one (the default rounding mode).
int nint(double x)
{
    return int(std::nearbyint(x));
}

// Defined even when lo > hi, which negative mark sizes produce.
int limit(int value, int lo, int hi)
{
    return value < lo ? lo : (value > hi ? hi : value);
}

// The corners a circle of radius `r` needs at `scale` device pixels a unit to stay within a
// tenth of a device pixel of it.
int circleCorners(double r, double scale)
{
    constexpr double kTolerance = 0.1;
    const double deviceRadius = r * scale;
    const double cut = deviceRadius > kTolerance ? std::acos(1 - kTolerance / deviceRadius) : 1.0;
    return std::clamp(int(std::ceil(M_PI / cut)), 8, 128) & ~1; // even: two halves for a stroke
}

// A round-capped stroke from `a` to `b`, `r` wide each side, as one convex polygon: the far
// half of a circle round each end. Filled without the curves a painter would flatten on
// every fill. With `a` equal to `b`, a disc.
void strokeOutline(QPolygonF &polygon, QPointF a, QPointF b, double r, double scale)
{
    const int corners = circleCorners(r, scale);
    const QPointF d = b - a;
    const double start = d.isNull() ? 0.0 : std::atan2(d.y(), d.x()) - M_PI / 2;
    polygon.clear();
    for (int i = 0; i <= corners / 2; ++i) {
        const double t = start + 2 * M_PI * i / corners;
        polygon << b + QPointF(std::cos(t) * r, std::sin(t) * r);
    }
    for (int i = corners / 2; i <= corners; ++i) {
        const double t = start + 2 * M_PI * i / corners;
        polygon << a + QPointF(std::cos(t) * r, std::sin(t) * r);
    }
}

const LocalTimeSource &systemTime()
{
    static const SystemLocalTime source;
    return source;
}

} // namespace

TPLNClock::TPLNClock(QWidget *parent, const LocalTimeSource *localTime)
    : QWidget(parent), localTime_(localTime ? localTime : &systemTime())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);

    ClockTimer = new QTimer(this);
    ClockTimer->setInterval(kTickInterval);
    connect(ClockTimer, &QTimer::timeout, this, &TPLNClock::onTimer);
    if (clockEnabled_)
        ClockTimer->start();

    resize(kStartSize, kStartSize);
    const TimeOfDay now = timeOfDay(localTime_->now());
    LastHr = now.hour;
    LastMin = now.minute;
    LastSec = now.second;
}

TPLNClock::~TPLNClock()
{
    destroying_ = true;
    delete ClockTimer; // before anything else goes, so that no tick finds half a clock
    ClockTimer = nullptr;
}

void TPLNClock::setDate(bool date) { change(date_, date, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setSpiderClock(bool spider) { change(spiderClock_, spider, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setMinMarks(bool marks) { change(minMarks_, marks, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setHrStyle(THrStyle style) { change(hrStyle_, style, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setMinStyle(THrStyle style) { change(minStyle_, style, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setHrMarks(THrMarks marks) { change(hrMarks_, marks, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setHrSize(std::int32_t size) { change(hrSize_, size, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setMinSize(std::int32_t size) { change(minSize_, size, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setMinFontSize(std::int32_t points) { change(minFontSize_, points, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColorHr(TColor color) { change(colorHr_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColorHrIn(TColor color) { change(colorHrIn_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColorMin(TColor color) { change(colorMin_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColorMinIn(TColor color) { change(colorMinIn_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColorHandHr(TColor color) { change(colorHandHr_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColorHandMin(TColor color) { change(colorHandMin_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColorHandSec(TColor color) { change(colorHandSec_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setWidthHandSec(std::uint8_t width) { change(widthHandSec_, width, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setWidthHandMin(std::uint8_t width) { change(widthHandMin_, width, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setWidthHandHr(std::uint8_t width) { change(widthHandHr_, width, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setWidthHr(std::uint8_t width) { change(widthHr_, width, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setWidthMin(std::uint8_t width) { change(widthMin_, width, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setColor(TColor color) { change(color_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setFontColor(TColor color) { change(fontColor_, color, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setBevelWidth(std::int32_t width) { change(bevelWidth_, width, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setBevelInner(TPanelBevel bevel) { change(bevelInner_, bevel, [this] { Paint(); }, Repaint::Always); }
void TPLNClock::setBevelOuter(TPanelBevel bevel) { change(bevelOuter_, bevel, [this] { Paint(); }, Repaint::Always); }

void TPLNClock::setClockEnabled(bool enabled)
{
    clockEnabled_ = enabled;
    if (enabled && !ClockTimer->isActive())
        ClockTimer->start();
    TickCount = kRefreshCount;
    if (!enabled) {
        // Stopping freezes the moment of stopping, at the cost of any alarm time.
        timeSet_ = localTime_->now();
        ClockTick();
    }
}

void TPLNClock::setTimeSet(TDateTime time)
{
    timeSet_ = time;
    TickCount = kRefreshCount;
    ClockTick();
}

void TPLNClock::setTimeOffset(std::int32_t minutes)
{
    timeOffset_ = minutes;
    TickCount = kRefreshCount;
    if (!clockEnabled_)
        ClockTick(); // a running clock refreshes at its next tick
}

void TPLNClock::onTimer()
{
    try {
        ClockTick();
    } catch (const std::exception &error) {
        // A failing handler ends only this tick; the clock keeps running.
        qWarning("TPLNClock: %s", error.what());
    }
}

void TPLNClock::ClockTick()
{
    if (!clockEnabled_ && ClockTimer)
        ClockTimer->stop();
    const TDateTime base = clockEnabled_ ? localTime_->now() : timeSet_;
    const TimeOfDay shown = timeOfDay(base + timeOffset_ / 1440.0);
    const int hour = shown.hour;
    const int minute = shown.minute;
    const int second = shown.second;
    int msec = shown.msec;
    ++TickCount;

    if (secJump_) {
        if (second == JumpSec && clockEnabled_)
            return;
        JumpSec = std::uint16_t(second);
        msec = 0;
    }

    if (clockEnabled_ && second != LastSec) {
        LastSec = second;
        DoChangeSec(hour, minute, second);
        const TimeOfDay alarm = timeOfDay(timeSet_);
        if (alarm.hour == hour && alarm.minute == minute && alarm.second == second)
            DoSameTime();
        // An hour change is only looked for when the minute changed too.
        if (minute != LastMin) {
            LastMin = minute;
            DoChangeMin(hour, minute, second);
            if (hour != LastHr) {
                LastHr = hour;
                DoChangeHour(hour, minute, second);
            }
        }
    }

    UpdateHands(hour, minute, second, msec);
}

void TPLNClock::DoChangeSec(int hour, int minute, int second)
{
    if (onChangeSec_ && !destroying_)
        onChangeSec_(this, hour, minute, second);
}

void TPLNClock::DoChangeMin(int hour, int minute, int second)
{
    if (onChangeMin_ && !destroying_)
        onChangeMin_(this, hour, minute, second);
}

void TPLNClock::DoChangeHour(int hour, int minute, int second)
{
    if (onChangeHour_ && !destroying_)
        onChangeHour_(this, hour, minute, second);
}

void TPLNClock::DoSameTime()
{
    if (onSameTime_ && !destroying_)
        onSameTime_(this);
}

void TPLNClock::paintEvent(QPaintEvent *event)
{
    if (surface_.size() != size())
        Paint();
    QPainter painter(this);
    if (painter.deviceTransform().type() > QTransform::TxTranslate) {
        // Shown enlarged: drawn at the device's resolution, not as enlarged pixels. The
        // paint already clips to what needs showing; a clip of our own through the scaling
        // painter would be a mask built anew on every tick.
        paintScaled(painter, event->rect());
        return;
    }
    face_.drop();
    hands_.drop();
    shown_.valid = false;
    pendingTick_ = QRect();
    painter.drawImage(event->rect(), surface(), event->rect());
}

void TPLNClock::paintScaled(QPainter &painter, const QRect &exposed)
{
    if (!DevicePaintCache::serves(painter)) {
        shown_.valid = false;
        GdiCanvas canvas(painter);
        paintPanel(canvas);
        paintMarks(canvas);
        paintHands(canvas);
        return;
    }
    const auto face = [this](QPainter &enlarged) {
        GdiCanvas canvas(enlarged);
        paintPanel(canvas);
        paintMarks(canvas);
    };
    // The face with the hour and minute hands and the centre, as one picture at the
    // device's resolution: it changes only when those hands move, every few seconds.
    const LayerKey key{posMin_, posHr_, centerSize_, colorHandHr_, centerCol_};
    if (!(key == layerKey_))
        hands_.drop();
    const auto layer = [this, &face](QPainter &enlarged) {
        face_.paint(enlarged, size(), QRectF(rect()), DevicePaintCache::Cover::Opaque, face);
        paintShapedHands(enlarged, Hands::Slow);
    };
    // A paint that only shows a tick puts the picture back under the hands as last shown
    // and draws the second hand anew: the rest of the hands' box already shows the picture.
    const QTransform device = painter.deviceTransform();
    const bool tickOnly = shown_.valid && !hands_.isEmpty() && device == shown_.device && !pendingTick_.isEmpty()
                          && pendingTick_.adjusted(-2, -2, 2, 2).contains(exposed);
    if (tickOnly) {
        under_.clear();
        // A device pixel beyond the stroke's edge: the boxes then take every pixel it set.
        const double edge = 1 / std::max(device.m11(), device.m22());
        const auto addUnder = [this, edge](const HandStroke &s) {
            // Along the stroke in pieces of about 12 pixels, so no more of the picture is
            // copied than lies under it.
            const QPointF from = QPointF(s.from) + QPointF(0.5, 0.5);
            const QPointF along = QPointF(s.to) - QPointF(s.from);
            const int pieces = std::max(1, int(std::hypot(along.x(), along.y()) / 12));
            const QPointF step = along / pieces;
            const double margin = s.width / 2.0 + edge;
            for (int i = 0; i < pieces; ++i) {
                const QRectF piece = QRectF(from + step * i, from + step * (i + 1)).normalized();
                under_.push_back(piece.adjusted(-margin, -margin, margin, margin));
            }
        };
        // The hour and minute hands, the first four strokes, stand where the picture has
        // them; the centre is drawn again over whatever lies under it.
        for (std::size_t i = 4; i < shown_.strokes.size(); ++i)
            addUnder(shown_.strokes[i]);
        hands_.paintParts(painter, size(), under_, DevicePaintCache::Cover::Opaque);
    } else {
        hands_.paint(painter, size(), exposed, DevicePaintCache::Cover::Opaque, layer);
    }
    layerKey_ = key;
    paintShapedHands(painter, Hands::Second);
    if (tickOnly || exposed.contains(pendingTick_) || exposed.contains(rect())) {
        shown_ = {true, device, handStrokes()};
    } else {
        // Part of the hands' way still shows them as before: all of the clock once more.
        shown_.valid = false;
        update();
    }
    pendingTick_ = QRect();
}

// The hands as filled shapes at the device's resolution, one outline a colour: a
// round-capped stroke is a rectangle between two discs, filled without the stroker. The
// centre covers them all, so it is drawn with either set.
void TPLNClock::paintShapedHands(QPainter &painter, Hands which)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    const QTransform device = painter.deviceTransform();
    const double scale = std::max(device.m11(), device.m22());
    QPolygonF &outline = outline_;
    const auto hand = [&](Hand which, int position, TColor color) {
        const HandShape shape = handShape(which);
        const double r = shape.width / 2.0;
        painter.setBrush(toQColor(color));
        const auto stroke = [&](QPoint from, QPoint to) {
            strokeOutline(outline, QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5), r, scale);
            painter.drawConvexPolygon(outline);
        };
        stroke(outward(position, shape.inner), outward(position, shape.tip));
        stroke(opposite(position, shape.inner), opposite(position, shape.tail));
    };
    if (which == Hands::Slow) {
        hand(Hand::Minute, posMin_, colorHandMin_);
        hand(Hand::Hour, posHr_, colorHandHr_);
    } else if (secondHandDrawn_) {
        hand(Hand::Second, posSec_, colorHandSec_);
    }
    if (centerSize_ > 0) {
        const QPointF centre(geometry_.CenterX, geometry_.CenterY);
        painter.setBrush(toQColor(colorHandHr_));
        strokeOutline(outline, centre, centre, centerSize_, scale);
        painter.drawConvexPolygon(outline);
        painter.setBrush(toQColor(centerCol_));
        strokeOutline(outline, centre, centre, centerSize_ - 1, scale);
        painter.drawConvexPolygon(outline);
    }
    painter.restore();
}

// The hands as the surface holds them; the surface's bookkeeping stays as it is.
void TPLNClock::paintHands(GdiCanvas &canvas)
{
    const QRect changed = changed_;
    const std::array<bool, 3> onSurface = handOnSurface_;
    DrawHand(canvas, Hand::Minute, posMin_, colorHandMin_);
    DrawHand(canvas, Hand::Hour, posHr_, colorHandHr_);
    if (secondHandDrawn_)
        DrawHand(canvas, Hand::Second, posSec_, colorHandSec_);
    DrawCenter(canvas);
    changed_ = changed;
    handOnSurface_ = onSurface;
}

// The box of the strokes and the centre dot, two pixels to spare beyond the pen's reach.
QRect TPLNClock::strokesBox(const std::vector<HandStroke> &strokes) const
{
    const int c = centerSize_ + 1;
    QRect box(geometry_.CenterX - c, geometry_.CenterY - c, 2 * c + 1, 2 * c + 1);
    for (const HandStroke &s : strokes) {
        const int margin = s.width / 2 + 2;
        box |= QRect(s.from, s.to).normalized().adjusted(-margin, -margin, margin, margin);
    }
    return box & rect();
}

std::vector<TPLNClock::HandStroke> TPLNClock::handStrokes() const
{
    std::vector<HandStroke> strokes;
    const auto add = [&](Hand hand, int position) {
        const HandShape shape = handShape(hand);
        strokes.push_back({outward(position, shape.inner), outward(position, shape.tip), shape.width});
        strokes.push_back({opposite(position, shape.inner), opposite(position, shape.tail), shape.width});
    };
    add(Hand::Minute, posMin_);
    add(Hand::Hour, posHr_);
    if (secondHandDrawn_)
        add(Hand::Second, posSec_);
    return strokes;
}

void TPLNClock::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Paint();
}

void TPLNClock::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Paint();
}

// The panel's own painting (bevels, background), then the face, all into the surface.
void TPLNClock::Paint()
{
    face_.drop();
    hands_.drop();
    if (width() <= 0 || height() <= 0) {
        surface_ = QImage();
    } else {
        if (surface_.size() != size())
            surface_ = QImage(size(), QImage::Format_RGB32);
        GdiCanvas canvas(&surface_);
        paintPanel(canvas);
    }
    handOnSurface_.fill(false);
    update();
    DrawFace();
}

void TPLNClock::paintPanel(GdiCanvas &canvas)
{
    GdiRect rect{0, 0, width(), height()};
    for (const TPanelBevel bevel : {bevelOuter_, bevelInner_}) {
        if (bevel == bvNone)
            continue;
        const TColor top = bevel == bvLowered ? clBtnShadow : bevel == bvRaised ? clBtnHighlight : color_;
        const TColor bottom = bevel == bvLowered ? clBtnHighlight : bevel == bvRaised ? clBtnShadow : color_;
        canvas.FrameRect3D(rect, top, bottom, bevelWidth_);
    }
    canvas.setBrushColor(color_);
    canvas.setBrushStyle(BrushStyle::Solid);
    canvas.fillRect(rect);
}

void TPLNClock::DrawFace()
{
    face_.drop();
    hands_.drop();
    Geometry &g = geometry_;
    g.CenterX = width() / 2;
    g.CenterY = height() / 2;
    if (date_)
        g.CenterY = (height() - gdiFontHeight(font()) - 4) / 2;
    g.RadiusX = g.CenterX - hrSize_ - 1;
    g.RadiusY = g.CenterY - hrSize_ - 1;
    for (const TPanelBevel bevel : {bevelInner_, bevelOuter_}) {
        if (bevel != bvNone) {
            g.RadiusX -= bevelWidth_;
            g.RadiusY -= bevelWidth_;
        }
    }
    g.HandRadius = std::min(g.RadiusX, g.RadiusY) - widthHr_;
    g.HrHandCut = g.HandRadius / 3;

    if (!surface_.isNull()) {
        GdiCanvas canvas(&surface_);
        paintMarks(canvas);
    }

    if (!clockEnabled_) {
        // A stopped clock has no timer to bring its hands back.
        TickCount = kRefreshCount;
        ClockTick();
    }
}

void TPLNClock::paintMarks(GdiCanvas &canvas)
{
    canvas.setFontColor(fontColor_);
    if (minMarks_) {
        canvas.setPenColor(colorMin_);
        canvas.setPenWidth(widthMin_);
        if (minStyle_ == hsNumber || minStyle_ == hsNumInCir) {
            QFont small = font();
            if (minFontSize_ > 0)
                small.setPointSize(minFontSize_);
            else if (minFontSize_ < 0)
                small.setPixelSize(-minFontSize_); // a negative size is a height in pixels
            canvas.setFont(small);
        }
        for (int i = 0; i < 60; ++i) {
            if (!carriesMinuteMark(i))
                continue;
            if (minStyle_ == hsLine)
                DrawLineMark(canvas, i * kMinuteStep, minSize_);
            else
                DrawRoundMark(canvas, i * kMinuteStep, minSize_, minStyle_, colorMinIn_, i);
        }
    }
    if (hrMarks_ != hmNone) {
        canvas.setPenColor(colorHr_);
        canvas.setPenWidth(widthHr_);
        canvas.setFont(font());
        for (int n = 1; n <= 12; ++n) {
            if (hrMarks_ == hmFour && n % 3 != 0)
                continue;
            if (hrStyle_ == hsLine)
                DrawLineMark(canvas, n * kHourStep, hrSize_);
            else
                DrawRoundMark(canvas, n * kHourStep, hrSize_, hrStyle_, colorHrIn_, n);
        }
    }
}

bool TPLNClock::carriesMinuteMark(int i) const
{
    if (minStyle_ == hsLine && hrStyle_ == hsNumInCir)
        return true; // the hour circles cover the lines
    const bool hourThere = i % 5 == 0 && hrMarks_ != hmNone && (hrMarks_ == hmAll || (i / 5) % 3 == 0);
    return !hourThere;
}

QLine TPLNClock::markLine(int position, int size) const
{
    const Geometry &g = geometry_;
    const double a = position * kStepAngle;
    const double s = std::sin(a);
    const double c = std::cos(a);
    int o = std::min(g.RadiusX, g.RadiusY);
    if (spiderClock_) {
        const double rx = std::abs(g.RadiusX * s);
        const double ry = std::abs(g.RadiusY * c);
        o = nint(std::sqrt(rx * rx + ry * ry));
    }
    const int x = limit(g.CenterX + nint(s * (o + size)), g.CenterX - g.RadiusX - size, g.CenterX + g.RadiusX + size);
    const int y = limit(g.CenterY - nint(c * (o + size)), g.CenterY - g.RadiusY - size, g.CenterY + g.RadiusY + size);
    return QLine(outward(position, g.HandRadius + 1), QPoint(x, y));
}

GdiRect TPLNClock::markBox(int position, int size) const
{
    const Geometry &g = geometry_;
    const double a = position * kStepAngle;
    const int o = std::min(g.RadiusX, g.RadiusY);
    const int h = size / 2;
    // One pixel right of and below the ray point.
    const int x = g.CenterX + 1 + nint(std::sin(a) * (o + h));
    const int y = g.CenterY + 1 - nint(std::cos(a) * (o + h));
    return {x - h, y - h, x + h, y + h};
}

void TPLNClock::DrawLineMark(GdiCanvas &canvas, int position, int size)
{
    const QLine line = markLine(position, size);
    canvas.moveTo(line.x1(), line.y1());
    canvas.lineTo(line.x2(), line.y2());
}

void TPLNClock::DrawRoundMark(GdiCanvas &canvas, int position, int size, THrStyle style, TColor fill,
                              int number)
{
    const GdiRect box = markBox(position, size);
    if (style == hsCircle || style == hsNumInCir) {
        canvas.setBrushColor(fill);
        canvas.setBrushStyle(BrushStyle::Solid);
        canvas.ellipse(box);
    }
    if (style == hsNumber || style == hsNumInCir) {
        canvas.setBrushStyle(BrushStyle::Clear);
        const QString text = QString::number(number);
        const int x = box.right - box.width() / 2 - canvas.textWidth(text) / 2 - 1;
        const int y = box.bottom - box.height() / 2 - canvas.textHeight() / 2 - 1;
        canvas.textRect(box, x, y, text);
    }
}

QPoint TPLNClock::outward(int position, int distance) const
{
    const double a = position * kStepAngle;
    return {geometry_.CenterX + nint(std::sin(a) * distance), geometry_.CenterY - nint(std::cos(a) * distance)};
}

QPoint TPLNClock::opposite(int position, int distance) const
{
    const double a = position * kStepAngle;
    return {geometry_.CenterX - nint(std::sin(a) * distance), geometry_.CenterY + nint(std::cos(a) * distance)};
}

void TPLNClock::UpdateHands(int hour, int minute, int second, int msec)
{
    if (surface_.size() != size())
        Paint();
    if (surface_.isNull())
        return;
    // Shown enlarged, the surface is not what shows: the hands are drawn at the screen's
    // resolution from their positions, and the surface catches up when it shows again.
    const bool onSurface = !shown_.valid;
    if (onSurface && surfaceStale_)
        refreshSurface();
    changed_ = QRect();
    {
        std::optional<GdiCanvas> canvas;
        if (onSurface)
            canvas.emplace(&surface_);
        if (seconds_)
            ++TickCount;
        const bool refresh = TickCount > kRefreshCount;
        if (canvas) {
            // Also erases a hand left at 12 o'clock (position 0) when seconds were switched off.
            if (seconds_ || secondHandDrawn_)
                EraseHand(*canvas, Hand::Second, posSec_);
            if (refresh) {
                EraseHand(*canvas, Hand::Hour, posHr_);
                EraseHand(*canvas, Hand::Minute, posMin_);
            }
        }
        if (refresh) {
            posMin_ = int(((unsigned(minute) * 60 + unsigned(second)) * 10) / 6);
            posHr_ = int(((unsigned(hour) * 60 + unsigned(minute)) * 25) / 3);
        }
        if (refresh || RedrawHands) {
            RedrawHands = false;
            if (canvas) {
                DrawHand(*canvas, Hand::Minute, posMin_, colorHandMin_);
                DrawHand(*canvas, Hand::Hour, posHr_, colorHandHr_);
                if (!seconds_)
                    DrawCenter(*canvas);
            }
            if (refresh)
                TickCount = 0;
        }
        if (seconds_) {
            posSec_ = int((unsigned(second) * 1000 + unsigned(msec)) / 10);
            if (canvas) {
                DrawHand(*canvas, Hand::Second, posSec_, colorHandSec_);
                DrawCenter(*canvas);
            }
            // Erasing the second hand next tick takes pixels from the other two.
            RedrawHands = true;
        } else {
            posSec_ = 0;
        }
        secondHandDrawn_ = seconds_;
    }
    if (!onSurface)
        surfaceStale_ = true;
    QRect box = changed_;
    if (shown_.valid) {
        // Enlarged, the hands move at the screen's resolution: their place as shown and
        // their new one.
        std::vector<HandStroke> now = handStrokes();
        if (now != shown_.strokes)
            box |= strokesBox(now) | strokesBox(shown_.strokes);
    }
    pendingTick_ |= box;
    if (!(shown_.valid && !box.isEmpty() && tickRepaint_ && tickRepaint_(box)))
        update(box);
}

// The surface as the ticks would have left it: the face, the hands where they stand, the centre.
void TPLNClock::refreshSurface()
{
    surfaceStale_ = false;
    if (surface_.isNull())
        return;
    GdiCanvas canvas(&surface_);
    paintPanel(canvas);
    paintMarks(canvas);
    paintHands(canvas);
    handOnSurface_[std::size_t(Hand::Minute)] = true;
    handOnSurface_[std::size_t(Hand::Hour)] = true;
    handOnSurface_[std::size_t(Hand::Second)] = secondHandDrawn_;
}

const QImage &TPLNClock::surface() const
{
    if (surfaceStale_)
        const_cast<TPLNClock *>(this)->refreshSurface(); // the clock itself is never const
    return surface_;
}

void TPLNClock::EraseHand(GdiCanvas &canvas, Hand hand, int position)
{
    bool &onSurface = handOnSurface_[std::size_t(hand)];
    // A hand the face repaint wiped away is erased over bare face, mostly changing nothing.
    DrawHand(canvas, hand, position, color_, onSurface ? Shown::Always : Shown::IfChanged);
    onSurface = false;
}

TPLNClock::HandShape TPLNClock::handShape(Hand hand) const
{
    const int radius = geometry_.HandRadius;
    switch (hand) {
    case Hand::Second:
        return {4, radius, 15, widthHandSec_};
    case Hand::Minute:
        return {3, radius - widthHandMin_, 10, widthHandMin_};
    case Hand::Hour:
        return {3, radius - geometry_.HrHandCut, 10, widthHandHr_};
    }
    return {0, 0, 0, 1};
}

void TPLNClock::DrawHand(GdiCanvas &canvas, Hand hand, int position, TColor color, Shown shown)
{
    const HandShape shape = handShape(hand);
    canvas.setPenColor(color);
    canvas.setPenWidth(shape.width);
    canvas.setPenStyle(PenStyle::Solid);
    stroke(canvas, outward(position, shape.inner), outward(position, shape.tip), shown);
    stroke(canvas, opposite(position, shape.inner), opposite(position, shape.tail), shown);
    if (shown == Shown::Always)
        handOnSurface_[std::size_t(hand)] = true;
}

// Only the pixels a stroke sets are asked to be shown, so a tick repaints no more than the hands.
void TPLNClock::stroke(GdiCanvas &canvas, QPoint from, QPoint to, Shown shown)
{
    const QRect drawn = canvas.lineBounds(from, to);
    if (shown == Shown::Always || !allColor(drawn, canvas.penColor()))
        changed_ |= drawn;
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
}

bool TPLNClock::allColor(const QRect &area, TColor color) const
{
    const QRgb pixel = toQColor(color).rgb();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(surface_.constScanLine(y));
        if (!std::all_of(row + area.left(), row + area.right() + 1, [pixel](QRgb p) { return p == pixel; }))
            return false;
    }
    return true;
}

void TPLNClock::DrawCenter(GdiCanvas &canvas)
{
    if (centerSize_ == 0)
        return;
    const GdiRect box{geometry_.CenterX - centerSize_, geometry_.CenterY - centerSize_,
                      geometry_.CenterX + centerSize_, geometry_.CenterY + centerSize_};
    canvas.setPenColor(colorHandHr_);
    canvas.setPenWidth(1);
    canvas.setPenStyle(PenStyle::Solid);
    canvas.setBrushColor(centerCol_);
    canvas.setBrushStyle(BrushStyle::Solid);
    canvas.ellipse(box);
    changed_ |= box.toQRect();
}
