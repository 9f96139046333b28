#include "core/MatchJournal.h"

#include "core/JournalFormat.h"
#include "core/JournalRecovery.h"
#include "core/Match.h"
#include "core/MatchController.h"
#include "core/MatchFormat.h"
#include "core/MatchRecord.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}

bool &fileKept()
{
    static bool kept = true;
    return kept;
}

bool isUndoOrRedo(const MatchCommand &c)
{
    return c.kind == MatchCommand::Kind::Undo || c.kind == MatchCommand::Kind::Redo;
}

bool isSetUp(const MatchCommand &c)
{
    using Kind = MatchCommand::Kind;
    return c.kind == Kind::AutoCount || c.kind == Kind::TieBreakOption || c.kind == Kind::SetCount
           || c.kind == Kind::Format || c.kind == Kind::TitleFile;
}
} // namespace

MatchJournal::MatchJournal(Match &match, MatchController &controller, QString folder, QObject *parent)
    : QObject(parent), match_(match), controller_(controller), folder_(std::move(folder))
{
    // The journal keeps its own list: after a reset the file starts over, the session does not.
    controller_.setJournalKept(false);
    connect(&controller_, &MatchController::recorded, this, &MatchJournal::onRecorded);
    connect(&controller_, &MatchController::titleFileChanged, this,
            [this] { titleFile_ = controller_.titleFile(); });
    connect(&file_, &JournalFile::failed, this,
            [this](const QString &message) { report(QStringLiteral("Journal nicht geschrieben: ") + message); });
}

MatchJournal::~MatchJournal() = default;

void MatchJournal::report(const QString &text)
{
    qWarning("journal: %s", qPrintable(text));
    emit problem(text);
}

QString MatchJournal::defaultFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void MatchJournal::setDefaultFolder(const QString &folder)
{
    folderOverride() = folder;
}

void MatchJournal::setFileKept(bool kept)
{
    fileKept() = kept;
}

QString MatchJournal::recordsFolder() const
{
    return QDir(folder_).filePath(QStringLiteral("records"));
}

QString MatchJournal::recordsTable() const
{
    return QDir(recordsFolder()).filePath(QStringLiteral("matches.csv"));
}

void MatchJournal::execute(const MatchCommand &command)
{
    if (!isUndoOrRedo(command) && resetAt_ >= 0) {
        // The first command after a reset that still stands: the match before it is over.
        if (controller_.undoDepth() >= resetDepth_) {
            keepAsMatch(records_.first(resetAt_));
            records_ = setupRecords();
            if (file_.isOpen())
                file_.open(JournalRecovery::journalPath(folder_), records_);
        }
        resetAt_ = -1;
    }
    controller_.execute(command);
    if (command.kind == MatchCommand::Kind::Reset) {
        resetAt_ = records_.size() - 1;
        resetDepth_ = controller_.undoDepth();
    }
}

void MatchJournal::onRecorded(const JournalRecord &record)
{
    if (!started_ || replaying_)
        return;
    records_.append(record);
    if (file_.isOpen())
        file_.append(record);
}

QList<JournalRecord> MatchJournal::setupRecords() const
{
    using Kind = MatchCommand::Kind;
    const MatchScore &score = match_.score();
    QList<JournalRecord> out;
    for (const MatchCommand &c :
         {MatchCommand::withValue(Kind::AutoCount, score.autoCount() ? 1 : 0),
          MatchCommand::withValue(Kind::TieBreakOption, score.tieBreakOption() ? 1 : 0),
          MatchCommand::withValue(Kind::SetCount, score.setCount()),
          MatchCommand::format(score.format().code()), MatchCommand::titleFile(titleFile_)}) {
        out.append(JournalRecord::of(0, c));
    }
    return out;
}

bool MatchJournal::start(const QString &titleFile)
{
    titleFile_ = titleFile;
    if (!fileKept()) {
        started_ = true;
        records_ = setupRecords();
        return false;
    }
    QDir().mkpath(folder_);
    const JournalRecovery found = JournalRecovery::inspect(folder_, QDateTime::currentDateTime());
    if (!found.keptAs.isEmpty())
        report(QStringLiteral("Beschädigtes Journal aufbewahrt als ") + found.keptAs);
    started_ = true;
    // A journal of nothing but the set-up it opened with has no match to bring back, and
    // its options would only override the stored ones.
    const bool played = found.toRestore.size() > setupRecords().size()
                        || !std::all_of(found.toRestore.begin(), found.toRestore.end(),
                                        [](const JournalRecord &r) { return isSetUp(r.command); });
    if (played) {
        replaying_ = true;
        for (const JournalRecord &r : found.toRestore) {
            if (r.type != JournalRecord::Type::Command)
                continue;
            if (!isUndoOrRedo(r.command))
                resetAt_ = -1;
            controller_.replayRecord(r);
            if (r.command.kind == MatchCommand::Kind::Reset) {
                resetAt_ = records_.size();
                resetDepth_ = controller_.undoDepth();
            }
            records_.append(r);
        }
        controller_.finishReplay();
        replaying_ = false;
    } else {
        records_ = setupRecords();
    }
    file_.open(JournalRecovery::journalPath(folder_), records_);
    return played;
}

void MatchJournal::end()
{
    if (!started_)
        return;
    if (resetAt_ >= 0 && controller_.undoDepth() >= resetDepth_)
        keepAsMatch(records_.first(resetAt_));
    else
        keepAsMatch(records_);
    file_.close(match_.timer().elapsedMs());
    started_ = false;
}

void MatchJournal::keepAsMatch(const QList<JournalRecord> &records)
{
    const MatchRecord match = MatchRecord::fromJournal(records);
    if (match.pbp().isEmpty())
        return;
    const QDir dir(recordsFolder());
    if (!dir.mkpath(QStringLiteral("."))) {
        report(QStringLiteral("Ordner nicht anlegbar, Match nicht gespeichert: ") + dir.path());
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString stem = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString id = stem;
    for (int n = 2; QFile::exists(dir.filePath(id + QStringLiteral(".journal"))) && n < 1000; ++n)
        id = stem + u'-' + QString::number(n);
    QSaveFile copy(dir.filePath(id + QStringLiteral(".journal")));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(JournalFormat::write(records)) < 0 || !copy.commit())
        report(QStringLiteral("Match nicht gespeichert: ") + copy.fileName());

    QFile table(recordsTable());
    const bool isNew = !table.exists() || table.size() == 0;
    if (!table.open(QIODevice::WriteOnly | QIODevice::Append)) {
        report(QStringLiteral("Matchliste nicht geschrieben: ") + table.fileName());
        return;
    }
    MatchRecord::Facts facts;
    facts.id = id;
    facts.date = now.date();
    QByteArray out;
    if (isNew)
        out += MatchRecord::csvHeader().toUtf8() + '\n';
    out += match.csvLine(facts).toUtf8() + '\n';
    table.write(out);
}
