#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfCodePageSet.h"
#include "rtf/RtfContentCursor.h"
#include "rtf/RtfControlWordTable.h"
#include "rtf/RtfDestination.h"
#include "rtf/RtfListTable.h"
#include "rtf/RtfFormatFactory.h"
#include "rtf/RtfPicture.h"
#include "rtf/RtfRowDefinition.h"
#include "rtf/RtfTokenizer.h"

#include <QByteArray>
#include <QString>

#include <string_view>
#include <vector>

class QTextDocument;

// Builds a QTextDocument from RTF tokens: keeps the group state, the font and colour
// tables and the code pages, and turns text and formatting into blocks and fragments.
class RtfDocumentBuilder
{
public:
    explicit RtfDocumentBuilder(QTextDocument &doc);

    void add(const RtfToken &token);
    // The document group has closed; what follows is not RTF.
    bool done() const { return done_; }
    void finish();

private:
    using Destination = RtfDestination;

    // Everything a group restores when it closes.
    struct State
    {
        Destination destination = Destination::Text;
        RtfCharProps chars;
        RtfParaProps para;
        int unicodeSkip = 1;
    };

    State &top() { return stack_.back(); }

    void openGroup();
    void closeGroup();
    void endInterruptedText();
    void controlWord(std::string_view name, bool hasParam, int param);
    void symbol(char c);
    void hexByte(int value, int digits);
    void binary(std::string_view bytes);
    void text(std::string_view bytes);

    void textByte(unsigned char byte);
    void flushBytes();
    int codePageNumber() const;
    RtfCodePage &codePage();
    void appendUnicode(int value);
    bool replaceHighPlaceholder(char16_t low);
    void appendCharacter(char16_t ch);
    QString *sink();

    void paragraph();

    void finishPicture();

    QTextDocument &doc_;
    RtfFormatFactory formats_;
    RtfRowDefinition row_;
    RtfContentCursor content_;
    RtfListTable lists_;

    std::vector<State> stack_;
    std::size_t overflowDepth_ = 0;
    bool done_ = false;
    bool ignorableNext_ = false;
    int skipFallback_ = 0;
    char16_t pendingHigh_ = 0;

    int documentCodePage_ = RtfCodePage::kWestern;

    RtfCodePageSet codePages_;
    QByteArray pendingBytes_;
    RtfCodePage *pendingPage_ = nullptr;


    RtfPicture picture_;
    int pictureCount_ = 0;
};
