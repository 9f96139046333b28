#pragma once

#include "core/BoardSettings.h"
#include "feed/FeedServer.h"
#include "feed/ScoreDocument.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <array>
#include <functional>
#include <memory>

class BoardJournal;
class ConfigStrip;
class FeedStrip;
class Match;
class QLineEdit;
class QWidget;
class TickSource;
struct FeedCommand;
struct MatchCommand;

// The board's side of the live score feed: it publishes every change of the board, keeps
// the text files, runs the feed's commands as the operator's keys run, and drives the
// feed's row of the strip. File writing happens on a thread of its own.
class BoardFeed : public QObject
{
    Q_OBJECT

public:
    struct Board
    {
        Match &match;
        BoardJournal &journal;
        // The names as the board shows them.
        std::array<QLineEdit *, 2> names;
        // The keys' own path: journalled, undoable.
        std::function<void(const MatchCommand &)> run;
        // What the Pause key does.
        std::function<void()> pause;
    };

    BoardFeed(QWidget &window, ConfigStrip &strip, const TickSource &ticks, Board board);
    ~BoardFeed() override;

    // The feed's values of the settings; applying starts or stops the feed to match.
    void apply(const BoardSettings &settings);
    void store(BoardSettings &settings) const;

    FeedServer &server() { return server_; }
    FeedStrip &row() { return *row_; }
    QString statusText() const;
    // Where the text files go now.
    QString filesFolder() const;

signals:
    // A state's text files were written (or failed, errorText telling why), on this thread.
    void filesWritten(bool ok, const QString &errorText);

private:
    void wireRow();
    // Once per turn of the event loop, however many parts of the board changed.
    void changed();
    void publish();
    void restart();
    void run(const FeedCommand &command);
    void chooseFolder();
    void showStatus();
    static QString networkAddress();

    QWidget &window_;
    Board board_;
    std::unique_ptr<FeedStrip> row_;
    FeedServer server_;
    ScoreDocument document_;
    bool changeQueued_ = false;
    QString elapsedShown_;
    int port_ = FeedServer::kDefaultPort;
    QString folder_;
    QString pin_;
    QString filesError_;
    QThread filesThread_;
    QObject *filesWorker_ = nullptr;
    struct FilesState;
    std::shared_ptr<FilesState> files_;
};
