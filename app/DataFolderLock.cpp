#include "app/DataFolderLock.h"

#include "app/Court.h"

#include <QDir>

DataFolderLock::DataFolderLock(const QString &folder)
    : folder_(QDir::toNativeSeparators(folder)), lock_(folder + u'/' + QLatin1String(kFileName))
{
    // A board that hangs still refreshes nothing, so age alone must not free its folder:
    // only a lock whose process is gone is stale.
    lock_.setStaleLockTime(0);
}

bool DataFolderLock::take()
{
    QDir().mkpath(QDir::fromNativeSeparators(folder_));
    if (lock_.tryLock())
        return true;
    return lock_.error() != QLockFile::LockFailedError;
}

QString DataFolderLock::refusal(const Court &court) const
{
    qint64 pid = 0;
    QString host;
    QString app;
    lock_.getLockInfo(&pid, &host, &app);
    const int next = court.number() + 1;
    return QStringLiteral("Auf Platz %1 läuft schon eine Anzeigetafel (Programm %2) mit dem Datenordner\n%3\n\n"
                          "Eine zweite Tafel auf demselben Ordner würde deren Spiel überschreiben; "
                          "diese hier beendet sich, ohne etwas zu schreiben.\n\n"
                          "Für einen weiteren Platz starten Sie die Tafel mit „courtlyx --court %4“ "
                          "(eigene Einstellungen, eigener Datenordner, Feed-Port + %5).")
        .arg(court.number())
        .arg(pid)
        .arg(folder_)
        .arg(next)
        .arg(next - 1);
}
