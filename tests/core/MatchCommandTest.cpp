#include "core/MatchCommand.h"
#include "core/MatchScore.h"

#include <gtest/gtest.h>

namespace {

using Kind = MatchCommand::Kind;

struct Bound
{
    const char *what;
    MatchCommand command;
    bool valid;
};

MatchCommand typedNames(qsizetype chars1, qsizetype chars2)
{
    MatchCommand c = MatchCommand::names(QString(chars1, u'a'), QString(chars2, u'b'));
    c.kind = Kind::TypedNames;
    return c;
}

MatchCommand colour(int slot)
{
    MatchCommand c = MatchCommand::of(Kind::Colour);
    c.side = slot;
    return c;
}

// A format code that parses, padded with leading zeros to a length.
MatchCommand formatOfLength(qsizetype length)
{
    const QString head = QStringLiteral("SET3-S:");
    return MatchCommand::format(head + QString(length - head.size() - 1, u'0') + u'6');
}

class CommandBounds : public ::testing::TestWithParam<Bound>
{
};

TEST_P(CommandBounds, HoldArgumentsInsideWhatTheBoardHas)
{
    EXPECT_EQ(GetParam().command.isValid(), GetParam().valid) << GetParam().what;
}

const Bound kBounds[] = {
    {"point side 0", MatchCommand::point(0), false},
    {"points of side 2", MatchCommand::pointsCorrection(2, Qt::MiddleButton), true},
    {"points, no button", MatchCommand::pointsCorrection(1, Qt::NoButton), false},
    {"games of set 1", MatchCommand::gamesCorrection(MatchScore::gamesEntry(1, 1), Qt::RightButton), true},
    {"games of set 5", MatchCommand::gamesCorrection(MatchScore::gamesEntry(2, kMaxSets), Qt::LeftButton), true},
    {"the points entry", MatchCommand::gamesCorrection(MatchScore::pointsEntry(2), Qt::LeftButton), false},
    {"a hidden tie-break field", MatchCommand::gamesCorrection(MatchScore::kLabTBreak2, Qt::LeftButton), true},
    {"past the hidden fields", MatchCommand::gamesCorrection(MatchScore::kLabTBreak2 + 1, Qt::LeftButton), false},
    {"header 1", MatchCommand::withValue(Kind::SetHeader, 1), true},
    {"header 5", MatchCommand::withValue(Kind::SetHeader, kMaxSets), true},
    {"header 6", MatchCommand::withValue(Kind::SetHeader, kMaxSets + 1), false},
    {"tie-break option 0", MatchCommand::withValue(Kind::TieBreakOption, 0), true},
    {"tie-break option -1", MatchCommand::withValue(Kind::TieBreakOption, -1), false},
    {"five sets", MatchCommand::withValue(Kind::SetCount, 5), true},
    {"names at their bound", MatchCommand::names(QString(200, u'a'), QString(200, u'b')), true},
    {"name 2 past it", MatchCommand::names(QString(), QString(201, u'b')), false},
    {"title at its bound", MatchCommand::titleFile(QString(1024, u't')), true},
    {"title past it", MatchCommand::titleFile(QString(1025, u't')), false},
    {"format at its bound", formatOfLength(MatchCommand::kMaxFormatChars), true},
    {"format past it", formatOfLength(MatchCommand::kMaxFormatChars + 1), false},
    {"no format", MatchCommand::format(QStringLiteral("SET3-S:6/TB7X")), false},
    {"a game award takes any arguments", MatchCommand::withValue(Kind::GameAward, -7), true},
    // The edits and the store keep names of any length; only the journalled names are bounded.
    {"typed names past the journal's bound", typedNames(5000, 201), true},
    {"colour slot 0", colour(0), true},
    {"colour slot 4", colour(4), true},
    {"colour slot 5", colour(5), false},
    {"colour slot -1", colour(-1), false},
    {"monitor 99", MatchCommand::withValue(Kind::Monitor, 99), true},
    {"monitor 100", MatchCommand::withValue(Kind::Monitor, 100), false},
    {"monitor -1", MatchCommand::withValue(Kind::Monitor, -1), false},
    {"tie-break points shown", MatchCommand::withValue(Kind::TieBreakPoints, 1), true},
    {"tie-break points 2", MatchCommand::withValue(Kind::TieBreakPoints, 2), false},
    {"sound off", MatchCommand::withValue(Kind::Sound, 0), true},
    {"sound 2", MatchCommand::withValue(Kind::Sound, 2), false},
};

INSTANTIATE_TEST_SUITE_P(MatchCommand, CommandBounds, ::testing::ValuesIn(kBounds));

} // namespace
