#pragma once

#include "feed/FeedServer.h"
#include "feed/ScoreDocument.h"
#include "core/Match.h"
#include "tests/EventWait.h"
#include "tests/feed/SchemaCheck.h"
#include "tests/core/FakeTicks.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QWebSocket>

#include <gtest/gtest.h>

#include <functional>

// A started server on 127.0.0.1 and a free port, fed from a real match the way the window
// will: a command moves the match, the match's new document is published at once.
class FeedFixture : public ::testing::Test
{
protected:
    struct Reply
    {
        int status = 0;
        QByteArray body;
        QByteArray contentType;
        QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    };

    FeedFixture() : match(ticks, QStringLiteral("00:00:00")), server(ticks)
    {
        QObject::connect(&server, &FeedServer::commandReceived, &server, [this](const FeedCommand &command) {
            commands.append(command);
            if (command.kind == FeedCommand::Kind::Point)
                command.side == 1 ? match.score().mSchet1Click() : match.score().mSchet2Click();
            else if (command.kind == FeedCommand::Kind::Pause)
                match.timer().bPlayClick();
            publishMatch();
        });
    }

    void startServer(FeedServer::Options options = {})
    {
        options.port = 0;
        if (options.pin.isEmpty())
            options.pin = QStringLiteral("424242");
        ASSERT_TRUE(server.start(options)) << server.errorText().toStdString();
        publishMatch();
    }

    void publishMatch() { server.publish(document.update(match, QStringLiteral("Graf"), QStringLiteral("Seles"))); }

    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.port()).arg(path));
    }

    static void spin(int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    Reply request(const QByteArray &method, const QString &path, const QByteArray &body = {},
                  const QByteArray &pin = "424242")
    {
        QNetworkRequest req(url(path));
        req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        if (!pin.isNull())
            req.setRawHeader("X-Pin", pin);
        QNetworkReply *reply = network.sendCustomRequest(req, method, body);
        const bool finished = waitFor([reply] { return reply->isFinished(); });
        Reply result;
        if (finished) {
            result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            result.body = reply->readAll();
            result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        }
        reply->deleteLater();
        return result;
    }
    Reply command(const QByteArray &body, const QByteArray &pin = "424242")
    {
        return request("POST", QStringLiteral("/command"), body, pin);
    }

    FakeTicks ticks;
    Match match;
    ScoreDocument document;
    FeedServer server;
    QNetworkAccessManager network;
    QList<FeedCommand> commands;
};
