#include "app/FullScreenSwitch.h"

#include "app/FullScreenView.h"
#include "controls/PLNClock.h"
#include "core/BoardModel.h"
#include "platform/Monitors.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

FullScreenSwitch::FullScreenSwitch(QWidget &board, QWidget &strip, TPLNClock &clock,
                                   const MonitorSource &monitors, const BoardModel &model)
    : clock_(clock), monitors_(monitors), model_(model)
{
    view_ = std::make_unique<FullScreenView>(board, [this] {
        emit largePicturesWanted(false);
        const QSignalBlocker quiet(cbFullScreen_);
        cbFullScreen_->setChecked(false);
    });
    cbFullScreen_ = new QCheckBox(QStringLiteral("Vollbild"), &strip);
    cbFullScreen_->setObjectName(QStringLiteral("cbFullScreen"));
    cbFullScreen_->setGeometry(548, 47, 70, 16);
    // Queued: the board must not leave the scene inside the click that asks for it.
    connect(cbFullScreen_, &QCheckBox::toggled, this, [this](bool on) { set(on); }, Qt::QueuedConnection);
    auto *key = new QAction(QStringLiteral("Vollbild"), &board);
    key->setObjectName(QStringLiteral("mFullScreen"));
    key->setShortcut(QKeySequence(Qt::Key_F11));
    board.addAction(key);
    connect(key, &QAction::triggered, this, [this] { set(!shown()); });
    clock_.setTickRepaint([this](const QRect &box) {
        return view_ && view_->repaintAlone(clock_, box, [this](QPainter &painter, const QRect &area) {
            clock_.paintEnlarged(painter, area);
        });
    });
}

FullScreenSwitch::~FullScreenSwitch()
{
    release();
}

void FullScreenSwitch::release()
{
    clock_.setTickRepaint({});
    view_.reset();
}

bool FullScreenSwitch::shown() const
{
    return view_ && view_->isActive();
}

void FullScreenSwitch::set(bool on)
{
    if (view_ && on != shown()) {
        emit largePicturesWanted(on);
        if (on)
            view_->enter(chosenScreen());
        else
            view_->leave();
    }
    const QSignalBlocker quiet(cbFullScreen_);
    cbFullScreen_->setChecked(shown());
}

QScreen *FullScreenSwitch::chosenScreen() const
{
    const QList<QRect> list = monitors_.monitors();
    const int monitor = model_.monitor();
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
