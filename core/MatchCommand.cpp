#include "core/MatchCommand.h"

#include "core/MatchFormat.h"

#include "core/MatchScore.h"

namespace {
bool isButton(Qt::MouseButton b)
{
    return b == Qt::LeftButton || b == Qt::RightButton || b == Qt::MiddleButton;
}
bool isSide(int side)
{
    return side == 1 || side == 2;
}
} // namespace

bool MatchCommand::isValid() const
{
    switch (kind) {
    case Kind::Point:
        return isSide(side);
    case Kind::PointsCorrection:
        return isSide(side) && isButton(button);
    case Kind::GamesCorrection:
        return isButton(button)
               && (MatchScore::isGamesEntry(value) || value == MatchScore::kLabTBreak1
                   || value == MatchScore::kLabTBreak2);
    case Kind::SetHeader:
        return value >= 1 && value <= MatchScore::kMaxSets;
    case Kind::AutoCount:
    case Kind::TieBreakOption:
        return value == 0 || value == 1;
    case Kind::SetCount:
        return value == 3 || value == 5;
    case Kind::Names:
        return text1.size() <= kMaxNameChars && text2.size() <= kMaxNameChars;
    case Kind::TitleFile:
        return text1.size() <= kMaxTitleChars;
    case Kind::Format:
        return text1.size() <= kMaxFormatChars && MatchFormat::parse(text1).format.has_value();
    case Kind::TypedNames: // the edits keep names of any length, and so does the store
        return true;
    case Kind::Colour:
        return side >= 0 && side < 5;
    case Kind::Monitor:
        return value >= 0 && value <= 99;
    case Kind::TieBreakPoints:
    case Kind::Sound:
        return value == 0 || value == 1;
    default:
        return true;
    }
}

bool MatchCommand::isUndoable() const
{
    return isJournalled() && kind != Kind::Play && kind != Kind::Names && kind != Kind::TitleFile
           && kind != Kind::Undo && kind != Kind::Redo;
}

bool MatchCommand::isJournalled() const
{
    return kind != Kind::TypedNames && kind != Kind::Colour && kind != Kind::Monitor
           && kind != Kind::TieBreakPoints && kind != Kind::Sound;
}
