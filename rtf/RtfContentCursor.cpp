#include "rtf/RtfContentCursor.h"

#include "rtf/RtfLimits.h"

#include <QTextList>
#include <QTextTable>

#include <algorithm>

namespace {

// Characters that would break the document's structure if inserted as text.
bool isStructural(char16_t ch)
{
    return (ch < 0x20 && ch != '\t') || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFC;
}

} // namespace

RtfContentCursor::RtfContentCursor(QTextDocument &doc, RtfFormatFactory &formats, const RtfRowDefinition &row)
    : formats_(formats), row_(row), cursor_(&doc)
{
    cursor_.beginEditBlock();
    cursor_.setBlockFormat(formats_.blockFormat(blockPara_));
}

QString &RtfContentCursor::content(const RtfCharProps &chars, const RtfParaProps &para)
{
    place(para);
    beginContent(chars, para);
    return run_;
}

void RtfContentCursor::beginContent(const RtfCharProps &chars, const RtfParaProps &para)
{
    if (paragraphPending_) {
        paragraphPending_ = false;
        flushRun();
        // Paragraphs mostly share one format: guess it now, correct it at the \par if needed.
        blockPara_ = para;
        blockKnown_ = true;
        cursor_.insertBlock(formats_.blockFormat(blockPara_), formats_.charFormat(chars));
    }
    if (!runStarted_ || !(chars == runProps_)) {
        flushRun();
        runProps_ = chars;
        runFormat_ = formats_.charFormat(chars);
        runStarted_ = true;
    }
    contentPara_ = para;
}

void RtfContentCursor::flushRun()
{
    if (run_.isEmpty())
        return;
    if (std::any_of(run_.cbegin(), run_.cend(), [](QChar c) { return isStructural(c.unicode()); }))
        run_.removeIf([](QChar c) { return isStructural(c.unicode()); });
    cursor_.insertText(run_, runFormat_);
    run_.truncate(0);
}

void RtfContentCursor::endParagraph(const RtfCharProps &chars, const RtfParaProps &para)
{
    place(para);
    if (paragraphPending_)
        beginContent(chars, para); // the previous \par's paragraph stays, empty
    endBlock(para);
    paragraphPending_ = true;
}

void RtfContentCursor::endBlock(const RtfParaProps &para)
{
    flushRun();
    applyParagraphFormat(para);
    addToList(para);
}

void RtfContentCursor::applyParagraphFormat(const RtfParaProps &para)
{
    if (para == blockPara_ && blockKnown_)
        return;
    blockPara_ = para;
    blockKnown_ = true;
    cursor_.setBlockFormat(formats_.blockFormat(para));
}

// Paragraphs of one list and level join one QTextList, so that Qt numbers them on.
// \pn numbering has no list identity: a paragraph outside the list ends it.
void RtfContentCursor::addToList(const RtfParaProps &para)
{
    if (!para.isListItem()) {
        std::erase_if(lists_, [](const auto &entry) {
            return std::get<0>(entry.first) == RtfParaProps::kOldStyleList;
        });
        return;
    }
    if (lists_.size() >= std::size_t(kMaxCachedFormats))
        lists_.clear();
    QTextList *&list = lists_[{para.list, para.listLevel, para.listStyle}];
    if (list) {
        list->add(cursor_.block());
        return;
    }
    QTextListFormat format;
    format.setStyle(QTextListFormat::Style(para.listStyle));
    format.setIndent(para.listLevel + 1);
    list = cursor_.createList(format);
}

void RtfContentCursor::insertImage(const QTextImageFormat &format, const RtfCharProps &chars,
                                   const RtfParaProps &para)
{
    place(para);
    beginContent(chars, para);
    flushRun();
    cursor_.insertImage(format);
}

bool RtfContentCursor::endCell(const RtfCharProps &chars, const RtfParaProps &para)
{
    if (!table_ && !para.inTable)
        return false;
    RtfParaProps inCell = para;
    inCell.inTable = true; // a \cell belongs to the table even where the paragraph forgot its \intbl
    place(inCell);
    if (paragraphPending_)
        beginContent(chars, inCell); // the cell ends with an empty paragraph
    endBlock(inCell);
    paragraphPending_ = false;
    cellPending_ = true;
    return true;
}

bool RtfContentCursor::endRow()
{
    if (!table_)
        return false;
    flushRun();
    paragraphPending_ = false;
    cellPending_ = false;
    rowPending_ = true;
    return true;
}

void RtfContentCursor::finish()
{
    flushRun();
    // A closing \par ends the last paragraph; it does not open an empty one.
    if (!paragraphPending_) {
        applyParagraphFormat(contentPara_);
        addToList(contentPara_);
    }
    cursor_.endEditBlock();
}

// Moves into the table, its next row or its next cell as the paragraph asks, or out of it.
void RtfContentCursor::place(const RtfParaProps &para)
{
    if (!para.inTable) {
        if (table_)
            leaveTable();
        return;
    }
    if (!table_) {
        startTable();
    } else if (rowPending_) {
        if (table_->rows() >= kMaxTableRows) {
            leaveTable(); // a new table takes the rows on, so that no table grows without bound
            startTable();
            return;
        }
        table_->appendRows(1);
        enterCell(tableRow_ + 1, 0);
    } else if (cellPending_) {
        if (tableColumn_ + 1 >= table_->columns()) {
            if (std::size_t(table_->columns()) >= kMaxTableColumns) {
                cellPending_ = false;
                paragraphPending_ = true; // the last cell takes the surplus as paragraphs
                return;
            }
            table_->appendColumns(1);
            QTextTableFormat format = table_->format();
            QList<QTextLength> widths = format.columnWidthConstraints();
            // Qt repeats the last width for a new column; the row definition knows better.
            if (widths.size() >= table_->columns() - 1) {
                widths.resize(table_->columns() - 1);
                widths.append(row_.columnWidth(table_->columns() - 1));
                format.setColumnWidthConstraints(widths);
                table_->setFormat(format);
            }
        }
        enterCell(tableRow_, tableColumn_ + 1);
    }
}

void RtfContentCursor::startTable()
{
    flushRun();
    const int columns = std::max(1, row_.cellCount());
    // After a \par the table follows that paragraph; it takes the place of the pending one.
    paragraphPending_ = false;
    table_ = cursor_.insertTable(1, columns, row_.tableFormat());
    enterCell(0, 0);
}

void RtfContentCursor::enterCell(int row, int column)
{
    tableRow_ = row;
    tableColumn_ = column;
    cellPending_ = false;
    rowPending_ = false;
    QTextTableCell cell = table_->cellAt(row, column);
    cell.setFormat(row_.cellFormat(column));
    cursor_ = cell.firstCursorPosition();
    blockKnown_ = false;
}

void RtfContentCursor::leaveTable()
{
    flushRun();
    cursor_ = table_->lastCursorPosition();
    cursor_.movePosition(QTextCursor::NextBlock);
    table_ = nullptr;
    cellPending_ = rowPending_ = false;
    paragraphPending_ = false;
    blockKnown_ = false;
}
