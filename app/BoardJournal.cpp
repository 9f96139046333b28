#include "app/BoardJournal.h"

#include "core/MatchFormat.h"

#include "app/BoardFonts.h"
#include "app/BoardLayout.h"
#include "core/JournalFormat.h"
#include "core/JournalRecovery.h"
#include "core/Match.h"
#include "core/MatchRecord.h"
#include "controls/Label3D.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

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
} // namespace

BoardJournal::BoardJournal(QWidget &window, Match &match, BoardLayout &layout)
    : window_(window), match_(match), layout_(layout), controller_(match)
{
    // The window keeps its own list: after a reset the file starts over, the session does not.
    controller_.setJournalKept(false);
    connect(&controller_, &MatchController::recorded, this, &BoardJournal::onRecorded);
    connect(&controller_, &MatchController::optionsChanged, this, &BoardJournal::optionsChanged);
    connect(&controller_, &MatchController::titleFileChanged, this,
            [this] { titleFile_ = controller_.titleFile(); });
    connect(&file_, &JournalFile::failed, this,
            [](const QString &message) { qWarning("journal: %s", qPrintable(message)); });
    dumpPath_ = qEnvironmentVariable("COURTLYX_STATE_DUMP");

    // Beside the "T", in its colours: quiet enough that spectators read no score into it.
    undoMark_ = new QLabel(QStringLiteral("\u21B6"), &window);
    undoMark_->setObjectName(QStringLiteral("LabelUndone"));
    undoMark_->setFont(boardFont(QStringLiteral("Arial"), 16, true));
    undoMark_->setAttribute(Qt::WA_TransparentForMouseEvents);
    undoMark_->hide();
    undoMarkTimer_.setSingleShot(true);
    undoMarkTimer_.setInterval(kUndoMarkMs);
    connect(&undoMarkTimer_, &QTimer::timeout, undoMark_, &QWidget::hide);
}

BoardJournal::~BoardJournal() = default;

QString BoardJournal::folder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void BoardJournal::setFolder(const QString &folder)
{
    folderOverride() = folder;
}

void BoardJournal::setFileKept(bool kept)
{
    fileKept() = kept;
}

QString BoardJournal::recordsFolder()
{
    return QDir(folder()).filePath(QStringLiteral("records"));
}

QString BoardJournal::recordsTable()
{
    return QDir(recordsFolder()).filePath(QStringLiteral("matches.csv"));
}

void BoardJournal::execute(const MatchCommand &command)
{
    using Kind = MatchCommand::Kind;
    if (!started_) {
        MatchScore &score = match_.score();
        if (command.kind == Kind::AutoCount)
            score.setAutoCount(command.value == 1);
        else if (command.kind == Kind::TieBreakOption)
            score.setTieBreakOption(command.value == 1);
        else if (command.kind == Kind::SetCount)
            score.setSetCount(command.value);
        else if (command.kind == Kind::Format)
            score.setFormat(*MatchFormat::parse(command.text1).format);
        return;
    }
    if (!isUndoOrRedo(command) && resetAt_ >= 0) {
        // The first command after a reset that still stands: the match before it is over.
        if (controller_.undoDepth() >= resetDepth_) {
            keepAsMatch(records_.first(resetAt_));
            records_ = setupRecords(titleFile_);
            if (file_.isOpen())
                file_.open(JournalRecovery::journalPath(folder()), records_);
        }
        resetAt_ = -1;
    }
    const int depthBefore = controller_.undoDepth();
    controller_.execute(command);
    if (command.kind == Kind::Reset) {
        resetAt_ = records_.size() - 1;
        resetDepth_ = controller_.undoDepth();
    } else if (command.kind == Kind::Undo && controller_.undoDepth() < depthBefore) {
        showUndoMark();
    }
    writeStateDump();
}

void BoardJournal::onRecorded(const JournalRecord &record)
{
    if (!started_ || replaying_)
        return;
    records_.append(record);
    if (file_.isOpen())
        file_.append(record);
}

QList<JournalRecord> BoardJournal::setupRecords(const QString &titleFile) const
{
    using Kind = MatchCommand::Kind;
    const MatchScore &score = match_.score();
    QList<JournalRecord> out;
    for (const MatchCommand &c :
         {MatchCommand::withValue(Kind::AutoCount, score.autoCount() ? 1 : 0),
          MatchCommand::withValue(Kind::TieBreakOption, score.tieBreakOption() ? 1 : 0),
          MatchCommand::withValue(Kind::SetCount, score.setCount()),
          MatchCommand::format(score.format().code()), MatchCommand::titleFile(titleFile)}) {
        JournalRecord r;
        r.command = c;
        out.append(r);
    }
    return out;
}

bool BoardJournal::start(const QString &titleFile)
{
    titleFile_ = titleFile;
    if (!fileKept()) {
        started_ = true;
        records_ = setupRecords(titleFile_);
        return false;
    }
    QDir().mkpath(folder());
    const JournalRecovery found = JournalRecovery::inspect(folder(), QDateTime::currentDateTime());
    if (!found.keptAs.isEmpty())
        qWarning("journal: damaged journal kept as %s", qPrintable(found.keptAs));
    started_ = true;
    bool restored = false;
    // A journal of nothing but the set-up it opened with has no match to bring back, and
    // its options would only override the stored ones.
    using Kind = MatchCommand::Kind;
    const bool played = found.toRestore.size() > setupRecords(titleFile_).size()
                        || std::any_of(found.toRestore.begin(), found.toRestore.end(), [](const JournalRecord &r) {
                               const Kind k = r.command.kind;
                               return k != Kind::AutoCount && k != Kind::TieBreakOption && k != Kind::SetCount
                                      && k != Kind::Format && k != Kind::TitleFile;
                           });
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
        restored = true;
    } else {
        records_ = setupRecords(titleFile_);
    }
    file_.open(JournalRecovery::journalPath(folder()), records_);
    if (restored) {
        // Told where the operator looks and spectators do not: the window caption.
        const QString caption = window_.windowTitle();
        window_.setWindowTitle(caption + QStringLiteral(" - match restored"));
        QTimer::singleShot(5000, this, [this, caption] { window_.setWindowTitle(caption); });
    }
    writeStateDump();
    return restored;
}

void BoardJournal::end()
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

void BoardJournal::keepAsMatch(const QList<JournalRecord> &records)
{
    const MatchRecord match = MatchRecord::fromJournal(records);
    if (match.pbp().isEmpty())
        return;
    const QDir dir(recordsFolder());
    if (!dir.mkpath(QStringLiteral("."))) {
        qWarning("journal: cannot create %s", qPrintable(dir.path()));
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString stem = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString id = stem;
    for (int n = 2; QFile::exists(dir.filePath(id + QStringLiteral(".journal"))) && n < 1000; ++n)
        id = stem + u'-' + QString::number(n);
    QSaveFile copy(dir.filePath(id + QStringLiteral(".journal")));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(JournalFormat::write(records)) < 0 || !copy.commit())
        qWarning("journal: cannot write %s", qPrintable(copy.fileName()));

    QFile table(recordsTable());
    const bool isNew = !table.exists() || table.size() == 0;
    if (!table.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qWarning("journal: cannot write %s", qPrintable(table.fileName()));
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

void BoardJournal::showUndoMark()
{
    const QRect t = layout_.LabelTbOn->geometry();
    undoMark_->setGeometry(t.right() + 3, t.top(), 24, t.height());
    undoMark_->setPalette(layout_.LabelTbOn->palette());
    undoMark_->show();
    undoMark_->raise();
    undoMarkTimer_.start();
}

// For the kill harness: what the board shows, written after every command so that an
// outside driver can read it. Off unless COURTLYX_STATE_DUMP names a file.
void BoardJournal::writeStateDump() const
{
    if (dumpPath_.isEmpty())
        return;
    QString out;
    out += QStringLiteral("seq=%1\n").arg(records_.size());
    for (int entry = 0; entry < 20; ++entry) {
        if (const TLabel3D *l = layout_.fieldLabel(entry); l && l->isVisibleTo(&window_))
            out += QStringLiteral("f%1=%2\n").arg(entry).arg(l->Caption());
    }
    int bold = 0;
    for (int n = 0; n < 5; ++n) {
        if (layout_.LabelS[n]->font().bold())
            bold = n + 1;
    }
    out += QStringLiteral("bold=%1\n").arg(bold);
    out += QStringLiteral("name1=%1\nname2=%2\n").arg(layout_.eName1->text(), layout_.eName2->text());
    out += QStringLiteral("ball=%1,%2\n").arg(layout_.ImageBall->x()).arg(layout_.ImageBall->y());
    out += QStringLiteral("tiebreak=%1\n").arg(layout_.LabelTieBreak->isVisibleTo(&window_) ? 1 : 0);
    out += QStringLiteral("time=%1\n").arg(layout_.eTime->Caption());
    QSaveFile f(dumpPath_);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(out.toUtf8());
        f.commit();
    }
}
