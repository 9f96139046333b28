#pragma once

#include <QByteArrayView>
#include <QString>
#include <Qt>

// One operator command that changes the match, with what a replay needs to repeat it.
// Every such command reaches the match through MatchController::execute.
struct MatchCommand
{
    // Each kind has its row in the table behind row(), in this order.
    enum class Kind {
        Point,            // side; from its key or a click on the side's name label
        GameAward,        // Ctrl+G
        NextSet,          // Ctrl+S
        Serve,            // F5 or a click on a serve mark
        TieBreakToggle,   // Ctrl+T or a click on "T"
        SetHeader,        // value: the header clicked, 1..5
        PointsCorrection, // side and button, on a points field
        GamesCorrection,  // value: the games entry (or a hidden tie-break field), button
        Play,             // start, pause or resume of the timer
        Reset,            // the confirmed reset
        AutoCount,        // value: 1 on, 0 off
        TieBreakOption,   // value: 1 on, 0 off
        SetCount,         // value: 3 or 5
        Names,            // text1, text2: the names of side 1 and side 2
        TitleFile,        // text1: the title file shown
        Format,           // text1: the match format's code
        Undo,
        Redo,
        TitleText,        // text1: the title area's text (RTF), journalled once the match started
        // The board's set-up rather than the match: never journalled, never undone.
        TypedNames,       // text1, text2: the names as typed before the start
        Colour,           // side: the scheme slot 0 .. 4, value: the colour's bits
        Monitor,          // value: the monitor picked, 0 .. 99
        TieBreakPoints,   // value: 1 shows the loser's tie-break points, 0 hides them
        Sound,            // value: 1 on, 0 off
    };
    enum class PointSource { Key, NameLabel };

    // What a journal line holds after the kind's word.
    enum class Arguments {
        None,
        SideAndSource,   // point 2 key
        Number,          // header 3
        NumberAndButton, // games 7 left
        Text,            // title "..."
        TwoTexts,        // names "..." "..."
    };

    struct KindRow
    {
        Kind kind;
        // The journal's word; empty for the set-up, which no journal holds.
        QByteArrayView word;
        Arguments arguments;
        // The field a number argument fills.
        int MatchCommand::*number;
        // Arguments inside what the board has: a journal from elsewhere cannot reach past a table.
        bool (*valid)(const MatchCommand &);
        // Undo passes over the others: time keeps running, and names and title are not score.
        bool undoable;
    };
    static const KindRow &row(Kind kind);
    // The row of a journal word; null for a word no kind has.
    static const KindRow *rowOfWord(QByteArrayView word);

    static constexpr int kMaxNameChars = 200;
    static constexpr int kMaxTitleChars = 1024;
    static constexpr int kMaxFormatChars = 64;
    // Percent-encoded, a title text of this many UTF-8 bytes still fits a journal line.
    static constexpr int kMaxTitleTextBytes = 5000;

    Kind kind = Kind::Serve;
    int side = 0;
    int value = 0;
    Qt::MouseButton button = Qt::NoButton;
    PointSource source = PointSource::Key;
    QString text1;
    QString text2;

    static MatchCommand of(Kind kind) { MatchCommand c; c.kind = kind; return c; }
    static MatchCommand point(int side, PointSource source = PointSource::Key)
    {
        MatchCommand c = of(Kind::Point);
        c.side = side;
        c.source = source;
        return c;
    }
    static MatchCommand pointsCorrection(int side, Qt::MouseButton button)
    {
        MatchCommand c = of(Kind::PointsCorrection);
        c.side = side;
        c.button = button;
        return c;
    }
    static MatchCommand gamesCorrection(int entry, Qt::MouseButton button)
    {
        MatchCommand c = of(Kind::GamesCorrection);
        c.value = entry;
        c.button = button;
        return c;
    }
    static MatchCommand withValue(Kind kind, int value)
    {
        MatchCommand c = of(kind);
        c.value = value;
        return c;
    }
    static MatchCommand names(const QString &name1, const QString &name2)
    {
        MatchCommand c = of(Kind::Names);
        c.text1 = name1;
        c.text2 = name2;
        return c;
    }
    static MatchCommand titleFile(const QString &path)
    {
        MatchCommand c = of(Kind::TitleFile);
        c.text1 = path;
        return c;
    }

    static MatchCommand titleText(const QString &rtf)
    {
        MatchCommand c = of(Kind::TitleText);
        c.text1 = rtf;
        return c;
    }

    static MatchCommand format(const QString &code)
    {
        MatchCommand c = of(Kind::Format);
        c.text1 = code;
        return c;
    }
    static MatchCommand typedNames(const QString &name1, const QString &name2)
    {
        MatchCommand c = names(name1, name2);
        c.kind = Kind::TypedNames;
        return c;
    }
    static MatchCommand colour(int slot, quint32 colour)
    {
        MatchCommand c = withValue(Kind::Colour, int(colour));
        c.side = slot;
        return c;
    }

    bool isValid() const { return row(kind).valid(*this); }
    bool isUndoable() const { return row(kind).undoable; }
    // The set-up commands change the board, not the match: no journal line holds them.
    bool isJournalled() const { return !row(kind).word.isEmpty(); }

    bool operator==(const MatchCommand &) const = default;
};
