#pragma once

#include "rtf/RtfFormatFactory.h"
#include "rtf/RtfRowDefinition.h"

#include <QString>
#include <QTextCursor>
#include <QTextImageFormat>

#include <map>
#include <tuple>

class QTextDocument;
class QTextList;
class QTextTable;

// Where the reader's text goes into the document. Text gathers in runs of one format,
// inserted as one fragment each; a \par leaves its paragraph pending until content
// follows, so that the closing \par of a file opens no empty paragraph. Paragraphs
// marked \intbl go into the cells of a table, list paragraphs into lists.
class RtfContentCursor
{
public:
    RtfContentCursor(QTextDocument &doc, RtfFormatFactory &formats, const RtfRowDefinition &row);

    // The run that text with these properties is appended to.
    QString &content(const RtfCharProps &chars, const RtfParaProps &para);
    void endParagraph(const RtfCharProps &chars, const RtfParaProps &para);
    void insertImage(const QTextImageFormat &format, const RtfCharProps &chars, const RtfParaProps &para);
    // \cell and \row; false outside a table, where they mean a tab and a paragraph end.
    bool endCell(const RtfCharProps &chars, const RtfParaProps &para);
    bool endRow();
    void finish();

private:
    void beginContent(const RtfCharProps &chars, const RtfParaProps &para);
    void flushRun();
    void applyParagraphFormat(const RtfParaProps &para);
    void endBlock(const RtfParaProps &para);
    void addToList(const RtfParaProps &para);

    void place(const RtfParaProps &para);
    void startTable();
    void enterCell(int row, int column);
    void leaveTable();

    RtfFormatFactory &formats_;
    const RtfRowDefinition &row_;
    QTextCursor cursor_;
    QString run_;
    RtfCharProps runProps_;
    QTextCharFormat runFormat_;
    bool runStarted_ = false;
    bool paragraphPending_ = false;
    RtfParaProps contentPara_;
    RtfParaProps blockPara_;  // what the cursor's block carries now
    bool blockKnown_ = true;  // false in a block the reader did not make, a cell's or the one after a table

    QTextTable *table_ = nullptr;
    int tableRow_ = 0;
    int tableColumn_ = 0;
    bool cellPending_ = false; // a \cell ended the cell; the next one opens with content
    bool rowPending_ = false;  // a \row ended the row; the next one opens with content

    std::map<std::tuple<int, int, int>, QTextList *> lists_; // by list, level and style
};
