#include "core/BoardModel.h"
#include "core/JournalFile.h"
#include "core/JournalFormat.h"
#include "core/JournalRecovery.h"
#include "core/MatchRecord.h"
#include "tests/core/FakeTicks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Kind = MatchCommand::Kind;

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// What the board shows of a match, to compare a restore with the board before the kill.
QString shown(const BoardModel &m)
{
    QString out = m.pointsText(1) + u':' + m.pointsText(2);
    for (int set = 1; set <= MatchScore::kMaxSets; ++set)
        out += u' ' + m.score().field(MatchScore::gamesEntry(1, set)).Text + u'-'
               + m.score().field(MatchScore::gamesEntry(2, set)).Text;
    return out + u' ' + m.name(1) + u'/' + m.name(2);
}

class MatchJournalTest : public ::testing::Test
{
protected:
    ~MatchJournalTest() override { JournalFile::setSpaceForTests(-1); }

    void play(BoardModel &m, int points)
    {
        for (int n = 0; n < points; ++n) {
            ticks.advance(20'000);
            m.execute(MatchCommand::point(n % 3 == 2 ? 2 : 1));
        }
    }
    // The board the next start brings up on the same folder, as after a kill.
    std::unique_ptr<BoardModel> restart()
    {
        auto again = std::make_unique<BoardModel>(laterTicks, folder.path());
        again->start(QString());
        return again;
    }
    QStringList csvLines() const
    {
        return QString::fromUtf8(contents(model.journal().recordsTable())).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir folder;
    FakeTicks ticks;
    FakeTicks laterTicks{5'000'000};
    BoardModel model{ticks, folder.path()};
};

// The disk fills while the match runs, or is full from the start: the board says what is
// not kept and why, and once there is room the journal catches up, so a kill then restores
// exactly what was shown.
TEST_F(MatchJournalTest, AFullDiskIsSaidAndTheJournalCatchesUp)
{
    for (const bool fullAtStart : {false, true}) {
        SCOPED_TRACE(fullAtStart ? "full at start" : "fills while playing");
        QTemporaryDir own;
        BoardModel board(ticks, own.path());
        QSignalSpy said(&board, &BoardModel::journalProblem);
        JournalFile::setSpaceForTests(fullAtStart ? 0 : 300);
        board.start(QString());
        board.execute(MatchCommand::of(Kind::Play));
        play(board, 30);
        ASSERT_EQ(said.size(), 1) << "said once, not on every command";
        const QString text = said.first().first().toString();
        EXPECT_TRUE(text.contains(QStringLiteral("Datenträger voll"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("im Speicher"))) << text.toStdString();

        JournalFile::setSpaceForTests(-1);
        QTRY_COMPARE_WITH_TIMEOUT(said.size(), 2, 3 * JournalFile::kRetryMs);
        EXPECT_EQ(said.last().first().toString(), QString());
        BoardModel again(laterTicks, own.path());
        again.start(QString());
        EXPECT_EQ(shown(again), shown(board));
    }
}

// A name typed during a pause and the title text are the match's: a restore brings them
// back, with the playing time shown before the kill.
TEST_F(MatchJournalTest, NamesTitleTextAndTimeShownComeBack)
{
    model.start(QString());
    model.execute(MatchCommand::typedNames(QStringLiteral("Graf"), QStringLiteral("Seles")));
    model.execute(MatchCommand::of(Kind::Play));
    play(model, 5);
    model.execute(MatchCommand::of(Kind::Play)); // pause
    model.execute(MatchCommand::typedNames(QStringLiteral("Graf"), QStringLiteral("Sabatini")));
    model.execute(MatchCommand::typedNames(QStringLiteral("Graf"), QStringLiteral("Sabatini")));
    const QString rtf = QStringLiteral("{\\rtf1 Finale}");
    model.execute(MatchCommand::titleText(rtf));
    model.execute(MatchCommand::of(Kind::Play));
    ticks.advance(12'300);
    QTest::qWait(2 * MatchJournal::kClockMs + 100);
    const std::uint32_t before = model.timer().elapsedMs();

    QList<JournalRecord> names;
    for (const JournalRecord &r : model.journal().records())
        if (r.command.kind == Kind::Names)
            names.append(r);
    EXPECT_EQ(names.size(), 2) << "a name that did not change is not journalled again";

    auto again = std::make_unique<BoardModel>(laterTicks, folder.path());
    QSignalSpy title(again.get(), &BoardModel::titleTextChanged);
    again->start(QString());
    EXPECT_EQ(again->name(2), "Sabatini");
    EXPECT_EQ(again->titleText(), rtf);
    EXPECT_EQ(title.size(), 1);
    EXPECT_LE(before - again->timer().elapsedMs(), std::uint32_t(MatchJournal::kClockMs)) << before;
    EXPECT_EQ(MatchRecord::fromJournal(again->journal().records()).server2(), "Sabatini");
}

// A crash between the record and the journal's end: the next "Ja" replaces the record
// rather than adding a second one; a match closed before its end has no winner.
TEST_F(MatchJournalTest, AMatchIsRecordedOnceAndAnUnfinishedOneWithoutWinner)
{
    model.start(QString());
    model.execute(MatchCommand::of(Kind::Play));
    play(model, 24); // 4:2 in the first set
    ASSERT_TRUE(model.end());
    const QStringList once = csvLines();
    ASSERT_EQ(once.size(), 2);
    EXPECT_EQ(once[1].split(u',')[7], QString()) << once[1].toStdString();

    const QString path = JournalRecovery::journalPath(folder.path());
    QByteArray journal = contents(path);
    journal.truncate(journal.lastIndexOf('\n', journal.size() - 2) + 1); // the end line never came
    write(path, journal);
    auto again = restart();
    ASSERT_TRUE(again->end());
    EXPECT_EQ(csvLines(), once);
    EXPECT_EQ(QDir(model.journal().recordsFolder()).entryList({QStringLiteral("*.journal")}).size(), 1);
}

// A journal damaged in the middle: the board says how much came back and where the rest is;
// one of a newer version is kept aside with a word, not dropped.
TEST_F(MatchJournalTest, APartialOrUnreadableRestoreIsSaid)
{
    model.start(QString());
    model.execute(MatchCommand::of(Kind::Play));
    play(model, 10);
    const QString path = JournalRecovery::journalPath(folder.path());
    QByteArray bytes = contents(path);
    const qsizetype line8 = bytes.indexOf("\n8 ") + 1;
    bytes[line8 + 4] = bytes[line8 + 4] == '1' ? '2' : '1';
    write(path, bytes);

    FakeTicks t;
    BoardModel partial(t, folder.path());
    QSignalSpy notice(&partial, &BoardModel::restoreNotice);
    ASSERT_TRUE(partial.start(QString()));
    ASSERT_EQ(notice.size(), 1);
    const QString text = notice.first().first().toString();
    EXPECT_EQ(partial.restoreNote(), text);
    EXPECT_TRUE(text.contains(QStringLiteral("teilweise"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(": 7 Befehle"))) << text.toStdString();
    const QStringList damaged = QDir(folder.path()).entryList({QStringLiteral("journal-damaged-*")});
    ASSERT_EQ(damaged.size(), 1);
    EXPECT_TRUE(text.contains(damaged.first())) << text.toStdString();

    write(path, "courtlyx-journal 2 x\n1 0 play *00000000\n");
    BoardModel newer(t, folder.path());
    newer.start(QString());
    EXPECT_TRUE(newer.restoreNote().contains(QStringLiteral("neueren"))) << newer.restoreNote().toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("journal-damaged-*")}).size(), 2);
}

// The same on a real file system that fills: a small tmpfs mount (skipped where that is not
// allowed). "Ja" on the full disk leaves no half record; with room again one whole record
// and one line follow.
TEST_F(MatchJournalTest, ARealFullDiskKeepsTheMatchAndItsRecordWhole)
{
    QTemporaryDir mountDir;
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountDir.path()})
        != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const QString filler = mountDir.filePath(QStringLiteral("filler"));
    {
        FakeTicks t;
        BoardModel board(t, mountDir.path());
        QSignalSpy said(&board, &BoardModel::journalProblem);
        board.start(QString());
        board.execute(MatchCommand::of(Kind::Play));
        // Whatever room is left goes to another file.
        auto fillUp = [&filler] {
            QFile fill(filler);
            fill.open(QIODevice::Append | QIODevice::Unbuffered);
            while (fill.write(QByteArray(4096, 'x')) == 4096) {
            }
        };
        fillUp();
        // Past the journal's last page of the mount.
        play(board, 300);
        ASSERT_FALSE(said.isEmpty()) << "the disk never filled";
        EXPECT_TRUE(said.last().first().toString().contains(QStringLiteral("Datenträger voll")));
        fillUp(); // what the journal's cut-back freed
        EXPECT_FALSE(board.end()) << "no record on a full disk";
        EXPECT_FALSE(QFile::exists(board.journal().recordsTable())) << "no half table";

        QFile::remove(filler);
        QTRY_VERIFY_WITH_TIMEOUT(said.last().first().toString().isEmpty(), 3 * JournalFile::kRetryMs);
        const auto read = JournalFormat::readFile(JournalRecovery::journalPath(mountDir.path()));
        EXPECT_EQ(read.status, JournalFormat::ReadResult::Status::Ok);
        EXPECT_EQ(read.records.size(), board.journal().records().size());
        EXPECT_TRUE(board.end());
        const QStringList lines = QString::fromUtf8(contents(board.journal().recordsTable())).split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 2);
    }
    QProcess::execute(QStringLiteral("umount"), {mountDir.path()});
}

// A read-only folder (a read-only mount, which holds for root too): the damaged journal
// stays as it is, the board says so, and "Ja" without a record says so too.
TEST_F(MatchJournalTest, AReadOnlyFolderNeverLosesTheDamagedJournal)
{
    QTemporaryDir mountDir;
    auto mount = [&](const QStringList &args) { return QProcess::execute(QStringLiteral("mount"), args) == 0; };
    if (!mount({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=256k"),
                QStringLiteral("tmpfs"), mountDir.path()}))
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const QString path = JournalRecovery::journalPath(mountDir.path());
    {
        FakeTicks t;
        BoardModel first(t, mountDir.path());
        first.start(QString());
        first.execute(MatchCommand::of(Kind::Play));
        play(first, 6);
    }
    const QByteArray damaged = contents(path) + "garbage line\n7 1 point 1 key *00000000\n";
    write(path, damaged);
    const bool readOnly = mount({QStringLiteral("-o"), QStringLiteral("remount,ro"), mountDir.path()});
    if (readOnly) {
        FakeTicks t;
        BoardModel board(t, mountDir.path());
        QSignalSpy said(&board, &BoardModel::journalProblem);
        EXPECT_TRUE(board.start(QString()));
        EXPECT_TRUE(board.restoreNote().contains(QStringLiteral("unverändert"))) << board.restoreNote().toStdString();
        ASSERT_FALSE(said.isEmpty());
        EXPECT_TRUE(said.last().first().toString().contains(QStringLiteral("keine Schreibrechte")));
        play(board, 3);
        EXPECT_FALSE(board.end()) << "no record on a read-only folder";
        EXPECT_TRUE(said.last().first().toString().contains(QStringLiteral("nicht gespeichert")));
        EXPECT_EQ(contents(path), damaged);
    }
    QProcess::execute(QStringLiteral("umount"), {mountDir.path()});
    ASSERT_TRUE(readOnly);
}

} // namespace

namespace {

// A long, varied match: points, taken-back points, serve changes, names and title text.
void playLong(BoardModel &m, FakeTicks &ticks, int commands)
{
    m.execute(MatchCommand::of(Kind::Play));
    for (int n = 1; n <= commands; ++n) {
        ticks.advance(7'000);
        if (n % 97 == 0)
            m.execute(MatchCommand::of(Kind::Undo));
        else if (n % 3001 == 0)
            m.execute(MatchCommand::of(Kind::Serve));
        else if (n % 4999 == 0)
            m.execute(MatchCommand::typedNames(QStringLiteral("Evert %1").arg(n), QStringLiteral("Navratilova")));
        else if (n % 7001 == 0)
            m.execute(MatchCommand::titleText(QStringLiteral("{\\rtf1 Runde %1}").arg(n)));
        else
            m.execute(MatchCommand::point((n * 7919) % 5 < 3 ? 1 : 2));
    }
}

struct Shown
{
    QString board;
    int server;
    QString title;
    QString time;
    int phase;
    bool operator==(const Shown &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Shown &s)
{
    return out << s.board.toStdString() << " server " << s.server << ' ' << s.title.toStdString() << ' '
               << s.time.toStdString() << " phase " << s.phase;
}

Shown shownAll(const BoardModel &m)
{
    return {shown(m), m.score().state().server, m.titleText(), QString::number(m.timer().elapsedMs()),
            int(m.timer().MatchPhase())};
}

// Records kept between one snapshot and the next: a restored journal must keep the
// rhythm, or a board restarted often enough would never write one.
QList<qsizetype> snapshotGaps(const QList<JournalRecord> &records)
{
    QList<qsizetype> gaps;
    qsizetype last = -1;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (records.at(i).type == JournalRecord::Type::Snapshot) {
            if (last >= 0)
                gaps.append(i - last - 1);
            last = i;
        }
    }
    return gaps;
}

} // namespace

// Cut before the first snapshot, just after one and well past two: the restore equals the
// board that was never interrupted, and starts from the last snapshot, so undo reaches no
// further back than it.
class SnapshotRestoreTest : public MatchJournalTest, public ::testing::WithParamInterface<int>
{};

TEST_P(SnapshotRestoreTest, ARestoreFromTheLastSnapshotShowsTheUninterruptedBoard)
{
    const int commands = GetParam();
    model.start(QString());
    playLong(model, ticks, commands);
    model.execute(MatchCommand::of(Kind::Play)); // paused, as a restore shows it
    const auto records = model.journal().records();
    const auto snapshots = std::count_if(records.begin(), records.end(),
                                         [](const JournalRecord &r) { return r.type == JournalRecord::Type::Snapshot; });
    EXPECT_EQ(snapshots, records.size() / MatchJournal::kSnapshotEvery);

    auto again = restart();
    EXPECT_EQ(shownAll(*again), shownAll(model));
    EXPECT_EQ(again->restoreNote(), QString());
    const qsizetype lastSnapshot = std::distance(
        std::find_if(records.rbegin(), records.rend(),
                     [](const JournalRecord &r) { return r.type == JournalRecord::Type::Snapshot; }),
        records.rend());
    EXPECT_LE(again->controller().undoDepth(), records.size() - lastSnapshot);
    if (snapshots > 0) {
        EXPECT_LT(again->controller().undoDepth(), model.controller().undoDepth());
    }
    // The match carries on in the restored journal, with its next snapshot where the
    // uninterrupted journal has it.
    playLong(*again, laterTicks, MatchJournal::kSnapshotEvery + 200);
    for (const qsizetype gap : snapshotGaps(again->journal().records()))
        EXPECT_EQ(gap, MatchJournal::kSnapshotEvery);
    playLong(model, ticks, MatchJournal::kSnapshotEvery + 200);
    EXPECT_EQ(shown(*restart()), shown(model));
}

INSTANTIATE_TEST_SUITE_P(CutPoints, SnapshotRestoreTest, ::testing::Values(9'990, 10'004, 25'000));

// A confirmed reset that can still be undone is not summed up in a snapshot: after a kill,
// undo brings the match before the reset back, also when the reset fell on a snapshot's turn.
TEST_F(MatchJournalTest, AResetStillUndoableComesBackUndoneAfterARestart)
{
    model.start(QString());
    playLong(model, ticks, MatchJournal::kSnapshotEvery - 20);
    ASSERT_LT(model.journal().records().size(), MatchJournal::kSnapshotEvery);
    const Shown before = shownAll(model);
    model.execute(MatchCommand::of(Kind::Reset));
    // Undo and redo of the reset carry the count past a snapshot's turn; the reset stands.
    for (int n = 0; n < 40; ++n)
        model.execute(MatchCommand::of(n % 2 == 0 ? Kind::Undo : Kind::Redo));
    ASSERT_NE(shown(model), before.board);
    const auto records = model.journal().records();
    ASSERT_GT(records.size(), MatchJournal::kSnapshotEvery + 10);
    EXPECT_TRUE(std::none_of(records.begin(), records.end(),
                             [](const JournalRecord &r) { return r.type == JournalRecord::Type::Snapshot; }));
    auto again = restart();
    again->execute(MatchCommand::of(Kind::Undo));
    EXPECT_EQ(shown(*again), before.board);
}

// A snapshot in a tie-break begun by the other side keeps who serves its points next.
TEST_F(MatchJournalTest, ASnapshotInATieBreakKeepsItsServeOrder)
{
    model.start(QString());
    model.execute(MatchCommand::withValue(Kind::AutoCount, 0));
    model.execute(MatchCommand::of(Kind::Serve));
    model.execute(MatchCommand::of(Kind::Play));
    model.execute(MatchCommand::of(Kind::TieBreakToggle));
    for (const int side : {1, 2, 2})
        model.execute(MatchCommand::point(side));
    // Paused at the end, as a restore shows it.
    for (int n = 0; n <= MatchJournal::kSnapshotEvery; ++n)
        model.execute(MatchCommand::of(Kind::Play));
    const auto records = model.journal().records();
    EXPECT_TRUE(std::any_of(records.begin(), records.end(),
                            [](const JournalRecord &r) { return r.type == JournalRecord::Type::Snapshot; }));
    auto again = restart();
    for (BoardModel *m : {&model, again.get()})
        for (int n = 0; n < 3; ++n)
            m->execute(MatchCommand::point(1));
    EXPECT_EQ(shownAll(*again), shownAll(model));
}

// Every format's journal reads back whole: after a kill mid-match, from a snapshot, and
// once the decided match is closed.
class FormatJournalTest : public MatchJournalTest, public ::testing::WithParamInterface<const char *>
{};

TEST_P(FormatJournalTest, TheMatchComesBackInEveryFormat)
{
    model.execute(MatchCommand::format(QString::fromLatin1(GetParam())));
    model.start(QString());
    model.execute(MatchCommand::of(Kind::Play));
    play(model, 7);
    model.execute(MatchCommand::of(Kind::Play));
    EXPECT_EQ(restart()->restoreNote(), QString());
    EXPECT_EQ(shown(*restart()), shown(model));
    EXPECT_EQ(restart()->score().format().code(), QString::fromLatin1(GetParam()));

    for (int n = 0; n < MatchJournal::kSnapshotEvery; ++n)
        model.execute(MatchCommand::of(Kind::Play));
    const auto records = model.journal().records();
    EXPECT_TRUE(std::any_of(records.begin(), records.end(),
                            [](const JournalRecord &r) { return r.type == JournalRecord::Type::Snapshot; }));
    EXPECT_EQ(restart()->restoreNote(), QString());
    EXPECT_EQ(shownAll(*restart()), shownAll(model));

    model.execute(MatchCommand::of(Kind::Play));
    for (int n = 0; n < 400 && !model.score().matchOver(); ++n)
        model.execute(MatchCommand::point(1));
    ASSERT_TRUE(model.score().matchOver());
    ASSERT_TRUE(model.end());
    EXPECT_EQ(restart()->restoreNote(), QString());
}

// A journal an earlier board wrote with a best of one's count still brings its match back.
TEST_F(MatchJournalTest, AnEarlierJournalWithTheFormatsOwnSetCountReadsBack)
{
    model.execute(MatchCommand::format(QStringLiteral("SET1-S:4/TB7")));
    model.start(QString());
    model.execute(MatchCommand::of(Kind::Play));
    play(model, 5);
    model.execute(MatchCommand::of(Kind::Play));
    const QString path = JournalRecovery::journalPath(folder.path());
    QByteArray bytes = contents(path);
    const qsizetype at = bytes.indexOf(" sets 5 ");
    ASSERT_GT(at, 0);
    const qsizetype start = bytes.lastIndexOf('\n', at) + 1;
    const QByteArray body = bytes.mid(start, at - start) + " sets 1";
    bytes.replace(start, bytes.indexOf('\n', at) + 1 - start, JournalFormat::seal(body));
    write(path, bytes);
    auto again = restart();
    EXPECT_EQ(again->restoreNote(), QString());
    EXPECT_EQ(shown(*again), shown(model));
    EXPECT_EQ(again->score().setCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatJournalTest,
                         ::testing::Values("SET1-S:4/TB7", "SET2X-S:6/TB7", "SET3-S:6/TB7-F:TB10", "SET4X-S:4/TB7",
                                           "SET5-S:6/TB7-F:TB10"));

// A snapshot that does not read loses nothing: the one before it, or the commands, serve,
// and the restore note says so.
TEST_F(MatchJournalTest, ADamagedSnapshotFallsBackToTheOneBefore)
{
    model.start(QString());
    playLong(model, ticks, 21'000);
    model.execute(MatchCommand::of(Kind::Play));
    const QString path = JournalRecovery::journalPath(folder.path());
    for (const int damaged : {1, 2}) {
        SCOPED_TRACE(damaged);
        // Each time the last snapshot still read whole is spoilt, its line sealed again.
        QByteArray bytes = contents(path);
        qsizetype at = bytes.size();
        for (int n = 0; n < damaged; ++n)
            at = bytes.lastIndexOf(" state ", at - 1);
        ASSERT_GT(at, 0);
        const qsizetype start = bytes.lastIndexOf('\n', at) + 1;
        const qsizetype star = bytes.indexOf(" *", at);
        QByteArray body = bytes.mid(start, star - start);
        body.truncate(body.size() - 12); // the state read cut short
        bytes.replace(start, bytes.indexOf('\n', at) + 1 - start, JournalFormat::seal(body));
        write(path, bytes);

        auto again = restart();
        EXPECT_EQ(shownAll(*again), shownAll(model));
        EXPECT_TRUE(again->restoreNote().contains(QStringLiteral("Zwischenst"))) << again->restoreNote().toStdString();
        EXPECT_TRUE(again->restoreNote().contains(damaged == 1 ? QStringLiteral("Ein ") : QStringLiteral("2 ")))
            << again->restoreNote().toStdString();
    }
}

// A title text past the journal's bound is still shown, and the journal says it is not kept
// until a shorter one is.
TEST_F(MatchJournalTest, ATitleTextTooLongForTheJournalIsSaid)
{
    QSignalSpy said(&model, &BoardModel::journalProblem);
    model.start(QString());
    model.execute(MatchCommand::of(Kind::Play));
    const QString tooLong = QStringLiteral("{\\rtf1 %1}").arg(QString(MatchCommand::kMaxTitleTextBytes, u'x'));
    model.execute(MatchCommand::titleText(tooLong));
    EXPECT_EQ(model.titleText(), tooLong);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.first().first().toString().contains(QStringLiteral("Titeltext"))) << said.first().first().toString().toStdString();

    model.execute(MatchCommand::titleText(QStringLiteral("{\\rtf1 kurz}")));
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said.last().first().toString(), QString());
    EXPECT_EQ(restart()->titleText(), QStringLiteral("{\\rtf1 kurz}"));
}

// The longest names, title file and title text the journal takes still give snapshot lines
// the journal reads back, or none: never a line that ends the restore early.
TEST_F(MatchJournalTest, TheLongestTextsNeverMakeAnUnreadableSnapshot)
{
    model.start(QString());
    const QString file = QString(MatchCommand::kMaxTitleChars, u'f');
    model.execute(MatchCommand::titleFile(file));
    const QString name = QString(MatchCommand::kMaxNameChars, u'n');
    model.execute(MatchCommand::typedNames(name, name));
    const QString title = QString(MatchCommand::kMaxTitleTextBytes, u't');
    playLong(model, ticks, 20);
    model.execute(MatchCommand::titleText(title));
    for (int n = 0; n < MatchJournal::kSnapshotEvery; ++n)
        model.execute(MatchCommand::of(n % 2 == 0 ? Kind::Serve : Kind::Undo));
    ASSERT_EQ(model.titleText(), title);
    ASSERT_EQ(model.journal().problemText(), QString());

    const JournalFormat::ReadResult read = JournalFormat::readFile(JournalRecovery::journalPath(folder.path()));
    EXPECT_EQ(read.status, JournalFormat::ReadResult::Status::Ok) << read.badLine;

    auto again = restart();
    EXPECT_EQ(again->restoreNote(), QString());
    EXPECT_EQ(again->titleText(), title);
    EXPECT_EQ(again->name(1), name);
    EXPECT_EQ(again->titleFile(), file);
}
