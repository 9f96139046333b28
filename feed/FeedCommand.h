#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// One operator command sent over the feed: {"command": "point", "side": 1}.
struct FeedCommand
{
    enum class Kind { Point, Undo, Redo, Serve, Pause, Game, Set };

    struct Parsed;

    Kind kind = Kind::Point;
    // 1 or 2 for point, game and set; 0 for the others.
    int side = 0;

    static bool needsSide(Kind kind) { return kind == Kind::Point || kind == Kind::Game || kind == Kind::Set; }
    // The error says what is wrong, for the 400 reply.
    static Parsed parse(const QByteArray &body);
    static QString name(Kind kind);

    bool operator==(const FeedCommand &) const = default;
};

struct FeedCommand::Parsed
{
    std::optional<FeedCommand> command;
    QString error;
};
