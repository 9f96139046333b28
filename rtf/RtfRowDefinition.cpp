#include "rtf/RtfRowDefinition.h"

#include "rtf/RtfLimits.h"
#include "rtf/RtfReader.h"

#include <algorithm>

bool RtfRowDefinition::controlWord(RtfWord word, int param, const RtfFormatFactory &formats)
{
    switch (word) {
    case RtfWord::RowDefaults: reset(); return true;
    case RtfWord::RowGap: gap_ = param; return true;
    case RtfWord::RowLeft: left_ = std::clamp(param, -kMaxIndent, kMaxIndent); return true;
    case RtfWord::CellBorderTop: selectBorder(Side::Top); return true;
    case RtfWord::CellBorderLeft: selectBorder(Side::Left); return true;
    case RtfWord::CellBorderBottom: selectBorder(Side::Bottom); return true;
    case RtfWord::CellBorderRight: selectBorder(Side::Right); return true;
    case RtfWord::BorderSingle: setBorderStyle(QTextFrameFormat::BorderStyle_Solid); return true;
    case RtfWord::BorderDouble: setBorderStyle(QTextFrameFormat::BorderStyle_Double); return true;
    case RtfWord::BorderDotted: setBorderStyle(QTextFrameFormat::BorderStyle_Dotted); return true;
    case RtfWord::BorderDashed: setBorderStyle(QTextFrameFormat::BorderStyle_Dashed); return true;
    case RtfWord::BorderNone: setBorderStyle(QTextFrameFormat::BorderStyle_None); return true;
    case RtfWord::BorderWidth: setBorderWidth(param); return true;
    case RtfWord::BorderColor:
        if (selected_)
            selected_->color = formats.color(param);
        return true;
    case RtfWord::CellBoundary: addCell(param); return true;
    default: return false;
    }
}

void RtfRowDefinition::reset()
{
    *this = RtfRowDefinition();
}

void RtfRowDefinition::selectBorder(Side side)
{
    selected_ = &pending_[std::size_t(side)];
    // A side named without a style still draws, as word processors show it.
    if (selected_->style == QTextFrameFormat::BorderStyle_None)
        selected_->style = QTextFrameFormat::BorderStyle_Solid;
}

void RtfRowDefinition::setBorderStyle(QTextFrameFormat::BorderStyle style)
{
    if (selected_)
        selected_->style = style;
}

void RtfRowDefinition::setBorderWidth(int twips)
{
    if (selected_)
        selected_->width = std::clamp(twips, 0, kMaxBorderWidth);
}

void RtfRowDefinition::addCell(int rightTwips)
{
    selected_ = nullptr;
    const std::array<Border, 4> borders = std::exchange(pending_, {});
    if (cells_.size() >= kMaxTableColumns)
        return;
    const int previous = cells_.empty() ? left_ : cells_.back().right;
    cells_.push_back(Cell{std::clamp(rightTwips, previous, previous + kMaxIndent), borders});
}

QTextLength RtfRowDefinition::columnWidth(int column) const
{
    if (column < 0 || std::size_t(column) >= cells_.size())
        return QTextLength();
    const int previous = column == 0 ? left_ : cells_[std::size_t(column) - 1].right;
    const int width = cells_[std::size_t(column)].right - previous;
    return width > 0 ? QTextLength(QTextLength::FixedLength, width / kTwipsPerPixel) : QTextLength();
}

QTextTableFormat RtfRowDefinition::tableFormat() const
{
    QTextTableFormat format;
    QList<QTextLength> widths;
    for (int column = 0; column < cellCount(); ++column)
        widths.append(columnWidth(column));
    format.setColumnWidthConstraints(widths);
    format.setBorder(0);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(std::clamp(gap_, 0, kMaxIndent) / kTwipsPerPixel);
    return format;
}

QTextTableCellFormat RtfRowDefinition::cellFormat(int column) const
{
    QTextTableCellFormat format;
    if (column < 0 || std::size_t(column) >= cells_.size())
        return format;
    const auto &borders = cells_[std::size_t(column)].borders;
    const auto side = [&](Side s) -> const Border & { return borders[std::size_t(s)]; };
    const auto width = [](const Border &b) {
        // A drawn side without \brdrw is a hairline, one pixel.
        return b.style == QTextFrameFormat::BorderStyle_None ? 0.0 : std::max(1.0, b.width / kTwipsPerPixel);
    };
    format.setTopBorder(width(side(Side::Top)));
    format.setLeftBorder(width(side(Side::Left)));
    format.setBottomBorder(width(side(Side::Bottom)));
    format.setRightBorder(width(side(Side::Right)));
    format.setTopBorderStyle(side(Side::Top).style);
    format.setLeftBorderStyle(side(Side::Left).style);
    format.setBottomBorderStyle(side(Side::Bottom).style);
    format.setRightBorderStyle(side(Side::Right).style);
    const auto brush = [](const Border &b) { return b.color.isValid() ? QBrush(b.color) : QBrush(Qt::black); };
    format.setTopBorderBrush(brush(side(Side::Top)));
    format.setLeftBorderBrush(brush(side(Side::Left)));
    format.setBottomBorderBrush(brush(side(Side::Bottom)));
    format.setRightBorderBrush(brush(side(Side::Right)));
    return format;
}
