#include "platform/RtfContentCursor.h"

#include <algorithm>

namespace {

// Characters that would break the document's structure if inserted as text.
bool isStructural(char16_t ch)
{
    return (ch < 0x20 && ch != '\t') || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFC;
}

} // namespace

RtfContentCursor::RtfContentCursor(QTextDocument &doc, RtfFormatFactory &formats)
    : formats_(formats), cursor_(&doc)
{
    cursor_.beginEditBlock();
    cursor_.setBlockFormat(formats_.blockFormat(blockPara_));
}

QString &RtfContentCursor::content(const RtfCharProps &chars, const RtfParaProps &para)
{
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
    if (paragraphPending_)
        beginContent(chars, para); // the previous \par's paragraph stays, empty
    flushRun();
    applyParagraphFormat(para);
    paragraphPending_ = true;
}

void RtfContentCursor::applyParagraphFormat(const RtfParaProps &para)
{
    if (para == blockPara_)
        return;
    blockPara_ = para;
    cursor_.setBlockFormat(formats_.blockFormat(para));
}

void RtfContentCursor::insertImage(const QTextImageFormat &format, const RtfCharProps &chars,
                                   const RtfParaProps &para)
{
    beginContent(chars, para);
    flushRun();
    cursor_.insertImage(format);
}

void RtfContentCursor::finish()
{
    flushRun();
    // A closing \par ends the last paragraph; it does not open an empty one.
    if (!paragraphPending_)
        applyParagraphFormat(contentPara_);
    cursor_.endEditBlock();
}
