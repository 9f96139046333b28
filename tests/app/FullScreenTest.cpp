// The board full screen on the two monitors of screen-two.json: 1920 x 1080 at the left,
// 3840 x 2160 beside it.
#include "app/FullScreenView.h"
#include "core/SettingsStore.h"
#include "tests/app/BoardFixture.h"

#include <QBackingStore>
#include <QGraphicsProxyWidget>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <optional>

namespace {

const QRect kOperator(0, 0, 1920, 1080);
const QRect kProjector(1920, 0, 3840, 2160);

// The rows that hold pixels other than the ground inside `box` (a figure's inside).
std::pair<int, int> inkRows(const QImage &image, const QRect &box)
{
    const QRgb ground = image.pixel(box.topLeft());
    int first = -1, last = -1;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (image.pixel(x, y) != ground) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

} // namespace

class FullScreen : public BoardFixture
{
protected:
    void SetUp() override
    {
        clearSettings();
        monitors.list = {kOperator, kProjector};
        startBoard();
    }

    FullScreenView *view() const { return board->fullScreenView(); }

    void toggle()
    {
        QTest::keyClick(view()->isActive() ? static_cast<QWidget *>(view()) : board.get(), Qt::Key_F11);
        QApplication::processEvents();
    }

    // A point of the board in the full-screen view's pixels.
    QPointF scaled(QPointF boardPoint) const
    {
        return view()->boardArea().topLeft() + boardPoint * view()->factor();
    }

    QImage shot() const { return view()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // The pixels on the screen as painted so far, not painted anew for the picture.
    QImage screenNow() const
    {
        return view()->screen()->grabWindow(view()->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The board's clock, still: only the test's own ticks move its hands.
    TPLNClock *stillClock() const
    {
        auto *clock = ctl<TPLNClock>(QStringLiteral("PLNClock1"));
        for (QTimer *timer : clock->findChildren<QTimer *>())
            timer->stop();
        return clock;
    }
    // The box of the pixels where two pictures of the screen differ.
    static QRect differing(const QImage &a, const QImage &b)
    {
        QRect where;
        for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
            for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
                if (a.pixel(x, y) != b.pixel(x, y))
                    where |= QRect(x, y, 1, 1);
            }
        }
        return where;
    }
    // The same once the updates waiting to be painted are on it.
    QImage onScreen() const
    {
        QApplication::processEvents();
        return screenNow();
    }

    // The first pixel of `colour` on the way from `from` in steps of `step`, as an offset.
    static std::optional<int> firstOf(const QImage &image, QPoint from, QPoint step, QRgb colour, int steps)
    {
        for (int i = 0; i < steps; ++i) {
            const QPoint p = from + step * i;
            if (image.valid(p) && image.pixel(p) == colour)
                return i;
        }
        return std::nullopt;
    }
};

TEST_F(FullScreen, F11CoversTheChosenMonitorWithTheBoardScaledAndCentred)
{
    for (int monitor : {0, 1}) {
        SCOPED_TRACE(monitor);
        board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, monitor));
        const QPoint before = board->pos();
        toggle();
        ASSERT_TRUE(view()->isActive());
        const QRect screen = monitor == 0 ? kOperator : kProjector;
        EXPECT_EQ(view()->geometry(), screen);
        EXPECT_EQ(view()->screen()->geometry(), screen);
        const double f = screen.height() / 547.0;
        EXPECT_DOUBLE_EQ(view()->factor(), f);
        const QRectF area = view()->boardArea();
        EXPECT_NEAR(area.left(), (screen.width() - 792 * f) / 2, 1.0);
        EXPECT_NEAR(area.top(), 0.0, 1.0);
        EXPECT_NEAR(area.width(), 792 * f, 1.0);
        toggle();
        EXPECT_FALSE(view()->isActive());
        EXPECT_EQ(board->pos(), before);
    }
}

// A 16:9 screen is bounded by its height; a 5:4 or portrait one by its width.
TEST(FullScreenFit, TheNarrowerSideBoundsTheFactor)
{
    EXPECT_DOUBLE_EQ(FullScreenView::fitFactor({1920, 1080}, {792, 547}), 1080 / 547.0);
    EXPECT_DOUBLE_EQ(FullScreenView::fitFactor({1280, 1024}, {792, 547}), 1280 / 792.0);
    EXPECT_DOUBLE_EQ(FullScreenView::fitFactor({1080, 1920}, {792, 547}), 1080 / 792.0);
}

TEST_F(FullScreen, AMonitorThatNoLongerExistsOrASingleOneMeansThePrimary)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 5));
    toggle();
    EXPECT_EQ(view()->geometry(), QGuiApplication::primaryScreen()->geometry());
    toggle();
    monitors.list = {kProjector}; // one monitor: the list says "Anfangswert"
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    toggle();
    EXPECT_EQ(view()->geometry(), QGuiApplication::primaryScreen()->geometry());
}

TEST_F(FullScreen, PointsFrameAndFigureScaleWithTheBoard)
{
    board->model().execute(MatchCommand::pointsCorrection(1, Qt::LeftButton));
    TLabel3D *points = ctl<TLabel3D>("eSchet1");
    ASSERT_FALSE(points->Caption().isEmpty());
    const QRect at1x = points->geometry();
    const QImage board1x = board->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb frame = board1x.pixel(at1x.left(), at1x.center().y());
    ASSERT_NE(frame, board1x.pixel(at1x.left() - 1, at1x.center().y())) << "a frame on the ground";
    const auto [top1x, bottom1x] = inkRows(board1x, at1x.adjusted(2, 2, -2, -2));
    ASSERT_GT(bottom1x, top1x);
    const int height1x = bottom1x - top1x + 1;

    for (int monitor : {0, 1}) {
        SCOPED_TRACE(monitor);
        board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, monitor));
        toggle();
        const double f = view()->factor();
        const QImage image = shot();
        // Each edge of the frame, found from outside, lies where the scaled edge lies.
        const QPointF tl = scaled(at1x.topLeft());
        const QPointF br = scaled(at1x.topLeft() + QPoint(at1x.width(), at1x.height()));
        const int midY = int(scaled(at1x.center()).y());
        const int midX = int(scaled(at1x.center()).x());
        const auto left = firstOf(image, QPoint(int(tl.x()) - 5, midY), {1, 0}, frame, 20);
        const auto right = firstOf(image, QPoint(int(br.x()) + 5, midY), {-1, 0}, frame, 20);
        const auto top = firstOf(image, QPoint(midX, int(tl.y()) - 5), {0, 1}, frame, 20);
        const auto bottom = firstOf(image, QPoint(midX, int(br.y()) + 5), {0, -1}, frame, 20);
        ASSERT_TRUE(left && right && top && bottom);
        EXPECT_NEAR(int(tl.x()) - 5 + *left, tl.x(), 1.0);
        EXPECT_NEAR(int(br.x()) + 5 - *right, br.x() - 1, 1.0);
        EXPECT_NEAR(int(tl.y()) - 5 + *top, tl.y(), 1.0);
        EXPECT_NEAR(int(br.y()) + 5 - *bottom, br.y() - 1, 1.0);
        // The figure's glyph is drawn at the monitor's size.
        const int inset = int(std::ceil(2 * f));
        const QRect inside = QRectF(tl, br).toAlignedRect().adjusted(inset, inset, -inset, -inset);
        const auto [top2, bottom2] = inkRows(image, inside);
        ASSERT_GT(bottom2, top2);
        EXPECT_NEAR(double(bottom2 - top2 + 1), f * height1x, 0.05 * f * height1x);
        toggle();
    }
}

TEST_F(FullScreen, ClickAtTheScaledFigureCountsAndEscapeReturns)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    const QPoint before = board->pos();
    toggle();
    TLabel3D *points = ctl<TLabel3D>("eSchet1");
    const QString was = points->Caption();
    const QPoint at = scaled(points->geometry().center()).toPoint();
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_NE(points->Caption(), was);
    const QString counted = points->Caption();
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, at);
    EXPECT_EQ(points->Caption(), was) << "a correction with the right button";
    // The other figure is not hit by a click just beside the first.
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                      scaled(points->geometry().topLeft() - QPoint(0, 3)).toPoint());
    EXPECT_EQ(points->Caption(), was);
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_FALSE(view()->isActive());
    EXPECT_FALSE(view()->isVisible());
    EXPECT_TRUE(board->isVisible());
    EXPECT_EQ(board->pos(), before);
    EXPECT_FALSE(ctl<QCheckBox>("cbFullScreen")->isChecked());
    EXPECT_EQ(ctl<QLabel>("ImageBall")->pixmap().devicePixelRatio(), 1.0) << "the window's own pictures";
}

TEST_F(FullScreen, PicturesCoverTheMonitorsResolution)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    toggle();
    for (const char *name : {"ImageBall", "ImageDE"}) {
        const QPixmap shown = ctl<QLabel>(name)->pixmap();
        EXPECT_GE(shown.width(), ctl(name)->width() * view()->factor()) << name;
        EXPECT_EQ(shown.deviceIndependentSize().toSize(), ctl(name)->size()) << name;
    }
}

TEST_F(FullScreen, CheckBoxAndStripWorkAtTheSameScale)
{
    QCheckBox *box = ctl<QCheckBox>("cbFullScreen");
    EXPECT_EQ(box->geometry(), QRect(548, 47, 70, 16));
    EXPECT_EQ(box->text(), "Vollbild");
    board->ObCFGClick();
    box->click();
    QApplication::processEvents();
    ASSERT_TRUE(view()->isActive());
    QWidget *strip = ctl("PanelCFG");
    ASSERT_TRUE(strip->isVisible());
    // The strip lies at the bottom of the scaled board; a click on the box leaves.
    EXPECT_NEAR(scaled(strip->geometry().bottomLeft() + QPoint(0, 1)).y(), view()->height(), 1.0);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, scaled(QPointF(strip->geometry().topLeft() + QPoint(550, 55))).toPoint());
    QApplication::processEvents();
    EXPECT_FALSE(view()->isActive());
    EXPECT_FALSE(box->isChecked());
}

TEST_F(FullScreen, ResetQuestionIsAskedAtTheSameScale)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    toggle();
    const QString was = ctl<TLabel3D>("eSchet1")->Caption();
    board->model().execute(MatchCommand::pointsCorrection(1, Qt::LeftButton));
    std::optional<QTransform> seen;
    QTimer::singleShot(50, [&] {
        if (QGraphicsProxyWidget *proxy = dialog->graphicsProxyWidget()) {
            seen = proxy->sceneTransform() * view()->viewportTransform();
            // Centred on the board.
            const QPointF centre = proxy->sceneBoundingRect().center();
            EXPECT_NEAR(centre.x(), board->width() / 2.0, 2.0);
            EXPECT_NEAR(centre.y(), board->height() / 2.0, 2.0);
        }
        dialog->OKBtn->click();
    });
    board->bResetClick();
    ASSERT_TRUE(seen.has_value()) << "the question was not shown in the full-screen scene";
    EXPECT_DOUBLE_EQ(seen->m11(), view()->factor());
    EXPECT_DOUBLE_EQ(seen->m22(), view()->factor());
    EXPECT_TRUE(view()->isActive());
    EXPECT_EQ(ctl<TLabel3D>("eSchet1")->Caption(), was);
}

TEST_F(FullScreen, RememberedAcrossRunsWithTheWindowPlace)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    const QPoint before = board->pos();
    toggle();
    board.reset(); // exit in full screen
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                    QStringLiteral("Courtlyx"));
        EXPECT_EQ(s.value("FullScreen").toInt(), 1);
        EXPECT_EQ(s.value("L").toInt(), before.x());
        EXPECT_EQ(s.value("T").toInt(), before.y());
        EXPECT_EQ(s.value("Monitor").toInt(), 1);
    }
    board = std::make_unique<TFormMain>(ticks, monitors, shell);
    EXPECT_TRUE(board->fullScreenShown());
    EXPECT_EQ(board->fullScreenView()->geometry(), kProjector);
    board->setFullScreen(false);
    EXPECT_EQ(board->pos(), before);
    board.reset();
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                QStringLiteral("Courtlyx"));
    EXPECT_EQ(s.value("FullScreen").toInt(), 0);
}

TEST_F(FullScreen, BoardKeysWorkInFullScreen)
{
    toggle();
    QTest::keyClick(view(), Qt::Key_Pause);
    EXPECT_TRUE(board->model().match().timer().isRunning());
    const QString was = ctl<TLabel3D>("eSchet1")->Caption();
    QTest::keyClick(view(), Qt::Key_F1);
    EXPECT_NE(ctl<TLabel3D>("eSchet1")->Caption(), was);
}

// What the screen shows after ticks, points and a colour change is what a repaint of the
// whole screen shows: nothing kept at the screen's resolution is left stale.
TEST_F(FullScreen, ScreenAfterChangesIsWhatAFreshPaintShows)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    toggle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view()));
    board->bPlayClick();
    QWidget *viewport = view()->viewport();
    const QImage start = onScreen();
    for (int i = 0; i < 12; ++i) {
        QTest::qWait(120); // the clock's hands move on with the wall clock
        if (i % 3 == 0)
            QTest::keyClick(view(), i % 2 ? Qt::Key_F2 : Qt::Key_F1);
        if (i == 6)
            board->model().execute(MatchCommand::colour(2, clRed)); // the figures' colour
    }
    // Still, so the two pictures show the same time.
    stillClock();
    const QImage shown = onScreen();
    EXPECT_NE(shown, start);
    viewport->repaint();
    const QRect afterRepaint = differing(shown, onScreen());
    EXPECT_TRUE(afterRepaint.isEmpty()) << "a full repaint changes " << afterRepaint.width() << "x"
                                        << afterRepaint.height() << " at " << afterRepaint.x() << ","
                                        << afterRepaint.y();
    // Back in the window and full screen again, everything is drawn afresh.
    toggle();
    toggle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view()));
    const QImage again = onScreen();
    ASSERT_EQ(again.size(), shown.size());
    const QRect afresh = differing(shown, again);
    EXPECT_TRUE(afresh.isEmpty()) << "drawn afresh, " << afresh.width() << "x" << afresh.height() << " at "
                                  << afresh.x() << "," << afresh.y() << " differ";
}

// Every few seconds a tick moves the hour and minute hands as well; the screen then shows
// them where a paint from nothing puts them, not where an earlier picture of them stood.
TEST_F(FullScreen, MovedMinuteHandShowsWhereAFreshPaintDrawsIt)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 0));
    toggle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view()));
    // The test's ticks only, 60 ms apart: about three seconds, several moves of the minute hand.
    TPLNClock *clock = stillClock();
    onScreen();
    const int minuteAtStart = clock->PosMin();
    for (int i = 0; i < 50; ++i) {
        QTest::qWait(60);
        clock->ClockTick();
        QApplication::processEvents();
    }
    ASSERT_NE(clock->PosMin(), minuteAtStart) << "the minute hand never moved";
    const QImage shown = onScreen();
    // Back in the window and full screen again: the clock is drawn from nothing.
    toggle();
    toggle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view()));
    const QImage again = onScreen();
    ASSERT_EQ(again.size(), shown.size());
    const QRect where = differing(shown, again);
    EXPECT_TRUE(where.isEmpty()) << where.width() << "x" << where.height() << " at " << where.x() << ","
                                 << where.y() << " differ";
}

// The clock's ticks go straight to the screen only while nothing lies over it: a widget of
// the board over its centre, where every tick draws, stays in sight.
TEST_F(FullScreen, WidgetOverTheClockStaysInSightThroughItsTicks)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    toggle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view()));
    TPLNClock *clock = stillClock();
    clock->ClockTick(); // the clock's way to the screen is open before the widget comes
    QApplication::processEvents();
    QWidget cover(board.get());
    QPalette green;
    green.setColor(QPalette::Window, Qt::green);
    cover.setPalette(green);
    cover.setAutoFillBackground(true);
    cover.setGeometry(QRect(static_cast<QWidget *>(clock)->geometry().center() - QPoint(20, 20), QSize(40, 40)));
    cover.show();
    onScreen();
    for (int i = 0; i < 15; ++i) {
        QTest::qWait(40);
        clock->ClockTick();
        QApplication::processEvents();
    }
    const QImage shown = onScreen();
    const QRectF area(scaled(cover.geometry().topLeft()), QSizeF(cover.size()) * view()->factor());
    int other = 0;
    for (int y = int(area.top()) + 2; y < int(area.bottom()) - 2; ++y) {
        for (int x = int(area.left()) + 2; x < int(area.right()) - 2; ++x)
            other += shown.pixel(x, y) != qRgb(0, 255, 0);
    }
    EXPECT_EQ(other, 0);
    // Uncovered again, the ticks show the hands there once more.
    cover.hide();
    QTest::qWait(40);
    clock->ClockTick();
    const QImage uncovered = onScreen();
    const QPointF centre = area.center();
    EXPECT_NE(uncovered.pixel(centre.toPoint()), qRgb(0, 255, 0));
}

// A point and a tick at the same moment both show: the tick's own way to the screen leaves
// the point's update, wherever it has got to, to the board's way.
TEST_F(FullScreen, PointAndTickAtOnceBothShow)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 1));
    toggle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view()));
    board->bPlayClick();
    TPLNClock *clock = stillClock();
    QApplication::processEvents();
    // The point's update takes a few rounds of posted events to reach the screen; the tick
    // comes after each number of them.
    for (int rounds = 0; rounds < 5; ++rounds) {
        QTest::qWait(30);
        QTest::keyClick(view(), Qt::Key_F1);
        for (int i = 0; i < rounds; ++i)
            QCoreApplication::sendPostedEvents();
        clock->ClockTick();
        QTest::qWait(20); // every round of updates reaches the screen
        const QImage shown = screenNow();
        view()->viewport()->repaint();
        const QRect where = differing(shown, screenNow());
        EXPECT_TRUE(where.isEmpty()) << "after " << rounds << " rounds: " << where.width() << "x" << where.height()
                                     << " at " << where.x() << "," << where.y();
    }
}

// A repaint leaves no pixel of the screen as it was: the bars, the board's edges, and the
// edges of its controls drawn at the screen's resolution meet without a gap.
TEST_F(FullScreen, RepaintLeavesNoPixelUnpainted)
{
    for (int monitor : {0, 1}) {
        SCOPED_TRACE(monitor);
        board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, monitor));
        toggle();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view()));
        QApplication::processEvents();
        const QRgb marker = qRgb(255, 0, 255);
        QBackingStore *store = view()->backingStore();
        const QRect all(QPoint(), view()->size());
        store->beginPaint(all);
        {
            QPainter p(store->paintDevice());
            p.fillRect(all, QColor(marker));
        }
        store->endPaint();
        view()->viewport()->repaint();
        const QImage shown = screenNow();
        ASSERT_EQ(shown.size(), all.size());
        int left = 0;
        QRect where;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) == marker) {
                    ++left;
                    where |= QRect(x, y, 1, 1);
                }
            }
        }
        EXPECT_EQ(left, 0) << "unpainted within " << where.width() << "x" << where.height() << " at " << where.x()
                           << "," << where.y();
        toggle();
    }
}

// Closing the full-screen window asks "Beenden?" at the board's scale; "Nein" keeps the
// board full screen, "Ja" ends it.
TEST_F(FullScreen, CloseQuestionIsAskedAtTheSameScale)
{
    board->model().execute(MatchCommand::withValue(MatchCommand::Kind::Monitor, 0));
    toggle();
    const auto answer = [&](QPushButton *TFDlgYesNo::*button, QString *question, std::optional<double> *scale) {
        QTimer::singleShot(50, [=, this] {
            *question = dialog->Label1->text();
            if (QGraphicsProxyWidget *proxy = dialog->graphicsProxyWidget())
                *scale = (proxy->sceneTransform() * view()->viewportTransform()).m11();
            (dialog->*button)->click();
        });
    };
    QString question;
    std::optional<double> scale;
    answer(&TFDlgYesNo::CancelBtn, &question, &scale);
    view()->close();
    EXPECT_EQ(question, "Beenden?");
    ASSERT_TRUE(scale.has_value()) << "the question was not shown in the full-screen scene";
    EXPECT_DOUBLE_EQ(*scale, view()->factor());
    EXPECT_TRUE(view()->isActive());
    EXPECT_TRUE(view()->isVisible());
    answer(&TFDlgYesNo::OKBtn, &question, &scale);
    view()->close();
    EXPECT_FALSE(view()->isVisible());
}
