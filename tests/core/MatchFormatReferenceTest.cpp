#include "core/MatchFormat.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
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
    {"SET2-S:6/TB7", Verdict::Same},
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

} // namespace
