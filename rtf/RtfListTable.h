#pragma once

#include "rtf/RtfControlWordTable.h"
#include "rtf/RtfDestination.h"
#include "rtf/RtfFormatFactory.h"

#include <QHash>
#include <QString>
#include <QTextListFormat>

#include <array>

// The lists of a file: Word's \listtable and \listoverridetable, which say what each
// level of each list shows and which list a paragraph's \lsN names, and the older \pn
// groups, which say it in the paragraph itself.
class RtfListTable
{
public:
    struct Level
    {
        QTextListFormat::Style style = QTextListFormat::ListDisc;
        int start = 1;
    };

    // Takes the list words; false for any other word. It opens the list destinations and
    // sets the paragraph's list from \ls and \ilvl.
    bool controlWord(RtfWord word, int param, RtfDestination &destination, RtfParaProps &para);
    // A group of destination closing ended; a \pn group gives its list to outerPara.
    void closeGroup(RtfDestination closing, RtfDestination outer, RtfParaProps &outerPara);
    // Where a \leveltext's characters go.
    QString &levelText() { return levelText_; }

    // The level of the list \lsN names; a bullet for a list the file does not define.
    Level level(int ls, int ilvl) const;

    // The \levelnfc number for a style, and back.
    static int formatForStyle(QTextListFormat::Style style);
    static QTextListFormat::Style styleForFormat(int nfc);

private:
    using Levels = std::array<Level, 9>;

    void beginList();
    void beginLevel();
    // The level's text shows a bullet's glyph; it tells a circle or a square from a disc.
    void endLevel();
    void endList();
    void beginOverride();
    void endOverride();

    QHash<int, Levels> lists_;   // by \listid
    QHash<int, int> overrides_;  // \ls to \listid
    Levels levels_{};
    int levelCount_ = 0;
    Level level_;
    QString levelText_;
    int listId_ = 0;
    int override_ = 0;
    RtfParaProps oldStyle_;      // what a \pn group says of its paragraph
};
