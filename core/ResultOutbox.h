#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <map>

// The results of decided matches on their way to the tournament's broker, one file a match
// in the data folder's outbox (outbox/<match id>.json): each stays until the broker has it,
// through broker downtime and restarts of the board. An empty file is a clear of a result
// that an undo took back.
class ResultOutbox
{
public:
    struct Entry
    {
        QString id;
        // The result document, or empty for a clear.
        QByteArray payload;
        bool operator==(const Entry &) const = default;
    };

    // Reads what an earlier run left in <dataFolder>/outbox.
    explicit ResultOutbox(const QString &dataFolder);

    QString folder() const { return folder_; }
    // The match's result, or its clear, replaces whatever of it waits. False when its file
    // could not be written (problemText says why); it still waits, in memory only.
    bool put(const QString &id, const QByteArray &payload);
    // The broker has this payload of the match; a newer one put meanwhile still waits.
    void delivered(const QString &id, const QByteArray &payload);
    // In the order the matches were put.
    QList<Entry> waiting() const;
    qsizetype size() const { return waiting_.size(); }
    // What could not be kept on disk, in the board's words; empty when everything is.
    const QString &problemText() const { return problem_; }

    // Ids as the journal makes them; anything else is no file name of ours.
    static bool isMatchId(const QString &id);

private:
    QString pathOf(const QString &id) const;

    QString folder_;
    // Ordered by a running number, so that the oldest result goes first.
    std::map<QString, std::pair<quint64, QByteArray>> waiting_;
    quint64 next_ = 0;
    QString problem_;
};
