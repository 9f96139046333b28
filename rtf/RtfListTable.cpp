#include "rtf/RtfListTable.h"

#include "rtf/RtfLimits.h"

#include <algorithm>

void RtfListTable::beginList()
{
    levels_ = Levels{};
    levelCount_ = 0;
    listId_ = 0;
}

void RtfListTable::beginLevel()
{
    level_ = Level();
}

void RtfListTable::endLevel()
{
    if (level_.style == QTextListFormat::ListDisc) {
        // The first character is the text's length; the glyph follows.
        const QChar glyph = levelText_.size() > 1 ? levelText_.at(1) : QChar();
        const char16_t g = glyph.unicode();
        if (g == u'o' || g == 0x25E6 || g == 0x25CB)
            level_.style = QTextListFormat::ListCircle;
        else if (g == 0x25AA || g == 0x25A0 || g == 0xF0A7 || g == 0xA7)
            level_.style = QTextListFormat::ListSquare;
    }
    if (levelCount_ <= kMaxListLevel)
        levels_[std::size_t(levelCount_++)] = level_;
}

void RtfListTable::endList()
{
    if (lists_.size() < kMaxCachedFormats)
        lists_.insert(listId_, levels_);
}

void RtfListTable::beginOverride()
{
    listId_ = 0;
    override_ = 0;
}

void RtfListTable::endOverride()
{
    if (overrides_.size() < kMaxCachedFormats)
        overrides_.insert(override_, listId_);
}

bool RtfListTable::controlWord(RtfWord word, int param, RtfDestination &destination, RtfParaProps &pa)
{
    const auto open = [&destination](RtfDestination inside, RtfDestination opened) {
        destination = destination == inside ? opened : RtfDestination::Skip;
        return destination == opened;
    };
    const auto resolve = [&] {
        if (pa.list > 0)
            pa.listStyle = int(level(pa.list, pa.listLevel).style);
    };
    const auto oldStyle = [&](QTextListFormat::Style style) {
        if (destination == RtfDestination::OldStyleList)
            oldStyle_.listStyle = int(style);
    };
    switch (word) {
    case RtfWord::ListTableDestination: open(RtfDestination::Text, RtfDestination::ListTable); return true;
    case RtfWord::ListDestination: if (open(RtfDestination::ListTable, RtfDestination::ListDefinition)) beginList(); return true;
    case RtfWord::ListLevelDestination:
        if (open(RtfDestination::ListDefinition, RtfDestination::ListLevel)) {
            beginLevel();
            levelText_.clear();
        }
        return true;
    case RtfWord::LevelTextDestination: open(RtfDestination::ListLevel, RtfDestination::LevelText); return true;
    case RtfWord::ListOverrideTableDestination: open(RtfDestination::Text, RtfDestination::ListOverrideTable); return true;
    case RtfWord::ListOverrideDestination:
        if (open(RtfDestination::ListOverrideTable, RtfDestination::ListOverride))
            beginOverride();
        return true;
    case RtfWord::LevelFormat: if (destination == RtfDestination::ListLevel) level_.style = styleForFormat(param); return true;
    case RtfWord::LevelStart: if (destination == RtfDestination::ListLevel) level_.start = param; return true;
    case RtfWord::ListId:
        if (destination == RtfDestination::ListDefinition || destination == RtfDestination::ListOverride)
            listId_ = param;
        return true;
    case RtfWord::ListOverride:
        if (destination == RtfDestination::ListOverride) {
            override_ = param;
        } else if (destination == RtfDestination::Text) {
            pa.list = std::max(param, 0);
            resolve();
        }
        return true;
    case RtfWord::ListLevel: pa.listLevel = std::clamp(param, 0, kMaxListLevel); resolve(); return true;
    case RtfWord::PnDestination:
        if (open(RtfDestination::Text, RtfDestination::OldStyleList)) {
            oldStyle_ = RtfParaProps();
            oldStyle_.list = RtfParaProps::kOldStyleList;
            oldStyle_.listStyle = int(QTextListFormat::ListDecimal);
        }
        return true;
    case RtfWord::PnBullet: oldStyle(QTextListFormat::ListDisc); return true;
    case RtfWord::PnBody: return true;
    case RtfWord::PnLevel:
        if (destination == RtfDestination::OldStyleList)
            oldStyle_.listLevel = std::clamp(param - 1, 0, kMaxListLevel);
        return true;
    case RtfWord::PnDecimal: oldStyle(QTextListFormat::ListDecimal); return true;
    case RtfWord::PnUpperRoman: oldStyle(QTextListFormat::ListUpperRoman); return true;
    case RtfWord::PnLowerRoman: oldStyle(QTextListFormat::ListLowerRoman); return true;
    case RtfWord::PnUpperLetter: oldStyle(QTextListFormat::ListUpperAlpha); return true;
    case RtfWord::PnLowerLetter: oldStyle(QTextListFormat::ListLowerAlpha); return true;
    case RtfWord::PnStart: return true;
    default: return false;
    }
}

void RtfListTable::closeGroup(RtfDestination closing, RtfDestination outer, RtfParaProps &outerPara)
{
    switch (closing) {
    case RtfDestination::ListLevel: endLevel(); break;
    case RtfDestination::ListDefinition: endList(); break;
    case RtfDestination::ListOverride: endOverride(); break;
    case RtfDestination::OldStyleList:
        if (outer == RtfDestination::Text) {
            outerPara.list = oldStyle_.list;
            outerPara.listLevel = oldStyle_.listLevel;
            outerPara.listStyle = oldStyle_.listStyle;
        }
        break;
    default: break;
    }
}

RtfListTable::Level RtfListTable::level(int ls, int ilvl) const
{
    const auto list = lists_.constFind(overrides_.value(ls, -1));
    if (list == lists_.cend())
        return Level();
    return (*list)[std::size_t(std::clamp(ilvl, 0, kMaxListLevel))];
}

int RtfListTable::formatForStyle(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return 0;
    case QTextListFormat::ListUpperRoman: return 1;
    case QTextListFormat::ListLowerRoman: return 2;
    case QTextListFormat::ListUpperAlpha: return 3;
    case QTextListFormat::ListLowerAlpha: return 4;
    default: return 23; // a bullet
    }
}

QTextListFormat::Style RtfListTable::styleForFormat(int nfc)
{
    switch (nfc) {
    case 0: case 22: return QTextListFormat::ListDecimal; // 22: with a leading zero
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    default: return QTextListFormat::ListDisc;
    }
}
