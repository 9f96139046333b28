#include "core/JournalRecovery.h"

#include <QDir>
#include <QFile>

QString JournalRecovery::journalPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("journal.txt"));
}

JournalRecovery JournalRecovery::inspect(const QString &folder, const QDateTime &now)
{
    using Status = JournalFormat::ReadResult::Status;
    JournalRecovery out;
    const QString path = journalPath(folder);
    JournalFormat::ReadResult read = JournalFormat::readFile(path);
    out.status = read.status;
    out.matchId = read.matchId;
    out.badLine = read.badLine;
    if (!read.endedNormally())
        out.toRestore = std::move(read.records);
    if (read.status == Status::Ok || read.status == Status::Missing)
        return out;

    out.keptAs = putAside(folder, now);
    out.keepFailed = out.keptAs.isEmpty();
    return out;
}

QString JournalRecovery::putAside(const QString &folder, const QDateTime &now)
{
    const QString path = journalPath(folder);
    const QDir dir(folder);
    const QString stem = QStringLiteral("journal-damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = dir.filePath(stem + QStringLiteral(".txt"));
    for (int n = 2; QFile::exists(target) && n < 1000; ++n)
        target = dir.filePath(stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".txt"));
    if (!QFile::exists(target) && QFile::rename(path, target))
        return target;
    return QString();
}
