#include "core/MatchCommand.h"

#include "core/MatchFormat.h"
#include "core/MatchScore.h"

#include <algorithm>
#include <array>

namespace {

using Kind = MatchCommand::Kind;
using Arguments = MatchCommand::Arguments;

constexpr int kSchemeSlots = 5;
constexpr int kMaxMonitor = 99;

bool isButton(Qt::MouseButton b)
{
    return b == Qt::LeftButton || b == Qt::RightButton || b == Qt::MiddleButton;
}
bool isSide(int side)
{
    return side == 1 || side == 2;
}
bool isSwitch(int value)
{
    return value == 0 || value == 1;
}

bool anyArguments(const MatchCommand &)
{
    return true;
}
bool aSide(const MatchCommand &c)
{
    return isSide(c.side);
}
bool aSideAndButton(const MatchCommand &c)
{
    return isSide(c.side) && isButton(c.button);
}
bool aGamesFigureAndButton(const MatchCommand &c)
{
    return isButton(c.button)
           && (MatchScore::isGamesEntry(c.value) || c.value == MatchScore::kLabTBreak1
               || c.value == MatchScore::kLabTBreak2);
}
bool aSetHeader(const MatchCommand &c)
{
    return c.value >= 1 && c.value <= kMaxSets;
}
bool aSwitch(const MatchCommand &c)
{
    return isSwitch(c.value);
}
bool aSetCount(const MatchCommand &c)
{
    return c.value == 3 || c.value == 5;
}
bool twoNames(const MatchCommand &c)
{
    return c.text1.size() <= MatchCommand::kMaxNameChars && c.text2.size() <= MatchCommand::kMaxNameChars;
}
bool aTitle(const MatchCommand &c)
{
    return c.text1.size() <= MatchCommand::kMaxTitleChars;
}
bool aTitleText(const MatchCommand &c)
{
    return c.text1.toUtf8().size() <= MatchCommand::kMaxTitleTextBytes;
}
bool aFormat(const MatchCommand &c)
{
    return c.text1.size() <= MatchCommand::kMaxFormatChars && MatchFormat::parse(c.text1).format.has_value();
}
bool aSchemeSlot(const MatchCommand &c)
{
    return c.side >= 0 && c.side < kSchemeSlots;
}
bool aMonitor(const MatchCommand &c)
{
    return c.value >= 0 && c.value <= kMaxMonitor;
}

constexpr std::array<MatchCommand::KindRow, 24> kRows = {{
    // kind                  word        arguments                   number filled           valid                  undoable
    {Kind::Point,            "point",    Arguments::SideAndSource,   nullptr,                aSide,                 true},
    {Kind::GameAward,        "game",     Arguments::None,            nullptr,                anyArguments,          true},
    {Kind::NextSet,          "set",      Arguments::None,            nullptr,                anyArguments,          true},
    {Kind::Serve,            "serve",    Arguments::None,            nullptr,                anyArguments,          true},
    {Kind::TieBreakToggle,   "tiebreak", Arguments::None,            nullptr,                anyArguments,          true},
    {Kind::SetHeader,        "header",   Arguments::Number,          &MatchCommand::value,   aSetHeader,            true},
    {Kind::PointsCorrection, "points",   Arguments::NumberAndButton, &MatchCommand::side,    aSideAndButton,        true},
    {Kind::GamesCorrection,  "games",    Arguments::NumberAndButton, &MatchCommand::value,   aGamesFigureAndButton, true},
    {Kind::Play,             "play",     Arguments::None,            nullptr,                anyArguments,          false},
    {Kind::Reset,            "reset",    Arguments::None,            nullptr,                anyArguments,          true},
    {Kind::AutoCount,        "auto",     Arguments::Number,          &MatchCommand::value,   aSwitch,               true},
    {Kind::TieBreakOption,   "tboption", Arguments::Number,          &MatchCommand::value,   aSwitch,               true},
    {Kind::SetCount,         "sets",     Arguments::Number,          &MatchCommand::value,   aSetCount,             true},
    {Kind::Names,            "names",    Arguments::TwoTexts,        nullptr,                twoNames,              false},
    {Kind::TitleFile,        "title",    Arguments::Text,            nullptr,                aTitle,                false},
    {Kind::Format,           "format",   Arguments::Text,            nullptr,                aFormat,               true},
    {Kind::Undo,             "undo",     Arguments::None,            nullptr,                anyArguments,          false},
    {Kind::Redo,             "redo",     Arguments::None,            nullptr,                anyArguments,          false},
    {Kind::TitleText,        "titletext", Arguments::Text,           nullptr,                aTitleText,            false},
    // The set-up: no journal line, nothing to undo.
    // The edits keep names of any length, and so does the store.
    {Kind::TypedNames,       {},         Arguments::None,            nullptr,                anyArguments,          false},
    {Kind::Colour,           {},         Arguments::None,            nullptr,                aSchemeSlot,           false},
    {Kind::Monitor,          {},         Arguments::None,            nullptr,                aMonitor,              false},
    {Kind::TieBreakPoints,   {},         Arguments::None,            nullptr,                aSwitch,               false},
    {Kind::Sound,            {},         Arguments::None,            nullptr,                aSwitch,               false},
}};

constexpr bool inKindOrder()
{
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].kind != Kind(i))
            return false;
    }
    return kRows.size() == std::size_t(Kind::Sound) + 1;
}
static_assert(inKindOrder(), "one row for every kind, in the order of Kind");

} // namespace

const MatchCommand::KindRow &MatchCommand::row(Kind kind)
{
    Q_ASSERT(std::size_t(kind) < kRows.size());
    return kRows[std::size_t(kind)];
}

const MatchCommand::KindRow *MatchCommand::rowOfWord(QByteArrayView word)
{
    // The set-up's empty word is no word: an empty token names nothing.
    if (word.isEmpty())
        return nullptr;
    const auto found = std::find_if(kRows.begin(), kRows.end(), [&](const KindRow &r) { return r.word == word; });
    return found == kRows.end() ? nullptr : &*found;
}
