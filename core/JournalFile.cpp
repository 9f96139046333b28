#include "core/JournalFile.h"

#include "core/JournalFormat.h"
#include "platform/FileSync.h"

JournalFile::JournalFile(QObject *parent) : QObject(parent)
{
    syncTimer_.setSingleShot(true);
    syncTimer_.setInterval(kSyncDelayMs);
    connect(&syncTimer_, &QTimer::timeout, this, &JournalFile::sync);
}

JournalFile::~JournalFile()
{
    // Without close() the run did not end normally; what was written stays as it is.
    sync();
}

bool JournalFile::open(const QString &path, const QList<JournalRecord> &records)
{
    if (file_.isOpen())
        file_.close();
    count_ = 0;
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        emit failed(file_.errorString());
        return false;
    }
    QByteArray bytes = JournalFormat::header();
    for (const JournalRecord &r : records) {
        if (JournalFormat::hasLine(r))
            bytes += JournalFormat::line(r, ++count_);
    }
    write(bytes);
    sync();
    return file_.isOpen();
}

void JournalFile::append(const JournalRecord &record)
{
    if (!file_.isOpen() || !JournalFormat::hasLine(record))
        return;
    write(JournalFormat::line(record, ++count_));
    if (!syncTimer_.isActive())
        syncTimer_.start();
}

void JournalFile::close(std::uint32_t elapsedMs)
{
    if (!file_.isOpen())
        return;
    write(JournalFormat::line(JournalRecord::end(elapsedMs), ++count_));
    sync();
    file_.close();
}

void JournalFile::sync()
{
    syncTimer_.stop();
    if (file_.isOpen() && !syncToDisk(file_))
        emit failed(QStringLiteral("sync of %1 failed").arg(file_.fileName()));
}

void JournalFile::write(const QByteArray &bytes)
{
    if (file_.write(bytes) != bytes.size() || !file_.flush())
        emit failed(file_.errorString());
}
