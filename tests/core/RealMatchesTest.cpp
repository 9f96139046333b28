#include "tests/core/MatchRecordsCsv.h"

#include "core/MatchFormat.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <cstdio>

namespace {

using namespace MatchRecordsCsv;

TEST(RealMatchRecords, ReplayAgreesWithEveryRecordedScore)
{
    const QString path = dataFile();
    if (!QFile::exists(path))
        GTEST_SKIP() << "match records not found at " << path.toStdString();
    int rows = 0;
    const std::vector<Record> records = usableRecords(path, rows);
    ASSERT_GT(rows, 1000);
    ASSERT_GT(records.size(), size_t(rows) * 9 / 10) << "most records must be usable";
    int agreed = 0;
    for (const Record &r : records) {
        const auto sets = replay(r.pbp);
        EXPECT_EQ(sets, r.sets) << "match " << r.id.toStdString();
        agreed += sets == r.sets;
    }
    EXPECT_EQ(agreed, int(records.size()));
    std::printf("%d of %zu usable matches (of %d rows) agree\n", agreed, records.size(), rows);
}

// Grand slam women's matches of the time played the third set on to a two-game lead.
TEST(RealMatchRecords, AdvantageFinalSetsAgreeUnderTheirFormat)
{
    const QString path = dataFile();
    if (!QFile::exists(path))
        GTEST_SKIP() << "match records not found at " << path.toStdString();
    const MatchFormat format = *MatchFormat::parse(QStringLiteral("SET3-S:6/TB7-F:6")).format;
    int rows = 0;
    const std::vector<Record> records = usableRecords(path, rows, FinalSet::Advantage);
    ASSERT_GT(records.size(), size_t(rows) * 8 / 10);
    int agreed = 0;
    int longFinalSets = 0;
    for (const Record &r : records) {
        int winner = 0;
        const auto sets = replay(r.pbp, 3, &format, &winner);
        EXPECT_EQ(sets, r.sets) << "match " << r.id.toStdString();
        EXPECT_EQ(winner, r.winner) << "match " << r.id.toStdString();
        agreed += sets == r.sets && winner == r.winner;
        longFinalSets += r.sets.size() == 3 && std::max(r.sets[2].first, r.sets[2].second) > 7;
    }
    EXPECT_EQ(agreed, int(records.size()));
    EXPECT_GT(longFinalSets, 0);
    std::printf("%d of %zu records agree under %s, %d of them with a final set above 7 games\n", agreed,
                records.size(), qPrintable(format.code()), longFinalSets);
}

} // namespace
