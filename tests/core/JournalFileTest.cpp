#include "core/JournalFile.h"
#include "core/JournalFormat.h"
#include "core/JournalRecovery.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Kind = MatchCommand::Kind;
using Status = JournalFormat::ReadResult::Status;

JournalRecord at(std::uint32_t ms, const MatchCommand &c)
{
    return JournalRecord::of(ms, c);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QDateTime kNow(QDate(2026, 5, 17), QTime(14, 3, 9));

TEST(JournalFile, EachRecordIsInTheFileAtOnceAndTheSyncFollows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.txt"));
    JournalFile file;
    const QList<JournalRecord> restored = {at(0, MatchCommand::of(Kind::Play)), at(900, MatchCommand::point(2))};
    ASSERT_TRUE(file.open(path, restored));
    file.append(at(1000, MatchCommand::point(1)));
    // Read through another handle, as after a crash of the writer: nothing waits in a buffer.
    const auto read = JournalFormat::readFile(path);
    EXPECT_EQ(read.status, Status::Ok);
    EXPECT_EQ(read.records, restored + QList<JournalRecord>{at(1000, MatchCommand::point(1))});
    EXPECT_FALSE(read.endedNormally());
    EXPECT_TRUE(file.syncPending());
    QTRY_VERIFY_WITH_TIMEOUT(!file.syncPending(), 2000);
}

TEST(JournalFile, ANormalCloseEndsTheJournal)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.txt"));
    {
        JournalFile file;
        ASSERT_TRUE(file.open(path));
        file.append(at(10, MatchCommand::of(Kind::Serve)));
        file.close(20);
        EXPECT_FALSE(file.syncPending());
        file.append(at(30, MatchCommand::of(Kind::Serve))); // after the close: nowhere
    }
    const auto read = JournalFormat::readFile(path);
    EXPECT_EQ(read.status, Status::Ok);
    EXPECT_TRUE(read.endedNormally());
    EXPECT_EQ(read.records.size(), 2);
    EXPECT_EQ(JournalRecovery::inspect(dir.path(), kNow).toRestore.size(), 0);
}

// A full disk, at the start or in the middle of a line: what is on disk is always whole
// lines, the rest waits in memory, and once there is room the journal catches up by itself.
TEST(JournalFile, AFullDiskLosesNothingAndTheJournalCatchesUp)
{
    const QList<JournalRecord> first = {at(0, MatchCommand::of(Kind::Play)), at(900, MatchCommand::point(2))};
    const QList<JournalRecord> more = {at(1000, MatchCommand::point(1)), at(2000, MatchCommand::point(1))};
    for (const qint64 room : {qint64(0), JournalFormat::write(first).size() + 10}) {
        SCOPED_TRACE("room " + std::to_string(room));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("journal.txt"));
        JournalFile file;
        QSignalSpy state(&file, &JournalFile::stateChanged);
        JournalFile::setSpaceForTests(room);
        EXPECT_EQ(file.open(path, first), room > 0);
        for (const JournalRecord &r : more)
            file.append(r);
        EXPECT_TRUE(file.isBehind());
        ASSERT_EQ(state.size(), 1);
        EXPECT_EQ(state.first().first().toString(), QStringLiteral("Datenträger voll"));
        const auto partial = JournalFormat::readFile(path);
        EXPECT_EQ(partial.status, room > 0 ? Status::Ok : Status::Missing) << "no torn line on disk";
        EXPECT_EQ(partial.records, room > 0 ? first : QList<JournalRecord>{});

        JournalFile::setSpaceForTests(-1);
        QTRY_VERIFY_WITH_TIMEOUT(!file.isBehind(), 3 * JournalFile::kRetryMs);
        ASSERT_EQ(state.size(), 2);
        EXPECT_EQ(state.last().first().toString(), QString()) << "the all-clear follows";
        const auto whole = JournalFormat::readFile(path);
        EXPECT_EQ(whole.status, Status::Ok);
        EXPECT_EQ(whole.records, first + more);
    }
}

TEST(JournalFile, AFolderThatCannotBeWrittenIsSaidAndRetried)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("a-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    JournalFile file;
    QSignalSpy state(&file, &JournalFile::stateChanged);
    EXPECT_FALSE(file.open(blocker.fileName() + QStringLiteral("/journal.txt")));
    ASSERT_EQ(state.count(), 1);
    EXPECT_EQ(state.first().first().toString(), QStringLiteral("Ordner fehlt"));
    file.append(at(0, MatchCommand::of(Kind::Serve)));
    EXPECT_TRUE(file.isBehind()) << "kept in memory for the next try";
}

TEST(JournalFile, ACarriedOnJournalIsAppendedToNotRewritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.txt"));
    const QList<JournalRecord> records = {at(0, MatchCommand::of(Kind::Play)), at(5, MatchCommand::point(1))};
    {
        JournalFile file;
        ASSERT_TRUE(file.open(path, records, QStringLiteral("20260517-140309")));
    }
    const QByteArray before = contents(path);
    JournalFile file;
    ASSERT_TRUE(file.reopen(path, records.size()));
    file.append(JournalRecord::clock(7000));
    EXPECT_EQ(contents(path), before + JournalFormat::line(JournalRecord::clock(7000), 3));
    const auto read = JournalFormat::readFile(path);
    EXPECT_EQ(read.matchId, "20260517-140309");
    EXPECT_EQ(read.records.last(), JournalRecord::clock(7000));
}

TEST(JournalRecovery, AnUnfinishedRunIsRestoredAndItsFileLeftInPlace)
{
    QTemporaryDir dir;
    const QList<JournalRecord> records = {at(0, MatchCommand::of(Kind::Play)), at(5, MatchCommand::point(1))};
    {
        JournalFile file;
        ASSERT_TRUE(file.open(JournalRecovery::journalPath(dir.path()), records));
    } // no close: the program died
    const JournalRecovery found = JournalRecovery::inspect(dir.path(), kNow);
    EXPECT_EQ(found.status, Status::Ok);
    EXPECT_EQ(found.toRestore, records);
    EXPECT_TRUE(found.keptAs.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("journal.txt")});
}

TEST(JournalRecovery, NoJournalGivesNothing)
{
    QTemporaryDir dir;
    const JournalRecovery found = JournalRecovery::inspect(dir.path(), kNow);
    EXPECT_EQ(found.status, Status::Missing);
    EXPECT_TRUE(found.toRestore.isEmpty());
    EXPECT_FALSE(found.keepFailed);
}

TEST(JournalRecovery, ADamagedJournalIsKeptBesideTheNewOne)
{
    QTemporaryDir dir;
    const QString path = JournalRecovery::journalPath(dir.path());
    const QList<JournalRecord> records = {at(0, MatchCommand::of(Kind::Play)), at(5, MatchCommand::point(1))};
    const QByteArray torn = JournalFormat::write(records) + "3 9 poi";
    for (int run = 0; run < 2; ++run) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(torn);
        f.close();
        const JournalRecovery found = JournalRecovery::inspect(dir.path(), kNow);
        EXPECT_EQ(found.status, Status::CutOff);
        EXPECT_EQ(found.toRestore, records) << "the valid prefix is restored";
        const QString expected = run == 0 ? QStringLiteral("journal-damaged-20260517-140309.txt")
                                          : QStringLiteral("journal-damaged-20260517-140309-2.txt");
        EXPECT_EQ(found.keptAs, dir.filePath(expected)) << "an earlier damaged file is not overwritten";
        EXPECT_EQ(contents(found.keptAs), torn);
        EXPECT_FALSE(QFile::exists(path));
    }

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("courtlyx-journal 9\n1 0 teleport *00000000\n");
    f.close();
    const JournalRecovery newer = JournalRecovery::inspect(dir.path(), kNow.addSecs(1));
    EXPECT_EQ(newer.status, Status::NewerVersion);
    EXPECT_TRUE(newer.toRestore.isEmpty());
    EXPECT_EQ(newer.keptAs, dir.filePath(QStringLiteral("journal-damaged-20260517-140310.txt")));
}

} // namespace
