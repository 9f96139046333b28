#pragma once

#include "core/JournalFile.h"
#include "core/JournalRecord.h"
#include "core/MatchController.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class BoardLayout;
class Match;
class QLabel;
class QWidget;

// The window's side of the match journal: every operator command runs through here, is
// appended to the journal file before the board paints it, and can be undone. At the start
// it brings back a match the last run left without a normal end; a match left for good
// becomes a record file and a line of matches.csv in the data folder.
class BoardJournal : public QObject
{
    Q_OBJECT

public:
    static constexpr int kUndoMarkMs = 1000;

    BoardJournal(QWidget &window, Match &match, BoardLayout &layout);
    ~BoardJournal() override;

    // Where the journal and the records live; AppDataLocation unless set (tests set it).
    static QString folder();
    static void setFolder(const QString &folder);
    // Without the file the commands still run through the journal, undo included; the
    // benchmark measures what the file costs.
    static void setFileKept(bool kept);
    static QString recordsFolder();
    static QString recordsTable();

    MatchController &controller() { return controller_; }
    bool isStarted() const { return started_; }

    // Before the start only options arrive (from the stored settings): they are the
    // board's set-up, not commands of the match, and leave nothing to undo.
    void execute(const MatchCommand &command);

    // Restores the unfinished run, if any, and opens the journal file. True when a match
    // was restored.
    bool start(const QString &titleFile);
    // "Beenden?" answered "Ja": the match is kept as a record and the journal ends.
    void end();

    const QList<JournalRecord> &records() const { return records_; }

signals:
    void optionsChanged();

private:
    void onRecorded(const JournalRecord &record);
    QList<JournalRecord> setupRecords(const QString &titleFile) const;
    // Keeps records as a finished match when points were played in it.
    void keepAsMatch(const QList<JournalRecord> &records);
    void writeStateDump() const;
    void showUndoMark();

    QWidget &window_;
    Match &match_;
    BoardLayout &layout_;
    MatchController controller_;
    JournalFile file_;
    QList<JournalRecord> records_;
    bool started_ = false;
    bool replaying_ = false;
    // The index in records_ of a confirmed reset that undo could still take back; -1 when none.
    qsizetype resetAt_ = -1;
    int resetDepth_ = 0;
    QString titleFile_;
    QString dumpPath_;
    QLabel *undoMark_ = nullptr;
    QTimer undoMarkTimer_;
};
