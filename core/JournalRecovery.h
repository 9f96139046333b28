#pragma once

#include "core/JournalFormat.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What the board finds at its start in the journal folder: the match to restore when the
// last run did not end normally, and where a damaged journal was put so that the new
// journal does not overwrite it.
struct JournalRecovery
{
    static QString journalPath(const QString &folder);

    // Reads folder/journal.txt. A file that is not a clean journal (cut off, garbage, a
    // newer version, unreadable, ...) is renamed to journal-damaged-<yyyyMMdd-HHmmss>.txt;
    // the valid prefix of an unfinished run is still restored.
    static JournalRecovery inspect(const QString &folder, const QDateTime &now);
    // Renames folder/journal.txt to a free journal-damaged-... name; its new path, or empty.
    static QString putAside(const QString &folder, const QDateTime &now);

    QList<JournalRecord> toRestore;
    QString matchId;
    int badLine = 0;
    JournalFormat::ReadResult::Status status = JournalFormat::ReadResult::Status::Missing;
    QString keptAs;          // the damaged file's new path; empty when none was kept
    bool keepFailed = false; // a damaged file could not be moved aside
};
