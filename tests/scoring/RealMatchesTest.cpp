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
    int winner = 0;
};

QString dataFile()
{
    const QByteArray shared = qgetenv("COURTLYX_SHARED");
    return QString::fromLocal8Bit(shared.isEmpty() ? QByteArray("../shared") : shared)
           + QStringLiteral("/data/pbp_matches_wta_main_current.csv");
}

// Whether the third set was played to a tie-break at 6:6 or on to a two-game lead.
enum class FinalSet { TieBreak, Advantage };

// Advantage final sets (above 7 games) fall outside the tie-break rules the board plays;
// read as advantage final sets, a third set decided 7:6 is one a tie-break ended.
bool parseScore(const QString &score, int winner, std::vector<std::pair<int, int>> &sets,
                FinalSet finalSet = FinalSet::TieBreak)
{
    static const QRegularExpression setRe(QStringLiteral("^(\\d+)-(\\d+)(\\(\\d+\\))?$"));
    for (const QString &token : score.split(u' ', Qt::SkipEmptyParts)) {
        const auto m = setRe.match(token);
        if (!m.hasMatch())
            return false;
        const int w = m.captured(1).toInt();
        const int l = m.captured(2).toInt();
        if (std::max(w, l) > 7 && (finalSet == FinalSet::TieBreak || sets.size() != 2))
            return false;
        if (finalSet == FinalSet::Advantage && sets.size() == 2 && w == 7 && l == 6)
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

std::vector<Record> usableRecords(const QString &path, int &rows, FinalSet finalSet = FinalSet::TieBreak)
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
        Record r{QString::fromLatin1(cols[idCol]), cols[pbpCol], {}, cols[winnerCol].toInt()};
        if (!parseScore(QString::fromLatin1(cols[scoreCol]), r.winner, r.sets, finalSet))
            continue;
        if (countedGames(r.pbp) != r.sets)
            continue;
        out.push_back(std::move(r));
    }
    return out;
}

// Replays the points through the point commands; the serving side comes from the board.
// Under a format of its own the board also keeps the serve order inside tie-breaks, which
// the record marks, and names the winner.
std::vector<std::pair<int, int>> replay(const QByteArray &pbp, const MatchFormat *format = nullptr,
                                        int *winner = nullptr)
{
    FakeTicks ticks;
    Match match(ticks, QString());
    MatchScore &score = match.score();
    score.setSetCount(3);
    if (format)
        score.setFormat(*format);
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
                if (format && score.server() + 1 != current) {
                    ADD_FAILURE() << "server " << score.server() + 1 << " at game " << played + 1
                                  << ", recorded " << current;
                    return {};
                }
                const int pointWinner = (c == 'S' || c == 'A') ? current : 3 - current;
                pointWinner == 1 ? score.mSchet1Click() : score.mSchet2Click();
            }
            ++played;
            if (score.points(1) != 0 || score.points(2) != 0) {
                ADD_FAILURE() << "no game awarded at game " << played;
                return {};
            }
        }
    }
    std::vector<std::pair<int, int>> sets;
    // A decided match leaves its last set in play.
    const int pastLast = score.CurrentSet() + (score.matchOver() ? 1 : 0);
    for (int n = 1; n < pastLast && n <= MatchScore::kMaxSets; ++n)
        sets.push_back({score.games(1, n), score.games(2, n)});
    if (winner)
        *winner = score.matchWinner();
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
        const auto sets = replay(r.pbp, &format, &winner);
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
