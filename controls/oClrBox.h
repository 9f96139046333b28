#pragma once

#include "controls/ToColorSet.h"
#include "gdi/Colors.h"
#include "gdi/GdiRect.h"

#include <QComboBox>

#include <cstdint>

class GdiCanvas;

// A drop-down list for picking a colour: each entry a framed swatch and, optionally,
// the colour's name. The list holds the sixteen pure colours, the twenty-one control
// colours and the user entry "Other..." (always last), as ColorSet says; the user entry
// takes any colour not in the list. `changed` is raised when ColorValue changes, by the
// user or by the program.
class ToColorCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit ToColorCombo(QWidget *parent = nullptr);

    TColor ColorValue() const { return colorValue_; }
    virtual void setColorValue(TColor color);
    ToColorSet ColorSet() const { return colorSet_; }
    virtual void setColorSet(ToColorSet set); // an empty set becomes [clrUser]
    // Sets ColorValue when the set has the user entry; reads back the last value written.
    TColor ColorUser() const { return colorUser_; }
    void setColorUser(TColor color);
    bool DrawColorName() const { return drawColorName_; }
    virtual void setDrawColorName(bool draw);

    TColor Color() const { return color_; } // list background
    void setColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor color);
    std::int32_t Tag() const { return tag_; }
    void setTag(std::int32_t tag) { tag_ = tag; }

    // Height of a list entry, from the font: 1.2 times the character height, at least 10.
    int ItemHeight() const { return itemHeight_; }
    TColor ItemColor(int index) const;

    // Draws entry `index` (below 0: only the background) in `rect`; used by the list and
    // by the closed box.
    void DrawItem(GdiCanvas &canvas, int index, GdiRect rect, bool selected, bool focused) const;

signals:
    void changed(ToColorCombo *sender);
    void clicked(ToColorCombo *sender);

protected:
    virtual void PopulateList();
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Change();
    void Click();
    void updateItemHeight();

    TColor colorUser_ = clWhite;
    TColor colorValue_ = clBlack;
    ToColorSet colorSet_{clrPure, clrCtrl};
    bool drawColorName_ = true;
    TColor color_ = clWindow;
    TColor fontColor_ = clWindowText;
    std::int32_t tag_ = 0;
    int itemHeight_ = 10;
};
