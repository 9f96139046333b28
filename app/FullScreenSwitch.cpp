#include "app/FullScreenSwitch.h"

#include "app/BoardLayout.h"
#include "app/FullScreenView.h"
#include "controls/PLNClock.h"
#include "platform/Monitors.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QSignalBlocker>

FullScreenSwitch::FullScreenSwitch(QWidget &board, QWidget &strip, BoardLayout &layout,
                                   const MonitorSource &monitors, std::function<int()> monitor)
    : layout_(layout), monitors_(monitors), monitor_(std::move(monitor))
{
    view_ = std::make_unique<FullScreenView>(board, [this] {
        showLargePictures(false);
        const QSignalBlocker quiet(cbFullScreen_);
        cbFullScreen_->setChecked(false);
    });
    cbFullScreen_ = new QCheckBox(QStringLiteral("Vollbild"), &strip);
    cbFullScreen_->setObjectName(QStringLiteral("cbFullScreen"));
    cbFullScreen_->setGeometry(548, 47, 70, 16);
    // Queued: the board must not leave the scene inside the click that asks for it.
    QObject::connect(cbFullScreen_, &QCheckBox::toggled, cbFullScreen_, [this](bool on) { set(on); },
                     Qt::QueuedConnection);
    auto *key = new QAction(QStringLiteral("Vollbild"), &board);
    key->setObjectName(QStringLiteral("mFullScreen"));
    key->setShortcut(QKeySequence(Qt::Key_F11));
    board.addAction(key);
    QObject::connect(key, &QAction::triggered, key, [this] { set(!shown()); });
    TPLNClock *clock = layout.PLNClock1;
    clock->setTickRepaint([this, clock](const QRect &box) {
        return view_ && view_->repaintAlone(*clock, box, [clock](QPainter &painter, const QRect &area) {
            clock->paintEnlarged(painter, area);
        });
    });
}

FullScreenSwitch::~FullScreenSwitch()
{
    release();
}

void FullScreenSwitch::release()
{
    layout_.PLNClock1->setTickRepaint({});
    view_.reset();
}

bool FullScreenSwitch::shown() const
{
    return view_ && view_->isActive();
}

void FullScreenSwitch::set(bool on)
{
    if (view_ && on != shown()) {
        showLargePictures(on);
        if (on)
            view_->enter(chosenScreen());
        else
            view_->leave();
    }
    const QSignalBlocker quiet(cbFullScreen_);
    cbFullScreen_->setChecked(shown());
}

// The pictures at four times their size while the board is enlarged.
void FullScreenSwitch::showLargePictures(bool large)
{
    const auto picture = [large](const char *name) {
        QPixmap p(QStringLiteral(":/pictures/%1%2.png").arg(QLatin1String(name), large ? "@4x" : ""));
        p.setDevicePixelRatio(large ? 4.0 : 1.0);
        return p;
    };
    layout_.ImageBall->setPixmap(picture("ball"));
    layout_.ImageDE->setPixmap(picture("logo"));
}

QScreen *FullScreenSwitch::chosenScreen() const
{
    const QList<QRect> list = monitors_.monitors();
    const int monitor = monitor_();
    if (list.size() > 1 && monitor >= 0 && monitor < list.size()) {
        const QRect wanted = list[monitor];
        const QList<QScreen *> screens = QGuiApplication::screens();
        for (QScreen *screen : screens) {
            if (screen->geometry() == wanted)
                return screen;
        }
        for (QScreen *screen : screens) {
            if (screen->geometry().contains(wanted.center()))
                return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}
