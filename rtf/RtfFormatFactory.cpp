#include "rtf/RtfFormatFactory.h"

#include "rtf/RtfCodePage.h"
#include "rtf/RtfReader.h"

#include <QFont>

#include <algorithm>

size_t qHash(const RtfCharProps &c, size_t seed)
{
    return qHashMulti(seed, c.font, c.size, c.foreground, c.background, c.script, c.bold, c.italic,
                      c.underline, c.strike, c.hidden);
}

size_t qHash(const RtfParaProps &p, size_t seed)
{
    return qHashMulti(seed, int(p.alignment), p.leftIndent, p.rightIndent, p.firstIndent, p.spaceBefore,
                      p.spaceAfter, p.inTable, p.list, p.listLevel, p.listStyle);
}

bool RtfFormatFactory::tableWord(RtfWord word, int param, bool inFontTable)
{
    switch (word) {
    case RtfWord::Charset: if (inFontTable) entryCodePage_ = RtfCodePage::forCharset(param); return true;
    case RtfWord::CodePage: if (inFontTable && param > 0) entryCodePage_ = param; return true;
    case RtfWord::Red: red_ = std::clamp(param, 0, 255); colorGiven_ = true; return true;
    case RtfWord::Green: green_ = std::clamp(param, 0, 255); colorGiven_ = true; return true;
    case RtfWord::Blue: blue_ = std::clamp(param, 0, 255); colorGiven_ = true; return true;
    default: return false;
    }
}

void RtfFormatFactory::beginFontEntry(int number)
{
    entryNumber_ = number;
    entryName_.clear();
    entryCodePage_ = 0;
}

void RtfFormatFactory::commitFontEntry()
{
    addFont(entryNumber_, entryName_.trimmed(), entryCodePage_);
    entryName_.clear();
}

void RtfFormatFactory::commitColorEntry()
{
    addColor(colorGiven_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
}

void RtfFormatFactory::addFont(int number, const QString &family, int codePage)
{
    formats_.clear();
    fonts_.insert(number, Font{family, codePage});
}

int RtfFormatFactory::fontCodePage(int number) const
{
    const auto font = fonts_.constFind(resolvedFont(number));
    return font != fonts_.cend() ? font->codePage : 0;
}

void RtfFormatFactory::clearColors()
{
    colors_.clear();
    formats_.clear();
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
}

void RtfFormatFactory::addColor(const QColor &color)
{
    formats_.clear();
    colors_.push_back(color);
}

QColor RtfFormatFactory::color(int index) const
{
    return index >= 0 && std::size_t(index) < colors_.size() ? colors_[std::size_t(index)] : QColor();
}

QTextCharFormat RtfFormatFactory::charFormat(const RtfCharProps &chars)
{
    if (const auto known = formats_.constFind(chars); known != formats_.cend())
        return *known;
    if (formats_.size() >= kMaxCachedFormats)
        formats_.clear();
    return *formats_.insert(chars, makeCharFormat(chars));
}

QTextCharFormat RtfFormatFactory::makeCharFormat(const RtfCharProps &chars) const
{
    QTextCharFormat format;
    const auto font = fonts_.constFind(resolvedFont(chars.font));
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

QTextBlockFormat RtfFormatFactory::blockFormat(const RtfParaProps &para)
{
    if (const auto known = paraFormats_.constFind(para); known != paraFormats_.cend())
        return *known;
    if (paraFormats_.size() >= kMaxCachedFormats)
        paraFormats_.clear();
    return *paraFormats_.insert(para, makeBlockFormat(para));
}

QTextBlockFormat RtfFormatFactory::makeBlockFormat(const RtfParaProps &para) const
{
    QTextBlockFormat format;
    format.setAlignment(para.alignment);
    if (para.isListItem()) {
        // The list indents its items and hangs the bullet or number; RTF says both
        // with \li and a negative \fi.
        const qreal listIndent = (para.listLevel + 1) * listIndentWidth_;
        format.setLeftMargin(std::max<qreal>(0, para.leftIndent / kTwipsPerPixel - listIndent));
    } else {
        format.setLeftMargin(para.leftIndent / kTwipsPerPixel);
        format.setTextIndent(para.firstIndent / kTwipsPerPixel);
    }
    format.setRightMargin(para.rightIndent / kTwipsPerPixel);
    format.setTopMargin(para.spaceBefore / kTwipsPerPixel);
    format.setBottomMargin(para.spaceAfter / kTwipsPerPixel);
    return format;
}
