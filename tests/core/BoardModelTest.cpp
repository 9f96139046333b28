#include "core/BoardModel.h"
#include "core/BoardSettings.h"
#include "core/JournalFormat.h"
#include "core/JournalRecovery.h"
#include "tests/core/FakeTicks.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Kind = MatchCommand::Kind;

// The board model headless, with its journal in a folder of the test's own.
class BoardModelTest : public ::testing::Test
{
protected:
    BoardModel &started()
    {
        model.start(QStringLiteral("title.rtf"));
        return model;
    }
    QList<Kind> journalled() const
    {
        QList<Kind> kinds;
        for (const JournalRecord &r : model.journal().records())
            kinds << r.command.kind;
        return kinds;
    }

    QTemporaryDir folder;
    FakeTicks ticks;
    BoardModel model{ticks, folder.path()};
};

} // namespace

TEST_F(BoardModelTest, SetUpChangesTheBoardButNeverTheJournalNorUndo)
{
    started().execute(MatchCommand::of(Kind::Play));
    model.execute(MatchCommand::point(1));
    const qsizetype records = model.journal().records().size();
    QSignalSpy colours(&model, &BoardModel::coloursChanged);
    QSignalSpy monitor(&model, &BoardModel::monitorChanged);
    QSignalSpy marks(&model, &BoardModel::tieBreakPointsChanged);
    QSignalSpy names(&model, &BoardModel::namesChanged);

    model.execute(MatchCommand::colour(4, clRed));
    model.execute(MatchCommand::colour(4, clRed)); // the same again: no change
    model.execute(MatchCommand::withValue(Kind::Monitor, 2));
    model.execute(MatchCommand::withValue(Kind::TieBreakPoints, 1));
    model.execute(MatchCommand::withValue(Kind::Sound, 1));
    model.execute(MatchCommand::typedNames(QStringLiteral("Graf"), QStringLiteral("Seles")));
    EXPECT_EQ(model.colour(4), clRed);
    EXPECT_EQ(model.monitor(), 2);
    EXPECT_TRUE(model.showsTieBreakPoints());
    EXPECT_TRUE(model.sound());
    EXPECT_EQ(model.name(1), "Graf");
    EXPECT_EQ(model.name(2), "Seles");
    EXPECT_EQ(colours.size(), 1);
    EXPECT_EQ(monitor.size(), 1);
    EXPECT_EQ(marks.size(), 1);
    EXPECT_EQ(names.size(), 1);
    EXPECT_EQ(model.journal().records().size(), records + 1) << "only the names, which are the match's";
    EXPECT_EQ(model.journal().records().last().command, MatchCommand::names(QStringLiteral("Graf"), QStringLiteral("Seles")));

    model.execute(MatchCommand::of(Kind::Undo));
    EXPECT_EQ(model.score().field(MatchScore::pointsEntry(1)).Text, "0") << "undo took the point, not the set-up";
    EXPECT_EQ(model.colour(4), clRed);
    EXPECT_EQ(model.name(1), "Graf");
}

TEST_F(BoardModelTest, OutOfRangeSetUpChangesNothing)
{
    model.execute(MatchCommand::colour(5, clRed));
    model.execute(MatchCommand::withValue(Kind::Monitor, -1));
    model.execute(MatchCommand::withValue(Kind::Monitor, 100));
    model.execute(MatchCommand::withValue(Kind::TieBreakPoints, 2));
    EXPECT_EQ(model.colours(), BoardSettings().C);
    EXPECT_EQ(model.monitor(), 0);
    EXPECT_FALSE(model.showsTieBreakPoints());
}

// Before the journal opens only the stored options apply: nothing is journalled or undone,
// and no point counts.
TEST_F(BoardModelTest, BeforeTheStartOnlyTheOptionsApply)
{
    QSignalSpy options(&model, &BoardModel::optionsChanged);
    model.execute(MatchCommand::withValue(Kind::SetCount, 3));
    model.execute(MatchCommand::format(kFast4Format.code()));
    model.execute(MatchCommand::withValue(Kind::AutoCount, 0));
    model.execute(MatchCommand::of(Kind::Play));
    model.execute(MatchCommand::point(1));
    EXPECT_EQ(options.size(), 3);
    EXPECT_EQ(model.score().format(), kFast4Format);
    EXPECT_FALSE(model.score().autoCount());
    EXPECT_EQ(model.timer().MatchPhase(), MatchTimer::NotStarted);
    EXPECT_TRUE(model.journal().records().isEmpty());

    started();
    EXPECT_EQ(journalled(), (QList<Kind>{Kind::AutoCount, Kind::TieBreakOption, Kind::SetCount, Kind::Format,
                                         Kind::TitleFile}))
        << "the journal opens with the set-up as it stands";
    EXPECT_EQ(model.journal().records()[3].command.text1, kFast4Format.code());
}

// The names typed before the start are the match's once it starts; a later start after a
// pause journals none.
TEST_F(BoardModelTest, TheFirstPlayJournalsTheTypedNames)
{
    started().execute(MatchCommand::typedNames(QStringLiteral("Graf"), QStringLiteral("Seles")));
    model.execute(MatchCommand::of(Kind::Play));
    model.execute(MatchCommand::of(Kind::Play));
    model.execute(MatchCommand::of(Kind::Play));
    const QList<JournalRecord> &records = model.journal().records();
    ASSERT_EQ(journalled().mid(5), (QList<Kind>{Kind::Names, Kind::Play, Kind::Play, Kind::Play}));
    EXPECT_EQ(records[5].command.text1, "Graf");
    EXPECT_EQ(records[5].command.text2, "Seles");
}

TEST_F(BoardModelTest, OptionsSignalOnEveryOptionCommandAndOnUndoOfOne)
{
    started().execute(MatchCommand::of(Kind::Play));
    QSignalSpy options(&model, &BoardModel::optionsChanged);
    model.execute(MatchCommand::withValue(Kind::TieBreakOption, 1)); // the one in force
    EXPECT_EQ(options.size(), 1);
    model.execute(MatchCommand::point(2));
    EXPECT_EQ(options.size(), 1);
    model.execute(MatchCommand::withValue(Kind::SetCount, 3));
    EXPECT_EQ(model.score().setCount(), 3);
    QSignalSpy undone(&model, &BoardModel::undone);
    model.execute(MatchCommand::of(Kind::Undo));
    EXPECT_EQ(model.score().setCount(), 5);
    EXPECT_EQ(options.size(), 3);
    EXPECT_EQ(undone.size(), 1);
    model.execute(MatchCommand::of(Kind::Undo));
    model.execute(MatchCommand::of(Kind::Undo)); // nothing left to undo
    EXPECT_EQ(undone.size(), 2);
}

TEST_F(BoardModelTest, DecidingPointShowsInBothPointsFigures)
{
    started().execute(MatchCommand::format(kNoAdMatchTiebreakFormat.code()));
    model.execute(MatchCommand::of(Kind::Play));
    for (int i = 0; i < 3; ++i) {
        model.execute(MatchCommand::point(1));
        model.execute(MatchCommand::point(2));
    }
    EXPECT_EQ(model.pointsText(1), BoardModel::kDecidingPointText);
    EXPECT_EQ(model.pointsText(2), BoardModel::kDecidingPointText);
    EXPECT_EQ(model.score().field(MatchScore::pointsEntry(1)).Text, "40");
    model.execute(MatchCommand::point(2));
    EXPECT_EQ(model.pointsText(1), "0");
    EXPECT_EQ(model.winner(), 0);
}

// The remembered set-up goes through the model as commands and comes back whole.
TEST_F(BoardModelTest, StoredSetUpAppliesAndReadsBack)
{
    BoardSettings s;
    s.Sound = true;
    s.Monitor = 1;
    s.Comanda1 = QStringLiteral("Graf");
    s.Comanda2 = QStringLiteral("Seles");
    s.C = {clNavy, clGreen, clLime, clBlue, clRed};
    s.TieBreak = false;
    s.CountSets = 3;
    s.AutoSchet = false;
    s.Format = kProSetFormat.code();
    s.TieBreakPoints = true;
    model.apply(s);
    BoardSettings back;
    model.store(back);
    EXPECT_EQ(back.Comanda1, "Graf");
    EXPECT_EQ(back.C, s.C);
    EXPECT_TRUE(back.Sound);
    EXPECT_EQ(back.Monitor, 1);
    EXPECT_FALSE(back.AutoSchet);
    EXPECT_TRUE(back.TieBreakPoints);
    EXPECT_EQ(back.Format, kProSetFormat.code()) << "the format given last wins";
    EXPECT_EQ(back.CountSets, 1);
    EXPECT_TRUE(back.TieBreak) << "the pro set has its tie-break";

    s.Format = QStringLiteral("not a code");
    BoardModel fresh(ticks, folder.path());
    fresh.apply(s);
    fresh.store(back);
    EXPECT_EQ(back.Format, "SET3-S:6") << "a code that does not parse leaves what the count and option give";
}

TEST_F(BoardModelTest, ARestoredMatchBringsBackNamesAndTitleFile)
{
    started().execute(MatchCommand::typedNames(QStringLiteral("Graf"), QStringLiteral("Seles")));
    model.execute(MatchCommand::titleFile(QStringLiteral("3.rtf")));
    model.execute(MatchCommand::of(Kind::Play));
    model.execute(MatchCommand::point(1));
    // A second board on the journal its first left behind, as after a crash.
    FakeTicks otherTicks;
    BoardModel again(otherTicks, folder.path());
    QSignalSpy options(&again, &BoardModel::optionsChanged);
    EXPECT_TRUE(again.start(QStringLiteral("title.rtf")));
    EXPECT_EQ(again.name(1), "Graf");
    EXPECT_EQ(again.titleFile(), "3.rtf");
    EXPECT_EQ(again.pointsText(1), "15");
    EXPECT_EQ(again.timer().MatchPhase(), MatchTimer::Paused);
    EXPECT_EQ(options.size(), 1) << "the views show the restored options";
}

TEST_F(BoardModelTest, StateDumpSaysWhatTheBoardShows)
{
    const QString dump = folder.filePath(QStringLiteral("dump.txt"));
    qputenv("COURTLYX_STATE_DUMP", dump.toLocal8Bit());
    FakeTicks dumpTicks;
    BoardModel dumped(dumpTicks, folder.filePath(QStringLiteral("dumped")));
    qunsetenv("COURTLYX_STATE_DUMP");
    dumped.start(QString());
    dumped.execute(MatchCommand::typedNames(QStringLiteral("Graf"), QStringLiteral("Seles")));
    dumped.execute(MatchCommand::of(Kind::Play));
    dumped.execute(MatchCommand::point(2));
    QFile f(dump);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const char *line : {"seq=8", "f6=0", "f12=15", "f7=0", "f13=0", "f8=", "bold=1", "name1=Graf",
                             "name2=Seles", "server=0", "tiebreak=0"})
        EXPECT_TRUE(lines.contains(QLatin1String(line))) << line << " in " << lines.join(u' ').toStdString();
}

// A reset that undo took back ends no match: the next command neither keeps a record nor
// starts the journal over.
TEST_F(BoardModelTest, AnUndoneResetKeepsTheMatchInTheJournal)
{
    started().execute(MatchCommand::of(Kind::Play));
    model.execute(MatchCommand::point(1));
    model.execute(MatchCommand::of(Kind::Reset));
    model.execute(MatchCommand::of(Kind::Undo));
    const qsizetype records = model.journal().records().size();
    model.execute(MatchCommand::point(2));
    EXPECT_EQ(model.journal().records().size(), records + 1);
    EXPECT_FALSE(QFile::exists(model.journal().recordsTable()));
    EXPECT_EQ(model.pointsText(2), "15");

    model.execute(MatchCommand::of(Kind::Reset));
    model.execute(MatchCommand::point(1)); // the reset stands: the match before it is kept
    EXPECT_TRUE(QFile::exists(model.journal().recordsTable()));
    EXPECT_EQ(journalled().first(5), (QList<Kind>{Kind::AutoCount, Kind::TieBreakOption, Kind::SetCount,
                                                 Kind::Format, Kind::TitleFile}));
    EXPECT_EQ(journalled().size(), 6) << "the journal starts over with the set-up";
}

// A journal that cannot be written is said in words, not only on stderr.
TEST_F(BoardModelTest, AJournalThatCannotBeWrittenIsSaid)
{
    const QString blocked = folder.filePath(QStringLiteral("a-file"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    BoardModel unwritable(ticks, blocked + QStringLiteral("/data"));
    QSignalSpy said(&unwritable, &BoardModel::journalProblem);
    unwritable.start(QString());
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said.first().first().toString().startsWith(QStringLiteral("Journal wird nicht geschrieben (Ordner fehlt): ")))
        << said.first().first().toString().toStdString();
    unwritable.execute(MatchCommand::of(Kind::Play));
    unwritable.execute(MatchCommand::point(1));
    EXPECT_EQ(unwritable.pointsText(1), "15") << "the board plays on";
}
