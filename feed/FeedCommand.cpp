#include "feed/FeedCommand.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<FeedCommand::Kind, const char *>, 7> kNames = {{
    {FeedCommand::Kind::Point, "point"},
    {FeedCommand::Kind::Undo, "undo"},
    {FeedCommand::Kind::Redo, "redo"},
    {FeedCommand::Kind::Serve, "serve"},
    {FeedCommand::Kind::Pause, "pause"},
    {FeedCommand::Kind::Game, "game"},
    {FeedCommand::Kind::Set, "set"},
}};

FeedCommand::Parsed failure(const QString &error)
{
    return {std::nullopt, error};
}
} // namespace

QString FeedCommand::name(Kind kind)
{
    for (const auto &[k, n] : kNames) {
        if (k == kind)
            return QString::fromLatin1(n);
    }
    return {};
}

FeedCommand::Parsed FeedCommand::parse(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return failure(QStringLiteral("malformed JSON: %1").arg(error.errorString()));
    if (!document.isObject())
        return failure(QStringLiteral("a command is a JSON object"));
    const QJsonObject object = document.object();
    const QJsonValue commandValue = object.value(QStringLiteral("command"));
    if (!commandValue.isString())
        return failure(QStringLiteral("\"command\" must be a string"));
    const QString commandName = commandValue.toString();

    FeedCommand command;
    bool known = false;
    for (const auto &[k, n] : kNames) {
        if (commandName == QLatin1String(n)) {
            command.kind = k;
            known = true;
        }
    }
    if (!known)
        return failure(QStringLiteral("unknown command \"%1\"").arg(commandName.left(40)));

    const QJsonValue sideValue = object.value(QStringLiteral("side"));
    if (needsSide(command.kind)) {
        // 1.0 is a number JSON cannot tell from 1; 1.5 and "1" are not sides.
        const double side = sideValue.toDouble(0);
        if (!sideValue.isDouble() || (side != 1 && side != 2))
            return failure(QStringLiteral("\"%1\" needs \"side\": 1 or 2").arg(commandName));
        command.side = static_cast<int>(side);
    } else if (!sideValue.isUndefined()) {
        return failure(QStringLiteral("\"%1\" takes no side").arg(commandName));
    }
    return {command, {}};
}
