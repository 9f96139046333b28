#include "core/BoardModel.h"

#include "core/BoardSettings.h"
#include "core/MatchFormat.h"
#include "platform/LongTimeFormat.h"

#include <QSaveFile>
#include <QTime>

BoardModel::BoardModel(const TickSource &ticks, const QString &journalFolder, QObject *parent)
    : QObject(parent), match_(ticks, formatLongTime(QTime(0, 0, 0))), controller_(match_),
      journal_(match_, controller_, journalFolder)
{
    const BoardSettings defaults;
    names_ = {defaults.Comanda1, defaults.Comanda2};
    colours_ = defaults.C;
    monitor_ = defaults.Monitor;
    sound_ = defaults.Sound;
    tieBreakPoints_ = defaults.TieBreakPoints;
    connect(&controller_, &MatchController::namesChanged, this,
            [this] { setNames(controller_.name(1), controller_.name(2)); });
    connect(&controller_, &MatchController::titleFileChanged, this, [this] {
        titleFile_ = controller_.titleFile();
        emit titleFileChanged();
    });
    connect(&controller_, &MatchController::titleTextChanged, this,
            [this] { setTitleText(controller_.titleText()); });
    connect(&journal_, &MatchJournal::problem, this, &BoardModel::journalProblem);
    connect(&journal_, &MatchJournal::restoreNotice, this, &BoardModel::restoreNotice);
    dumpPath_ = qEnvironmentVariable("COURTLYX_STATE_DUMP");

    const MatchScore *score = &this->score();
    const MatchTimer *timer = &this->timer();
    connect(score, &MatchScore::serverChanged, this, &BoardModel::shownStateChanged);
    connect(score, &MatchScore::tieBreakModeChanged, this, &BoardModel::shownStateChanged);
    connect(score, &MatchScore::fieldChanged, this, &BoardModel::shownStateChanged);
    connect(score, &MatchScore::setLeaderMarked, this, &BoardModel::shownStateChanged);
    connect(timer, &MatchTimer::phaseChanged, this, &BoardModel::shownStateChanged);
    // The timer restates its text five times a second; only a new second is a change.
    connect(timer, &MatchTimer::elapsedTextChanged, this, [this](const QString &text) {
        if (text == elapsedShown_)
            return;
        elapsedShown_ = text;
        emit shownStateChanged();
    });
    connect(this, &BoardModel::namesChanged, this, &BoardModel::shownStateChanged);
    connect(this, &BoardModel::commandRan, this, &BoardModel::shownStateChanged);
}

BoardModel::~BoardModel() = default;

QString BoardModel::pointsText(int side) const
{
    if (score().decidingPoint())
        return QLatin1String(kDecidingPointText);
    return score().field(MatchScore::pointsEntry(side)).Text;
}

int BoardModel::winner() const
{
    return score().matchOver() ? score().matchWinner() : 0;
}

BoardModel::Options BoardModel::options() const
{
    return {score().autoCount(), score().tieBreakOption(), score().format()};
}

void BoardModel::execute(const MatchCommand &command)
{
    using Kind = MatchCommand::Kind;
    // A title text past the journal's bound is still shown; the journal says it is not kept.
    if (!command.isValid() && command.kind != Kind::TitleText)
        return;
    if (!command.isJournalled()) {
        applySetUp(command);
        // Names typed during the match are the match's: a restore and the record carry them.
        if (command.kind == Kind::TypedNames && matchStarted()
            && (controller_.name(1) != names_[0] || controller_.name(2) != names_[1])) {
            journal_.execute(MatchCommand::names(names_[0], names_[1]));
            writeStateDump();
        }
        emit commandRan();
        return;
    }
    if (command.kind == Kind::TitleText) {
        // The title text is journalled once the match runs, like the names; before, it is
        // only shown.
        if (matchStarted() && command.text1 != controller_.titleText()) {
            journal_.execute(command);
            // A text too long for the journal is still the board's; the journal says it is not kept.
            if (!command.isValid())
                setTitleText(command.text1);
        } else {
            setTitleText(command.text1);
        }
        emit commandRan();
        return;
    }
    emit commandComing();
    const Options before = options();
    if (!journal_.isStarted()) {
        // The stored set-up, before the match's journal opens: nothing to journal or undo.
        MatchScore &s = match_.score();
        if (command.kind == Kind::AutoCount)
            s.setAutoCount(command.value == 1);
        else if (command.kind == Kind::TieBreakOption)
            s.setTieBreakOption(command.value == 1);
        else if (command.kind == Kind::SetCount)
            s.setSetCount(command.value);
        else if (command.kind == Kind::Format)
            s.setFormat(*MatchFormat::parse(command.text1).format);
    } else {
        // The names are the match's once it starts.
        if (command.kind == Kind::Play && timer().MatchPhase() == MatchTimer::NotStarted) {
            journal_.execute(MatchCommand::names(names_[0], names_[1]));
            if (!titleText_.isEmpty() && titleText_ != controller_.titleText())
                journal_.execute(MatchCommand::titleText(titleText_));
        }
        const int depthBefore = controller_.undoDepth();
        journal_.execute(command);
        if (command.kind == Kind::Undo && controller_.undoDepth() < depthBefore)
            emit undone();
        writeStateDump();
    }
    // An option the operator set shows even when it was the one in force.
    const bool option = command.kind == Kind::AutoCount || command.kind == Kind::TieBreakOption
                        || command.kind == Kind::SetCount || command.kind == Kind::Format;
    if (option || options() != before)
        emit optionsChanged();
    emit commandRan();
}

void BoardModel::applySetUp(const MatchCommand &c)
{
    using Kind = MatchCommand::Kind;
    switch (c.kind) {
    case Kind::TypedNames:
        setNames(c.text1, c.text2);
        break;
    case Kind::Colour:
        if (colours_[std::size_t(c.side)] != TColor(c.value)) {
            colours_[std::size_t(c.side)] = TColor(c.value);
            emit coloursChanged();
        }
        break;
    case Kind::Monitor:
        if (monitor_ != c.value) {
            monitor_ = c.value;
            emit monitorChanged();
        }
        break;
    case Kind::TieBreakPoints:
        if (tieBreakPoints_ != (c.value == 1)) {
            tieBreakPoints_ = c.value == 1;
            emit tieBreakPointsChanged();
        }
        break;
    case Kind::Sound:
        sound_ = c.value == 1;
        break;
    default:
        break;
    }
}

bool BoardModel::matchStarted() const
{
    return journal_.isStarted() && timer().MatchPhase() != MatchTimer::NotStarted;
}

void BoardModel::setTitleText(const QString &rtf)
{
    if (titleText_ == rtf)
        return;
    titleText_ = rtf;
    emit titleTextChanged(titleText_);
}

void BoardModel::setNames(const QString &name1, const QString &name2)
{
    if (names_[0] == name1 && names_[1] == name2)
        return;
    names_ = {name1, name2};
    emit namesChanged();
}

bool BoardModel::start(const QString &titleFile)
{
    titleFile_ = titleFile;
    const Options before = options();
    const bool restored = journal_.start(titleFile);
    if (restored || options() != before)
        emit optionsChanged();
    writeStateDump();
    emit commandRan();
    return restored;
}

bool BoardModel::end()
{
    return journal_.end();
}

void BoardModel::store(BoardSettings &s) const
{
    s.Sound = sound_;
    s.Monitor = monitor_;
    s.Comanda1 = names_[0];
    s.Comanda2 = names_[1];
    s.C = colours_;
    s.TieBreak = score().tieBreakOption();
    s.CountSets = score().setCount();
    s.AutoSchet = score().autoCount();
    s.Format = score().format().code();
    s.TieBreakPoints = tieBreakPoints_;
}

void BoardModel::apply(const BoardSettings &s)
{
    using Kind = MatchCommand::Kind;
    execute(MatchCommand::withValue(Kind::Sound, s.Sound ? 1 : 0));
    execute(MatchCommand::withValue(Kind::Monitor, s.Monitor));
    execute(MatchCommand::typedNames(s.Comanda1, s.Comanda2));
    for (int slot = 0; slot < 5; ++slot)
        execute(MatchCommand::colour(slot, s.C[std::size_t(slot)]));
    execute(MatchCommand::withValue(Kind::TieBreakOption, s.TieBreak ? 1 : 0));
    // Any count but 3 plays five sets.
    if (const int sets = s.CountSets == 3 ? 3 : 5; sets != score().setCount())
        execute(MatchCommand::withValue(Kind::SetCount, sets));
    execute(MatchCommand::withValue(Kind::AutoCount, s.AutoSchet ? 1 : 0));
    // Empty or not a format: the set count and the tie-break option give it.
    if (MatchFormat::parse(s.Format).format)
        execute(MatchCommand::format(s.Format));
    execute(MatchCommand::withValue(Kind::TieBreakPoints, s.TieBreakPoints ? 1 : 0));
}

// For the kill harness: what the board shows, written after every command so that an
// outside driver can read it. Off unless COURTLYX_STATE_DUMP names a file.
void BoardModel::writeStateDump() const
{
    if (dumpPath_.isEmpty())
        return;
    QString out;
    out += QStringLiteral("seq=%1\n").arg(journal_.records().size());
    for (int side : {1, 2}) {
        out += QStringLiteral("f%1=%2\n").arg(MatchScore::pointsEntry(side)).arg(pointsText(side));
        for (int set = 1; set <= MatchScore::kMaxSets; ++set) {
            const int entry = MatchScore::gamesEntry(side, set);
            out += QStringLiteral("f%1=%2\n").arg(entry).arg(score().field(entry).Text);
        }
    }
    out += QStringLiteral("bold=%1\n").arg(score().boldHeader());
    out += QStringLiteral("name1=%1\nname2=%2\n").arg(names_[0], names_[1]);
    out += QStringLiteral("server=%1\n").arg(score().server());
    out += QStringLiteral("tiebreak=%1\n").arg(score().tieBreakMode() ? 1 : 0);
    out += QStringLiteral("time=%1\n").arg(timer().elapsedText());
    QSaveFile f(dumpPath_);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(out.toUtf8());
        f.commit();
    }
}
