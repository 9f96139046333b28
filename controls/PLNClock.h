#pragma once

#include "gdi/Colors.h"
#include "gdi/DevicePaintCache.h"
#include "gdi/GdiRect.h"
#include "platform/LocalTime.h"

#include <QImage>
#include <QLine>
#include <QPolygonF>
#include <QRect>
#include <QTransform>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class GdiCanvas;
class QPainter;
class QTimer;

// Shape of a mark, for hour and minute marks alike.
enum THrStyle : std::uint8_t { hsLine, hsCircle, hsNumber, hsNumInCir };
// Which hour positions carry an hour mark.
enum THrMarks : std::uint8_t { hmNone, hmFour, hmAll };
// A panel bevel; each one that is not bvNone takes BevelWidth pixels off every side.
enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPLNClock;
using TNotifyTime = std::function<void(TPLNClock *sender, int nHour, int nMin, int nSec)>;
using TNotifyClock = std::function<void(TPLNClock *sender)>;

// An analog wall clock with its own 100 ms timer. The face is drawn on a repaint (any
// property assignment, a resize, a font change); between repaints each tick draws only
// the hands and erases the old ones by overdrawing them in Color. Both go into the
// clock's own surface, which paintEvent merely shows, so that hands survive an expose.
// Setters store and repaint on every assignment, except those marked "stores only".
class TPLNClock : public QWidget
{
    Q_OBJECT

public:
    // `localTime` (the system clock when null) must outlive the clock.
    explicit TPLNClock(QWidget *parent = nullptr, const LocalTimeSource *localTime = nullptr);
    ~TPLNClock() override;

    // Moves the face centre down, by about half the font height less 2 pixels (no date
    // is drawn).
    bool Date() const { return date_; }
    void setDate(bool date);
    // Running shows the live local time; stopped shows TimeSet and raises no events.
    bool ClockEnabled() const { return clockEnabled_; }
    void setClockEnabled(bool enabled);
    // Stopped: the time shown. Running: the time of day at which OnSameTime fires.
    TDateTime TimeSet() const { return timeSet_; }
    void setTimeSet(TDateTime time);
    // Minutes added to the time before it is shown or reported.
    std::int32_t TimeOffset() const { return timeOffset_; }
    void setTimeOffset(std::int32_t minutes);
    // Line marks end on an ellipse with both radii instead of a circle.
    bool SpiderClock() const { return spiderClock_; }
    void setSpiderClock(bool spider);
    bool SecJump() const { return secJump_; }
    void setSecJump(bool jump) { secJump_ = jump; } // stores only
    bool Seconds() const { return seconds_; }
    void setSeconds(bool shown) { seconds_ = shown; } // stores only; the next tick obeys
    bool MinMarks() const { return minMarks_; }
    void setMinMarks(bool marks);
    THrStyle HrStyle() const { return hrStyle_; }
    void setHrStyle(THrStyle style);
    THrStyle MinStyle() const { return minStyle_; }
    void setMinStyle(THrStyle style);
    THrMarks HrMarks() const { return hrMarks_; }
    void setHrMarks(THrMarks marks);
    std::int32_t HrSize() const { return hrSize_; }
    void setHrSize(std::int32_t size);
    std::int32_t MinSize() const { return minSize_; }
    void setMinSize(std::int32_t size);
    std::int32_t MinFontSize() const { return minFontSize_; } // points
    void setMinFontSize(std::int32_t points);
    TColor ColorHr() const { return colorHr_; }
    void setColorHr(TColor color);
    TColor ColorHrIn() const { return colorHrIn_; }
    void setColorHrIn(TColor color);
    TColor ColorMin() const { return colorMin_; }
    void setColorMin(TColor color);
    TColor ColorMinIn() const { return colorMinIn_; }
    void setColorMinIn(TColor color);
    TColor ColorHandHr() const { return colorHandHr_; }
    void setColorHandHr(TColor color);
    TColor ColorHandMin() const { return colorHandMin_; }
    void setColorHandMin(TColor color);
    TColor ColorHandSec() const { return colorHandSec_; }
    void setColorHandSec(TColor color);
    std::uint8_t WidthHandSec() const { return widthHandSec_; }
    void setWidthHandSec(std::uint8_t width);
    std::uint8_t WidthHandMin() const { return widthHandMin_; }
    void setWidthHandMin(std::uint8_t width);
    std::uint8_t WidthHandHr() const { return widthHandHr_; }
    void setWidthHandHr(std::uint8_t width);
    std::uint8_t WidthHr() const { return widthHr_; }
    void setWidthHr(std::uint8_t width);
    std::uint8_t WidthMin() const { return widthMin_; }
    void setWidthMin(std::uint8_t width);
    std::uint8_t CenterSize() const { return centerSize_; }
    void setCenterSize(std::uint8_t radius) { centerSize_ = radius; } // stores only
    TColor CenterCol() const { return centerCol_; }
    void setCenterCol(TColor color) { centerCol_ = color; } // stores only

    // What the panel underneath offers. The font is QWidget::font(); its colour is apart.
    TColor Color() const { return color_; }
    void setColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor color);
    std::int32_t BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(std::int32_t width);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void setBevelInner(TPanelBevel bevel);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TPanelBevel bevel);
    // Reached by the Tab key; setFocus() gives it the focus either way.
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void setTabStop(bool stop) { setFocusPolicy(stop ? Qt::TabFocus : Qt::NoFocus); }
    std::int32_t Tag() const { return tag_; }
    void setTag(std::int32_t tag) { tag_ = tag; }

    // Raised before the hands of that tick are drawn; all carry the shown time.
    void setOnChangeSec(TNotifyTime handler) { onChangeSec_ = std::move(handler); }
    void setOnChangeMin(TNotifyTime handler) { onChangeMin_ = std::move(handler); }
    void setOnChangeHour(TNotifyTime handler) { onChangeHour_ = std::move(handler); }
    void setOnSameTime(TNotifyClock handler) { onSameTime_ = std::move(handler); }

    // One timer tick: read the time, raise the events, update the hands.
    void ClockTick();
    // Shown enlarged, a tick's repaint may take a shorter way than the widget's own update:
    // `route` gets the box the hands moved in and says whether it took the repaint.
    void setTickRepaint(std::function<bool(const QRect &)> route) { tickRepaint_ = std::move(route); }
    // Paints `exposed` through `painter`, which maps the clock's pixels onto a larger device:
    // what the clock's own paint does when it shows enlarged, for a view that paints it itself.
    void paintEnlarged(QPainter &painter, const QRect &exposed) { paintScaled(painter, exposed); }

    // Where the face and hands stand, in pixels and hand steps (1/6000 turn).
    struct Geometry
    {
        int CenterX = 0;
        int CenterY = 0;
        int RadiusX = 0;
        int RadiusY = 0;
        int HandRadius = 0;
        int HrHandCut = 0;
    };
    const Geometry &geometry() const { return geometry_; }
    int PosSec() const { return posSec_; }
    int PosMin() const { return posMin_; }
    int PosHr() const { return posHr_; }
    // The stroke of a line mark at `position` steps, `size` pixels long.
    QLine markLine(int position, int size) const;
    // The box of a circle or number mark at `position` steps, `size` pixels across.
    GdiRect markBox(int position, int size) const;
    // Whether minute `i` (0..59) gets a minute mark, or leaves its place to an hour mark.
    bool carriesMinuteMark(int i) const;

    // What the clock shows at its own size; the hands as last drawn by a tick.
    const QImage &surface() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    enum class Hand { Second, Minute, Hour };
    // Whether a stroke's pixels need showing: always, or only where drawing them changed some.
    enum class Shown { Always, IfChanged };
    struct HandShape
    {
        int inner; // where both strokes start, away from the centre
        int tip;
        int tail;
        int width;
    };
    struct HandStroke
    {
        QPoint from;
        QPoint to;
        int width;
        bool operator==(const HandStroke &) const = default;
    };
    // The hands as a paint through an enlarging painter last showed them.
    struct ShownHands
    {
        bool valid = false;
        QTransform device;
        std::vector<HandStroke> strokes;
    };

    void Paint();
    void paintPanel(GdiCanvas &canvas);
    void paintMarks(GdiCanvas &canvas);
    void paintScaled(QPainter &painter, const QRect &exposed);
    void paintHands(GdiCanvas &canvas);
    void refreshSurface();
    // The hour and minute hands, or the second hand; the centre with each.
    enum class Hands { Slow, Second };
    void paintShapedHands(QPainter &painter, Hands which);
    HandShape handShape(Hand hand) const;
    std::vector<HandStroke> handStrokes() const;
    QRect strokesBox(const std::vector<HandStroke> &strokes) const;
    void DrawFace();
    void DrawLineMark(GdiCanvas &canvas, int position, int size);
    void DrawRoundMark(GdiCanvas &canvas, int position, int size, THrStyle style, TColor fill, int number);
    void UpdateHands(int hour, int minute, int second, int msec);
    void DrawHand(GdiCanvas &canvas, Hand hand, int position, TColor color, Shown shown = Shown::Always);
    void EraseHand(GdiCanvas &canvas, Hand hand, int position);
    void DrawCenter(GdiCanvas &canvas);
    void stroke(GdiCanvas &canvas, QPoint from, QPoint to, Shown shown);
    bool allColor(const QRect &area, TColor color) const;
    QPoint outward(int position, int distance) const;
    QPoint opposite(int position, int distance) const;
    void onTimer();

    void DoChangeSec(int hour, int minute, int second);
    void DoChangeMin(int hour, int minute, int second);
    void DoChangeHour(int hour, int minute, int second);
    void DoSameTime();

    const LocalTimeSource *localTime_;
    QTimer *ClockTimer = nullptr;
    bool destroying_ = false;
    QImage surface_;
    bool surfaceStale_ = false; // the hands moved while the clock showed enlarged
    DevicePaintCache face_; // panel and marks, while shown enlarged
    ShownHands shown_;
    // What the picture of face, hour and minute hands and centre was drawn with.
    struct LayerKey
    {
        int posMin = -1;
        int posHr = -1;
        std::uint8_t centerSize = 0;
        TColor centerColHr = 0;
        TColor centerCol = 0;
        bool operator==(const LayerKey &) const = default;
    };
    DevicePaintCache hands_; // face_ with the hour and minute hands, while shown enlarged
    LayerKey layerKey_;
    std::vector<QRectF> under_; // kept, so a tick allocates nothing
    QPolygonF outline_;         // likewise
    QRect pendingTick_; // what the ticks since the last paint changed
    QRect changed_; // what the running hand update has changed
    // Which hands are on the surface; a face repaint wipes them all.
    std::array<bool, 3> handOnSurface_{};

    bool date_ = false;
    bool clockEnabled_ = true;
    TDateTime timeSet_ = 0;
    std::int32_t timeOffset_ = 0;
    bool spiderClock_ = true;
    bool secJump_ = false;
    bool seconds_ = true;
    bool minMarks_ = true;
    THrStyle hrStyle_ = hsLine;
    THrStyle minStyle_ = hsLine;
    THrMarks hrMarks_ = hmAll;
    std::int32_t hrSize_ = 12;
    std::int32_t minSize_ = 7;
    std::int32_t minFontSize_ = 7;
    TColor colorHr_ = clRed;
    TColor colorHrIn_ = clYellow;
    TColor colorMin_ = clBlue;
    TColor colorMinIn_ = clYellow;
    TColor colorHandHr_ = clRed;
    TColor colorHandMin_ = clBlue;
    TColor colorHandSec_ = clPurple;
    std::uint8_t widthHandSec_ = 1;
    std::uint8_t widthHandMin_ = 3;
    std::uint8_t widthHandHr_ = 5;
    std::uint8_t widthHr_ = 2;
    std::uint8_t widthMin_ = 1;
    std::uint8_t centerSize_ = 5;
    TColor centerCol_ = clPurple;

    TColor color_ = clYellow;
    TColor fontColor_ = clWindowText;
    std::int32_t bevelWidth_ = 3;
    TPanelBevel bevelInner_ = bvLowered;
    TPanelBevel bevelOuter_ = bvRaised;
    std::int32_t tag_ = 0;

    TNotifyTime onChangeSec_;
    TNotifyTime onChangeMin_;
    TNotifyTime onChangeHour_;
    TNotifyClock onSameTime_;
    std::function<bool(const QRect &)> tickRepaint_;

    int LastHr = 0;
    int LastMin = 0;
    int LastSec = 0;
    std::uint16_t JumpSec = 0;
    int TickCount = 50;
    bool RedrawHands = false;
    bool secondHandDrawn_ = false;
    int posSec_ = 0;
    int posMin_ = 0;
    int posHr_ = 0;
    Geometry geometry_;
};
