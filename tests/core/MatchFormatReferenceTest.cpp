#include "core/Match.h"
#include "core/MatchFormat.h"
#include "tests/core/FakeTicks.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Compares the format parser with the TODS reference package (tods-matchup-format-code
// 1.1.5), run through node from tests/core/formatcheck.

namespace {

enum class Verdict {
    Same,            // both reject, or both accept with the same parse and the same written code
    OnlyOursAccepts, // grammar the pinned reference predates
    OnlyTheirsAccepts, // what the board cannot count, or what the reference lets through unread
};

struct Case
{
    const char *code;
    Verdict verdict;
};

constexpr Case kCases[] = {
    // The valid formats of the reference's own tests.
    {"SET3-S:6/TB7", Verdict::Same},
    {"SET3-S:4/TB7", Verdict::Same},
    {"SET3-S:4/TB5@3", Verdict::Same},
    {"SET5-S:6/TB9-F:6", Verdict::Same},
    {"SET5-S:6/TB7-F:6", Verdict::Same},
    {"SET5-S:6/TB7-F:6/TB7@12", Verdict::Same},
    {"SET5-S:6/TB7-F:6/TB10", Verdict::Same},
    {"SET5-S:5NOAD/TB9NOAD@4", Verdict::Same},
    {"SET3-S:TB10", Verdict::Same},
    {"SET3-S:6/TB7-F:TB10", Verdict::Same},
    {"SET1-S:8/TB7", Verdict::Same},
    {"SET1-S:8/TB7@7", Verdict::Same},
    // Its timed formats: a game count is what this board keeps.
    {"SET3-S:T20-F:T60", Verdict::OnlyTheirsAccepts},
    {"SET1-S:T120", Verdict::OnlyTheirsAccepts},
    {"SET1-S:T90", Verdict::OnlyTheirsAccepts},
    {"SET1-S:T60", Verdict::OnlyTheirsAccepts},
    {"SET1-S:T30", Verdict::OnlyTheirsAccepts},
    {"T120", Verdict::OnlyTheirsAccepts},
    {"T90", Verdict::OnlyTheirsAccepts},
    {"T60", Verdict::OnlyTheirsAccepts},
    {"T30", Verdict::OnlyTheirsAccepts},
    // The invalid formats of its tests.
    {"", Verdict::Same},
    {"T", Verdict::Same},
    {"90", Verdict::Same},
    {"T90X", Verdict::Same},
    {"T90@", Verdict::Same},
    {"SET3-S:6/TB", Verdict::Same},
    {"SET3-S:6/TB7@", Verdict::Same},
    {"SET5-S:6/T9-F:6", Verdict::Same},
    {"SET-S:6/TB7-F:6", Verdict::Same},
    {"SET35-S:6/TB7-F:TB10", Verdict::Same},
    {"SET5-S:6/TB7-X:6/TB10", Verdict::Same},
    {"SET5-S:5NOAD/TB9NOD@4", Verdict::Same},
    {"SET5-S:5NAD/TB9NOAD@4", Verdict::Same},
    {"SET5-S:6/TB7F:6/TB7@12", Verdict::Same},
    // The board's own formats and presets.
    {"SET5-S:6/TB7", Verdict::Same},
    {"SET5-S:6", Verdict::Same},
    {"SET3-S:6", Verdict::Same},
    {"SET3-S:6NOAD/TB7-F:TB10", Verdict::Same},
    {"SET3-S:4/TB7@4", Verdict::Same},
    {"SET3-S:4NOAD/TB5NOAD@3", Verdict::Same},
    {"SET5-S:4NOAD/TB5@3", Verdict::Same},
    // More valid forms, some written longer than needed.
    {"SET3-S:6/TB7NOAD", Verdict::Same},
    {"SET3-S:6NOAD", Verdict::Same},
    {"SET3-S:6/TB7@5", Verdict::Same},
    {"SET3-S:6/TB7@6", Verdict::Same},
    {"SET3-S:6/TB7-F:6/TB7", Verdict::Same},
    {"SET3-S:6/TB10", Verdict::Same},
    {"SET3-S:6-F:TB10", Verdict::Same},
    {"SET3-S:8/TB7@7", Verdict::Same},
    {"SET3-S:TB10NOAD", Verdict::Same},
    {"SET3-S:6/TB7-F:TB10NOAD", Verdict::Same},
    {"SET3-S:4/TB5@3-F:TB10", Verdict::Same},
    {"SET1-S:6/TB10", Verdict::Same},
    {"SET1-S:5/TB9@4", Verdict::Same},
    {"SET1-S:8", Verdict::Same},
    {"SET1-S:TB10", Verdict::Same},
    {"SET1-S:8/TB7-F:TB10", Verdict::Same},
    {"SET2-S:6/TB7", Verdict::OnlyTheirsAccepts},
    // More invalid forms.
    {"SET6-S:6/TB7", Verdict::Same},
    {"SET0-S:6/TB7", Verdict::Same},
    {"SET3", Verdict::Same},
    {"SET3-S:", Verdict::Same},
    {"SET3-S:6/TX7", Verdict::Same},
    {"SET3-S:0/TB7", Verdict::Same},
    {"SET3-S:6/TB0", Verdict::Same},
    {"SET3-S:6/TB7@0", Verdict::Same},
    {"SET3-S:6/TB7-F:", Verdict::Same},
    {"SET3-S:6/TB7X", Verdict::Same},
    {"set3-s:6/tb7", Verdict::Same},
    // "Exactly n sets" came to the grammar after 1.1.5.
    {"SET3X-S:6/TB7", Verdict::OnlyOursAccepts},
    {"SET3X-S:6/TB7-F:TB10", Verdict::OnlyOursAccepts},
    {"SET2X-S:TB10", Verdict::OnlyOursAccepts},
    // The reference reads these partly and drops the rest; the board refuses a code it cannot read whole.
    {"SET3-S:6@5", Verdict::OnlyTheirsAccepts},
    {"SET3-S:TB10@5", Verdict::OnlyTheirsAccepts},
    {"SET3-S:6NOADX/TB7", Verdict::OnlyTheirsAccepts},
    {"SET3-S:6/TB7-", Verdict::OnlyTheirsAccepts},
    {"SET3-S:6/TB7-F:TB10-X:1", Verdict::OnlyTheirsAccepts},
    {"SET3-S:6/TB7-S:TB10", Verdict::OnlyTheirsAccepts},
    {"SET3-F:6/TB7", Verdict::OnlyTheirsAccepts},
    // A tie-break at 4 all would end a set to 6 before either side reaches 6.
    {"SET3-S:6/TB7@4", Verdict::OnlyTheirsAccepts},
};

std::string compact(const QJsonValue &value)
{
    if (!value.isObject())
        return value.isNull() ? "null" : "(not an object)";
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact).toStdString();
}

TEST(MatchFormatReference, ParsesAndWritesCodesAsTheReferencePackage)
{
    const QString dir = QStringLiteral(COURTLYX_FORMATCHECK_DIR);
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty())
        GTEST_SKIP() << "node is not installed; the reference cross-check needs it";
    if (!QFileInfo::exists(dir + QStringLiteral("/node_modules/tods-matchup-format-code/package.json")))
        GTEST_SKIP() << "tods-matchup-format-code is not installed; run tests/core/formatcheck/install.sh";

    QJsonArray codes;
    for (const Case &c : kCases)
        codes.append(QString::fromLatin1(c.code));
    QProcess reference;
    reference.setWorkingDirectory(dir);
    reference.start(node, {dir + QStringLiteral("/reference.js")});
    ASSERT_TRUE(reference.waitForStarted(10000)) << reference.errorString().toStdString();
    reference.write(QJsonDocument(codes).toJson(QJsonDocument::Compact));
    reference.closeWriteChannel();
    ASSERT_TRUE(reference.waitForFinished(60000)) << reference.errorString().toStdString();
    ASSERT_EQ(reference.exitCode(), 0) << reference.readAllStandardError().toStdString();

    const QJsonObject answer = QJsonDocument::fromJson(reference.readAllStandardOutput()).object();
    ASSERT_EQ(answer.value(QStringLiteral("version")).toString(), QStringLiteral("1.1.5"));
    const QJsonArray results = answer.value(QStringLiteral("results")).toArray();
    ASSERT_EQ(results.size(), qsizetype(std::size(kCases)));

    for (qsizetype i = 0; i < results.size(); ++i) {
        const Case &c = kCases[i];
        SCOPED_TRACE(std::string("code '") + c.code + "'");
        const QJsonObject theirs = results[i].toObject();
        ASSERT_EQ(theirs.value(QStringLiteral("code")).toString(), QString::fromLatin1(c.code));
        const bool theyAccept = theirs.value(QStringLiteral("parsed")).isObject();
        const auto ours = MatchFormat::parse(QString::fromLatin1(c.code));

        switch (c.verdict) {
        case Verdict::Same:
            ASSERT_EQ(ours.format.has_value(), theyAccept) << ours.error.toStdString();
            if (ours.format) {
                EXPECT_EQ(compact(ours.format->toJson()), compact(theirs.value(QStringLiteral("parsed"))));
                EXPECT_EQ(ours.format->code(), theirs.value(QStringLiteral("written")).toString());
            }
            break;
        case Verdict::OnlyOursAccepts:
            EXPECT_TRUE(ours.format) << ours.error.toStdString();
            EXPECT_FALSE(theyAccept);
            break;
        case Verdict::OnlyTheirsAccepts:
            EXPECT_FALSE(ours.format);
            EXPECT_TRUE(theyAccept);
            break;
        }
    }
}

// Runs a node script of formatcheck with a JSON request; the parsed answer, or a failure.
QJsonDocument runNode(const QString &script, const QJsonDocument &request)
{
    const QString dir = QStringLiteral(COURTLYX_FORMATCHECK_DIR);
    QProcess node;
    node.setWorkingDirectory(dir);
    node.start(QStandardPaths::findExecutable(QStringLiteral("node")), {dir + QLatin1Char('/') + script});
    EXPECT_TRUE(node.waitForStarted(10000)) << node.errorString().toStdString();
    node.write(request.toJson(QJsonDocument::Compact));
    node.closeWriteChannel();
    EXPECT_TRUE(node.waitForFinished(300000)) << node.errorString().toStdString();
    EXPECT_EQ(node.exitCode(), 0) << node.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(node.readAllStandardOutput());
}

int fromEnvironment(const char *name, int fallback)
{
    const int value = qEnvironmentVariableIntValue(name);
    return value > 0 ? value : fallback;
}

// Codes at and inside the parser's bounds: every set size, tie-break size and "@" the list
// draws, with and without no-ad, a final set of either kind, and all set counts it takes.
std::vector<QString> generatedCodes(int count)
{
    std::vector<QString> codes = {
        QStringLiteral("SET1-S:99/TB99@99"), QStringLiteral("SET1-S:1/TB1@1"),  QStringLiteral("SET1-S:99"),
        QStringLiteral("SET3-S:6/TB7-F:6"),  QStringLiteral("SET5-S:6/TB7-F:6"), QStringLiteral("SET1-S:2/TB1@1"),
        QStringLiteral("SET5-S:6/TB7-F:6/TB7@12"), QStringLiteral("SET2X-S:TB10"), QStringLiteral("SET4X-S:1"),
        QStringLiteral("SET3-S:TB99NOAD"),   QStringLiteral("SET5X-S:4NOAD/TB5NOAD@3-F:TB1")};
    QRandomGenerator random(1123);
    const auto pick = [&](std::initializer_list<int> values) { return *(values.begin() + random.bounded(int(values.size()))); };
    const auto setCode = [&](bool final) -> QString {
        if (random.bounded(final ? 3 : 8) == 0)
            return QStringLiteral("TB%1%2").arg(pick({1, 2, 5, 7, 10, 12, 99})).arg(random.bounded(3) ? "" : "NOAD");
        const int setTo = pick({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 99});
        QString code = QString::number(setTo) + (random.bounded(3) ? "" : "NOAD");
        if (random.bounded(4) == 0)
            return code;
        code += QStringLiteral("/TB%1%2").arg(pick({1, 2, 3, 5, 7, 10, 12, 99})).arg(random.bounded(3) ? "" : "NOAD");
        const int at = std::min(99, std::max(1, setTo + pick({-1, 0, 0, 1, 6, 99})));
        return at == setTo ? code : code + QStringLiteral("@%1").arg(at);
    };
    while (int(codes.size()) < count) {
        const int bestOf = pick({1, 3, 3, 5, 2, 4});
        const bool exactly = bestOf % 2 == 0 || random.bounded(5) == 0;
        QString code = QStringLiteral("SET%1%2-S:").arg(bestOf).arg(exactly ? "X" : "") + setCode(false);
        if (random.bounded(2))
            code += QStringLiteral("-F:") + setCode(true);
        // A tie-break at a score below one game short of the set is refused; draw again.
        if (MatchFormat::parse(code).format && !MatchFormat::parse(code).format->toJson().isEmpty())
            codes.push_back(code);
    }
    return codes;
}

std::uint32_t fnv(const std::string &text)
{
    std::uint32_t h = 0x811c9dc5;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x01000193;
    }
    return h;
}

// What the board shows after a point, in the scorer's line form.
std::string boardLine(const MatchScore &s)
{
    std::string line = s.field(MatchScore::pointsEntry(1)).Text.toStdString() + ' '
                       + s.field(MatchScore::pointsEntry(2)).Text.toStdString() + '|';
    for (int set = 1; set <= std::min(s.CurrentSet(), MatchScore::kMaxSets); ++set)
        line += (set > 1 ? " " : "") + std::to_string(s.games(1, set)) + ':' + std::to_string(s.games(2, set));
    line += '|' + std::to_string(s.CurrentSet()) + '|' + (s.matchOver() ? "-" : std::to_string(s.server()));
    line += std::string("|") + (s.tieBreakMode() ? '1' : '0') + '|' + (s.decidingPoint() ? '1' : '0') + '|';
    return line + (s.matchOver() ? 'W' + std::to_string(s.matchWinner()) : "-");
}

struct Played
{
    QString points;
    std::vector<std::string> lines;
};

// A random match: each point to the server with a chance drawn per match, so some sets hold
// serve far past six all.
Played playRandom(const MatchFormat &format, QRandomGenerator &random)
{
    FakeTicks ticks;
    Match match(ticks, QStringLiteral("0:00"));
    MatchScore &score = match.score();
    score.setFormat(format);
    match.timer().bPlayClick();
    const double serverWins = 0.5 + random.generateDouble() * 0.4;
    Played played;
    for (int i = 0; i < 20000 && !score.matchOver(); ++i) {
        const int side = (random.generateDouble() < serverWins) == (score.server() == 0) ? 1 : 2;
        played.points += QLatin1Char(side == 1 ? '1' : '2');
        side == 1 ? score.mSchet1Click() : score.mSchet2Click();
        played.lines.push_back(boardLine(score));
    }
    return played;
}

TEST(MatchFormatReference, PlaysEveryGeneratedCodeAsAnIndependentScorer)
{
    const QString dir = QStringLiteral(COURTLYX_FORMATCHECK_DIR);
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        GTEST_SKIP() << "node is not installed; the independent scorer needs it";
    if (!QFileInfo::exists(dir + QStringLiteral("/node_modules/tods-matchup-format-code/package.json")))
        GTEST_SKIP() << "tods-matchup-format-code is not installed; run tests/core/formatcheck/install.sh";
    // COURTLYX_SCORER_CODES and COURTLYX_SCORER_MATCHES widen the sweep run by hand.
    const std::vector<QString> codes = generatedCodes(fromEnvironment("COURTLYX_SCORER_CODES", 30));
    const int matchesPerCode = fromEnvironment("COURTLYX_SCORER_MATCHES", 20);

    QJsonArray codeList;
    for (const QString &code : codes)
        codeList.append(code);
    const QJsonArray parses =
        runNode(QStringLiteral("reference.js"), QJsonDocument(codeList)).object().value(QStringLiteral("results")).toArray();
    ASSERT_EQ(parses.size(), qsizetype(codes.size()));

    QRandomGenerator random(2323);
    for (size_t c = 0; c < codes.size(); ++c) {
        SCOPED_TRACE("code " + codes[c].toStdString());
        const MatchFormat format = MatchFormat::parse(codes[c]).format.value();
        // The pinned reference predates "X"; every other code it reads as the parser does.
        if (!format.exactly) {
            const QJsonValue theirs = parses[qsizetype(c)].toObject().value(QStringLiteral("parsed"));
            ASSERT_EQ(compact(format.toJson()), compact(theirs));
        }
        const QJsonObject json = format.toJson();
        std::vector<Played> played;
        QJsonArray matches;
        for (int m = 0; m < matchesPerCode; ++m) {
            played.push_back(playRandom(format, random));
            ASSERT_FALSE(played.back().lines.empty());
            matches.append(QJsonObject{{QStringLiteral("format"), json}, {QStringLiteral("points"), played.back().points}});
        }
        const QJsonArray hashes =
            runNode(QStringLiteral("scorer.js"), QJsonDocument(QJsonObject{{QStringLiteral("matches"), matches}})).array();
        ASSERT_EQ(hashes.size(), matches.size());
        for (int m = 0; m < matchesPerCode; ++m) {
            std::string joined;
            for (const std::string &line : played[size_t(m)].lines)
                joined += (joined.empty() ? "" : "\n") + line;
            if (std::uint32_t(hashes[m].toDouble()) == fnv(joined))
                continue;
            const QJsonArray lines = runNode(QStringLiteral("scorer.js"),
                                             QJsonDocument(QJsonObject{{QStringLiteral("matches"), QJsonArray{matches[m]}},
                                                                       {QStringLiteral("detail"), true}}))
                                         .array()
                                         .at(0)
                                         .toArray();
            for (qsizetype i = 0; i < lines.size() && i < qsizetype(played[size_t(m)].lines.size()); ++i) {
                ASSERT_EQ(played[size_t(m)].lines[size_t(i)], lines[i].toString().toStdString())
                    << "match " << m << ", point " << i + 1 << " of " << played[size_t(m)].points.toStdString();
            }
            FAIL() << "match " << m << ": the scorer played " << lines.size() << " points";
        }
    }
}

} // namespace
