#include "rtf/RtfWriter.h"

#include "rtf/RtfLimits.h"
#include "rtf/RtfListTable.h"
#include "rtf/RtfPictureEncoder.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfTextEncoder.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace {

int twips(double pixels) { return int(std::lround(pixels * kTwipsPerPixel)); }

class RtfWriter
{
public:
    explicit RtfWriter(const QTextDocument &doc)
        : doc_(doc)
    {
        fontIndex(doc.defaultFont().family()); // \deff0
    }

    QByteArray write()
    {
        body_.reserve(doc_.characterCount() + doc_.characterCount() / 4 + 256);
        writeFrame(doc_.rootFrame());

        QByteArray out;
        out.reserve(body_.size() + 1024);
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
            RtfTextEncoder::append(out, fonts_[i], true);
            out += ";}";
        }
        out += "}\n{\\colortbl;";
        for (const QRgb rgb : colors_) {
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
                   + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
        }
        out += "}\n";
        writeListTables(out);
        out += body_;
        out += "}\n";
        return out;
    }

private:
    void writeFrame(const QTextFrame *frame)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                if (const auto *table = qobject_cast<const QTextTable *>(child))
                    writeTable(*table);
                else
                    writeFrame(child);
            } else {
                writeBlock(it.currentBlock(), false, "\\par\n");
            }
        }
    }

    // Row by row, each with its definition first, as Word and LibreOffice write it. A table
    // inside a cell is written as that cell's paragraphs, since RTF nests tables differently.
    void writeTable(const QTextTable &table)
    {
        const QList<int> widths = columnTwips(table);
        const QTextTableFormat format = table.format();
        for (int row = 0; row < table.rows(); ++row) {
            body_ += "\\trowd\\trgaph" + QByteArray::number(twips(format.cellPadding())) + "\\trleft0";
            int right = 0;
            for (int column = 0; column < table.columns(); ++column) {
                right += widths[column];
                const QTextTableCell cell = table.cellAt(row, column);
                if (cell.row() != row || cell.column() + cell.columnSpan() - 1 != column)
                    continue; // a merged cell ends at its last column
                writeCellBorders(cell.format().toTableCellFormat(), format);
                body_ += "\\cellx" + QByteArray::number(right);
            }
            body_ += '\n';
            for (int column = 0; column < table.columns(); ++column) {
                const QTextTableCell cell = table.cellAt(row, column);
                if (cell.row() != row || cell.column() != column)
                    continue;
                const QTextBlock last = doc_.findBlock(cell.lastPosition());
                for (QTextBlock block = doc_.findBlock(cell.firstPosition()); block.isValid(); block = block.next()) {
                    const bool isLast = block == last;
                    writeBlock(block, true, isLast ? "\\cell\n" : "\\par\n");
                    if (isLast)
                        break;
                }
            }
            body_ += "\\row\n";
        }
    }

    // Fixed widths as they are; a share of the text width for the others.
    QList<int> columnTwips(const QTextTable &table) const
    {
        const double page = doc_.textWidth() > 0 ? doc_.textWidth() : 600.0;
        const QList<QTextLength> constraints = table.format().columnWidthConstraints();
        QList<double> widths(table.columns(), -1);
        double fixed = 0;
        int open = 0;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextLength length = column < constraints.size() ? constraints[column] : QTextLength();
            if (length.type() == QTextLength::FixedLength)
                widths[column] = length.rawValue();
            else if (length.type() == QTextLength::PercentageLength)
                widths[column] = length.rawValue() * page / 100.0;
            if (widths[column] >= 0)
                fixed += widths[column];
            else
                ++open;
        }
        const double share = open > 0 ? std::max(30.0, (page - fixed) / open) : 0;
        QList<int> twipsWidths;
        for (const double width : widths)
            twipsWidths.append(std::clamp(twips(width >= 0 ? width : share), 1, kMaxIndent));
        return twipsWidths;
    }

    void writeCellBorders(const QTextTableCellFormat &cell, const QTextTableFormat &table)
    {
        const struct
        {
            const char *word;
            QTextFormat::Property width, style, brush;
        } sides[] = {
            {"\\clbrdrt", QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
             QTextFormat::TableCellTopBorderBrush},
            {"\\clbrdrl", QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle,
             QTextFormat::TableCellLeftBorderBrush},
            {"\\clbrdrb", QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle,
             QTextFormat::TableCellBottomBorderBrush},
            {"\\clbrdrr", QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle,
             QTextFormat::TableCellRightBorderBrush},
        };
        for (const auto &side : sides) {
            // A side the cell leaves open takes the table's border.
            const double width = cell.hasProperty(side.width) ? cell.doubleProperty(side.width) : table.border();
            const auto style = QTextFrameFormat::BorderStyle(
                cell.hasProperty(side.style) ? cell.intProperty(side.style) : int(table.borderStyle()));
            if (width <= 0 || style == QTextFrameFormat::BorderStyle_None)
                continue;
            body_ += side.word;
            switch (style) {
            case QTextFrameFormat::BorderStyle_Double: body_ += "\\brdrdb"; break;
            case QTextFrameFormat::BorderStyle_Dotted: body_ += "\\brdrdot"; break;
            case QTextFrameFormat::BorderStyle_Dashed: case QTextFrameFormat::BorderStyle_DotDash:
            case QTextFrameFormat::BorderStyle_DotDotDash: body_ += "\\brdrdash"; break;
            default: body_ += "\\brdrs"; break;
            }
            body_ += "\\brdrw" + QByteArray::number(std::clamp(twips(width), 1, kMaxBorderWidth));
            const QBrush brush = cell.hasProperty(side.brush) ? cell.brushProperty(side.brush) : table.borderBrush();
            if (brush.style() != Qt::NoBrush)
                body_ += "\\brdrcf" + QByteArray::number(colorIndex(brush.color()));
        }
    }

    // Each QTextList is one list of the list table, named by its \lsN; every level shows
    // the list's style, so that a reader finds it whatever level the paragraphs name.
    void writeListTables(QByteArray &out) const
    {
        if (lists_.isEmpty())
            return;
        out += "{\\*\\listtable";
        for (qsizetype i = 0; i < lists_.size(); ++i) {
            const QTextListFormat::Style style = lists_[i]->format().style();
            const int nfc = RtfListTable::formatForStyle(style);
            out += "\n{\\list\\listtemplateid" + QByteArray::number(i + 1);
            for (int level = 0; level <= kMaxListLevel; ++level) {
                out += "{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn" + QByteArray::number(nfc)
                       + "\\leveljc0\\levelstartat1\\levelfollow0{\\leveltext";
                if (nfc == 23)
                    out += "\\'01" + bulletGlyph(style) + ";}{\\levelnumbers;}";
                else
                    out += "\\'02\\'0" + QByteArray::number(level) + ".;}{\\levelnumbers\\'01;}";
                out += "\\fi-360\\li" + QByteArray::number(twips((level + 1) * doc_.indentWidth())) + '}';
            }
            out += "\\listid" + QByteArray::number(i + 1) + '}';
        }
        out += "}\n{\\*\\listoverridetable";
        for (qsizetype i = 0; i < lists_.size(); ++i)
            out += "{\\listoverride\\listid" + QByteArray::number(i + 1) + "\\listoverridecount0\\ls"
                   + QByteArray::number(i + 1) + '}';
        out += "}\n";
    }

    static QByteArray bulletGlyph(QTextListFormat::Style style)
    {
        switch (style) {
        case QTextListFormat::ListCircle: return "\\u9702\\'3f";
        case QTextListFormat::ListSquare: return "\\u9642\\'3f";
        default: return "\\u8226\\'95";
        }
    }

    int listIndex(const QTextList *list)
    {
        const qsizetype found = lists_.indexOf(list);
        if (found >= 0)
            return int(found + 1);
        lists_.append(list);
        return int(lists_.size());
    }

    void writeBlock(const QTextBlock &block, bool inTable, const char *end)
    {
        writeParagraphFormat(block, inTable);
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            empty = false;
            if (const auto known = controls_.constFind(fragment.charFormatIndex()); known != controls_.cend()) {
                body_ += *known;
                RtfTextEncoder::append(body_, fragment.text(), false);
                continue;
            }
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                // Adjacent equal pictures share one fragment, one replacement character each.
                for (qsizetype i = 0; i < fragment.length(); ++i)
                    RtfPictureEncoder::append(body_, doc_, format.toImageFormat());
                continue;
            }
            const qsizetype start = body_.size();
            writeCharFormat(format);
            controls_.insert(fragment.charFormatIndex(), body_.sliced(start)); // formats repeat; write each once
            RtfTextEncoder::append(body_, fragment.text(), false);
        }
        if (empty)
            writeCharFormat(block.charFormat()); // an empty line keeps its height
        body_ += end;
    }

    void writeParagraphFormat(const QTextBlock &block, bool inTable)
    {
        const QTextBlockFormat format = block.blockFormat();
        body_ += "\\pard";
        if (inTable)
            body_ += "\\intbl";
        const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
        if (alignment & Qt::AlignJustify)
            body_ += "\\qj";
        else if (alignment & Qt::AlignHCenter)
            body_ += "\\qc";
        else if (alignment & Qt::AlignRight)
            body_ += "\\qr";
        else
            body_ += "\\ql";
        double left = format.leftMargin() + format.indent() * doc_.indentWidth();
        const QTextList *list = block.textList();
        if (list) {
            const int level = std::clamp(list->format().indent(), 1, kMaxListLevel + 1);
            body_ += "\\ls" + QByteArray::number(listIndex(list)) + "\\ilvl" + QByteArray::number(level - 1);
            left += level * doc_.indentWidth();
        }
        appendNonZero("\\li", twips(left));
        appendNonZero("\\ri", twips(format.rightMargin()));
        appendNonZero("\\fi", list ? -360 : twips(format.textIndent())); // the bullet hangs in the indent
        appendNonZero("\\sb", twips(format.topMargin()));
        appendNonZero("\\sa", twips(format.bottomMargin()));
        if (list) {
            // The marker as text, for readers without lists; ours skips it.
            body_ += "{\\listtext\\pard\\plain ";
            if (RtfListTable::formatForStyle(list->format().style()) == 23)
                body_ += "\\'95";
            else
                RtfTextEncoder::append(body_, list->itemText(block), false);
            body_ += "\\tab}";
        }
    }

    void appendNonZero(const char *word, int value)
    {
        if (value != 0)
            body_ += word + QByteArray::number(value);
    }

    void writeCharFormat(const QTextCharFormat &format)
    {
        const QFont base = doc_.defaultFont();
        const QStringList families = format.fontFamilies().toStringList();
        const QString family = !families.isEmpty() && !families.first().isEmpty() ? families.first() : base.family();

        body_ += "\\plain\\f" + QByteArray::number(fontIndex(family));
        const int halfPoints = std::clamp(int(std::lround(pointSize(format, base) * 2)), 1, kMaxFontSize);
        body_ += "\\fs" + QByteArray::number(halfPoints);

        const bool bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                                        : base.bold();
        const bool italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic();
        const bool underline = format.hasProperty(QTextFormat::TextUnderlineStyle)
                                       || format.hasProperty(QTextFormat::FontUnderline)
                                   ? format.fontUnderline()
                                   : base.underline();
        const bool strike = format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut() : base.strikeOut();
        if (bold)
            body_ += "\\b";
        if (italic)
            body_ += "\\i";
        if (underline)
            body_ += "\\ul";
        if (strike)
            body_ += "\\strike";

        const QBrush foreground = format.foreground();
        if (foreground.style() != Qt::NoBrush)
            body_ += "\\cf" + QByteArray::number(colorIndex(foreground.color()));
        const QBrush background = format.background();
        if (background.style() != Qt::NoBrush) {
            // \highlight for Word and LibreOffice, \cb for readers that only know that one
            const QByteArray index = QByteArray::number(colorIndex(background.color()));
            body_ += "\\cb" + index + "\\highlight" + index;
        }
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            body_ += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            body_ += "\\sub";
        body_ += ' ';
    }

    static double pointSize(const QTextCharFormat &format, const QFont &base)
    {
        if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
            return format.fontPointSize();
        if (format.hasProperty(QTextFormat::FontPixelSize) && format.intProperty(QTextFormat::FontPixelSize) > 0)
            return format.intProperty(QTextFormat::FontPixelSize) * 72.0 / 96.0;
        if (base.pointSizeF() > 0)
            return base.pointSizeF();
        if (base.pixelSize() > 0)
            return base.pixelSize() * 72.0 / 96.0;
        return 12.0;
    }

    int fontIndex(const QString &family)
    {
        const auto found = fontIndexes_.constFind(family);
        if (found != fontIndexes_.cend())
            return *found;
        const int index = int(fonts_.size());
        fonts_.append(family);
        fontIndexes_.insert(family, index);
        return index;
    }

    int colorIndex(const QColor &color)
    {
        const QRgb rgb = color.rgb() | 0xFF000000u;
        const auto found = colorIndexes_.constFind(rgb);
        if (found != colorIndexes_.cend())
            return *found;
        colors_.append(rgb);
        const int index = int(colors_.size()); // entry 0 is the automatic colour
        colorIndexes_.insert(rgb, index);
        return index;
    }

    const QTextDocument &doc_;
    QByteArray body_;
    QStringList fonts_;
    QHash<QString, int> fontIndexes_;
    QList<QRgb> colors_;
    QHash<QRgb, int> colorIndexes_;
    QHash<int, QByteArray> controls_; // by the document's format index
    QList<const QTextList *> lists_;  // \lsN is the list's index + 1
};

} // namespace

QByteArray writeRtf(const QTextDocument &doc)
{
    return RtfWriter(doc).write();
}
