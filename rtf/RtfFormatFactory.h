#pragma once

#include "rtf/RtfControlWordTable.h"
#include "rtf/RtfLimits.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <vector>

// Character properties as RTF states them; a group restores them when it closes.
struct RtfCharProps
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

    bool operator==(const RtfCharProps &) const = default;
};

// Paragraph properties as RTF states them, all in twips.
struct RtfParaProps
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    bool inTable = false;
    int list = 0;         // 0: none; \lsN's N, or kOldStyleList for \pn numbering
    int listLevel = 0;    // 0 to kMaxListLevel
    int listStyle = 0;    // a QTextListFormat::Style

    static constexpr int kOldStyleList = -1;
    bool isListItem() const { return list != 0; }
    bool operator==(const RtfParaProps &) const = default;
};

// The document's font and colour tables, and the Qt formats built from them. Building a
// format costs more than the text it carries and titles switch among a few, so each
// distinct set of properties is built once.
class RtfFormatFactory
{
public:
    void setDefaultFont(int number) { defaultFont_ = number; }
    // A list item's text starts this far in per level, on top of its paragraph's indent.
    void setListIndentWidth(qreal pixels) { listIndentWidth_ = pixels; }
    void addFont(int number, const QString &family, int codePage);
    // The code page the font's \fcharset or \cpg named; 0: the document's.
    int fontCodePage(int number) const;

    // The font or colour table entry being read: \f, \fcharset and \cpg, \red, \green and
    // \blue; tableWord is false for any other word.
    bool tableWord(RtfWord word, int param, bool inFontTable);
    void beginFontEntry(int number);
    QString &fontEntryName() { return entryName_; }
    int fontEntryCodePage() const { return entryCodePage_; }
    void commitFontEntry();
    void commitColorEntry();

    void clearColors();
    void addColor(const QColor &color); // an invalid colour: the automatic one
    QColor color(int index) const;

    QTextCharFormat charFormat(const RtfCharProps &chars);
    QTextBlockFormat blockFormat(const RtfParaProps &para);

private:
    struct Font
    {
        QString family;
        int codePage = 0;
    };

    int resolvedFont(int number) const { return number < 0 ? defaultFont_ : number; }
    QTextCharFormat makeCharFormat(const RtfCharProps &chars) const;
    QTextBlockFormat makeBlockFormat(const RtfParaProps &para) const;

    int entryNumber_ = 0;
    QString entryName_;
    int entryCodePage_ = 0;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool colorGiven_ = false;

    int defaultFont_ = 0;
    qreal listIndentWidth_ = 40;
    QHash<int, Font> fonts_;
    std::vector<QColor> colors_;
    QHash<RtfCharProps, QTextCharFormat> formats_;
    QHash<RtfParaProps, QTextBlockFormat> paraFormats_;
};

size_t qHash(const RtfCharProps &c, size_t seed = 0);
size_t qHash(const RtfParaProps &p, size_t seed = 0);
