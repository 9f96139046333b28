#include "feed/FeedCommand.h"

#include <gtest/gtest.h>

namespace {

using Kind = FeedCommand::Kind;

std::optional<FeedCommand> parse(const char *body)
{
    return FeedCommand::parse(QByteArray(body)).command;
}

TEST(FeedCommandParse, ReadsEveryCommand)
{
    EXPECT_EQ(parse(R"({"command":"point","side":1})"), (FeedCommand{Kind::Point, 1}));
    EXPECT_EQ(parse(R"({"command":"point","side":2.0})"), (FeedCommand{Kind::Point, 2}));
    EXPECT_EQ(parse(R"({"command":"game","side":2})"), (FeedCommand{Kind::Game, 2}));
    EXPECT_EQ(parse(R"({"command":"set","side":1})"), (FeedCommand{Kind::Set, 1}));
    EXPECT_EQ(parse(R"({"command":"undo"})"), (FeedCommand{Kind::Undo, 0}));
    EXPECT_EQ(parse(R"({"command":"redo"})"), (FeedCommand{Kind::Redo, 0}));
    EXPECT_EQ(parse(R"({"command":"serve"})"), (FeedCommand{Kind::Serve, 0}));
    EXPECT_EQ(parse(R"({"command":"pause"})"), (FeedCommand{Kind::Pause, 0}));
}

TEST(FeedCommandParse, RefusesWithAReason)
{
    const auto reason = [](const char *body) {
        const FeedCommand::Parsed parsed = FeedCommand::parse(QByteArray(body));
        EXPECT_FALSE(parsed.command) << body;
        return parsed.error.toStdString();
    };
    EXPECT_NE(reason(R"({"command":"point","side":1)").find("malformed JSON"), std::string::npos);
    EXPECT_NE(reason("").find("malformed JSON"), std::string::npos);
    EXPECT_NE(reason(R"(["point"])").find("object"), std::string::npos);
    EXPECT_NE(reason(R"({"side":1})").find("\"command\""), std::string::npos);
    EXPECT_NE(reason(R"({"command":"reset"})").find("unknown command \"reset\""), std::string::npos);
    EXPECT_NE(reason(R"({"command":"Point","side":1})").find("unknown"), std::string::npos);
}

TEST(FeedCommandParse, SideMustBeOneOrTwoWhereNeeded)
{
    for (const char *body : {R"({"command":"point"})", R"({"command":"point","side":0})",
                             R"({"command":"point","side":3})", R"({"command":"point","side":"1"})",
                             R"({"command":"point","side":1.5})", R"({"command":"game","side":-1})",
                             R"({"command":"set","side":null})", R"({"command":"undo","side":1})"})
        EXPECT_FALSE(parse(body)) << body;
}

} // namespace
