#pragma once

#include "core/JournalRecord.h"

#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// The journal on disk, append-only. Each record is handed to the operating system at once
// (QFile::flush), so it outlives a crash of the program; the sync to the disk itself, which
// may take milliseconds, runs from a short single-shot timer that gathers the records of a
// burst into one sync, so no command waits for the disk.
class JournalFile : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSyncDelayMs = 200;

    explicit JournalFile(QObject *parent = nullptr);
    ~JournalFile() override;

    // Starts a new journal at path (replacing what is there) with the header and the given
    // records, which is how a restored match carries on in a fresh file.
    bool open(const QString &path, const QList<JournalRecord> &records = {});
    bool isOpen() const { return file_.isOpen(); }
    QString errorString() const { return file_.errorString(); }
    qsizetype recordCount() const { return count_; }
    bool syncPending() const { return syncTimer_.isActive(); }

    void append(const JournalRecord &record);
    // The normal close: the end record tells the next start there is nothing to restore.
    void close(std::uint32_t elapsedMs);
    // Syncs now what is still waiting for the timer.
    void sync();

signals:
    // Writing or syncing failed; the board goes on, the journal may be incomplete.
    void failed(const QString &message);

private:
    void write(const QByteArray &bytes);

    QFile file_;
    QTimer syncTimer_;
    qsizetype count_ = 0;
};
