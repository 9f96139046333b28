#pragma once

#include "rtf/RtfControlWordTable.h"
#include "rtf/RtfFormatFactory.h"

#include <QColor>
#include <QTextTableCellFormat>
#include <QTextTableFormat>

#include <array>
#include <vector>

// A table row as \trowd ... \cellx defines it: where each cell ends and how its sides
// are drawn. It lasts until the next \trowd, across paragraphs and groups.
class RtfRowDefinition
{
public:
    enum class Side : quint8 { Top, Left, Bottom, Right };

    // Takes \trowd, \cellx and the words of the cells' borders; false for any other word.
    bool controlWord(RtfWord word, int param, const RtfFormatFactory &formats);

    int cellCount() const { return int(cells_.size()); }
    // Cell widths in pixels, padding from the gap; the cells draw the borders.
    QTextTableFormat tableFormat() const;
    QTextTableCellFormat cellFormat(int column) const;
    QTextLength columnWidth(int column) const;

private:
    void reset();
    // The border words that follow apply to this side of the next cell.
    void selectBorder(Side side);
    void setBorderStyle(QTextFrameFormat::BorderStyle style);
    void setBorderWidth(int twips);
    void addCell(int rightTwips);

    struct Border
    {
        QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
        int width = 0; // twips
        QColor color;
    };
    struct Cell
    {
        int right = 0; // twips from the row's left edge
        std::array<Border, 4> borders;
    };

    int gap_ = 0;
    int left_ = 0;
    std::vector<Cell> cells_;
    std::array<Border, 4> pending_;
    Border *selected_ = nullptr;
};
