#include "feed/FeedPublisher.h"

#include "core/BoardModel.h"
#include "core/BoardSettings.h"
#include "feed/FeedCommand.h"
#include "feed/ScoreFiles.h"

#include <QNetworkInterface>

#include <algorithm>

// Touched on the files thread only, but for the folder the board asks for with each state.
struct FeedPublisher::FilesState
{
    std::unique_ptr<ScoreFiles> files;
};

FeedPublisher::FeedPublisher(BoardModel &model, const TickSource &ticks, QObject *parent)
    : QObject(parent), model_(model), server_(ticks), port_(FeedServer::kDefaultPort),
      filesState_(std::make_shared<FilesState>())
{
    // A slow or full disk holds up the files, not the board.
    filesWorker_ = new QObject;
    filesWorker_->moveToThread(&filesThread_);
    connect(&filesThread_, &QThread::finished, filesWorker_, &QObject::deleteLater);
    filesThread_.setObjectName(QStringLiteral("feed files"));
    filesThread_.start();

    connect(&model_, &BoardModel::shownStateChanged, this, &FeedPublisher::changed);
    // Direct: the command's reply carries the state it left.
    connect(&server_, &FeedServer::commandReceived, this, &FeedPublisher::run, Qt::DirectConnection);
    connect(&server_, &FeedServer::devicesChanged, this, &FeedPublisher::statusChanged);
}

FeedPublisher::~FeedPublisher()
{
    filesThread_.quit();
    filesThread_.wait();
}

void FeedPublisher::apply(const BoardSettings &s)
{
    port_ = FeedServer::isUsablePort(s.FeedPort) ? s.FeedPort : FeedServer::kDefaultPort;
    on_ = s.Feed;
    net_ = s.FeedNet;
    files_ = s.FeedFiles;
    folder_ = s.FeedFolder;
    pin_ = s.FeedPin;
    host_ = s.FeedHost;
    filesError_.clear();
    restart();
}

void FeedPublisher::store(BoardSettings &s) const
{
    s.Feed = on_;
    s.FeedPort = port_;
    s.FeedNet = net_;
    s.FeedFiles = files_;
    s.FeedFolder = folder_;
    s.FeedPin = pin_;
    s.FeedHost = host_;
}

QString FeedPublisher::filesFolder() const
{
    return folder_.isEmpty() ? ScoreFiles::defaultFolder() : folder_;
}

void FeedPublisher::setOn(bool on)
{
    if (on == on_)
        return;
    on_ = on;
    restart();
}

void FeedPublisher::setOnNetwork(bool on)
{
    if (on == net_)
        return;
    net_ = on;
    if (server_.isRunning())
        restart();
    else
        emit statusChanged();
}

bool FeedPublisher::setPort(int port)
{
    if (!FeedServer::isUsablePort(port))
        return false;
    if (port != port_) {
        port_ = port;
        if (on_)
            restart();
    }
    return true;
}

void FeedPublisher::setWritesFiles(bool on)
{
    files_ = on;
    filesError_.clear();
    if (on)
        publish();
    emit statusChanged();
}

void FeedPublisher::setFilesFolder(const QString &folder)
{
    if (folder.isEmpty() || folder == filesFolder())
        return;
    folder_ = folder;
    filesError_.clear();
    publish();
    emit statusChanged();
}

void FeedPublisher::restart()
{
    server_.stop();
    if (on_) {
        FeedServer::Options options;
        options.port = quint16(port_);
        options.allInterfaces = net_;
        options.pin = pin_;
        options.hostName = host_;
        if (server_.start(options))
            server_.publish(document_.update(model_));
    }
    publish();
    emit statusChanged();
}

void FeedPublisher::changed()
{
    if (changeQueued_ || (!server_.isRunning() && !files_))
        return;
    changeQueued_ = true;
    QMetaObject::invokeMethod(this, &FeedPublisher::publish, Qt::QueuedConnection);
}

void FeedPublisher::publish()
{
    changeQueued_ = false;
    if (!server_.isRunning() && !files_)
        return;
    const QJsonObject &state = document_.update(model_);
    if (server_.isRunning())
        server_.publish(state);
    if (!files_)
        return;
    QMetaObject::invokeMethod(filesWorker_, [this, files = filesState_, folder = filesFolder(), state] {
        if (!files->files || files->files->folder() != folder)
            files->files = std::make_unique<ScoreFiles>(folder);
        const bool ok = files->files->write(state);
        const QString error = files->files->errorText();
        // Back on the board's thread; dropped if the board has gone meanwhile.
        QMetaObject::invokeMethod(this, [this, ok, error] {
            if (error != filesError_) {
                filesError_ = error;
                emit statusChanged();
            }
            emit filesWritten(ok, error);
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void FeedPublisher::run(const FeedCommand &c)
{
    using Kind = FeedCommand::Kind;
    switch (c.kind) {
    case Kind::Point:
        model_.execute(MatchCommand::point(c.side));
        break;
    case Kind::Undo:
        model_.execute(MatchCommand::of(MatchCommand::Kind::Undo));
        break;
    case Kind::Redo:
        model_.execute(MatchCommand::of(MatchCommand::Kind::Redo));
        break;
    case Kind::Serve:
        model_.execute(MatchCommand::of(MatchCommand::Kind::Serve));
        break;
    case Kind::Pause:
        model_.execute(MatchCommand::of(MatchCommand::Kind::Play));
        break;
    case Kind::Game: {
        // The board's game key has no side; a left click on the side's games figure has.
        const MatchScore &score = model_.score();
        const int set = std::clamp(score.CurrentSet(), 1, score.setCount());
        model_.execute(MatchCommand::gamesCorrection(MatchScore::gamesEntry(c.side, set), Qt::LeftButton));
        break;
    }
    case Kind::Set:
        model_.execute(MatchCommand::of(MatchCommand::Kind::NextSet));
        break;
    }
    // Now rather than at the end of the turn: the reply carries the new state.
    publish();
}

QString FeedPublisher::networkAddress()
{
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    const auto lan = std::find_if(all.begin(), all.end(), [](const QHostAddress &a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() && !a.isLinkLocal();
    });
    return lan != all.end() ? lan->toString() : QStringLiteral("127.0.0.1");
}

QString FeedPublisher::statusText() const
{
    QString text;
    if (!on_)
        text = QStringLiteral("Aus");
    else if (!server_.isRunning())
        text = server_.errorText() + QStringLiteral(" \u2013 ohne Feed");
    else
        text = QStringLiteral("http://%1:%2  PIN %3")
                   .arg(net_ ? networkAddress() : QStringLiteral("127.0.0.1"))
                   .arg(server_.port())
                   .arg(server_.pin());
    if (files_ && !filesError_.isEmpty())
        text += QStringLiteral("  Dateien: ") + filesError_;
    return text;
}

QString FeedPublisher::noticeText() const
{
    QStringList lines;
    if (on_ && !server_.isRunning())
        lines << QStringLiteral("Feed: ") + server_.errorText() + QStringLiteral(" \u2013 ohne Feed");
    if (files_ && !filesError_.isEmpty())
        lines << QStringLiteral("Feed-Dateien: ") + filesError_;
    return lines.join(u'\n');
}
