#pragma once

#include "feed/FeedServer.h"
#include "feed/ScoreDocument.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

class BoardModel;
class TickSource;
struct BoardSettings;
struct FeedCommand;

// The live score feed of one board: it publishes every change of the board model to the
// feed's clients and text files, and runs the clients' commands through the model as the
// operator's keys run. The text files are written on a thread of their own.
class FeedPublisher : public QObject
{
    Q_OBJECT

public:
    FeedPublisher(BoardModel &model, const TickSource &ticks, QObject *parent = nullptr);
    ~FeedPublisher() override;

    // The feed's values of the settings; applying starts or stops the feed to match.
    void apply(const BoardSettings &settings);
    void store(BoardSettings &settings) const;

    bool isOn() const { return on_; }
    bool onNetwork() const { return net_; }
    int port() const { return port_; }
    bool writesFiles() const { return files_; }
    // Where the text files go now.
    QString filesFolder() const;

    void setOn(bool on);
    void setOnNetwork(bool on);
    // A port outside what the feed may listen on is refused: false, and the port stays.
    bool setPort(int port);
    void setWritesFiles(bool on);
    void setFilesFolder(const QString &folder);

    FeedServer &server() { return server_; }
    // What the feed is doing, in words.
    QString statusText() const;
    // What the operator must hear of with the strip closed: a feed switched on that could not
    // start, text files not written. Empty while all is well.
    QString noticeText() const;

signals:
    void statusChanged();
    // A state's text files were written (or failed, errorText telling why), on this thread.
    void filesWritten(bool ok, const QString &errorText);

private:
    // Once per turn of the event loop, however many parts of the board changed.
    void changed();
    void publish();
    void restart();
    void run(const FeedCommand &command);
    static QString networkAddress();

    BoardModel &model_;
    FeedServer server_;
    ScoreDocument document_;
    bool changeQueued_ = false;
    bool on_ = false;
    bool net_ = false;
    bool files_ = false;
    int port_;
    QString folder_;
    QString pin_;
    QString host_;
    QString filesError_;
    QThread filesThread_;
    QObject *filesWorker_ = nullptr;
    struct FilesState;
    std::shared_ptr<FilesState> filesState_;
};
