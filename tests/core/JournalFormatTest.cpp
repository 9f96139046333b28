#include "core/JournalFormat.h"

#include <gtest/gtest.h>

namespace {

using Kind = MatchCommand::Kind;
using Status = JournalFormat::ReadResult::Status;

JournalRecord at(std::uint32_t ms, const MatchCommand &c)
{
    return JournalRecord::of(ms, c);
}

// One record of every kind, texts with what a line must not hold as such.
QList<JournalRecord> everyKind()
{
    return {
        at(0, MatchCommand::names(QStringLiteral("Anna \"Zü\" Nowak, jr."), QString())),
        at(0, MatchCommand::titleFile(QStringLiteral("C:\\Titel\\Finale 100%.rtf\n"))),
        at(0, MatchCommand::withValue(Kind::SetCount, 3)),
        at(0, MatchCommand::withValue(Kind::AutoCount, 0)),
        at(0, MatchCommand::withValue(Kind::TieBreakOption, 1)),
        at(0, MatchCommand::format(QStringLiteral("SET3-S:4NOAD/TB5NOAD@3-F:TB10"))),
        at(0, MatchCommand::of(Kind::Play)),
        at(1500, MatchCommand::point(1)),
        at(1600, MatchCommand::point(2, MatchCommand::PointSource::NameLabel)),
        at(1700, MatchCommand::pointsCorrection(2, Qt::RightButton)),
        at(1800, MatchCommand::gamesCorrection(17, Qt::MiddleButton)),
        at(1900, MatchCommand::gamesCorrection(19, Qt::LeftButton)),
        at(2000, MatchCommand::of(Kind::GameAward)),
        at(2100, MatchCommand::of(Kind::NextSet)),
        at(2200, MatchCommand::of(Kind::Serve)),
        at(2300, MatchCommand::of(Kind::TieBreakToggle)),
        at(2400, MatchCommand::withValue(Kind::SetHeader, 5)),
        at(2500, MatchCommand::of(Kind::Undo)),
        at(2600, MatchCommand::of(Kind::Redo)),
        at(4294967295u, MatchCommand::of(Kind::Reset)),
        JournalRecord::end(4294967295u),
    };
}

TEST(JournalFormat, EveryKindOfRecordReadsBackAsWritten)
{
    const QByteArray text = JournalFormat::write(everyKind());
    EXPECT_TRUE(text.startsWith("courtlyx-journal 1\n"));
    EXPECT_EQ(text.count('\n'), everyKind().size() + 1) << "one line a record";
    const auto read = JournalFormat::read(text);
    EXPECT_EQ(read.status, Status::Ok);
    EXPECT_EQ(read.records, everyKind());
    EXPECT_TRUE(read.endedNormally());
}

// The bytes journals already hold: one written before must read and be written alike.
TEST(JournalFormat, EveryKindIsWrittenAsJournalsAlreadyHoldIt)
{
    const QByteArray text =
        "courtlyx-journal 1\n"
        "1 0 names \"Anna%20%22Z%C3%BC%22%20Nowak%2C%20jr.\" \"\" *058e88e4\n"
        "2 0 title \"C%3A%5CTitel%5CFinale%20100%25.rtf%0A\" *02f04b78\n"
        "3 0 sets 3 *ec159a2b\n"
        "4 0 auto 0 *ac02beee\n"
        "5 0 tboption 1 *565630c8\n"
        "6 0 format \"SET3-S%3A4NOAD%2FTB5NOAD%403-F%3ATB10\" *29038597\n"
        "7 0 play *9fe1959e\n"
        "8 1500 point 1 key *84843b1d\n"
        "9 1600 point 2 name *ea9f5b07\n"
        "10 1700 points 2 right *998e4504\n"
        "11 1800 games 17 middle *fa3dc746\n"
        "12 1900 games 19 left *cb88f131\n"
        "13 2000 game *e0314a8b\n"
        "14 2100 set *b44a93ec\n"
        "15 2200 serve *380c9f14\n"
        "16 2300 tiebreak *f25bcab9\n"
        "17 2400 header 5 *764bd91c\n"
        "18 2500 undo *4bab49d5\n"
        "19 2600 redo *952846ae\n"
        "20 4294967295 reset *77090221\n"
        "21 4294967295 end *5bfa5d6a\n";
    const auto read = JournalFormat::read(text);
    ASSERT_EQ(read.status, Status::Ok);
    EXPECT_EQ(read.records, everyKind());
    EXPECT_EQ(JournalFormat::write(everyKind()), text);
}

TEST(JournalFormat, TheSetUpIsLeftOut)
{
    QList<JournalRecord> records = everyKind();
    records.insert(0, at(0, MatchCommand::withValue(Kind::Sound, 1)));
    records.insert(3, at(0, MatchCommand::withValue(Kind::Monitor, 2)));
    records.insert(records.size() - 1, at(0, MatchCommand::withValue(Kind::TieBreakPoints, 1)));
    EXPECT_EQ(JournalFormat::write(records), JournalFormat::write(everyKind()));
}

TEST(JournalFormat, CutAnywhereGivesTheWholeRecordsBeforeTheCut)
{
    const QList<JournalRecord> records = everyKind();
    const QByteArray text = JournalFormat::write(records);
    const qsizetype headerEnd = text.indexOf('\n') + 1;
    for (qsizetype cut = 0; cut <= text.size(); ++cut) {
        const auto read = JournalFormat::read(QByteArrayView(text).first(cut));
        const QByteArray kept = text.first(cut);
        // Whole lines before the cut; a last line missing only its newline still counts.
        qsizetype whole = qMax<qsizetype>(0, kept.count('\n') - 1);
        if (cut > headerEnd && !kept.endsWith('\n') && text.at(cut) == '\n')
            ++whole;
        ASSERT_EQ(read.records, records.first(whole)) << "cut at " << cut;
        if (cut == 0)
            EXPECT_EQ(read.status, Status::Empty);
        else if (kept.endsWith('\n') || text.at(cut) == '\n')
            EXPECT_EQ(read.status, Status::Ok) << "cut at " << cut;
        else
            EXPECT_EQ(read.status, Status::CutOff) << "cut at " << cut;
    }
}

TEST(JournalFormat, ADamagedLineEndsTheValidPrefix)
{
    const QByteArray text = JournalFormat::write(everyKind());
    const QList<QByteArray> lines = text.split('\n');
    // Line 4 (the third record): one character changed, the checksum no longer fits.
    for (qsizetype pos = 0; pos < lines[3].size(); ++pos) {
        QList<QByteArray> damaged = lines;
        damaged[3][pos] = damaged[3][pos] == '1' ? '2' : '1';
        const auto read = JournalFormat::read(damaged.join('\n'));
        EXPECT_EQ(read.status, Status::Garbage) << "changed at " << pos;
        EXPECT_EQ(read.badLine, 4);
        EXPECT_EQ(read.records, everyKind().first(2));
    }
}

TEST(JournalFormat, RecordsMustFollowInSequence)
{
    const QList<JournalRecord> two = {at(0, MatchCommand::of(Kind::Serve)), at(5, MatchCommand::of(Kind::Serve))};
    const QByteArray skipped = JournalFormat::header() + JournalFormat::line(two[0], 1) + JournalFormat::line(two[1], 3);
    const auto read = JournalFormat::read(skipped);
    EXPECT_EQ(read.status, Status::Garbage);
    EXPECT_EQ(read.records.size(), 1);
}

TEST(JournalFormat, LinesWithFittingChecksumsButBadArgumentsAreRefused)
{
    const QList<QByteArray> bodies = {
        "1 0 point 3 key", "1 0 point 1 foot", "1 0 point 1", "1 0 games 12 left", "1 0 games 7 up",
        "1 0 sets 6", "1 0 sets 0", "1 0 header 0", "1 0 auto 2", "1 0 serve now", "1 01 serve", "1 4294967296 serve",
        "1 0 names \"A\"", "1 0 names \"a%zz\" \"b\"", "1 0 names \"%41\" \"b\"", "1 0 title \"%FF\"",
        "1 0  serve", "1 0 ", "1 0 replay", "1 0 end 1", "2 0 serve", "-1 0 serve",
        // More words than any line has: refused before they are split.
        "1 0 names \"a\" \"b\"" + QByteArray(" x").repeated(64),
    };
    for (const QByteArray &body : bodies) {
        const auto read = JournalFormat::read(JournalFormat::header() + JournalFormat::seal(body));
        EXPECT_EQ(read.status, Status::Garbage) << body.constData();
        EXPECT_TRUE(read.records.isEmpty()) << body.constData();
    }
    // The same seal on a good body is taken, so the refusals above are the arguments'.
    const auto good = JournalFormat::read(JournalFormat::header() + JournalFormat::seal("1 0 games 7 left"));
    EXPECT_EQ(good.status, Status::Ok);
    EXPECT_EQ(good.records, QList<JournalRecord>{at(0, MatchCommand::gamesCorrection(7, Qt::LeftButton))});
}

TEST(JournalFormat, HeaderProblemsAreTold)
{
    EXPECT_EQ(JournalFormat::read("").status, Status::Empty);
    EXPECT_EQ(JournalFormat::read("courtlyx-jour").status, Status::CutOff);
    EXPECT_EQ(JournalFormat::read("hello world\n").status, Status::NotAJournal);
    EXPECT_EQ(JournalFormat::read("courtlyx-journal x\n").status, Status::NotAJournal);
    const QByteArray newer = "courtlyx-journal 2\n" + JournalFormat::line(at(0, MatchCommand::of(Kind::Serve)), 1);
    const auto read = JournalFormat::read(newer);
    EXPECT_EQ(read.status, Status::NewerVersion);
    EXPECT_EQ(read.version, 2);
    EXPECT_TRUE(read.records.isEmpty()) << "a newer format is not guessed at";
}

TEST(JournalFormat, SizesAreBounded)
{
    const QByteArray longLine = JournalFormat::header() + QByteArray(JournalFormat::kMaxLineBytes + 1, 'x') + '\n';
    EXPECT_EQ(JournalFormat::read(longLine).status, Status::LineTooLong);

    MatchCommand tooLong = MatchCommand::names(QString(MatchCommand::kMaxNameChars + 1, u'a'), QString());
    EXPECT_FALSE(tooLong.isValid());
    const auto read = JournalFormat::read(JournalFormat::write({at(0, tooLong)}));
    EXPECT_EQ(read.status, Status::Garbage);
}

TEST(JournalFormat, BoundsAreInclusive)
{
    // A line of exactly the longest length is read as a line: refused for its content.
    const QByteArray longest = JournalFormat::header() + QByteArray(JournalFormat::kMaxLineBytes, 'x') + '\n';
    EXPECT_EQ(JournalFormat::read(longest).status, Status::Garbage);

    // A long match is no damage: past a million records the journal still reads whole.
    constexpr qsizetype kMany = 1'000'001;
    QByteArray full = JournalFormat::header();
    for (qsizetype n = 1; n <= kMany; ++n)
        full += JournalFormat::line(at(0, MatchCommand::of(Kind::Serve)), n);
    const auto all = JournalFormat::read(full);
    EXPECT_EQ(all.status, Status::Ok);
    EXPECT_EQ(all.records.size(), kMany);
}

TEST(JournalFormat, TheSealIsTheStandardCrc32)
{
    // The check value of CRC-32 (IEEE 802.3): journals from any build read alike.
    EXPECT_EQ(JournalFormat::seal("123456789"), "123456789 *cbf43926\n");
}

} // namespace

namespace {

// The match's id in the header, the running clock's time and the title text read back;
// a torn id or a newer version's header is not taken as this match.
TEST(JournalFormat, MatchIdClockAndTitleTextReadBack)
{
    const QList<JournalRecord> records = {
        at(0, MatchCommand::of(Kind::Play)),
        at(0, MatchCommand::titleText(QStringLiteral("{\\rtf1 Finale {\\b Zürich}\n}"))),
        JournalRecord::clock(1500),
    };
    const QByteArray text = JournalFormat::write(records, QStringLiteral("20260517-140309-2"));
    EXPECT_TRUE(text.startsWith("courtlyx-journal 1 20260517-140309-2\n"));
    const auto read = JournalFormat::read(text);
    EXPECT_EQ(read.status, Status::Ok);
    EXPECT_EQ(read.matchId, "20260517-140309-2");
    EXPECT_EQ(read.records, records);

    EXPECT_EQ(JournalFormat::read("courtlyx-journal 1 2026051").status, Status::CutOff);
    EXPECT_EQ(JournalFormat::read("courtlyx-journal 1 ../x\n").status, Status::NotAJournal);
    EXPECT_EQ(JournalFormat::read("courtlyx-journal 2 20260517-140309\n").status, Status::NewerVersion);
}

} // namespace
