#pragma once

#include "core/JournalRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The journal as text: a header line with the format version and, since the records name
// their match, the match's id; then one line per record,
//   <seq> <elapsed ms> <kind> [arguments] *<crc32 of what precedes " *">
// e.g. `7 61250 point 2 key *97fa3cac`. Texts are percent-encoded UTF-8 in quotes.
// The checksum tells a line torn by a power cut from a complete one.
namespace JournalFormat {

inline constexpr int kVersion = 1;
inline constexpr qsizetype kMaxLineBytes = 16 * 1024;
inline constexpr qsizetype kMaxFileBytes = 64 * 1024 * 1024;

struct ReadResult
{
    enum class Status {
        Ok,
        Missing,        // no file
        Unreadable,     // the file would not open
        Empty,          // not even a header
        NotAJournal,    // the first line is no journal header
        NewerVersion,   // written by a newer format; nothing is read
        CutOff,         // the last line is incomplete, as after a power cut
        Garbage,        // a complete line that is no valid record
        LineTooLong,
        TooLarge,       // the file is above the size bound; only its start was read
    };

    QList<JournalRecord> records; // the valid prefix
    Status status = Status::Ok;
    int badLine = 0; // 1-based line of the problem, 0 when there is none
    int version = 0;
    QString matchId; // empty in a journal written before matches had one

    bool endedNormally() const
    {
        return !records.isEmpty() && records.constLast().type == JournalRecord::Type::End;
    }
};

QByteArray header(const QString &matchId = {});
// What an id may hold: it names the record files too.
bool isMatchId(QByteArrayView id);
// The set-up commands have no line: write() leaves them out, and line() is not for them.
bool hasLine(const JournalRecord &record);
// One record's line, newline included; seq counts records from 1.
QByteArray line(const JournalRecord &record, qsizetype seq);
QByteArray write(const QList<JournalRecord> &records, const QString &matchId = {});
// A record line's body with its checksum and newline.
QByteArray seal(QByteArrayView body);

ReadResult read(QByteArrayView bytes);
ReadResult readFile(const QString &path);

QString statusText(ReadResult::Status status);

} // namespace JournalFormat
