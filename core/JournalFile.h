#pragma once

#include "core/JournalRecord.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// The journal on disk, append-only. Each record is handed to the operating system at once
// (an unbuffered write, its result checked), so it outlives a crash of the program; the sync
// to the disk itself, which may take milliseconds, runs from a short single-shot timer that
// gathers the records of a burst into one sync, so no command waits for the disk.
//
// A write that fails (disk full, no rights, folder gone) loses nothing: the bytes not yet on
// disk stay in memory, the file is cut back to its last whole line, and a timer tries again
// until the journal has caught up. A new journal is written whole to a temporary file and
// renamed into place, so no moment leaves a half file where the journal was.
class JournalFile : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSyncDelayMs = 200;
    static constexpr int kRetryMs = 1000;

    explicit JournalFile(QObject *parent = nullptr);
    ~JournalFile() override;

    // Starts a new journal at path (replacing what is there) with the header and the given
    // records, which is how a restored match carries on in a fresh file. False when it is
    // not on disk yet; it then follows as soon as writing works.
    bool open(const QString &path, const QList<JournalRecord> &records = {}, const QString &matchId = {});
    // Carries on a journal that is whole on disk and holds `lines` record lines.
    bool reopen(const QString &path, qsizetype lines);
    bool isOpen() const { return !path_.isEmpty(); }
    // True while something written is not on disk yet.
    bool isBehind() const { return !pending_.isEmpty(); }
    const QString &path() const { return path_; }
    // Why the last write failed, in the board's words; empty when writing works.
    const QString &failure() const { return failure_; }
    qsizetype recordCount() const { return count_; }
    bool syncPending() const { return syncTimer_.isActive(); }

    void append(const JournalRecord &record);
    // The normal close: the end record tells the next start there is nothing to restore.
    // False when the end record could not be written.
    bool close(std::uint32_t elapsedMs);
    // Syncs now what is still waiting for the timer.
    void sync();

    // Tests stand in for a full disk: from now on at most `bytes` more reach the files,
    // the rest fails as a full disk would; -1 lifts the limit.
    static void setSpaceForTests(qint64 bytes);

    // Writes a file whole through a temporary file and a rename; the reason in the board's
    // words when it failed, and then the old file (if any) is as it was.
    static QString writeWholeFile(const QString &path, const QByteArray &bytes);

    // The board's words for a failed write's system error.
    static QString reasonOf(int error, const QString &fallback);

signals:
    // Writing started failing (the reason in the board's words), or, with an empty reason,
    // works again and everything kept is on disk.
    void stateChanged(const QString &failure);

private:
    void flushPending();
    bool writeWhole();
    bool writeTail();
    void setFailure(const QString &failure);

    QString path_;
    QFile file_;
    QByteArray header_;
    // Bytes not yet on disk; when rewrite_ is set, the whole file is to be written again.
    QByteArray pending_;
    bool rewrite_ = false;
    qint64 onDisk_ = 0; // the file's size up to its last whole line
    QTimer syncTimer_;
    QTimer retryTimer_;
    QString failure_;
    qsizetype count_ = 0;
};
