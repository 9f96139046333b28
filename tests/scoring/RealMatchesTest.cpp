#include "tests/scoring/MatchRecordsCsv.h"

#include <gtest/gtest.h>

#include <QFile>

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

} // namespace
