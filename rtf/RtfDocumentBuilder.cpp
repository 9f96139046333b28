#include "rtf/RtfDocumentBuilder.h"

#include "rtf/RtfControlWordTable.h"
#include "rtf/RtfLimits.h"

#include <QTextDocument>

#include <algorithm>
#include <utility>

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument &doc)
    : doc_(doc), content_(doc, formats_, row_)
{
    stack_.emplace_back();
    formats_.setListIndentWidth(doc.indentWidth());
}

void RtfDocumentBuilder::add(const RtfToken &token)
{
    using Kind = RtfToken::Kind;
    switch (token.kind) {
    case Kind::End: break;
    case Kind::GroupOpen: openGroup(); break;
    case Kind::GroupClose: closeGroup(); break;
    case Kind::HexByte: hexByte(token.param, token.digits); break;
    case Kind::Text: text(token.text); break;
    case Kind::ControlSymbol:
        flushBytes();
        if (skipFallback_ > 0)
            --skipFallback_;
        else
            symbol(token.symbol);
        break;
    case Kind::Binary: flushBytes(); binary(token.text); break;
    case Kind::ControlWord:
        flushBytes();
        if (skipFallback_ > 0)
            --skipFallback_; // the fallback of \uN counts a control word as one character
        else if (top().destination != Destination::Skip)
            controlWord(token.text, token.hasParam, token.param);
        break;
    }
}

void RtfDocumentBuilder::openGroup()
{
    endInterruptedText();
    if (stack_.size() >= kMaxGroupDepth) {
        ++overflowDepth_;
        return;
    }
    stack_.push_back(stack_.back());
}

void RtfDocumentBuilder::closeGroup()
{
    endInterruptedText();
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.size() <= 1) {
        done_ = true;
        return;
    }
    const Destination closing = top().destination;
    stack_.pop_back();
    const Destination outer = top().destination;
    if (closing == Destination::FontTable && !formats_.fontEntryName().isEmpty())
        formats_.commitFontEntry(); // a font entry whose ';' is missing
    if (closing == Destination::Picture && outer != Destination::Picture)
        finishPicture();
    if (closing != outer)
        lists_.closeGroup(closing, outer, top().para);
    if (stack_.size() == 1)
        done_ = true; // the document group is closed; what follows is not RTF
}

// A group boundary ends a \u fallback, a pending multi-byte character and a \*.
void RtfDocumentBuilder::endInterruptedText()
{
    flushBytes();
    skipFallback_ = 0;
    ignorableNext_ = false;
}

void RtfDocumentBuilder::hexByte(int value, int digits)
{
    if (skipFallback_ > 0) {
        --skipFallback_;
        return;
    }
    if (digits == 0)
        return; // \' without hex digits: nothing to decode
    textByte(static_cast<unsigned char>(value));
}

void RtfDocumentBuilder::symbol(char c)
{
    switch (c) {
    case '\\': case '{': case '}': appendCharacter(char16_t(c)); break;
    case '~': appendCharacter(0x00A0); break;
    case '-': appendCharacter(0x00AD); break;
    case '_': appendCharacter(0x2011); break;
    case '*': ignorableNext_ = true; break;
    case '\r': case '\n': paragraph(); break;
    case '\t': appendCharacter(u'\t'); break;
    default: break; // \: \| and others carry nothing for display
    }
}

void RtfDocumentBuilder::binary(std::string_view bytes)
{
    if (skipFallback_ > 0)
        --skipFallback_;
    else if (top().destination == Destination::Picture)
        picture_.appendBytes(bytes);
}

void RtfDocumentBuilder::controlWord(std::string_view name, bool hasParam, int param)
{
    const bool ignorable = std::exchange(ignorableNext_, false);
    const RtfControlWordTable::Entry *found = RtfControlWordTable::find(name);
    if (!found || (ignorable && !RtfControlWordTable::isDestination(found->word))) {
        if (ignorable)
            top().destination = Destination::Skip;
        return;
    }
    State &s = top();
    RtfCharProps &ch = s.chars;
    RtfParaProps &pa = s.para;
    const bool on = !hasParam || param != 0;
    if (formats_.tableWord(found->word, param, s.destination == Destination::FontTable)
        || picture_.controlWord(found->word, param) || row_.controlWord(found->word, param, formats_)
        || lists_.controlWord(found->word, param, s.destination, s.para))
        return;
    switch (found->word) {
    case RtfWord::Ansi: documentCodePage_ = RtfCodePage::kWestern; break;
    case RtfWord::Mac: documentCodePage_ = 10000; break;
    case RtfWord::Pc: documentCodePage_ = 437; break;
    case RtfWord::Pca: documentCodePage_ = 850; break;
    case RtfWord::AnsiCpg: if (param > 0) documentCodePage_ = param; break;
    case RtfWord::DefaultFont: formats_.setDefaultFont(param); break;
    case RtfWord::UnicodeSkip: s.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip); break;
    case RtfWord::Unicode:
        if (hasParam) {
            appendUnicode(param);
            skipFallback_ = s.unicodeSkip;
        }
        break;
    case RtfWord::Binary: break;

    case RtfWord::FontTable:
        s.destination = s.destination == Destination::Text ? Destination::FontTable : Destination::Skip;
        formats_.beginFontEntry(0);
        break;
    case RtfWord::ColorTable:
        s.destination = s.destination == Destination::Text ? Destination::ColorTable : Destination::Skip;
        formats_.clearColors();
        break;
    case RtfWord::Pict:
        if (s.destination == Destination::Text) {
            s.destination = Destination::Picture;
            picture_ = RtfPicture();
        } else {
            s.destination = Destination::Skip;
        }
        break;
    case RtfWord::SkippedDestination: s.destination = Destination::Skip; break;
    case RtfWord::TextDestination: break;

    case RtfWord::Plain: ch = RtfCharProps(); break;
    case RtfWord::Bold: ch.bold = on; break;
    case RtfWord::Italic: ch.italic = on; break;
    case RtfWord::Underline: ch.underline = on; break;
    case RtfWord::UnderlineNone: ch.underline = false; break;
    case RtfWord::Strike: ch.strike = on; break;
    case RtfWord::FontNumber:
        if (s.destination == Destination::FontTable) {
            if (!formats_.fontEntryName().isEmpty())
                formats_.commitFontEntry();
            formats_.beginFontEntry(param);
        } else if (hasParam) {
            ch.font = param;
        }
        break;
    case RtfWord::FontSize: if (param > 0) ch.size = std::min(param, kMaxFontSize); break;
    case RtfWord::Foreground: ch.foreground = param; break;
    case RtfWord::Background: ch.background = param; break;
    case RtfWord::Highlight: ch.background = param > 0 ? param : -1; break;
    case RtfWord::Hidden: ch.hidden = on; break;
    case RtfWord::Super: ch.script = 1; break;
    case RtfWord::Sub: ch.script = -1; break;
    case RtfWord::NoSuperSub: ch.script = 0; break;

    case RtfWord::Pard: pa = RtfParaProps(); break;
    case RtfWord::Par: paragraph(); break;
    case RtfWord::Line: appendCharacter(QChar::LineSeparator); break;
    case RtfWord::Tab: appendCharacter(u'\t'); break;
    case RtfWord::AlignLeft: pa.alignment = Qt::AlignLeft; break;
    case RtfWord::AlignCenter: pa.alignment = Qt::AlignHCenter; break;
    case RtfWord::AlignRight: pa.alignment = Qt::AlignRight; break;
    case RtfWord::AlignJustify: pa.alignment = Qt::AlignJustify; break;
    case RtfWord::LeftIndent: pa.leftIndent = std::clamp(param, -kMaxIndent, kMaxIndent); break;
    case RtfWord::RightIndent: pa.rightIndent = std::clamp(param, -kMaxIndent, kMaxIndent); break;
    case RtfWord::FirstIndent: pa.firstIndent = std::clamp(param, -kMaxIndent, kMaxIndent); break;
    case RtfWord::SpaceBefore: pa.spaceBefore = std::clamp(param, 0, kMaxIndent); break;
    case RtfWord::SpaceAfter: pa.spaceAfter = std::clamp(param, 0, kMaxIndent); break;

    case RtfWord::InTable: pa.inTable = true; break;
    case RtfWord::Cell:
        if (s.destination == Destination::Text && !ch.hidden && !content_.endCell(ch, pa))
            appendCharacter(u'\t'); // a cell outside any table: its content stays apart
        break;
    case RtfWord::Row:
        if (s.destination == Destination::Text && !content_.endRow())
            paragraph();
        break;

    case RtfWord::Character: appendCharacter(found->character); break;
    default: break; // the tables' and lists' words, above
    }
}

// Raw bytes between control words: text in the current code page, or a table's entries, or hex picture data.
void RtfDocumentBuilder::text(std::string_view bytes)
{
    const Destination destination = top().destination;
    if (destination == Destination::Skip)
        return;
    if (destination == Destination::Picture) {
        picture_.appendHex(bytes);
        return;
    }
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    while (p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x20 && c != '\t') { // line breaks in RTF are layout of the file, not of the text
            ++p;
            continue;
        }
        if (skipFallback_ > 0) {
            --skipFallback_;
            ++p;
            continue;
        }
        if (c == ';' && destination != Destination::Text) {
            ++p;
            flushBytes();
            if (destination == Destination::FontTable)
                formats_.commitFontEntry();
            else if (destination == Destination::ColorTable)
                formats_.commitColorEntry();
            continue;
        }
        if (destination == Destination::ColorTable) {
            ++p;
            continue;
        }
        if (c >= 0x80 || !pendingBytes_.isEmpty()) {
            ++p;
            textByte(c);
            continue;
        }
        const char *spanStart = p;
        while (p < end) {
            const auto a = static_cast<unsigned char>(*p);
            if (a >= 0x80 || (a < 0x20 && a != '\t') || a == ';')
                break;
            ++p;
        }
        if (p == spanStart) // a ';' in running text
            ++p;
        if (QString *out = sink())
            out->append(QLatin1StringView(spanStart, p - spanStart));
    }
}

void RtfDocumentBuilder::textByte(unsigned char byte)
{
    RtfCodePage &page = codePage();
    if (page.isMultiByte()) {
        pendingBytes_.append(char(byte));
        pendingPage_ = &page;
        if (byte < 0x80) // an ASCII byte can only end a character here
            flushBytes();
        return;
    }
    if (QString *out = sink())
        out->append(QChar(page.decode(byte)));
}

void RtfDocumentBuilder::flushBytes()
{
    if (pendingBytes_.isEmpty())
        return;
    const QString text = pendingPage_->decode(pendingBytes_);
    pendingBytes_.clear();
    if (QString *out = sink())
        out->append(text);
}

int RtfDocumentBuilder::codePageNumber() const
{
    const State &s = stack_.back();
    if (s.destination == Destination::FontTable)
        return formats_.fontEntryCodePage() > 0 ? formats_.fontEntryCodePage() : documentCodePage_;
    const int page = formats_.fontCodePage(s.chars.font);
    return page > 0 ? page : documentCodePage_;
}

RtfCodePage &RtfDocumentBuilder::codePage()
{
    return codePages_.page(codePageNumber());
}

void RtfDocumentBuilder::appendUnicode(int value)
{
    long long code = value < 0 ? value + 65536LL : value; // RTF writes code units above 32767 as negative numbers
    if (code < 0 || code > 0x10FFFF)
        code = 0xFFFD;
    if (code >= 0xD800 && code <= 0xDBFF) {
        if (QString *out = sink())
            out->append(QChar(0xFFFD)); // placeholder until its low half is seen; replaced below
        pendingHigh_ = char16_t(code);
        return;
    }
    if (code >= 0xDC00 && code <= 0xDFFF) {
        if (pendingHigh_ && replaceHighPlaceholder(char16_t(code)))
            return;
        code = 0xFFFD;
    }
    pendingHigh_ = 0;
    if (QString *out = sink()) {
        if (code > 0xFFFF) {
            const char32_t full = char32_t(code);
            out->append(QString::fromUcs4(&full, 1));
        } else {
            out->append(QChar(char16_t(code)));
        }
    }
}

bool RtfDocumentBuilder::replaceHighPlaceholder(char16_t low)
{
    QString *out = sink();
    const char16_t high = std::exchange(pendingHigh_, 0);
    if (!out || out->isEmpty() || out->back() != QChar(0xFFFD))
        return false;
    out->back() = QChar(high);
    out->append(QChar(low));
    return true;
}

void RtfDocumentBuilder::appendCharacter(char16_t ch)
{
    pendingHigh_ = 0;
    if (QString *out = sink())
        out->append(QChar(ch));
}

// Where decoded characters go in the current destination; null where they are dropped.
QString *RtfDocumentBuilder::sink()
{
    State &s = top();
    if (s.destination == Destination::FontTable)
        return &formats_.fontEntryName();
    if (s.destination == Destination::LevelText)
        return &lists_.levelText();
    if (s.destination != Destination::Text || s.chars.hidden)
        return nullptr;
    return &content_.content(s.chars, s.para);
}

void RtfDocumentBuilder::paragraph()
{
    if (top().destination == Destination::Text)
        content_.endParagraph(top().chars, top().para);
}

void RtfDocumentBuilder::finish()
{
    flushBytes();
    content_.finish();
}

void RtfDocumentBuilder::finishPicture()
{
    const RtfPicture picture = std::exchange(picture_, RtfPicture());
    if (top().chars.hidden)
        return;
    const std::optional<QTextImageFormat> format = picture.addTo(doc_, pictureCount_);
    if (!format)
        return;
    content_.insertImage(*format, top().chars, top().para);
}
