#pragma once

#include <QtGlobal>

#include <string_view>

// What a control word means to the reader; words outside the table are ignored.
enum class RtfWord : quint8 {
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

// The control words the reader knows, looked up by name.
class RtfControlWordTable
{
public:
    struct Entry
    {
        RtfWord word;
        char16_t character = 0; // for RtfWord::Character
    };

    // Null for a word the reader does not know.
    static const Entry *find(std::string_view name);

    // Words that open a destination, and so may follow \*.
    static bool isDestination(RtfWord word);
};
