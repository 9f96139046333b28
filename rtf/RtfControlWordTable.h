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
    // tables: the row definition, its cell borders, and the cells and rows of content
    InTable, RowDefaults, CellBoundary, RowGap, RowLeft, CellBorderTop, CellBorderLeft, CellBorderBottom,
    CellBorderRight, BorderSingle, BorderDouble, BorderDotted, BorderDashed, BorderNone, BorderWidth,
    BorderColor, Cell, Row,
    // lists: Word's list table and overrides, a paragraph's list, and the older \pn numbering
    ListTableDestination, ListDestination, ListLevelDestination, LevelTextDestination, ListOverrideTableDestination,
    ListOverrideDestination, LevelFormat, LevelStart, ListId, ListOverride, ListLevel,
    PnDestination, PnBullet, PnBody, PnLevel, PnDecimal, PnUpperRoman, PnLowerRoman, PnUpperLetter,
    PnLowerLetter, PnStart,
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
