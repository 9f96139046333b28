#include "app/BoardFeed.h"

#include "app/BoardJournal.h"
#include "app/ConfigStrip.h"
#include "app/FeedStrip.h"
#include "feed/FeedCommand.h"
#include "feed/ScoreFiles.h"
#include "core/Match.h"
#include "core/MatchCommand.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>

#include <algorithm>

// Touched on the files thread only, but for the folder the board asks for with each state.
struct BoardFeed::FilesState
{
    std::unique_ptr<ScoreFiles> files;
};

BoardFeed::BoardFeed(QWidget &window, ConfigStrip &strip, const TickSource &ticks, Board board)
    : window_(window), board_(std::move(board)),
      row_(std::make_unique<FeedStrip>(window)), server_(ticks),
      files_(std::make_shared<FilesState>())
{
    strip.attach(row_->panel());
    row_->showPort(port_);
    // A slow or full disk holds up the files, not the board.
    filesWorker_ = new QObject;
    filesWorker_->moveToThread(&filesThread_);
    connect(&filesThread_, &QThread::finished, filesWorker_, &QObject::deleteLater);
    filesThread_.setObjectName(QStringLiteral("feed files"));
    filesThread_.start();

    MatchScore *score = &board_.match.score();
    MatchTimer *timer = &board_.match.timer();
    connect(score, &MatchScore::fieldChanged, this, &BoardFeed::changed);
    connect(score, &MatchScore::serverChanged, this, &BoardFeed::changed);
    connect(score, &MatchScore::tieBreakModeChanged, this, &BoardFeed::changed);
    connect(score, &MatchScore::setLeaderMarked, this, &BoardFeed::changed);
    connect(timer, &MatchTimer::phaseChanged, this, &BoardFeed::changed);
    // The timer restates its text five times a second; only a new second is a change.
    connect(timer, &MatchTimer::elapsedTextChanged, this, [this](const QString &text) {
        if (text == elapsedShown_)
            return;
        elapsedShown_ = text;
        changed();
    });
    // Options (set count, tie-break) change no field until play goes on.
    connect(&board_.journal.controller(), &MatchController::recorded, this, &BoardFeed::changed);
    for (QLineEdit *name : board_.names)
        connect(name, &QLineEdit::textChanged, this, &BoardFeed::changed);
    // Direct: the command's reply carries the state it left.
    connect(&server_, &FeedServer::commandReceived, this, &BoardFeed::run, Qt::DirectConnection);
    wireRow();
    showStatus();
}

BoardFeed::~BoardFeed()
{
    filesThread_.quit();
    filesThread_.wait();
}

void BoardFeed::wireRow()
{
    FeedStrip &r = *row_;
    connect(r.cbFeed(), &QCheckBox::toggled, this, &BoardFeed::restart);
    connect(r.cbNet(), &QCheckBox::toggled, this, [this] {
        if (server_.isRunning())
            restart();
    });
    connect(r.ePort(), &QLineEdit::editingFinished, this, [this] {
        const std::optional<int> typed = row_->typedPort();
        if (!typed) {
            row_->showPort(port_); // digits outside the range: the port stays
            return;
        }
        if (*typed == port_)
            return;
        port_ = *typed;
        if (row_->cbFeed()->isChecked())
            restart();
    });
    connect(r.cbFiles(), &QCheckBox::toggled, this, [this](bool on) {
        filesError_.clear();
        if (on)
            publish();
        showStatus();
    });
    connect(r.bFolder(), &QPushButton::clicked, this, &BoardFeed::chooseFolder);
}

void BoardFeed::apply(const BoardSettings &s)
{
    const QSignalBlocker blockFeed(row_->cbFeed());
    const QSignalBlocker blockNet(row_->cbNet());
    const QSignalBlocker blockFiles(row_->cbFiles());
    port_ = FeedStrip::isUsablePort(s.FeedPort) ? s.FeedPort : FeedServer::kDefaultPort;
    row_->showPort(port_);
    row_->cbFeed()->setChecked(s.Feed);
    row_->cbNet()->setChecked(s.FeedNet);
    row_->cbFiles()->setChecked(s.FeedFiles);
    folder_ = s.FeedFolder;
    pin_ = s.FeedPin;
    filesError_.clear();
    restart();
}

void BoardFeed::store(BoardSettings &s) const
{
    s.Feed = row_->cbFeed()->isChecked();
    s.FeedPort = port_;
    s.FeedNet = row_->cbNet()->isChecked();
    s.FeedFiles = row_->cbFiles()->isChecked();
    s.FeedFolder = folder_;
    s.FeedPin = pin_;
}

QString BoardFeed::filesFolder() const
{
    return folder_.isEmpty() ? ScoreFiles::defaultFolder() : folder_;
}

void BoardFeed::restart()
{
    server_.stop();
    if (row_->cbFeed()->isChecked()) {
        FeedServer::Options options;
        options.port = quint16(port_);
        options.allInterfaces = row_->cbNet()->isChecked();
        options.pin = pin_;
        if (server_.start(options))
            server_.publish(document_.update(board_.match, board_.names[0]->text(), board_.names[1]->text()));
    }
    publish();
    showStatus();
}

void BoardFeed::changed()
{
    if (changeQueued_ || (!server_.isRunning() && !row_->cbFiles()->isChecked()))
        return;
    changeQueued_ = true;
    QMetaObject::invokeMethod(this, &BoardFeed::publish, Qt::QueuedConnection);
}

void BoardFeed::publish()
{
    changeQueued_ = false;
    const bool files = row_->cbFiles()->isChecked();
    if (!server_.isRunning() && !files)
        return;
    const QJsonObject &state =
        document_.update(board_.match, board_.names[0]->text(), board_.names[1]->text());
    if (server_.isRunning())
        server_.publish(state);
    if (!files)
        return;
    QMetaObject::invokeMethod(filesWorker_, [this, files = files_, folder = filesFolder(), state] {
        if (!files->files || files->files->folder() != folder)
            files->files = std::make_unique<ScoreFiles>(folder);
        const bool ok = files->files->write(state);
        const QString error = files->files->errorText();
        // Back on the board's thread; dropped if the board has gone meanwhile.
        QMetaObject::invokeMethod(this, [this, ok, error] {
            if (error != filesError_) {
                filesError_ = error;
                showStatus();
            }
            emit filesWritten(ok, error);
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void BoardFeed::run(const FeedCommand &c)
{
    using Kind = FeedCommand::Kind;
    switch (c.kind) {
    case Kind::Point:
        board_.run(MatchCommand::point(c.side));
        break;
    case Kind::Undo:
        board_.run(MatchCommand::of(MatchCommand::Kind::Undo));
        break;
    case Kind::Redo:
        board_.run(MatchCommand::of(MatchCommand::Kind::Redo));
        break;
    case Kind::Serve:
        board_.run(MatchCommand::of(MatchCommand::Kind::Serve));
        break;
    case Kind::Pause:
        board_.pause();
        break;
    case Kind::Game: {
        // The board's game key has no side; a left click on the side's games figure has.
        const MatchScore &score = board_.match.score();
        const int set = std::clamp(score.CurrentSet(), 1, score.setCount());
        board_.run(MatchCommand::gamesCorrection(MatchScore::gamesEntry(c.side, set), Qt::LeftButton));
        break;
    }
    case Kind::Set:
        board_.run(MatchCommand::of(MatchCommand::Kind::NextSet));
        break;
    }
    // Now rather than at the end of the turn: the reply carries the new state.
    publish();
}

void BoardFeed::chooseFolder()
{
    // A child of the row: the strip counts the dialog as its own and stays open.
    const QString chosen = QFileDialog::getExistingDirectory(row_->panel(), QStringLiteral("Ordner für die Dateien"),
                                                             filesFolder());
    if (chosen.isEmpty() || chosen == filesFolder())
        return;
    folder_ = chosen;
    filesError_.clear();
    publish();
    showStatus();
}

QString BoardFeed::networkAddress()
{
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    const auto lan = std::find_if(all.begin(), all.end(), [](const QHostAddress &a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() && !a.isLinkLocal();
    });
    return lan != all.end() ? lan->toString() : QStringLiteral("127.0.0.1");
}

QString BoardFeed::statusText() const
{
    QString text;
    if (!row_->cbFeed()->isChecked())
        text = QStringLiteral("Aus");
    else if (!server_.isRunning())
        text = server_.errorText() + QStringLiteral(" \u2013 ohne Feed");
    else
        text = QStringLiteral("http://%1:%2  PIN %3")
                   .arg(row_->cbNet()->isChecked() ? networkAddress() : QStringLiteral("127.0.0.1"))
                   .arg(server_.port())
                   .arg(server_.pin());
    if (row_->cbFiles()->isChecked() && !filesError_.isEmpty())
        text += QStringLiteral("  Dateien: ") + filesError_;
    return text;
}

void BoardFeed::showStatus()
{
    row_->status()->setText(statusText());
    row_->status()->setToolTip(row_->cbFiles()->isChecked() ? QStringLiteral("Dateien in ") + filesFolder()
                                                            : QString());
}
