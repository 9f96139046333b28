#include "platform/RtfReader.h"

#include "platform/RtfCodePage.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImageReader>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Limits that keep hostile files from costing more than their size.
constexpr std::size_t kMaxGroupDepth = 256;       // deeper groups share the innermost state
constexpr qsizetype kMaxPictureBytes = 64 * 1024 * 1024;
constexpr std::size_t kMaxCodePages = 32;
constexpr qsizetype kMaxCachedFormats = 1024;     // distinct character and paragraph formats remembered
constexpr int kMaxUnicodeSkip = 16;
constexpr int kMaxFontSize = 3276;                // half-points: 1638 pt, the largest word processors offer
constexpr int kMaxIndent = 31680;                 // twips: 22 inches
constexpr double kMaxPictureExtent = 8000.0;      // pixels
constexpr int kMaxPictureScale = 1000;            // percent

constexpr int kDefaultFontSize = 24;              // half-points, RTF's default of 12 pt

enum class Destination : quint8 { Text, Skip, FontTable, ColorTable, Picture };

struct CharProps
{
    int font = -1;        // -1: the \deff font
    int size = kDefaultFontSize;
    int foreground = -1;  // colour table index; -1 or an empty entry: automatic
    int background = -1;
    int script = 0;       // 1 superscript, -1 subscript
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const CharProps &) const = default;
};

size_t qHash(const CharProps &c, size_t seed = 0)
{
    return qHashMulti(seed, c.font, c.size, c.foreground, c.background, c.script, c.bold, c.italic,
                      c.underline, c.strike, c.hidden);
}

struct ParaProps
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;   // all in twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;

    bool operator==(const ParaProps &) const = default;
};

size_t qHash(const ParaProps &p, size_t seed = 0)
{
    return qHashMulti(seed, int(p.alignment), p.leftIndent, p.rightIndent, p.firstIndent, p.spaceBefore,
                      p.spaceAfter);
}

// Everything a group restores when it closes.
struct State
{
    Destination destination = Destination::Text;
    CharProps chars;
    ParaProps para;
    int unicodeSkip = 1;
};

struct Font
{
    QString family;
    int codePage = 0;     // 0: the document's code page
};

enum class PictureKind : quint8 { None, Png, Jpeg, Unsupported };

struct Picture
{
    PictureKind kind = PictureKind::None;
    QByteArray data;
    int nibble = -1;      // high half of a hex byte still waiting for its low half
    bool overflow = false;
    int width = 0;        // pixels
    int height = 0;
    int goalWidth = 0;    // twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
};

enum class Word : quint8 {
    // header
    Ansi, Mac, Pc, Pca, AnsiCpg, DefaultFont, UnicodeSkip, Unicode, Binary,
    // destinations
    FontTable, ColorTable, Pict, SkippedDestination, TextDestination,
    // character formatting
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, FontNumber, FontSize,
    Foreground, Background, Highlight, Hidden, Super, Sub, NoSuperSub,
    // paragraph formatting and breaks
    Pard, Par, Line, Tab, AlignLeft, AlignCenter, AlignRight, AlignJustify,
    LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter,
    // font and colour tables
    Charset, CodePage, Red, Green, Blue,
    // pictures
    PngBlip, JpegBlip, OtherBlip, PicWidth, PicHeight, PicGoalWidth, PicGoalHeight, PicScaleX, PicScaleY,
    // characters named by a word
    Character,
};

struct WordInfo
{
    Word word;
    char16_t character = 0;
};

const std::unordered_map<std::string_view, WordInfo> &controlWords()
{
    static const std::unordered_map<std::string_view, WordInfo> words = [] {
        std::unordered_map<std::string_view, WordInfo> w;
        w["ansi"] = {Word::Ansi};
        w["mac"] = {Word::Mac};
        w["pc"] = {Word::Pc};
        w["pca"] = {Word::Pca};
        w["ansicpg"] = {Word::AnsiCpg};
        w["deff"] = {Word::DefaultFont};
        w["uc"] = {Word::UnicodeSkip};
        w["u"] = {Word::Unicode};
        w["bin"] = {Word::Binary};

        w["fonttbl"] = {Word::FontTable};
        w["colortbl"] = {Word::ColorTable};
        w["pict"] = {Word::Pict};
        // Destinations that hold no title text, or repeat it for older readers.
        for (const char *name : {
                 "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
                 "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor", "atndate",
                 "atnref", "atrfstart", "atrfend", "xe", "tc", "txe", "rxe", "fldinst", "nonshppict",
                 "themedata", "colorschememapping", "latentstyles", "datastore", "listtable",
                 "listoverridetable", "revtbl", "rsidtbl", "generator", "filetbl", "pgdsctbl",
                 "mmathPr", "userprops", "docvar", "template", "bkmkstart", "bkmkend", "pn",
                 "pntxta", "pntxtb", "xmlnstbl", "objdata", "objclass", "objname", "objalias",
                 "objsect", "objtime", "blipuid", "picprop", "shpinst", "falt", "panose", "ftnsep",
                 "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "comment", "title", "subject",
                 "author", "operator", "keywords", "doccomm", "company", "manager", "category",
                 "hlinkbase", "creatim", "revtim", "printim", "buptim", "fchars", "lchars",
                 "wgrffmtfilter", "passwordhash", "protusertbl", "ud", "listpicture", "fontemb",
                 "fontfile", "formfield", "datafield", "background", "ftnalt", "mhtmltag",
                 "htmltag", "ebcstart", "ebcend"})
            w[name] = {Word::SkippedDestination};
        // Destinations whose content is shown, including behind \*.
        for (const char *name : {"shppict", "fldrslt", "field", "shprslt", "listtext", "pntext",
                                 "result", "object", "shp"})
            w[name] = {Word::TextDestination};

        w["plain"] = {Word::Plain};
        w["b"] = {Word::Bold};
        w["i"] = {Word::Italic};
        for (const char *name : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulth",
                                 "ulw", "ulwave", "ulhwave", "ululdbwave", "ulthd", "ulthdash",
                                 "ulldash", "ulthldash", "ulthdashd", "ulthdashdd"})
            w[name] = {Word::Underline};
        w["ulnone"] = {Word::UnderlineNone};
        w["strike"] = {Word::Strike};
        w["striked"] = {Word::Strike};
        w["f"] = {Word::FontNumber};
        w["fs"] = {Word::FontSize};
        w["cf"] = {Word::Foreground};
        w["cb"] = {Word::Background};
        w["chcbpat"] = {Word::Background};
        w["highlight"] = {Word::Highlight};
        w["v"] = {Word::Hidden};
        w["super"] = {Word::Super};
        w["sub"] = {Word::Sub};
        w["nosupersub"] = {Word::NoSuperSub};

        w["pard"] = {Word::Pard};
        for (const char *name : {"par", "page", "sect", "row"})
            w[name] = {Word::Par};
        w["line"] = {Word::Line};
        for (const char *name : {"tab", "cell", "nestcell"})
            w[name] = {Word::Tab};
        w["ql"] = {Word::AlignLeft};
        w["qc"] = {Word::AlignCenter};
        w["qr"] = {Word::AlignRight};
        w["qj"] = {Word::AlignJustify};
        w["qd"] = {Word::AlignJustify};
        w["li"] = {Word::LeftIndent};
        w["lin"] = {Word::LeftIndent};
        w["ri"] = {Word::RightIndent};
        w["rin"] = {Word::RightIndent};
        w["fi"] = {Word::FirstIndent};
        w["sb"] = {Word::SpaceBefore};
        w["sa"] = {Word::SpaceAfter};

        w["fcharset"] = {Word::Charset};
        w["cpg"] = {Word::CodePage};
        w["red"] = {Word::Red};
        w["green"] = {Word::Green};
        w["blue"] = {Word::Blue};

        w["pngblip"] = {Word::PngBlip};
        w["jpegblip"] = {Word::JpegBlip};
        for (const char *name : {"wmetafile", "emfblip", "macpict", "pmmetafile", "dibitmap", "wbitmap"})
            w[name] = {Word::OtherBlip};
        w["picw"] = {Word::PicWidth};
        w["pich"] = {Word::PicHeight};
        w["picwgoal"] = {Word::PicGoalWidth};
        w["pichgoal"] = {Word::PicGoalHeight};
        w["picscalex"] = {Word::PicScaleX};
        w["picscaley"] = {Word::PicScaleY};

        const std::pair<const char *, char16_t> characters[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018},
            {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}, {"qmspace", 0x2005}, {"zwj", 0x200D}, {"zwnj", 0x200C},
            {"zwbo", 0x200B}, {"zwnbo", 0x2060}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
        };
        for (const auto &[name, ch] : characters)
            w[name] = {Word::Character, ch};
        return w;
    }();
    return words;
}

bool isDestination(Word word)
{
    switch (word) {
    case Word::FontTable: case Word::ColorTable: case Word::Pict:
    case Word::SkippedDestination: case Word::TextDestination:
        return true;
    default:
        return false;
    }
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Characters that would break the document's structure if inserted as text.
bool isStructural(char16_t ch)
{
    return (ch < 0x20 && ch != '\t') || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFC;
}

class RtfParser
{
public:
    RtfParser(QTextDocument &doc, const QByteArray &data)
        : p_(data.constData()), end_(data.constData() + data.size()), doc_(doc), cursor_(&doc)
    {
        stack_.emplace_back();
    }

    void run()
    {
        cursor_.beginEditBlock();
        cursor_.setBlockFormat(blockFormat(blockPara_));
        while (p_ < end_ && !done_) {
            switch (*p_) {
            case '{': ++p_; openGroup(); break;
            case '}': ++p_; closeGroup(); break;
            case '\\': ++p_; controlSequence(); break;
            default: textBytes(); break;
            }
        }
        finish();
        cursor_.endEditBlock();
    }

private:
    State &top() { return stack_.back(); }

    void openGroup()
    {
        endInterruptedText();
        if (stack_.size() >= kMaxGroupDepth) {
            ++overflowDepth_;
            return;
        }
        stack_.push_back(stack_.back());
    }

    void closeGroup()
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
        if (closing == Destination::FontTable && !fontName_.isEmpty())
            commitFont(); // a font entry whose ';' is missing
        if (closing == Destination::Picture && outer != Destination::Picture)
            finishPicture();
        if (stack_.size() == 1)
            done_ = true; // the document group is closed; what follows is not RTF
    }

    // A group boundary ends a \u fallback, a pending multi-byte character and a \*.
    void endInterruptedText()
    {
        flushBytes();
        skipFallback_ = 0;
        ignorableNext_ = false;
    }

    void controlSequence()
    {
        if (p_ >= end_)
            return;
        const char c = *p_;
        if (!isLetter(c)) {
            ++p_;
            if (c == '\'') {
                hexByte();
                return;
            }
            flushBytes();
            if (skipFallback_ > 0) {
                --skipFallback_;
                return;
            }
            symbol(c);
            return;
        }

        flushBytes();
        const char *wordStart = p_;
        while (p_ < end_ && isLetter(*p_))
            ++p_;
        const std::string_view name(wordStart, std::size_t(p_ - wordStart));
        bool hasParam = false;
        int param = 0;
        if (p_ < end_ && (isDigit(*p_) || (*p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])))) {
            hasParam = true;
            param = readNumber();
        }
        if (p_ < end_ && *p_ == ' ')
            ++p_;

        if (name == "bin") { // its bytes must be consumed even where they are not wanted
            binary(hasParam ? param : 0);
            return;
        }
        if (skipFallback_ > 0) {
            --skipFallback_; // the fallback of \uN counts a control word as one character
            return;
        }
        if (top().destination == Destination::Skip)
            return;
        controlWord(name, hasParam, param);
    }

    int readNumber()
    {
        const bool negative = *p_ == '-';
        if (negative)
            ++p_;
        long long value = 0;
        while (p_ < end_ && isDigit(*p_)) {
            value = std::min(value * 10 + (*p_ - '0'), 10'000'000'000LL); // saturate, but eat every digit
            ++p_;
        }
        value = std::min<long long>(value, std::numeric_limits<int>::max());
        return int(negative ? -value : value);
    }

    void hexByte()
    {
        int value = 0;
        int digits = 0;
        while (digits < 2 && p_ < end_ && hexValue(*p_) >= 0) {
            value = value * 16 + hexValue(*p_);
            ++p_;
            ++digits;
        }
        if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        if (digits == 0)
            return; // \' without hex digits: nothing to decode
        textByte(static_cast<unsigned char>(value));
    }

    void symbol(char c)
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

    void binary(int count)
    {
        const qsizetype available = end_ - p_;
        const qsizetype length = std::clamp<qsizetype>(count, 0, available);
        if (skipFallback_ > 0)
            --skipFallback_;
        else if (top().destination == Destination::Picture)
            appendPictureBytes(p_, length);
        p_ += length;
    }

    void controlWord(std::string_view name, bool hasParam, int param)
    {
        const bool ignorable = std::exchange(ignorableNext_, false);
        const auto &words = controlWords();
        const auto found = words.find(name);
        if (found == words.end() || (ignorable && !isDestination(found->second.word))) {
            if (ignorable)
                top().destination = Destination::Skip;
            return;
        }
        State &s = top();
        CharProps &ch = s.chars;
        ParaProps &pa = s.para;
        const bool on = !hasParam || param != 0;
        switch (found->second.word) {
        case Word::Ansi: documentCodePage_ = RtfCodePage::kWestern; break;
        case Word::Mac: documentCodePage_ = 10000; break;
        case Word::Pc: documentCodePage_ = 437; break;
        case Word::Pca: documentCodePage_ = 850; break;
        case Word::AnsiCpg: if (param > 0) documentCodePage_ = param; break;
        case Word::DefaultFont: defaultFont_ = param; break;
        case Word::UnicodeSkip: s.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip); break;
        case Word::Unicode:
            if (hasParam) {
                appendUnicode(param);
                skipFallback_ = s.unicodeSkip;
            }
            break;
        case Word::Binary: break;

        case Word::FontTable:
            s.destination = s.destination == Destination::Text ? Destination::FontTable : Destination::Skip;
            beginFont(0);
            break;
        case Word::ColorTable:
            s.destination = s.destination == Destination::Text ? Destination::ColorTable : Destination::Skip;
            colors_.clear();
            formats_.clear();
            beginColor();
            break;
        case Word::Pict:
            if (s.destination == Destination::Text) {
                s.destination = Destination::Picture;
                picture_ = Picture();
            } else {
                s.destination = Destination::Skip;
            }
            break;
        case Word::SkippedDestination: s.destination = Destination::Skip; break;
        case Word::TextDestination: break;

        case Word::Plain: ch = CharProps(); break;
        case Word::Bold: ch.bold = on; break;
        case Word::Italic: ch.italic = on; break;
        case Word::Underline: ch.underline = on; break;
        case Word::UnderlineNone: ch.underline = false; break;
        case Word::Strike: ch.strike = on; break;
        case Word::FontNumber:
            if (s.destination == Destination::FontTable) {
                if (!fontName_.isEmpty())
                    commitFont();
                beginFont(param);
            } else if (hasParam) {
                ch.font = param;
            }
            break;
        case Word::FontSize: if (param > 0) ch.size = std::min(param, kMaxFontSize); break;
        case Word::Foreground: ch.foreground = param; break;
        case Word::Background: ch.background = param; break;
        case Word::Highlight: ch.background = param > 0 ? param : -1; break;
        case Word::Hidden: ch.hidden = on; break;
        case Word::Super: ch.script = 1; break;
        case Word::Sub: ch.script = -1; break;
        case Word::NoSuperSub: ch.script = 0; break;

        case Word::Pard: pa = ParaProps(); break;
        case Word::Par: paragraph(); break;
        case Word::Line: appendCharacter(QChar::LineSeparator); break;
        case Word::Tab: appendCharacter(u'\t'); break;
        case Word::AlignLeft: pa.alignment = Qt::AlignLeft; break;
        case Word::AlignCenter: pa.alignment = Qt::AlignHCenter; break;
        case Word::AlignRight: pa.alignment = Qt::AlignRight; break;
        case Word::AlignJustify: pa.alignment = Qt::AlignJustify; break;
        case Word::LeftIndent: pa.leftIndent = std::clamp(param, -kMaxIndent, kMaxIndent); break;
        case Word::RightIndent: pa.rightIndent = std::clamp(param, -kMaxIndent, kMaxIndent); break;
        case Word::FirstIndent: pa.firstIndent = std::clamp(param, -kMaxIndent, kMaxIndent); break;
        case Word::SpaceBefore: pa.spaceBefore = std::clamp(param, 0, kMaxIndent); break;
        case Word::SpaceAfter: pa.spaceAfter = std::clamp(param, 0, kMaxIndent); break;

        case Word::Charset:
            if (s.destination == Destination::FontTable)
                fontCodePage_ = RtfCodePage::forCharset(param);
            break;
        case Word::CodePage:
            if (s.destination == Destination::FontTable && param > 0)
                fontCodePage_ = param;
            break;
        case Word::Red: red_ = std::clamp(param, 0, 255); colorGiven_ = true; break;
        case Word::Green: green_ = std::clamp(param, 0, 255); colorGiven_ = true; break;
        case Word::Blue: blue_ = std::clamp(param, 0, 255); colorGiven_ = true; break;

        case Word::PngBlip: picture_.kind = PictureKind::Png; break;
        case Word::JpegBlip: picture_.kind = PictureKind::Jpeg; break;
        case Word::OtherBlip: picture_.kind = PictureKind::Unsupported; break;
        case Word::PicWidth: picture_.width = param; break;
        case Word::PicHeight: picture_.height = param; break;
        case Word::PicGoalWidth: picture_.goalWidth = param; break;
        case Word::PicGoalHeight: picture_.goalHeight = param; break;
        case Word::PicScaleX: picture_.scaleX = std::clamp(param, 1, kMaxPictureScale); break;
        case Word::PicScaleY: picture_.scaleY = std::clamp(param, 1, kMaxPictureScale); break;

        case Word::Character: appendCharacter(found->second.character); break;
        }
    }

    // Raw bytes between control words: text in the current code page, or a table's entries, or hex picture data.
    void textBytes()
    {
        const Destination destination = top().destination;
        if (destination == Destination::Skip) {
            while (p_ < end_ && *p_ != '{' && *p_ != '}' && *p_ != '\\')
                ++p_;
            return;
        }
        if (destination == Destination::Picture) {
            pictureHex();
            return;
        }
        while (p_ < end_) {
            const auto c = static_cast<unsigned char>(*p_);
            if (c == '{' || c == '}' || c == '\\')
                return;
            if (c < 0x20 && c != '\t') { // line breaks in RTF are layout of the file, not of the text
                ++p_;
                continue;
            }
            if (skipFallback_ > 0) {
                --skipFallback_;
                ++p_;
                continue;
            }
            if (c == ';' && destination != Destination::Text) {
                ++p_;
                flushBytes();
                if (destination == Destination::FontTable)
                    commitFont();
                else if (destination == Destination::ColorTable)
                    commitColor();
                continue;
            }
            if (destination == Destination::ColorTable) {
                ++p_;
                continue;
            }
            if (c >= 0x80 || !pendingBytes_.isEmpty()) {
                ++p_;
                textByte(c);
                continue;
            }
            const char *spanStart = p_;
            while (p_ < end_) {
                const auto a = static_cast<unsigned char>(*p_);
                if (a >= 0x80 || (a < 0x20 && a != '\t') || a == '{' || a == '}' || a == '\\' || a == ';')
                    break;
                ++p_;
            }
            if (p_ == spanStart) { // a ';' in running text
                ++p_;
            }
            if (QString *out = sink())
                out->append(QLatin1StringView(spanStart, p_ - spanStart));
        }
    }

    void textByte(unsigned char byte)
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

    void flushBytes()
    {
        if (pendingBytes_.isEmpty())
            return;
        const QString text = pendingPage_->decode(pendingBytes_);
        pendingBytes_.clear();
        if (QString *out = sink())
            out->append(text);
    }

    int codePageNumber() const
    {
        const State &s = stack_.back();
        if (s.destination == Destination::FontTable)
            return fontCodePage_ > 0 ? fontCodePage_ : documentCodePage_;
        const auto font = fonts_.constFind(s.chars.font < 0 ? defaultFont_ : s.chars.font);
        return font != fonts_.cend() && font->codePage > 0 ? font->codePage : documentCodePage_;
    }

    RtfCodePage &codePage()
    {
        int number = codePageNumber();
        if (page_ && page_->number() == number)
            return *page_;
        if (codePages_.size() >= kMaxCodePages && !codePages_.count(number))
            number = RtfCodePage::kWestern;
        auto &slot = codePages_[number];
        if (!slot)
            slot = std::make_unique<RtfCodePage>(number);
        page_ = slot.get();
        return *page_;
    }

    void appendUnicode(int value)
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

    bool replaceHighPlaceholder(char16_t low)
    {
        QString *out = sink();
        const char16_t high = std::exchange(pendingHigh_, 0);
        if (!out || out->isEmpty() || out->back() != QChar(0xFFFD))
            return false;
        out->back() = QChar(high);
        out->append(QChar(low));
        return true;
    }

    void appendCharacter(char16_t ch)
    {
        pendingHigh_ = 0;
        if (QString *out = sink())
            out->append(QChar(ch));
    }

    // Where decoded characters go in the current destination; null where they are dropped.
    QString *sink()
    {
        State &s = top();
        if (s.destination == Destination::FontTable)
            return &fontName_;
        if (s.destination != Destination::Text || s.chars.hidden)
            return nullptr;
        beginContent();
        return &run_;
    }

    void beginContent()
    {
        if (paragraphPending_) {
            paragraphPending_ = false;
            flushRun();
            // Paragraphs mostly share one format: guess it now, correct it at the \par if needed.
            blockPara_ = top().para;
            cursor_.insertBlock(blockFormat(blockPara_), charFormat(top().chars));
        }
        const CharProps &chars = top().chars;
        if (!runStarted_ || !(chars == runProps_)) {
            flushRun();
            runProps_ = chars;
            runFormat_ = charFormat(chars);
            runStarted_ = true;
        }
        contentPara_ = top().para;
    }

    void flushRun()
    {
        if (run_.isEmpty())
            return;
        if (std::any_of(run_.cbegin(), run_.cend(), [](QChar c) { return isStructural(c.unicode()); }))
            run_.removeIf([](QChar c) { return isStructural(c.unicode()); });
        cursor_.insertText(run_, runFormat_);
        run_.truncate(0);
    }

    void paragraph()
    {
        if (top().destination != Destination::Text)
            return;
        if (paragraphPending_)
            beginContent(); // the previous \par's paragraph stays, empty
        flushRun();
        applyParagraphFormat(top().para);
        paragraphPending_ = true;
    }

    void applyParagraphFormat(const ParaProps &para)
    {
        if (para == blockPara_)
            return;
        blockPara_ = para;
        cursor_.setBlockFormat(blockFormat(para));
    }

    void finish()
    {
        flushBytes();
        flushRun();
        // A closing \par ends the last paragraph; it does not open an empty one.
        if (!paragraphPending_)
            applyParagraphFormat(contentPara_);
    }

    void beginFont(int number)
    {
        fontNumber_ = number;
        fontName_.clear();
        fontCodePage_ = 0;
    }

    void commitFont()
    {
        formats_.clear();
        fonts_.insert(fontNumber_, Font{fontName_.trimmed(), fontCodePage_});
        fontName_.clear();
    }

    void beginColor()
    {
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
    }

    void commitColor()
    {
        formats_.clear();
        colors_.push_back(colorGiven_ ? QColor(red_, green_, blue_) : QColor());
        beginColor();
    }

    QColor color(int index) const
    {
        return index >= 0 && std::size_t(index) < colors_.size() ? colors_[std::size_t(index)] : QColor();
    }

    QTextCharFormat charFormat(const CharProps &chars)
    {
        // Building a format costs more than the text it carries; titles switch among a few.
        if (const auto known = formats_.constFind(chars); known != formats_.cend())
            return *known;
        if (formats_.size() >= kMaxCachedFormats)
            formats_.clear();
        return *formats_.insert(chars, makeCharFormat(chars));
    }

    QTextCharFormat makeCharFormat(const CharProps &chars) const
    {
        QTextCharFormat format;
        const auto font = fonts_.constFind(chars.font < 0 ? defaultFont_ : chars.font);
        if (font != fonts_.cend() && !font->family.isEmpty())
            format.setFontFamilies({font->family});
        format.setFontPointSize(chars.size / 2.0);
        format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(chars.italic);
        format.setFontUnderline(chars.underline);
        format.setFontStrikeOut(chars.strike);
        if (const QColor fg = color(chars.foreground); fg.isValid())
            format.setForeground(fg);
        if (const QColor bg = color(chars.background); bg.isValid())
            format.setBackground(bg);
        if (chars.script != 0)
            format.setVerticalAlignment(chars.script > 0 ? QTextCharFormat::AlignSuperScript
                                                         : QTextCharFormat::AlignSubScript);
        return format;
    }

    QTextBlockFormat blockFormat(const ParaProps &para)
    {
        if (const auto known = paraFormats_.constFind(para); known != paraFormats_.cend())
            return *known;
        if (paraFormats_.size() >= kMaxCachedFormats)
            paraFormats_.clear();
        return *paraFormats_.insert(para, makeBlockFormat(para));
    }

    static QTextBlockFormat makeBlockFormat(const ParaProps &para)
    {
        QTextBlockFormat format;
        format.setAlignment(para.alignment);
        format.setLeftMargin(para.leftIndent / kTwipsPerPixel);
        format.setRightMargin(para.rightIndent / kTwipsPerPixel);
        format.setTextIndent(para.firstIndent / kTwipsPerPixel);
        format.setTopMargin(para.spaceBefore / kTwipsPerPixel);
        format.setBottomMargin(para.spaceAfter / kTwipsPerPixel);
        return format;
    }

    bool pictureWanted() const
    {
        return (picture_.kind == PictureKind::Png || picture_.kind == PictureKind::Jpeg) && !picture_.overflow;
    }

    void pictureHex()
    {
        const bool wanted = pictureWanted();
        while (p_ < end_) {
            const char c = *p_;
            if (c == '{' || c == '}' || c == '\\')
                break;
            ++p_;
            const int value = hexValue(c);
            if (value < 0 || !wanted)
                continue; // line breaks and stray characters between the digits
            if (picture_.nibble < 0) {
                picture_.nibble = value;
                continue;
            }
            const char byte = char((picture_.nibble << 4) | value);
            picture_.nibble = -1;
            appendPictureBytes(&byte, 1);
        }
    }

    void appendPictureBytes(const char *bytes, qsizetype count)
    {
        if (!pictureWanted())
            return;
        if (picture_.data.size() + count > kMaxPictureBytes) {
            picture_.overflow = true;
            picture_.data = QByteArray();
            return;
        }
        picture_.data.append(bytes, count);
    }

    void finishPicture()
    {
        Picture picture = std::exchange(picture_, Picture());
        if ((picture.kind != PictureKind::Png && picture.kind != PictureKind::Jpeg) || picture.overflow
            || picture.data.isEmpty() || top().chars.hidden)
            return;
        QBuffer buffer(&picture.data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, picture.kind == PictureKind::Png ? "png" : "jpeg");
        const QSize pixels = reader.size();
        buffer.close();
        if (pixels.isEmpty())
            return; // not a picture after all

        double width = picture.goalWidth > 0 ? picture.goalWidth / kTwipsPerPixel : pixels.width();
        double height = picture.goalHeight > 0 ? picture.goalHeight / kTwipsPerPixel : pixels.height();
        width = std::clamp(width * picture.scaleX / 100.0, 1.0, kMaxPictureExtent);
        height = std::clamp(height * picture.scaleY / 100.0, 1.0, kMaxPictureExtent);

        // The encoded bytes stay the resource: Qt decodes them when the picture is drawn, and they are
        // written back unchanged.
        const QString name = QStringLiteral("rtf-picture:%1").arg(++pictureCount_);
        doc_.addResource(QTextDocument::ImageResource, QUrl(name), picture.data);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(width);
        format.setHeight(height);
        beginContent();
        flushRun();
        cursor_.insertImage(format);
    }

    const char *p_;
    const char *end_;
    QTextDocument &doc_;
    QTextCursor cursor_;

    std::vector<State> stack_;
    std::size_t overflowDepth_ = 0;
    bool done_ = false;
    bool ignorableNext_ = false;
    int skipFallback_ = 0;
    char16_t pendingHigh_ = 0;

    int documentCodePage_ = RtfCodePage::kWestern;
    int defaultFont_ = 0;
    QHash<int, Font> fonts_;
    int fontNumber_ = 0;
    QString fontName_;
    int fontCodePage_ = 0;
    std::vector<QColor> colors_;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool colorGiven_ = false;

    std::unordered_map<int, std::unique_ptr<RtfCodePage>> codePages_;
    RtfCodePage *page_ = nullptr;
    QByteArray pendingBytes_;
    RtfCodePage *pendingPage_ = nullptr;

    QString run_;
    CharProps runProps_;
    QTextCharFormat runFormat_;
    bool runStarted_ = false;
    bool paragraphPending_ = false;
    ParaProps contentPara_;
    ParaProps blockPara_;  // what the cursor's block carries now
    QHash<CharProps, QTextCharFormat> formats_;
    QHash<ParaProps, QTextBlockFormat> paraFormats_;

    Picture picture_;
    int pictureCount_ = 0;
};

QString plainText(const QByteArray &data)
{
    if (const auto marked = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*marked);
        return decoder.decode(data);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    const RtfCodePage western(RtfCodePage::kWestern);
    text.resize(data.size());
    for (qsizetype i = 0; i < data.size(); ++i)
        text[i] = QChar(western.decode(static_cast<unsigned char>(data[i])));
    return text;
}

} // namespace

bool readRtf(QTextDocument &doc, const QByteArray &data)
{
    if (!data.startsWith("{\\rtf"))
        return false;
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    RtfParser(doc, data).run();
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return true;
}

void readRtfOrPlainText(QTextDocument &doc, const QByteArray &data)
{
    if (readRtf(doc, data))
        return;
    doc.setPlainText(plainText(data));
    doc.setModified(false);
}
