#pragma once

#include "core/JournalFile.h"
#include "core/JournalRecord.h"

#include <QList>
#include <QObject>
#include <QString>

class Match;
class MatchController;

// The match journal of one board: every command that changes the match is appended to
// journal.txt in the folder before the board shows it. At the start it brings back a match
// the last run left without a normal end; a match left for good becomes a record file and a
// line of matches.csv in the folder's records.
class MatchJournal : public QObject
{
    Q_OBJECT

public:
    MatchJournal(Match &match, MatchController &controller, QString folder, QObject *parent = nullptr);
    ~MatchJournal() override;

    // The user's data folder (AppDataLocation) unless set; tests and the benchmark set it.
    static QString defaultFolder();
    static void setDefaultFolder(const QString &folder);
    // Without the file the commands still run through the journal, undo included; the
    // benchmark measures what the file costs.
    static void setFileKept(bool kept);

    const QString &folder() const { return folder_; }
    QString recordsFolder() const;
    QString recordsTable() const;

    bool isStarted() const { return started_; }
    // Runs the command through the controller and keeps it. Only valid after start().
    void execute(const MatchCommand &command);
    // Restores the unfinished run, if any, and opens the journal file. True when a match
    // was restored.
    bool start(const QString &titleFile);
    // "Beenden?" answered "Ja": the match is kept as a record and the journal ends.
    void end();

    const QList<JournalRecord> &records() const { return records_; }

signals:
    // Part of the match was not kept, or a damaged journal was put aside: in the board's
    // words, for the operator.
    void problem(const QString &text);

private:
    void report(const QString &text);
    void onRecorded(const JournalRecord &record);
    QList<JournalRecord> setupRecords() const;
    // Keeps records as a finished match when points were played in it.
    void keepAsMatch(const QList<JournalRecord> &records);

    Match &match_;
    MatchController &controller_;
    const QString folder_;
    JournalFile file_;
    QList<JournalRecord> records_;
    bool started_ = false;
    bool replaying_ = false;
    // The index in records_ of a confirmed reset that undo could still take back; -1 when none.
    qsizetype resetAt_ = -1;
    int resetDepth_ = 0;
    QString titleFile_;
};
