#include "controls/oClrBox.h"

#include "gdi/GdiCanvas.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <cstdlib>

namespace {

struct ColorEntry
{
    const char *text;
    TColor value;
};

constexpr ColorEntry kPureColors[] = {
    {"Black", clBlack},   {"Maroon", clMaroon}, {"Green", clGreen}, {"Olive", clOlive},
    {"Navy", clNavy},     {"Purple", clPurple}, {"Teal", clTeal},   {"Gray", clGray},
    {"Silver", clSilver}, {"Red", clRed},       {"Lime", clLime},   {"Yellow", clYellow},
    {"Blue", clBlue},     {"Fuchsia", clFuchsia}, {"Aqua", clAqua}, {"White", clWhite},
};

constexpr ColorEntry kControlColors[] = {
    {"ScrollBar", clScrollBar},
    {"Background", clBackground},
    {"ActiveCaption", clActiveCaption},
    {"InactiveCaption", clInactiveCaption},
    {"Menu", clMenu},
    {"Window", clWindow},
    {"WindowFrame", clWindowFrame},
    {"MenuText", clMenuText},
    {"WindowText", clWindowText},
    {"CaptionText", clCaptionText},
    {"ActiveBorder", clActiveBorder},
    {"InactiveBorder", clInactiveBorder},
    {"AppWorkSpace", clAppWorkSpace},
    {"Highlight", clHighlight},
    {"HighlightText", clHighlightText},
    {"BtnFace", clBtnFace},
    {"BtnShadow", clBtnShadow},
    {"GrayText", clGrayText},
    {"BtnText", clBtnText},
    {"InactiveCaptionText", clInactiveCaptionText},
    {"BtnHighlight", clBtnHighlight},
};

constexpr ColorEntry kUserEntry = {"Other...", clWhite};

constexpr int kMinItemHeight = 10;

// Windows MulDiv: a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long p = static_cast<long long>(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const long long q = std::llabs(c);
    const long long r = (std::llabs(p) + q / 2) / q;
    return static_cast<int>(negative ? -r : r);
}

GdiRect toGdiRect(const QRect &r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// The list's entries are drawn by the combo box itself, like its closed box.
class ColorItemDelegate : public QAbstractItemDelegate
{
public:
    explicit ColorItemDelegate(ToColorCombo *combo)
        : QAbstractItemDelegate(combo), combo_(combo)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        GdiCanvas canvas(*painter);
        combo_->DrawItem(canvas, index.row(), toGdiRect(option.rect), option.state & QStyle::State_Selected,
                         option.state & QStyle::State_HasFocus);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), combo_->ItemHeight());
    }

private:
    ToColorCombo *combo_;
};

} // namespace

ToColorCombo::ToColorCombo(QWidget *parent)
    : QComboBox(parent)
{
    setItemDelegate(new ColorItemDelegate(this));
    updateItemHeight();
    PopulateList();
    connect(this, &QComboBox::activated, this, [this] {
        Click();
        Change();
    });
}

void ToColorCombo::PopulateList()
{
    const auto append = [this](const ColorEntry &entry) { addItem(QString::fromLatin1(entry.text), entry.value); };
    if (colorSet_.contains(clrPure))
        for (const ColorEntry &entry : kPureColors)
            append(entry);
    if (colorSet_.contains(clrCtrl))
        for (const ColorEntry &entry : kControlColors)
            append(entry);
    if (colorSet_.contains(clrUser))
        append(kUserEntry);
    setCurrentIndex(0); // only the shown entry; ColorValue stays
}

TColor ToColorCombo::ItemColor(int index) const
{
    return itemData(index).toUInt();
}

void ToColorCombo::setColorValue(TColor color)
{
    if (color == colorValue_)
        return;
    // Values compare as 32-bit numbers: a system colour never matches a pure one.
    for (int i = 0; i < count(); ++i)
        if (ItemColor(i) == color) {
            colorValue_ = color;
            setCurrentIndex(i);
            Change();
            return;
        }
    if (!colorSet_.contains(clrUser))
        return;
    colorValue_ = color;
    const int user = count() - 1;
    if (user >= 0) {
        setCurrentIndex(user);
        setItemData(user, color);
    }
    Change();
    update();
}

void ToColorCombo::setColorSet(ToColorSet set)
{
    if (set == colorSet_)
        return;
    colorSet_ = set.isEmpty() ? ToColorSet{clrUser} : set;
    clear();
    PopulateList();
    update();
}

void ToColorCombo::setColorUser(TColor color)
{
    colorUser_ = color;
    if (colorSet_.contains(clrUser))
        setColorValue(color);
}

void ToColorCombo::setDrawColorName(bool draw)
{
    if (drawColorName_ == draw)
        return;
    drawColorName_ = draw;
    update();
}

void ToColorCombo::setColor(TColor color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void ToColorCombo::setFontColor(TColor color)
{
    if (fontColor_ == color)
        return;
    fontColor_ = color;
    update();
}

void ToColorCombo::Change()
{
    emit changed(this);
}

void ToColorCombo::Click()
{
    const int index = currentIndex();
    if (index >= 0 && index < count()) {
        colorValue_ = ItemColor(index);
        emit clicked(this);
    }
}

void ToColorCombo::updateItemHeight()
{
    const int h = -mulDiv(gdiFontHeight(font()), 12, 10);
    itemHeight_ = h >= kMinItemHeight ? h : kMinItemHeight;
}

void ToColorCombo::changeEvent(QEvent *event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateItemHeight();
        view()->doItemsLayout(); // the entries stay; only their height changes
        updateGeometry();
    }
}

void ToColorCombo::DrawItem(GdiCanvas &canvas, int index, GdiRect rect, bool selected, bool focused) const
{
    canvas.setFont(font());
    canvas.setBrushStyle(BrushStyle::Solid);
    canvas.setBrushColor(selected ? clHighlight : color_);
    canvas.setFontColor(selected ? clHighlightText : fontColor_);

    if (index < 0) {
        canvas.fillRect(rect);
    } else {
        const GdiRect swatch{rect.left + 2, rect.top + 2, drawColorName_ ? rect.left + 24 : rect.right - 2,
                             rect.bottom - 2};
        canvas.fillRect(rect);
        const TColor background = canvas.brushColor();
        canvas.setPenStyle(PenStyle::Solid);
        canvas.setPenWidth(1);
        canvas.setPenColor(clBlack);
        canvas.rectangle(swatch);
        canvas.setBrushColor(ItemColor(index));
        canvas.fillRect(swatch.inset(1));
        canvas.setBrushColor(background);
        if (drawColorName_) {
            GdiRect text = rect;
            text.left = rect.left + 28;
            canvas.drawText(itemText(index), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    if (focused)
        canvas.drawFocusRect(rect);
}

void ToColorCombo::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    GdiCanvas canvas(painter);
    const bool focused = hasFocus() && !view()->isVisible();
    DrawItem(canvas, currentIndex(), toGdiRect(field), focused, focused);
}
