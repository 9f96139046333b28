#include "app/scoring/Match.h"
#include "tests/scoring/FakeTicks.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

// Point-by-point records of professional matches: S/A the server won the point, R/D the
// returner; ';' ends a game, '.' a set, '/' a change of server inside a tie-break.
struct Record
{
    QString id;
    QByteArray pbp;
    std::vector<std::pair<int, int>> sets; // games of side 1 and side 2
};

QString dataFile()
{
    const QByteArray shared = qgetenv("COURTLYX_SHARED");
    return QString::fromLocal8Bit(shared.isEmpty() ? QByteArray("../shared") : shared)
           + QStringLiteral("/data/pbp_matches_wta_main_current.csv");
}

// Advantage final sets (above 7 games) fall outside the tie-break rules the board plays.
bool parseScore(const QString &score, int winner, std::vector<std::pair<int, int>> &sets)
{
    static const QRegularExpression setRe(QStringLiteral("^(\\d+)-(\\d+)(\\(\\d+\\))?$"));
    for (const QString &token : score.split(u' ', Qt::SkipEmptyParts)) {
        const auto m = setRe.match(token);
        if (!m.hasMatch())
            return false;
        const int w = m.captured(1).toInt();
        const int l = m.captured(2).toInt();
        if (std::max(w, l) > 7)
            return false;
        sets.push_back(winner == 1 ? std::make_pair(w, l) : std::make_pair(l, w));
    }
    return !sets.empty();
}

// Games per set counted straight from the points, without any tennis rule: the winner of a
// game is the winner of its last point. Rows that disagree with their own score are unusable.
std::vector<std::pair<int, int>> countedGames(const QByteArray &pbp)
{
    std::vector<std::pair<int, int>> sets;
    int server = 1;
    for (const QByteArray &set : pbp.split('.')) {
        std::pair<int, int> g{0, 0};
        for (const QByteArray &game : set.split(';')) {
            if (game.isEmpty())
                continue;
            int current = server;
            int winner = 0;
            for (char c : game) {
                if (c == '/')
                    current = 3 - current;
                else
                    winner = (c == 'S' || c == 'A') ? current : 3 - current;
            }
            (winner == 1 ? g.first : g.second)++;
            server = 3 - server;
        }
        sets.push_back(g);
    }
    return sets;
}

std::vector<Record> usableRecords(const QString &path, int &rows)
{
    std::vector<Record> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QList<QByteArray> header = file.readLine().trimmed().split(',');
    const int pbpCol = header.indexOf("pbp");
    const int scoreCol = header.indexOf("score");
    const int winnerCol = header.indexOf("winner");
    const int idCol = header.indexOf("pbp_id");
    rows = 0;
    while (!file.atEnd()) {
        const QList<QByteArray> cols = file.readLine().trimmed().split(',');
        if (cols.size() != header.size())
            continue;
        ++rows;
        Record r{QString::fromLatin1(cols[idCol]), cols[pbpCol], {}};
        if (!parseScore(QString::fromLatin1(cols[scoreCol]), cols[winnerCol].toInt(), r.sets))
            continue;
        if (countedGames(r.pbp) != r.sets)
            continue;
        out.push_back(std::move(r));
    }
    return out;
}

// Replays the points through the point commands; the serving side comes from the board.
std::vector<std::pair<int, int>> replay(const QByteArray &pbp)
{
    FakeTicks ticks;
    Match match(ticks, QString());
    MatchScore &score = match.score();
    score.setSetCount(3);
    match.timer().bPlayClick();
    int played = 0;
    for (const QByteArray &set : pbp.split('.')) {
        for (const QByteArray &game : set.split(';')) {
            if (game.isEmpty())
                continue;
            int current = score.server() + 1;
            for (char c : game) {
                if (c == '/') {
                    current = 3 - current;
                    continue;
                }
                const int winner = (c == 'S' || c == 'A') ? current : 3 - current;
                winner == 1 ? score.mSchet1Click() : score.mSchet2Click();
            }
            ++played;
            if (score.points(1) != 0 || score.points(2) != 0) {
                ADD_FAILURE() << "no game awarded at game " << played;
                return {};
            }
        }
    }
    std::vector<std::pair<int, int>> sets;
    for (int n = 1; n < score.CurrentSet() && n <= MatchScore::kMaxSets; ++n)
        sets.push_back({score.games(1, n), score.games(2, n)});
    return sets;
}

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
