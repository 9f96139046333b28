#include "tests/core/MatchRecordsCsv.h"

#include "core/Match.h"
#include "tests/core/FakeTicks.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

namespace MatchRecordsCsv {

QString dataFile()
{
    const QByteArray shared = qgetenv("COURTLYX_SHARED");
    return QString::fromLocal8Bit(shared.isEmpty() ? QByteArray("../shared") : shared)
           + QStringLiteral("/data/pbp_matches_wta_main_current.csv");
}

QList<QByteArray> splitLine(const QByteArray &line)
{
    QList<QByteArray> fields(1);
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += line[++i];
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.append(QByteArray());
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

bool parseScore(const QString &score, int winner, Sets &sets, FinalSet finalSet)
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

Sets countedGames(const QByteArray &pbp)
{
    Sets sets;
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

bool parseRecord(const QList<QByteArray> &header, const QByteArray &line, Record &r, FinalSet finalSet)
{
    const QList<QByteArray> cols = splitLine(line);
    if (cols.size() != header.size())
        return false;
    r = Record{};
    r.id = QString::fromLatin1(cols[header.indexOf("pbp_id")]);
    r.pbp = cols[header.indexOf("pbp")];
    r.score = QString::fromLatin1(cols[header.indexOf("score")]);
    r.winner = cols[header.indexOf("winner")].toInt();
    return parseScore(r.score, r.winner, r.sets, finalSet) && countedGames(r.pbp) == r.sets;
}

std::vector<Record> usableRecords(const QString &path, int &rows, FinalSet finalSet)
{
    std::vector<Record> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QList<QByteArray> header = file.readLine().trimmed().split(',');
    rows = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (splitLine(line).size() != header.size())
            continue;
        ++rows;
        Record r;
        if (parseRecord(header, line, r, finalSet))
            out.push_back(std::move(r));
    }
    return out;
}

Sets replay(const QByteArray &pbp, int setCount, const MatchFormat *format, int *winner)
{
    FakeTicks ticks;
    Match match(ticks, QString());
    MatchScore &score = match.score();
    score.setSetCount(setCount);
    if (format)
        score.setFormat(*format);
    match.timer().bPlayClick();
    int played = 0;
    for (const QByteArray &set : pbp.split('.')) {
        for (const QByteArray &game : set.split(';')) {
            if (game.isEmpty())
                continue;
            int current = score.server() + 1;
            for (qsizetype i = 0; i < game.size(); ++i) {
                const char c = game[i];
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
                if (i + 1 < game.size() && score.points(1) == 0 && score.points(2) == 0) {
                    ADD_FAILURE() << "game awarded before its last point at game " << played + 1;
                    return {};
                }
            }
            ++played;
            // The deciding game leaves the points empty: no game is under way.
            const int after = score.matchOver() ? -1 : 0;
            if (score.points(1) != after || score.points(2) != after) {
                ADD_FAILURE() << "no game awarded at game " << played;
                return {};
            }
        }
    }
    Sets sets;
    // A decided match leaves its last set in play.
    const int pastLast = score.CurrentSet() + (score.matchOver() ? 1 : 0);
    for (int n = 1; n < pastLast && n <= MatchScore::kMaxSets; ++n)
        sets.push_back({score.games(1, n), score.games(2, n)});
    if (winner)
        *winner = score.matchWinner();
    return sets;
}

} // namespace MatchRecordsCsv
