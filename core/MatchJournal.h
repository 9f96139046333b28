#pragma once

#include "core/JournalFile.h"
#include "core/JournalRecord.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class Match;
struct JournalRecovery;
class MatchController;

// The match journal of one board: every command that changes the match is appended to
// journal.txt in the folder before the board shows it. At the start it brings back a match
// the last run left without a normal end; a match left for good becomes a record file and a
// line of matches.csv in the folder's records.
class MatchJournal : public QObject
{
    Q_OBJECT

public:
    // How often the playing time is written while the clock runs: a restore is at most this
    // far behind the time shown.
    static constexpr int kClockMs = 500;
    // Records between two snapshots of the whole state: a restore replays at most this many
    // commands after the last one, however long the match.
    static constexpr qsizetype kSnapshotEvery = 10'000;

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
    // "Beenden?" answered "Ja": the match is kept as a record and the journal ends. When
    // the record cannot be written the journal stays open, so the next start brings the
    // match back; false then.
    bool end();

    const QList<JournalRecord> &records() const { return records_; }
    // The id the match's journal and record carry; empty for a journal of an older version
    // until its match is kept.
    const QString &matchId() const { return matchId_; }
    // When the match of `id` began: ids are the local time of the start, <yyyyMMdd>-<HHmmss>,
    // with -2, -3 ... for a second match begun in the same second. Invalid for another text.
    static QDateTime startOfMatchId(const QString &id);
    // What the start found wrong with the last run's journal; empty when nothing.
    const QString &restoreNote() const { return restoreNote_; }
    // What of the match is not being kept now; empty when everything is.
    QString problemText() const;

signals:
    // Part of the match is not being kept, in the board's words for the operator: what, why
    // and where it is instead; empty once everything is kept again.
    void problem(const QString &text);
    // The start restored only part of the last run's journal or could not read it.
    void restoreNotice(const QString &text);

private:
    void updateProblem();
    void onRecorded(const JournalRecord &record);
    void keepRecord(const JournalRecord &record);
    void onClockTick();
    void retryPutAside();
    QString newMatchId() const;
    void openNew();
    QList<JournalRecord> setupRecords() const;
    // Keeps records as the match `id` when points were played in it; false when that failed.
    bool keepAsMatch(const QList<JournalRecord> &records, const QString &id);
    QString noteOf(const JournalRecovery &found, qsizetype restored) const;
    // Brings back the records found, from the last snapshot that reads; the count of commands.
    qsizetype restore(const QList<JournalRecord> &found);

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
    QString matchId_;
    QString restoreNote_;
    // Each cause of data not being kept, in the board's words; empty when it is not there.
    QString fileProblem_;
    QString asideProblem_;
    QString keepProblem_;
    QString titleProblem_;
    QString shownProblem_;
    // A damaged journal that could not be moved aside blocks the journal's path.
    QTimer asideTimer_;
    // The playing time goes into the journal while the clock runs, so a restore shows it.
    QTimer clockTimer_;
    std::uint32_t lastStamp_ = 0;
    qsizetype sinceSnapshot_ = 0;
    // Snapshots of the last run's journal that did not read, so older ones or the commands served.
    int badSnapshots_ = 0;
};
