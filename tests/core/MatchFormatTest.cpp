#include "core/MatchFormat.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

MatchFormat parsed(const char *code)
{
    const auto result = MatchFormat::parse(QString::fromLatin1(code));
    EXPECT_TRUE(result.format) << code << ": " << result.error.toStdString();
    return result.format.value_or(MatchFormat::of(0, {}));
}

std::string codeOf(const char *code) { return parsed(code).code().toStdString(); }

std::string errorOf(const char *code)
{
    const auto result = MatchFormat::parse(QString::fromLatin1(code));
    EXPECT_FALSE(result.format) << code;
    return result.error.toStdString();
}

TEST(MatchFormatParse, ReadsExactlyPlayedSetsAndAMatchTiebreak)
{
    const MatchFormat format = parsed("SET3X-S:6/TB7NOAD-F:TB10NOAD");
    EXPECT_TRUE(format.exactly);
    EXPECT_FALSE(format.set.noAd);
    EXPECT_TRUE(format.set.tiebreak->noAd);
    EXPECT_EQ(format.set.tiebreakAt, 6);
    ASSERT_TRUE(format.finalSetFormat().tiebreakSet);
    EXPECT_EQ(format.finalSetFormat().tiebreakSet->to, 10);
    EXPECT_TRUE(format.finalSetFormat().tiebreakSet->noAd);
}

TEST(MatchFormatCode, TodaysFormatsWriteBackUnchanged)
{
    for (const char *code : {"SET5-S:6/TB7", "SET3-S:6/TB7", "SET5-S:6", "SET3-S:6"})
        EXPECT_EQ(codeOf(code), code);
}

TEST(MatchFormatCode, LeavesOutWhatFollowsFromTheRest)
{
    EXPECT_EQ(codeOf("SET3-S:4/TB7@4"), "SET3-S:4/TB7");
    EXPECT_EQ(codeOf("SET3-S:6/TB7-F:6/TB7"), "SET3-S:6/TB7");
    EXPECT_EQ(codeOf("SET1-S:8/TB7-F:TB10"), "SET1-S:8/TB7");
    EXPECT_EQ(codeOf("SET5-S:6/TB7-F:6/TB7@12"), "SET5-S:6/TB7-F:6/TB7@12");
    EXPECT_EQ(codeOf("SET1-S:8/TB7@7"), "SET1-S:8/TB7@7");
    EXPECT_EQ(codeOf("SET3X-S:6NOAD-F:TB10"), "SET3X-S:6NOAD-F:TB10");
    for (const char *code : {"SET3-S:4/TB7@4", "SET3-S:6/TB7-F:6/TB7", "SET1-S:8/TB7-F:TB10"}) {
        const MatchFormat format = parsed(code);
        EXPECT_EQ(parsed(format.code().toLatin1().constData()), format) << code;
    }
}

TEST(MatchFormatEquality, ComparesOnlyTheRulesThatApply)
{
    using Set = MatchFormat::SetFormat;
    Set matchTiebreak = Set::tiebreakOnly({10, false});
    Set otherGames = matchTiebreak;
    otherGames.setTo = 4;
    otherGames.noAd = true;
    EXPECT_EQ(matchTiebreak, otherGames);
    EXPECT_NE(matchTiebreak, Set::tiebreakOnly({10, true}));
    Set advantage = Set::advantage(6);
    Set otherTiebreakAt = advantage;
    otherTiebreakAt.tiebreakAt = 5;
    EXPECT_EQ(advantage, otherTiebreakAt);
    EXPECT_NE(advantage, Set::advantage(6, true));
    EXPECT_NE(Set::withTiebreak(6, {7, false}, 6), Set::withTiebreak(6, {7, false}, 5));
    EXPECT_NE(parsed("SET3-S:6/TB7"), parsed("SET3X-S:6/TB7"));
    EXPECT_NE(parsed("SET3-S:6/TB7"), parsed("SET3-S:6/TB7-F:6"));
}

TEST(MatchFormatErrors, NameThePartThatIsWrong)
{
    EXPECT_EQ(errorOf(""), "empty format code");
    EXPECT_EQ(errorOf("SET3-S:6/TX7"), "unknown set form '6/TX7'");
    EXPECT_EQ(errorOf("SET3-S:6/TB7-F:6/TB7NOD"), "unknown set form '6/TB7NOD'");
    EXPECT_EQ(errorOf("SET3-S:T20"), "timed sets are not supported: 'T20'");
    EXPECT_EQ(errorOf("T90"), "timed matches are not supported: 'T90'");
    EXPECT_EQ(errorOf("SET-S:6/TB7"), "unknown match form 'SET'");
    EXPECT_EQ(errorOf("SET6-S:6/TB7"), "'SET6' is not 1 to 5 sets");
    EXPECT_EQ(errorOf("SET3"), "no set form after 'SET3'");
    EXPECT_EQ(errorOf("SET3-F:6/TB7"), "expected the sets as 'S:', not 'F:6/TB7'");
    EXPECT_EQ(errorOf("SET3-S:6/TB7-S:TB10"), "expected the final set as 'F:', not 'S:TB10'");
    EXPECT_EQ(errorOf("SET3-S:6/TB7-F:TB10-X:1"), "unexpected part 'X:1' after the final set");
    EXPECT_EQ(errorOf("SET3-S:6/TB7-"), "empty part between dashes in 'SET3-S:6/TB7-'");
    EXPECT_EQ(errorOf("SET3-S:0/TB7"), "'0' in '0/TB7' is not from 1 to 99");
    EXPECT_EQ(errorOf("SET3-S:6/TB7@100"), "'100' in '6/TB7@100' is not from 1 to 99");
    EXPECT_EQ(errorOf("SET3-S:6/TB7-F:TB0"), "'0' in 'TB0' is not from 1 to 99");
    EXPECT_EQ(errorOf("SET3-S:6/TB7@4"), "a tie-break at 4 all cannot decide a set to 6: '6/TB7@4'");
    EXPECT_EQ(errorOf("SET2-S:6/TB7"), "best of 2 is not a tennis format, SET2X plays exactly 2 sets");
    EXPECT_EQ(errorOf("SET4-S:TB10"), "best of 4 is not a tennis format, SET4X plays exactly 4 sets");
}

TEST(MatchFormatPresets, WriteTheirCodes)
{
    const std::pair<MatchFormat, const char *> presets[] = {
        {kStandardFormat, "SET3-S:6/TB7"},
        {kMatchTiebreakFormat, "SET3-S:6/TB7-F:TB10"},
        {kNoAdMatchTiebreakFormat, "SET3-S:6NOAD/TB7-F:TB10"},
        {kFinalSetTiebreak10Format, "SET5-S:6/TB7-F:6/TB10"},
        {kShortSetsFormat, "SET3-S:4/TB7"},
        {kFast4Format, "SET3-S:4NOAD/TB5NOAD@3"},
        {kProSetFormat, "SET1-S:8/TB7"},
    };
    for (const auto &[format, code] : presets) {
        EXPECT_EQ(format.code().toStdString(), code);
        EXPECT_EQ(parsed(code), format) << code;
    }
}

TEST(MatchFormatJson, UsesTheFieldNamesOfTheReference)
{
    const auto json = [](const char *code) {
        return QJsonDocument(parsed(code).toJson()).toJson(QJsonDocument::Compact).toStdString();
    };
    EXPECT_EQ(json("SET3-S:6/TB7-F:TB10"),
              R"({"bestOf":3,"finalSetFormat":{"tiebreakSet":{"tiebreakTo":10}},)"
              R"("setFormat":{"setTo":6,"tiebreakAt":6,"tiebreakFormat":{"tiebreakTo":7}}})");
    EXPECT_EQ(json("SET5-S:6NOAD/TB7NOAD@5-F:6"),
              R"({"bestOf":5,"finalSetFormat":{"noTiebreak":true,"setTo":6},)"
              R"("setFormat":{"NoAD":true,"setTo":6,"tiebreakAt":5,"tiebreakFormat":{"NoAD":true,"tiebreakTo":7}}})");
    EXPECT_EQ(json("SET3X-S:TB10NOAD"), R"({"bestOf":3,"exactly":true,"setFormat":{"tiebreakSet":{"NoAD":true,"tiebreakTo":10}}})");
}

TEST(MatchFormatParse, NumbersUpToTwoDigitsAreTaken)
{
    const MatchFormat longest = parsed("SET1-S:99/TB99@99");
    EXPECT_EQ(longest.set.setTo, 99);
    EXPECT_EQ(longest.set.tiebreakAt, 99);
    ASSERT_TRUE(longest.set.tiebreak);
    EXPECT_EQ(longest.set.tiebreak->to, 99);
    EXPECT_EQ(codeOf("SET3-S:6/TB7-F:TB99"), "SET3-S:6/TB7-F:TB99");
}

} // namespace
