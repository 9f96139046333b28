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
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>

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
    connect(&file_, &JournalFile::stateChanged, this, [this](const QString &failure) {
        fileProblem_ = failure.isEmpty()
                           ? QString()
                           : QStringLiteral("Journal wird nicht geschrieben (%1): %2. Das Match bleibt im Speicher "
                                            "und wird nachgeschrieben, sobald das Schreiben wieder geht.")
                                 .arg(failure, QDir::toNativeSeparators(file_.path()));
        updateProblem();
    });
    asideTimer_.setInterval(JournalFile::kRetryMs);
    connect(&asideTimer_, &QTimer::timeout, this, &MatchJournal::retryPutAside);
    clockTimer_.setInterval(kClockMs);
    connect(&clockTimer_, &QTimer::timeout, this, &MatchJournal::onClockTick);
}

MatchJournal::~MatchJournal()
{
    // The file's last write runs in its destructor, after the texts it would report into.
    disconnect(&file_, nullptr, this, nullptr);
}

QString MatchJournal::problemText() const
{
    QStringList parts;
    for (const QString *p : {&fileProblem_, &asideProblem_, &keepProblem_, &titleProblem_}) {
        if (!p->isEmpty())
            parts.append(*p);
    }
    return parts.join(QStringLiteral(" – "));
}

void MatchJournal::updateProblem()
{
    const QString text = problemText();
    if (text == shownProblem_)
        return;
    shownProblem_ = text;
    if (!text.isEmpty())
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
    if (command.kind == MatchCommand::Kind::TitleText) {
        const qsizetype bytes = command.text1.toUtf8().size();
        titleProblem_ = bytes <= MatchCommand::kMaxTitleTextBytes
                            ? QString()
                            : QStringLiteral("Titeltext wird nicht ins Journal geschrieben: %1 Bytes, höchstens %2. "
                                             "Nach einem Absturz fehlt er; kürzer gefasst wird er wieder gesichert.")
                                  .arg(bytes).arg(MatchCommand::kMaxTitleTextBytes);
        updateProblem();
    }
    if (!isUndoOrRedo(command) && resetAt_ >= 0) {
        // The first command after a reset that still stands: the match before it is over.
        if (controller_.undoDepth() >= resetDepth_) {
            keepAsMatch(records_.first(resetAt_), matchId_);
            records_ = setupRecords();
            matchId_ = newMatchId();
            if (file_.isOpen())
                file_.open(JournalRecovery::journalPath(folder_), records_, matchId_);
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
    keepRecord(record);
}

void MatchJournal::keepRecord(const JournalRecord &record)
{
    records_.append(record);
    lastStamp_ = record.elapsedMs;
    if (file_.isOpen())
        file_.append(record);
    // Not while a reset could still be undone: the match before it lives only in the commands.
    if (++sinceSnapshot_ >= kSnapshotEvery && resetAt_ < 0 && record.type == JournalRecord::Type::Command
        && record.command.kind != MatchCommand::Kind::Reset) {
        sinceSnapshot_ = 0;
        if (const QByteArray state = controller_.snapshot(); !state.isEmpty()) {
            records_.append(JournalRecord::ofSnapshot(record.elapsedMs, state));
            if (file_.isOpen())
                file_.append(records_.constLast());
        }
    }
}

qsizetype MatchJournal::restore(const QList<JournalRecord> &found)
{
    // The last snapshot that reads stands for everything before it.
    qsizetype from = 0;
    for (qsizetype i = found.size() - 1; i >= 0; --i) {
        const JournalRecord &r = found.at(i);
        if (r.type != JournalRecord::Type::Snapshot)
            continue;
        if (controller_.restoreSnapshot(r.snapshot, r.elapsedMs)) {
            from = i + 1;
            break;
        }
        ++badSnapshots_;
    }
    // The records stand as read: shared, not copied, however long the match.
    records_ = found;
    qsizetype commands = 0;
    for (qsizetype i = 0; i < from; ++i)
        commands += found.at(i).type == JournalRecord::Type::Command;
    if (from > 0)
        lastStamp_ = found.at(from - 1).elapsedMs;
    for (qsizetype i = from; i < found.size(); ++i) {
        const JournalRecord &r = found.at(i);
        if (r.type == JournalRecord::Type::End)
            continue;
        if (r.type == JournalRecord::Type::Command) {
            ++commands;
            if (!isUndoOrRedo(r.command))
                resetAt_ = -1;
        }
        if (r.type != JournalRecord::Type::Snapshot)
            controller_.replayRecord(r);
        if (r.type == JournalRecord::Type::Command && r.command.kind == MatchCommand::Kind::Reset) {
            resetAt_ = i;
            resetDepth_ = controller_.undoDepth();
        }
        lastStamp_ = r.elapsedMs;
    }
    sinceSnapshot_ = found.size() - from;
    return commands;
}

void MatchJournal::onClockTick()
{
    if (!started_ || match_.timer().MatchPhase() != MatchTimer::Running)
        return;
    const std::uint32_t now = match_.timer().elapsedMs();
    if (now >= lastStamp_ + kClockMs)
        keepRecord(JournalRecord::clock(now));
}

namespace {
const QString kMatchIdTime = QStringLiteral("yyyyMMdd-HHmmss");
}

QDateTime MatchJournal::startOfMatchId(const QString &id)
{
    return QDateTime::fromString(id.left(kMatchIdTime.size()), kMatchIdTime);
}

QString MatchJournal::newMatchId() const
{
    const QString stem = QDateTime::currentDateTime().toString(kMatchIdTime);
    const QDir dir(recordsFolder());
    QString id = stem;
    for (int n = 2; (id == matchId_ || QFile::exists(dir.filePath(id + QStringLiteral(".journal")))) && n < 1000; ++n)
        id = stem + u'-' + QString::number(n);
    return id;
}

QList<JournalRecord> MatchJournal::setupRecords() const
{
    using Kind = MatchCommand::Kind;
    const MatchScore &score = match_.score();
    QList<JournalRecord> out;
    for (const MatchCommand &c :
         {MatchCommand::withValue(Kind::AutoCount, score.autoCount() ? 1 : 0),
          MatchCommand::withValue(Kind::TieBreakOption, score.tieBreakOption() ? 1 : 0),
          // The journal's set count is the legacy choice of three or five; the format
          // after it gives a best of one, two or four.
          MatchCommand::withValue(Kind::SetCount, score.setCount() == 3 ? 3 : 5),
          MatchCommand::format(score.format().code()), MatchCommand::titleFile(titleFile_)}) {
        out.append(JournalRecord::of(0, c));
    }
    return out;
}

namespace {
QString problemWords(JournalFormat::ReadResult::Status status)
{
    using Status = JournalFormat::ReadResult::Status;
    switch (status) {
    case Status::Unreadable: return QStringLiteral("nicht lesbar");
    case Status::Empty: return QStringLiteral("leer");
    case Status::NotAJournal: return QStringLiteral("kein Journal");
    case Status::NewerVersion: return QStringLiteral("von einer neueren Courtlyx-Version");
    case Status::CutOff: return QStringLiteral("abgeschnitten");
    case Status::Garbage: return QStringLiteral("beschädigte Zeile");
    case Status::LineTooLong: return QStringLiteral("zu lange Zeile");
    case Status::TooLarge: return QStringLiteral("zu groß");
    case Status::Ok:
    case Status::Missing:
        break;
    }
    return QString();
}
} // namespace

QString MatchJournal::noteOf(const JournalRecovery &found, qsizetype restored) const
{
    using Status = JournalFormat::ReadResult::Status;
    if (found.status == Status::Ok || found.status == Status::Missing)
        return QString();
    const QString where = QDir::toNativeSeparators(found.keepFailed ? JournalRecovery::journalPath(folder_) : found.keptAs);
    const QString copy = found.keepFailed ? QStringLiteral("Das Journal bleibt unverändert liegen: ")
                                          : QStringLiteral("Beschädigte Kopie: ");
    if (restored > 0) {
        return QStringLiteral("Match nur teilweise wiederhergestellt: %1 Befehle; der Rest des Journals ab Zeile %2 "
                              "war beschädigt (%3). %4%5")
            .arg(restored).arg(found.badLine).arg(problemWords(found.status), copy, where);
    }
    return QStringLiteral("Journal %1, kein Match wiederhergestellt. %2%3")
        .arg(problemWords(found.status), copy, where);
}

bool MatchJournal::start(const QString &titleFile)
{
    titleFile_ = titleFile;
    clockTimer_.start();
    if (!fileKept()) {
        started_ = true;
        records_ = setupRecords();
        return false;
    }
    QDir().mkpath(folder_);
    const JournalRecovery found = JournalRecovery::inspect(folder_, QDateTime::currentDateTime());
    started_ = true;
    // A journal of nothing but the set-up it opened with has no match to bring back, and
    // its options would only override the stored ones.
    const bool played = found.toRestore.size() > setupRecords().size()
                        || !std::all_of(found.toRestore.begin(), found.toRestore.end(),
                                        [](const JournalRecord &r) { return isSetUp(r.command); });
    qsizetype commands = 0;
    if (played) {
        replaying_ = true;
        commands = restore(found.toRestore);
        controller_.finishReplay();
        replaying_ = false;
    } else {
        records_ = setupRecords();
    }
    restoreNote_ = noteOf(found, commands);
    if (badSnapshots_ > 0) {
        const QString note = (badSnapshots_ == 1 ? QStringLiteral("Ein Zwischenstand im Journal war beschädigt")
                                                 : QStringLiteral("%1 Zwischenstände im Journal waren beschädigt")
                                                       .arg(badSnapshots_))
                             + QStringLiteral("; das Match wurde aus den Befehlen davor wiederhergestellt.");
        restoreNote_ = restoreNote_.isEmpty() ? note : restoreNote_ + u' ' + note;
    }
    const QString path = JournalRecovery::journalPath(folder_);
    if (found.keepFailed) {
        // The damaged journal is the only copy of what follows its damage: never written over.
        matchId_ = newMatchId();
        const bool writable = QFileInfo(folder_).isWritable();
        asideProblem_ = QStringLiteral("Beschädigtes Journal lässt sich nicht beiseitelegen (%1) und bleibt "
                                       "unverändert: %2. Das Match bleibt im Speicher, bis es beiseitegelegt ist.")
                            .arg(writable ? QStringLiteral("Umbenennen fehlgeschlagen") : QStringLiteral("keine Schreibrechte"),
                                 QDir::toNativeSeparators(path));
        asideTimer_.start();
    } else if (played && found.status == JournalFormat::ReadResult::Status::Ok && !found.matchId.isEmpty()) {
        // Whole on disk already: the match carries on in it, no rewrite.
        matchId_ = found.matchId;
        file_.reopen(path, found.toRestore.size());
    } else {
        matchId_ = played && !found.matchId.isEmpty() ? found.matchId : newMatchId();
        file_.open(path, records_, matchId_);
    }
    if (!restoreNote_.isEmpty()) {
        qWarning("journal: %s", qPrintable(restoreNote_));
        emit restoreNotice(restoreNote_);
    }
    updateProblem();
    return played;
}

void MatchJournal::retryPutAside()
{
    if (JournalRecovery::putAside(folder_, QDateTime::currentDateTime()).isEmpty())
        return;
    asideTimer_.stop();
    asideProblem_.clear();
    file_.open(JournalRecovery::journalPath(folder_), records_, matchId_);
    updateProblem();
}

bool MatchJournal::end()
{
    if (!started_)
        return true;
    const bool kept = resetAt_ >= 0 && controller_.undoDepth() >= resetDepth_
                          ? keepAsMatch(records_.first(resetAt_), matchId_)
                          : keepAsMatch(records_, matchId_);
    // Without its record the match must come back at the next start: no end line then.
    if (!kept)
        return false;
    file_.close(match_.timer().elapsedMs());
    clockTimer_.stop();
    asideTimer_.stop();
    started_ = false;
    return true;
}

bool MatchJournal::keepAsMatch(const QList<JournalRecord> &records, const QString &matchId)
{
    const MatchRecord match = MatchRecord::fromJournal(records);
    if (match.pbp().isEmpty())
        return true;
    const QDir dir(recordsFolder());
    auto fail = [this](const QString &what, const QString &why, const QString &file) {
        keepProblem_ = QStringLiteral("%1 nicht gespeichert (%2): %3. Das Journal behält das Match.")
                           .arg(what, why, QDir::toNativeSeparators(file));
        updateProblem();
        return false;
    };
    if (!dir.mkpath(QStringLiteral("."))) {
        return fail(QStringLiteral("Match"), JournalFile::reasonOf(errno, QString()), dir.path());
    }
    // The id names the record, so a match kept again (after a crash between its record and
    // the journal's end) replaces its own record and line instead of adding a second.
    const QString id = matchId.isEmpty() ? newMatchId() : matchId;
    const QString copy = dir.filePath(id + QStringLiteral(".journal"));
    if (const QString why = JournalFile::writeWholeFile(copy, JournalFormat::write(records, id)); !why.isEmpty())
        return fail(QStringLiteral("Match"), why, copy);

    QByteArray table;
    if (QFile old(recordsTable()); old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Matchliste"), JournalFile::reasonOf(errno, old.errorString()), old.fileName());
        const QByteArray key = id.toUtf8() + ',';
        for (const QByteArray &line : old.readAll().split('\n')) {
            if (!line.isEmpty() && !line.startsWith(key))
                table += line + '\n';
        }
    }
    if (table.isEmpty())
        table = MatchRecord::csvHeader().toUtf8() + '\n';
    MatchRecord::Facts facts;
    facts.id = id;
    facts.date = QDate::currentDate();
    table += match.csvLine(facts).toUtf8() + '\n';
    if (const QString why = JournalFile::writeWholeFile(recordsTable(), table); !why.isEmpty())
        return fail(QStringLiteral("Matchliste"), why, recordsTable());
    keepProblem_.clear();
    updateProblem();
    return true;
}
