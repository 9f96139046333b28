#include "rtf/RtfControlWordTable.h"

#include <unordered_map>
#include <utility>

namespace {

const std::unordered_map<std::string_view, RtfControlWordTable::Entry> &controlWords()
{
    static const std::unordered_map<std::string_view, RtfControlWordTable::Entry> words = [] {
        std::unordered_map<std::string_view, RtfControlWordTable::Entry> w;
        w["ansi"] = {RtfWord::Ansi};
        w["mac"] = {RtfWord::Mac};
        w["pc"] = {RtfWord::Pc};
        w["pca"] = {RtfWord::Pca};
        w["ansicpg"] = {RtfWord::AnsiCpg};
        w["deff"] = {RtfWord::DefaultFont};
        w["uc"] = {RtfWord::UnicodeSkip};
        w["u"] = {RtfWord::Unicode};
        w["bin"] = {RtfWord::Binary};

        w["fonttbl"] = {RtfWord::FontTable};
        w["colortbl"] = {RtfWord::ColorTable};
        w["pict"] = {RtfWord::Pict};
        // Destinations that hold no title text, or repeat it for older readers.
        for (const char *name : {
                 "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
                 "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor", "atndate",
                 "atnref", "atrfstart", "atrfend", "xe", "tc", "txe", "rxe", "fldinst", "nonshppict",
                 "themedata", "colorschememapping", "latentstyles", "datastore",
                 "revtbl", "rsidtbl", "generator", "filetbl", "pgdsctbl",
                 "mmathPr", "userprops", "docvar", "template", "bkmkstart", "bkmkend",
                 "listtext", "pntext", "pntxta", "pntxtb", "xmlnstbl", "objdata", "objclass", "objname", "objalias",
                 "objsect", "objtime", "blipuid", "picprop", "shpinst", "falt", "panose", "ftnsep",
                 "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "comment", "title", "subject",
                 "author", "operator", "keywords", "doccomm", "company", "manager", "category",
                 "hlinkbase", "creatim", "revtim", "printim", "buptim", "fchars", "lchars",
                 "wgrffmtfilter", "passwordhash", "protusertbl", "ud", "listpicture", "fontemb",
                 "fontfile", "formfield", "datafield", "background", "ftnalt", "mhtmltag",
                 "htmltag", "ebcstart", "ebcend"})
            w[name] = {RtfWord::SkippedDestination};
        // Destinations whose content is shown, including behind \*.
        for (const char *name : {"shppict", "fldrslt", "field", "shprslt",
                                 "result", "object", "shp"})
            w[name] = {RtfWord::TextDestination};

        w["plain"] = {RtfWord::Plain};
        w["b"] = {RtfWord::Bold};
        w["i"] = {RtfWord::Italic};
        for (const char *name : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulth",
                                 "ulw", "ulwave", "ulhwave", "ululdbwave", "ulthd", "ulthdash",
                                 "ulldash", "ulthldash", "ulthdashd", "ulthdashdd"})
            w[name] = {RtfWord::Underline};
        w["ulnone"] = {RtfWord::UnderlineNone};
        w["strike"] = {RtfWord::Strike};
        w["striked"] = {RtfWord::Strike};
        w["f"] = {RtfWord::FontNumber};
        w["fs"] = {RtfWord::FontSize};
        w["cf"] = {RtfWord::Foreground};
        w["cb"] = {RtfWord::Background};
        w["chcbpat"] = {RtfWord::Background};
        w["highlight"] = {RtfWord::Highlight};
        w["v"] = {RtfWord::Hidden};
        w["super"] = {RtfWord::Super};
        w["sub"] = {RtfWord::Sub};
        w["nosupersub"] = {RtfWord::NoSuperSub};

        w["pard"] = {RtfWord::Pard};
        for (const char *name : {"par", "page", "sect"})
            w[name] = {RtfWord::Par};
        w["line"] = {RtfWord::Line};
        for (const char *name : {"tab", "nestcell"})
            w[name] = {RtfWord::Tab};
        w["ql"] = {RtfWord::AlignLeft};
        w["qc"] = {RtfWord::AlignCenter};
        w["qr"] = {RtfWord::AlignRight};
        w["qj"] = {RtfWord::AlignJustify};
        w["qd"] = {RtfWord::AlignJustify};
        w["li"] = {RtfWord::LeftIndent};
        w["lin"] = {RtfWord::LeftIndent};
        w["ri"] = {RtfWord::RightIndent};
        w["rin"] = {RtfWord::RightIndent};
        w["fi"] = {RtfWord::FirstIndent};
        w["sb"] = {RtfWord::SpaceBefore};
        w["sa"] = {RtfWord::SpaceAfter};

        w["fcharset"] = {RtfWord::Charset};
        w["cpg"] = {RtfWord::CodePage};
        w["red"] = {RtfWord::Red};
        w["green"] = {RtfWord::Green};
        w["blue"] = {RtfWord::Blue};

        w["pngblip"] = {RtfWord::PngBlip};
        w["jpegblip"] = {RtfWord::JpegBlip};
        for (const char *name : {"wmetafile", "emfblip", "macpict", "pmmetafile", "dibitmap", "wbitmap"})
            w[name] = {RtfWord::OtherBlip};
        w["picw"] = {RtfWord::PicWidth};
        w["pich"] = {RtfWord::PicHeight};
        w["picwgoal"] = {RtfWord::PicGoalWidth};
        w["pichgoal"] = {RtfWord::PicGoalHeight};
        w["picscalex"] = {RtfWord::PicScaleX};
        w["picscaley"] = {RtfWord::PicScaleY};

        w["intbl"] = {RtfWord::InTable};
        w["trowd"] = {RtfWord::RowDefaults};
        w["cellx"] = {RtfWord::CellBoundary};
        w["trgaph"] = {RtfWord::RowGap};
        w["trleft"] = {RtfWord::RowLeft};
        w["clbrdrt"] = {RtfWord::CellBorderTop};
        w["clbrdrl"] = {RtfWord::CellBorderLeft};
        w["clbrdrb"] = {RtfWord::CellBorderBottom};
        w["clbrdrr"] = {RtfWord::CellBorderRight};
        for (const char *name : {"brdrs", "brdrth", "brdrsh", "brdrhair"})
            w[name] = {RtfWord::BorderSingle};
        w["brdrdb"] = {RtfWord::BorderDouble};
        w["brdrdot"] = {RtfWord::BorderDotted};
        for (const char *name : {"brdrdash", "brdrdashsm", "brdrdashd", "brdrdashdd"})
            w[name] = {RtfWord::BorderDashed};
        w["brdrnone"] = {RtfWord::BorderNone};
        w["brdrnil"] = {RtfWord::BorderNone};
        w["brdrw"] = {RtfWord::BorderWidth};
        w["brdrcf"] = {RtfWord::BorderColor};
        w["cell"] = {RtfWord::Cell};
        w["row"] = {RtfWord::Row};

        w["listtable"] = {RtfWord::ListTableDestination};
        w["list"] = {RtfWord::ListDestination};
        w["listlevel"] = {RtfWord::ListLevelDestination};
        w["leveltext"] = {RtfWord::LevelTextDestination};
        w["listoverridetable"] = {RtfWord::ListOverrideTableDestination};
        w["listoverride"] = {RtfWord::ListOverrideDestination};
        w["levelnfc"] = {RtfWord::LevelFormat};
        w["levelnfcn"] = {RtfWord::LevelFormat};
        w["levelstartat"] = {RtfWord::LevelStart};
        w["listid"] = {RtfWord::ListId};
        w["ls"] = {RtfWord::ListOverride};
        w["ilvl"] = {RtfWord::ListLevel};
        w["pn"] = {RtfWord::PnDestination};
        w["pnlvlblt"] = {RtfWord::PnBullet};
        w["pnlvlbody"] = {RtfWord::PnBody};
        w["pnlvl"] = {RtfWord::PnLevel};
        w["pndec"] = {RtfWord::PnDecimal};
        w["pnucrm"] = {RtfWord::PnUpperRoman};
        w["pnlcrm"] = {RtfWord::PnLowerRoman};
        w["pnucltr"] = {RtfWord::PnUpperLetter};
        w["pnlcltr"] = {RtfWord::PnLowerLetter};
        w["pnstart"] = {RtfWord::PnStart};

        const std::pair<const char *, char16_t> characters[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018},
            {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}, {"qmspace", 0x2005}, {"zwj", 0x200D}, {"zwnj", 0x200C},
            {"zwbo", 0x200B}, {"zwnbo", 0x2060}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
        };
        for (const auto &[name, ch] : characters)
            w[name] = {RtfWord::Character, ch};
        return w;
    }();
    return words;
}

} // namespace

const RtfControlWordTable::Entry *RtfControlWordTable::find(std::string_view name)
{
    const auto &words = controlWords();
    const auto found = words.find(name);
    return found == words.end() ? nullptr : &found->second;
}

bool RtfControlWordTable::isDestination(RtfWord word)
{
    switch (word) {
    case RtfWord::FontTable: case RtfWord::ColorTable: case RtfWord::Pict:
    case RtfWord::SkippedDestination: case RtfWord::TextDestination:
    case RtfWord::ListTableDestination: case RtfWord::ListDestination: case RtfWord::ListLevelDestination:
    case RtfWord::LevelTextDestination: case RtfWord::ListOverrideTableDestination:
    case RtfWord::ListOverrideDestination: case RtfWord::PnDestination:
        return true;
    default:
        return false;
    }
}