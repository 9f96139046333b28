#pragma once

#include "platform/RtfFormatFactory.h"

#include <QString>
#include <QTextCursor>
#include <QTextImageFormat>

class QTextDocument;

// Where the reader's text goes into the document. Text gathers in runs of one format,
// inserted as one fragment each; a \par leaves its paragraph pending until content
// follows, so that the closing \par of a file opens no empty paragraph.
class RtfContentCursor
{
public:
    RtfContentCursor(QTextDocument &doc, RtfFormatFactory &formats);

    // The run that text with these properties is appended to.
    QString &content(const RtfCharProps &chars, const RtfParaProps &para);
    void endParagraph(const RtfCharProps &chars, const RtfParaProps &para);
    void insertImage(const QTextImageFormat &format, const RtfCharProps &chars, const RtfParaProps &para);
    void finish();

private:
    void beginContent(const RtfCharProps &chars, const RtfParaProps &para);
    void flushRun();
    void applyParagraphFormat(const RtfParaProps &para);

    RtfFormatFactory &formats_;
    QTextCursor cursor_;
    QString run_;
    RtfCharProps runProps_;
    QTextCharFormat runFormat_;
    bool runStarted_ = false;
    bool paragraphPending_ = false;
    RtfParaProps contentPara_;
    RtfParaProps blockPara_;  // what the cursor's block carries now
};
