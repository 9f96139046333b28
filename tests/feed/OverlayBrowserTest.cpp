#include "tests/feed/FeedFixture.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString kChromium = QStringLiteral("/usr/bin/chromium");

// The overlay in a real headless Chromium, read through the DevTools protocol.
class OverlayBrowserTest : public FeedFixture
{
protected:
    ~OverlayBrowserTest() override
    {
        devtools.abort();
        if (browser.state() != QProcess::NotRunning) {
            browser.terminate();
            if (!browser.waitForFinished(3000)) {
                browser.kill();
                browser.waitForFinished(3000);
            }
        }
    }

    // Starts the browser on url and connects to that page's DevTools socket.
    bool open(const QUrl &url)
    {
        browser.setProgram(kChromium);
        browser.setArguments({QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                              QStringLiteral("--disable-gpu"), QStringLiteral("--disable-dev-shm-usage"),
                              QStringLiteral("--no-first-run"), QStringLiteral("--no-default-browser-check"),
                              QStringLiteral("--user-data-dir=") + profile.path(),
                              QStringLiteral("--remote-debugging-port=0"), url.toString()});
        browser.start();
        QByteArray log;
        QRegularExpressionMatch listening;
        const QRegularExpression pattern(QStringLiteral("DevTools listening on ws://127\\.0\\.0\\.1:(\\d+)/"));
        if (!waitFor([&] {
                log += browser.readAllStandardError();
                listening = pattern.match(QString::fromUtf8(log));
                return listening.hasMatch() || browser.state() == QProcess::NotRunning;
            }, 20'000) || !listening.hasMatch()) {
            ADD_FAILURE() << "chromium did not open DevTools: " << log.toStdString();
            return false;
        }
        const QUrl list(QStringLiteral("http://127.0.0.1:%1/json/list").arg(listening.captured(1)));
        QString pageSocket;
        waitFor([&] {
            QNetworkReply *reply = network.get(QNetworkRequest(list));
            waitFor([reply] { return reply->isFinished(); });
            for (const QJsonValue &target : QJsonDocument::fromJson(reply->readAll()).array()) {
                const QJsonObject t = target.toObject();
                if (t[QStringLiteral("type")] == QStringLiteral("page")
                    && t[QStringLiteral("url")].toString().startsWith(url.toString(QUrl::RemoveQuery)))
                    pageSocket = t[QStringLiteral("webSocketDebuggerUrl")].toString();
            }
            reply->deleteLater();
            return !pageSocket.isEmpty();
        }, 10'000);
        if (pageSocket.isEmpty()) {
            ADD_FAILURE() << "no DevTools target for " << url.toString().toStdString();
            return false;
        }
        QObject::connect(&devtools, &QWebSocket::textMessageReceived, [this](const QString &message) {
            const QJsonObject reply = QJsonDocument::fromJson(message.toUtf8()).object();
            if (reply.contains(QStringLiteral("id")))
                replies.insert(reply[QStringLiteral("id")].toInt(), reply);
            else if (reply.contains(QStringLiteral("method")))
                events.append(reply);
        });
        devtools.open(QUrl(pageSocket));
        return waitFor([this] { return devtools.state() == QAbstractSocket::ConnectedState; });
    }

    // The remote page on a running match, its buttons named after the players.
    void openRemote()
    {
        startServer();
        match.timer().bPlayClick();
        publishMatch();
        ASSERT_TRUE(open(url(QStringLiteral("/remote"))));
        EXPECT_EQ(waitForText(text("point2"), QStringLiteral("Punkt Seles")), QStringLiteral("Punkt Seles"));
    }

    // Sends a DevTools command and waits for its answer; empty when none came.
    QJsonObject call(const QString &method, const QJsonObject &params)
    {
        const int id = nextId++;
        devtools.sendTextMessage(QString::fromUtf8(QJsonDocument(QJsonObject{
            {QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}})
                                                       .toJson(QJsonDocument::Compact)));
        waitFor([&] { return replies.contains(id); });
        return replies.take(id);
    }

    QString evaluate(const QString &expression)
    {
        const QJsonObject reply = call(QStringLiteral("Runtime.evaluate"),
                                       QJsonObject{{QStringLiteral("expression"), QStringLiteral("String(%1)").arg(expression)},
                                                   {QStringLiteral("returnByValue"), true}});
        if (reply.isEmpty())
            return QStringLiteral("<no answer>");
        return reply[QStringLiteral("result")].toObject()[QStringLiteral("result")].toObject()[QStringLiteral("value")].toString();
    }

    // The page's text for expression once it equals expected, or the last text seen.
    QString waitForText(const QString &expression, const QString &expected)
    {
        QString seen;
        waitFor([&] { return (seen = evaluate(expression)) == expected; }, 10'000);
        return seen;
    }

    // The cells of a side's row, serve mark, name, games per set and points apart.
    static QString row(int side)
    {
        return QStringLiteral("Array.from(document.querySelectorAll('#side%1 td')).map(c => c.textContent).join('|')").arg(side);
    }

    void pairRemote()
    {
        evaluate(QStringLiteral("document.getElementById('pin').value = '424242'"));
        evaluate(QStringLiteral("document.getElementById('pair').click()"));
        ASSERT_TRUE(waitFor([this] { return server.devices().size() == 1; }, 10'000));
        EXPECT_EQ(waitForText(QStringLiteral("document.body.classList.contains('paired')"), QStringLiteral("true")),
                  QStringLiteral("true"));
    }

    static QString text(const char *id) { return QStringLiteral("document.getElementById('%1').textContent").arg(QLatin1String(id)); }

    QTemporaryDir profile;
    QProcess browser;
    QWebSocket devtools;
    QHash<int, QJsonObject> replies;
    QList<QJsonObject> events;
    int nextId = 1;
};

TEST_F(OverlayBrowserTest, ShowsThePushedStateAndReconnectsByItself)
{
    if (!QFileInfo::exists(kChromium))
        GTEST_SKIP() << "no " << kChromium.toStdString() << " here; apt-get install chromium to run the overlay in a browser";
    startServer();
    match.timer().bPlayClick();
    match.score().mSchet1Click();
    publishMatch();
    ASSERT_TRUE(open(url(QStringLiteral("/overlay?scale=1.5&fg=ff0000&bg=red;}body{color:blue"))));

    EXPECT_EQ(waitForText(text("name1"), QStringLiteral("Graf")), QStringLiteral("Graf"));
    EXPECT_EQ(evaluate(text("name2")), QStringLiteral("Seles"));
    EXPECT_EQ(evaluate(text("points1")), QStringLiteral("15"));
    EXPECT_EQ(evaluate(QStringLiteral("document.querySelector('#side1 .serve').classList.contains('serving')")),
              QStringLiteral("true"));
    EXPECT_EQ(evaluate(QStringLiteral("getComputedStyle(document.body).backgroundColor")),
              QStringLiteral("rgba(0, 0, 0, 0)"));
    EXPECT_EQ(evaluate(QStringLiteral("getComputedStyle(document.getElementById('bug')).color")),
              QStringLiteral("rgb(255, 0, 0)"));
    EXPECT_EQ(evaluate(QStringLiteral("getComputedStyle(document.getElementById('bug')).transform")),
              QStringLiteral("matrix(1.5, 0, 0, 1.5, 0, 0)"));

    match.score().mSchet1Click();
    match.score().mSchet1Click();
    publishMatch();
    EXPECT_EQ(waitForText(text("points1"), QStringLiteral("40")), QStringLiteral("40"));

    // The board restarts its feed: the overlay finds it again without a reload.
    const quint16 port = server.port();
    server.stop();
    EXPECT_EQ(waitForText(QStringLiteral("document.getElementById('bug').className"), QStringLiteral("offline")),
              QStringLiteral("offline"));
    FeedServer::Options options;
    options.port = port;
    ASSERT_TRUE(server.start(options)) << server.errorText().toStdString();
    match.score().mSchet2Click();
    publishMatch();
    EXPECT_EQ(waitForText(text("points2"), QStringLiteral("15")), QStringLiteral("15"));
    EXPECT_EQ(evaluate(text("set1-1")), QStringLiteral("0"));
}

TEST_F(OverlayBrowserTest, RemotePagePairsOnceKeepsGamesAndPointsApartAndSaysWhenTheBoardIsGone)
{
    if (!QFileInfo::exists(kChromium))
        GTEST_SKIP() << "no " << kChromium.toStdString() << " here; apt-get install chromium to run the remote in a browser";
    ASSERT_NO_FATAL_FAILURE(openRemote());

    evaluate(QStringLiteral("document.getElementById('pin').value = '000000'"));
    evaluate(QStringLiteral("document.getElementById('pair').click()"));
    EXPECT_EQ(waitForText(text("status"), QStringLiteral("Falsche PIN")).toStdString(), "Falsche PIN");
    EXPECT_TRUE(server.devices().isEmpty());

    ASSERT_NO_FATAL_FAILURE(pairRemote());
    evaluate(QStringLiteral("document.getElementById('point2').click()"));
    ASSERT_TRUE(waitFor([&] { return commands.size() == 1; }, 10'000));
    EXPECT_EQ(commands[0], (FeedCommand{FeedCommand::Kind::Point, 2}));
    EXPECT_EQ(waitForText(row(2), QStringLiteral("|Seles|0|15")).toStdString(), "|Seles|0|15");
    EXPECT_EQ(evaluate(row(1)).toStdString(), "\u25CF|Graf|0|0");

    // A change made at the board reaches the phone by push.
    match.score().mSchet1Click();
    publishMatch();
    EXPECT_EQ(waitForText(row(1), QStringLiteral("\u25CF|Graf|0|15")).toStdString(), "\u25CF|Graf|0|15");

    // The board's feed goes away and comes back: the page says so, then goes on by itself.
    const quint16 port = server.port();
    server.stop();
    const QString offline = QStringLiteral("getComputedStyle(document.getElementById('offline')).display");
    EXPECT_EQ(waitForText(offline, QStringLiteral("block")).toStdString(), "block");
    FeedServer::Options options;
    options.port = port;
    options.pin = QStringLiteral("424242");
    ASSERT_TRUE(server.start(options)) << server.errorText().toStdString();
    publishMatch();
    EXPECT_EQ(waitForText(offline, QStringLiteral("none")).toStdString(), "none");
    evaluate(QStringLiteral("document.getElementById('point1').click()"));
    ASSERT_TRUE(waitFor([&] { return commands.size() == 2; }, 10'000)) << "the token outlives a restart on the same PIN";
    EXPECT_EQ(waitForText(row(1), QStringLiteral("\u25CF|Graf|0|30")).toStdString(), "\u25CF|Graf|0|30");
}

} // namespace

namespace {

// The answer to a command can reach the phone after a newer state pushed by the board; the
// page keeps the newer score.
TEST_F(OverlayBrowserTest, RemotePageKeepsANewerPushOverALateCommandAnswer)
{
    if (!QFileInfo::exists(kChromium))
        GTEST_SKIP() << "no " << kChromium.toStdString() << " here; apt-get install chromium to run the remote in a browser";
    ASSERT_NO_FATAL_FAILURE(openRemote());
    // The browser holds the command's answer until the test lets it through.
    call(QStringLiteral("Fetch.enable"),
         QJsonObject{{QStringLiteral("patterns"), QJsonArray{QJsonObject{{QStringLiteral("urlPattern"), QStringLiteral("*/command*")},
                                                                          {QStringLiteral("requestStage"), QStringLiteral("Response")}}}}});
    ASSERT_NO_FATAL_FAILURE(pairRemote());
    evaluate(QStringLiteral("document.getElementById('point2').click()"));
    const auto paused = [this] {
        for (const QJsonObject &event : events) {
            if (event[QStringLiteral("method")] == QStringLiteral("Fetch.requestPaused"))
                return event[QStringLiteral("params")].toObject()[QStringLiteral("requestId")].toString();
        }
        return QString();
    };
    ASSERT_TRUE(waitFor([&] { return !paused().isEmpty(); }, 10'000));
    const QString score = row(1) + QStringLiteral(" + '/' + ") + row(2);
    const QString afterPoint = QStringLiteral("\u25CF|Graf|0|0/|Seles|0|15");
    EXPECT_EQ(waitForText(score, afterPoint).toStdString(), afterPoint.toStdString()); // by push

    match.score().mSchet1Click();
    publishMatch();
    const QString afterBoard = QStringLiteral("\u25CF|Graf|0|15/|Seles|0|15");
    ASSERT_EQ(waitForText(score, afterBoard).toStdString(), afterBoard.toStdString());

    evaluate(QStringLiteral("document.getElementById('status').textContent = 'waiting'"));
    call(QStringLiteral("Fetch.continueRequest"), QJsonObject{{QStringLiteral("requestId"), paused()}});
    ASSERT_EQ(waitForText(text("status"), QString()).toStdString(), ""); // the answer was taken
    EXPECT_EQ(evaluate(score).toStdString(), afterBoard.toStdString());
}

} // namespace
