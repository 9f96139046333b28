#include "core/JournalFile.h"

#include "core/JournalFormat.h"
#include "platform/FileSync.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace {
qint64 &spaceForTests()
{
    static qint64 space = -1;
    return space;
}

// What the stand-in disk lets through of `size` bytes; the rest fails as ENOSPC does.
qint64 allowed(qint64 size)
{
    qint64 &space = spaceForTests();
    if (space < 0)
        return size;
    const qint64 n = std::min(space, size);
    space -= n;
    return n;
}
} // namespace

JournalFile::JournalFile(QObject *parent) : QObject(parent)
{
    syncTimer_.setSingleShot(true);
    syncTimer_.setInterval(kSyncDelayMs);
    connect(&syncTimer_, &QTimer::timeout, this, &JournalFile::sync);
    retryTimer_.setInterval(kRetryMs);
    connect(&retryTimer_, &QTimer::timeout, this, &JournalFile::flushPending);
}

JournalFile::~JournalFile()
{
    // Without close() the run did not end normally; what was written stays as it is.
    flushPending();
    sync();
}

void JournalFile::setSpaceForTests(qint64 bytes)
{
    spaceForTests() = bytes;
}

QString JournalFile::reasonOf(int error, const QString &fallback)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("Datenträger voll");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("keine Schreibrechte");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Ordner fehlt");
    default:
        return fallback.isEmpty() ? QStringLiteral("Schreibfehler") : fallback;
    }
}

bool JournalFile::open(const QString &path, const QList<JournalRecord> &records, const QString &matchId)
{
    file_.close();
    path_ = path;
    count_ = 0;
    header_ = JournalFormat::header(matchId);
    pending_ = header_;
    for (const JournalRecord &r : records) {
        if (JournalFormat::hasLine(r))
            pending_ += JournalFormat::line(r, ++count_);
    }
    rewrite_ = true;
    onDisk_ = 0;
    flushPending();
    sync();
    return !isBehind();
}

bool JournalFile::reopen(const QString &path, qsizetype lines)
{
    file_.close();
    path_ = path;
    count_ = lines;
    pending_.clear();
    rewrite_ = false;
    onDisk_ = QFileInfo(path).size();
    flushPending();
    return !isBehind();
}

void JournalFile::append(const JournalRecord &record)
{
    if (!isOpen() || !JournalFormat::hasLine(record))
        return;
    pending_ += JournalFormat::line(record, ++count_);
    // While failing, the retry timer writes; a write per record would only fail again.
    if (!retryTimer_.isActive())
        flushPending();
    // The running clock's time is worth no disk sync of its own; the next command's takes it.
    if (!syncTimer_.isActive() && file_.isOpen() && record.type != JournalRecord::Type::Clock)
        syncTimer_.start();
}

bool JournalFile::close(std::uint32_t elapsedMs)
{
    if (!isOpen())
        return false;
    append(JournalRecord::end(elapsedMs));
    flushPending();
    sync();
    const bool whole = !isBehind();
    file_.close();
    retryTimer_.stop();
    path_.clear();
    return whole;
}

void JournalFile::sync()
{
    syncTimer_.stop();
    if (file_.isOpen() && !isBehind() && !syncToDisk(file_))
        setFailure(reasonOf(errno, file_.errorString()));
}

void JournalFile::flushPending()
{
    if (!isOpen() || pending_.isEmpty()) {
        retryTimer_.stop();
        return;
    }
    if (rewrite_ ? writeWhole() : writeTail()) {
        retryTimer_.stop();
        setFailure(QString());
    } else if (!retryTimer_.isActive()) {
        retryTimer_.start();
    }
}

QString JournalFile::writeWholeFile(const QString &path, const QByteArray &bytes)
{
    // Unbuffered: a buffered QSaveFile commits a file whose last flush failed on a full disk.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return reasonOf(errno, out.errorString());
    const qint64 n = allowed(bytes.size());
    const qint64 written = n < bytes.size() ? -1 : out.write(bytes);
    const int error = n < bytes.size() ? ENOSPC : errno;
    if (written != bytes.size()) {
        out.cancelWriting();
        return reasonOf(error, out.errorString());
    }
    if (!out.commit())
        return reasonOf(errno, out.errorString());
    return QString();
}

bool JournalFile::writeWhole()
{
    // A folder removed while the board runs is made again rather than given up.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (const QString failure = writeWholeFile(path_, pending_); !failure.isEmpty()) {
        setFailure(failure);
        return false;
    }
    onDisk_ = pending_.size();
    pending_.clear();
    rewrite_ = false;
    file_.close();
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        setFailure(reasonOf(errno, file_.errorString()));
    return true;
}

bool JournalFile::writeTail()
{
    if (!file_.isOpen()) {
        QDir().mkpath(QFileInfo(path_).absolutePath());
        file_.setFileName(path_);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            setFailure(reasonOf(errno, file_.errorString()));
            return false;
        }
    }
    // A failed write may have left part of a line; it goes before the lines follow.
    if (file_.size() != onDisk_ && !file_.resize(onDisk_)) {
        setFailure(reasonOf(errno, file_.errorString()));
        return false;
    }
    const qint64 n = allowed(pending_.size());
    const qint64 written = file_.write(pending_.constData(), n);
    const int error = written < 0 ? errno : ENOSPC;
    if (written == pending_.size()) {
        onDisk_ += written;
        pending_.clear();
        return true;
    }
    file_.resize(onDisk_);
    setFailure(reasonOf(error, file_.errorString()));
    return false;
}

void JournalFile::setFailure(const QString &failure)
{
    if (failure == failure_)
        return;
    failure_ = failure;
    emit stateChanged(failure_);
}
