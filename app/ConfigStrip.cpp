#include "app/ConfigStrip.h"

#include "app/BoardFonts.h"
#include "app/WidgetColours.h"
#include "controls/oClrBox.h"
#include "core/BoardModel.h"
#include "gdi/SystemColors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The strip holds its controls and their pop-ups (an open drop-down list is a window of
// its own, whose owner is the list's control), and the dialogs they open.
bool holdsIn(const QWidget *panel, const QWidget *w)
{
    while (w && w != panel) {
        if (w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::Dialog)
            return false;
        w = w->parentWidget();
    }
    return w == panel;
}

} // namespace

ConfigStrip::ConfigStrip(QWidget &window, BoardModel &model) : model_(model)
{
    PanelCFG_ = new QFrame(&window);
    PanelCFG_->setObjectName(QStringLiteral("PanelCFG"));
    PanelCFG_->setGeometry(0, 48, window.width(), kHeight);
    PanelCFG_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelCFG_->setLineWidth(3);
    setGround(PanelCFG_, 0xC0C0C0);
    setTextColour(PanelCFG_, 0x000000);

    auto check = [this](const char *name, const char *caption, int top) {
        auto *c = new QCheckBox(QString::fromLatin1(caption), PanelCFG_);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(624, top, 81, 17);
        c->setChecked(true);
        return c;
    };
    sbClose_ = new QPushButton(QStringLiteral("X"), PanelCFG_);
    sbClose_->setObjectName(QStringLiteral("sbClose"));
    sbClose_->setGeometry(4, 21, 23, 23);
    sbClose_->setFont(boardFont(QStringLiteral("MS Sans Serif"), 11, true));
    sbClose_->setAutoDefault(true); // Enter presses the focused button, as Space does
    cbAutoSchet_ = check("cbAutoSchet", "AutoSchet", 8);
    cbTieBreak_ = check("cbTieBreak", "Tiebreak", 24);

    rgCountSatz_ = new QGroupBox(QStringLiteral("Satz"), PanelCFG_);
    rgCountSatz_->setObjectName(QStringLiteral("rgCountSatz"));
    rgCountSatz_->setGeometry(424, 8, 49, 49);
    const char *items[] = {"5", "3"};
    for (int i = 0; i < 2; ++i) {
        auto *r = new QRadioButton(QString::fromLatin1(items[i]), rgCountSatz_);
        r->setGeometry(8, 15 + 15 * i, 36, 15);
        rgCountSatzItems_[i] = r;
    }
    rgCountSatzItems_[0]->setChecked(true);

    createColourPickers();
    bGame_ = new QPushButton(QStringLiteral("Game"), PanelCFG_);
    bGame_->setObjectName(QStringLiteral("bGame"));
    bGame_->setGeometry(722, 10, 62, 25);
    LabMonitor_ = new QLabel(QStringLiteral("Multimonitor:"), PanelCFG_);
    LabMonitor_->setObjectName(QStringLiteral("LabMonitor"));
    LabMonitor_->setGeometry(622, 42, 59, 13);
    LabMonitor_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Greyed with the list, as a disabled label of the classic scheme draws.
    QPalette greyed = LabMonitor_->palette();
    greyed.setColor(QPalette::Disabled, QPalette::WindowText, toQColor(clGrayText));
    LabMonitor_->setPalette(greyed);
    cbMonitor_ = new QComboBox(PanelCFG_);
    cbMonitor_->setObjectName(QStringLiteral("cbMonitor"));
    cbMonitor_->setGeometry(684, 38, 102, 21);
    cbMonitor_->setEnabled(false);

    QWidget::setTabOrder(gbFarbe_, bGame_);
    QWidget::setTabOrder(bGame_, cbAutoSchet_);
    QWidget::setTabOrder(cbAutoSchet_, sbClose_);
    QWidget::setTabOrder(sbClose_, cbTieBreak_);
    QWidget::setTabOrder(cbTieBreak_, cbMonitor_);
    QWidget::setTabOrder(cbMonitor_, rgCountSatzItems_[0]);
    // A focus that goes nowhere (another application, a closing popup) leaves it open.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *from, QWidget *to) {
        if (from && to && holds(from) && !holds(to))
            emit focusLeft(to);
    });
    using Kind = MatchCommand::Kind;
    connect(sbClose_, &QPushButton::clicked, this, &ConfigStrip::close);
    connect(bGame_, &QPushButton::clicked, this, [this] {
        sbClose_->click();
        emit companionClicked();
    });
    connect(cbAutoSchet_, &QCheckBox::toggled, this,
            [this](bool on) { model_.execute(MatchCommand::withValue(Kind::AutoCount, on ? 1 : 0)); });
    connect(cbTieBreak_, &QCheckBox::toggled, this,
            [this](bool on) { model_.execute(MatchCommand::withValue(Kind::TieBreakOption, on ? 1 : 0)); });
    for (int i = 0; i < 2; ++i) {
        connect(rgCountSatzItems_[i], &QRadioButton::clicked, this, [this] {
            model_.execute(MatchCommand::withValue(Kind::SetCount, rgCountSatzItems_[0]->isChecked() ? 5 : 3));
        });
    }
    for (ToColorCombo *picker : cbColor_) {
        connect(picker, &ToColorCombo::changed, this, [this](ToColorCombo *sender) {
            model_.execute(MatchCommand::colour(sender->Tag(), sender->ColorValue()));
        });
    }
    connect(cbMonitor_, &QComboBox::activated, this,
            [this](int index) { model_.execute(MatchCommand::withValue(Kind::Monitor, index)); });
    connect(&model_, &BoardModel::optionsChanged, this, &ConfigStrip::showOptions);
    connect(&model_, &BoardModel::coloursChanged, this, &ConfigStrip::showColours);
    showColours();
}

ConfigStrip::~ConfigStrip() = default;

// The strip follows options that a command, undo, redo or a restore brought.
void ConfigStrip::showOptions()
{
    const QSignalBlocker blockAuto(cbAutoSchet_);
    const QSignalBlocker blockTieBreak(cbTieBreak_);
    cbAutoSchet_->setChecked(model_.score().autoCount());
    cbTieBreak_->setChecked(model_.score().tieBreakOption());
    const int sets = model_.score().setCount();
    for (int i = 0; i < 2; ++i) {
        QRadioButton *item = rgCountSatzItems_[i];
        // A count the group has no item for (a pro set's one) leaves both unchecked.
        item->setAutoExclusive(false);
        item->setChecked(sets == (i == 0 ? 5 : 3));
        item->setAutoExclusive(true);
    }
}

void ConfigStrip::showColours()
{
    for (int slot = 0; slot < 5; ++slot)
        cbColor_[size_t(slot)]->setColorValue(model_.colour(slot));
}

void ConfigStrip::createColourPickers()
{
    gbFarbe_ = new QGroupBox(QStringLiteral("Farben"), PanelCFG_);
    gbFarbe_->setObjectName(QStringLiteral("gbFarbe"));
    gbFarbe_->setGeometry(32, 2, 377, 60);
    struct Caption { const char *name; const char *text; QRect geometry; };
    const Caption captions[] = {
        {"Label3", "TextHi:", {261, 18, 34, 13}}, {"Label4", "Display:", {3, 21, 37, 13}},
        {"Label5", "Border:", {132, 40, 34, 13}}, {"Label16", "Text:", {134, 18, 24, 13}},
        {"Label17", "TextFon:", {4, 40, 42, 13}}};
    for (const Caption &c : captions) {
        auto *l = new QLabel(QString::fromLatin1(c.text), gbFarbe_);
        l->setObjectName(QString::fromLatin1(c.name));
        l->setGeometry(c.geometry);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // In creation order: cbColor1, cbColor0, cbColor2, cbColor3, cbColor4.
    const std::pair<int, QRect> pickers[] = {{1, {49, 38, 73, 19}}, {0, {41, 16, 56, 19}},
                                             {2, {161, 16, 73, 19}}, {3, {169, 38, 73, 19}},
                                             {4, {297, 16, 73, 19}}};
    for (const auto &[slot, geometry] : pickers) {
        auto *c = new ToColorCombo(gbFarbe_);
        c->setObjectName(QStringLiteral("cbColor%1").arg(slot));
        c->setGeometry(geometry);
        c->setTag(slot);
        c->setColorSet({clrPure, clrUser});
        c->setDrawColorName(false);
        // The value first, the user colour after it; the window connects the change only
        // then, so no picker has raised one when the window's creation step begins.
        c->setColorValue(slot == 4 ? clYellow : clBlack);
        c->setColorUser(clBlack);
        cbColor_[slot] = c;
    }
    for (int slot = 0; slot < 4; ++slot)
        QWidget::setTabOrder(cbColor_[slot], cbColor_[slot + 1]);
}

bool ConfigStrip::holds(const QWidget *w) const
{
    if (holdsIn(PanelCFG_, w))
        return true;
    for (const QFrame *row : rows_) {
        if (holdsIn(row, w))
            return true;
    }
    return false;
}

void ConfigStrip::attach(QFrame *row)
{
    rows_.append(row);
    row->setVisible(PanelCFG_->isVisible());
    dockRows();
}

void ConfigStrip::dock(QSize client)
{
    PanelCFG_->setGeometry(0, client.height() - kHeight, client.width(), kHeight);
    dockRows();
}

// Along the board's top edge, below a strip there: above a strip at the bottom they lay
// over the lower score row, while the top holds only the clock and the title.
void ConfigStrip::dockRows()
{
    const QRect strip = PanelCFG_->geometry();
    int edge = strip.top() <= 0 ? strip.bottom() + 1 : 0;
    for (QFrame *row : std::as_const(rows_)) {
        row->setGeometry(0, edge, strip.width(), row->height());
        edge += row->height();
    }
}

void ConfigStrip::open()
{
    bGame_->setEnabled(QFileInfo::exists(QLatin1String(kCompanionFile)));
    dockRows();
    PanelCFG_->show();
    for (QFrame *row : std::as_const(rows_)) {
        row->raise();
        row->show();
    }
    sbClose_->setFocus();
}

void ConfigStrip::close()
{
    // Hidden with the focus, the strip would pass it down the focus chain to a text field,
    // where the operator's next key would replace a name or change the title.
    if (focusHome_ && holds(QApplication::focusWidget()))
        focusHome_->setFocus();
    PanelCFG_->hide();
    for (QFrame *row : std::as_const(rows_))
        row->hide();
}

void ConfigStrip::refreshMonitorList(const QList<QRect> &monitors)
{
    const int remembered = model_.monitor();
    const int n = int(monitors.size());
    cbMonitor_->setEnabled(n > 1);
    LabMonitor_->setEnabled(n > 1);
    if (n == lastMonitorCount_)
        return; // the operator's selection stays
    lastMonitorCount_ = n;
    cbMonitor_->clear();
    if (n > 1) {
        for (int i = 0; i < n; ++i) {
            const QRect &m = monitors[i];
            cbMonitor_->addItem(QString::asprintf("%d=(%d,%d)-(%d,%d)", i, m.left(), m.top(),
                                                  m.width(), m.height()));
        }
        // A remembered number that no longer exists leaves nothing selected.
        cbMonitor_->setCurrentIndex(remembered >= 0 && remembered < n ? remembered : -1);
    } else {
        cbMonitor_->addItem(QStringLiteral("Anfangswert"));
        cbMonitor_->setCurrentIndex(0);
    }
}
