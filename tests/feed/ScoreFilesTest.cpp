#include "feed/ScoreDocument.h"
#include "feed/ScoreFiles.h"
#include "tests/core/MatchFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class ScoreFilesTest : public MatchFixture
{
protected:
    ScoreFilesTest() : files(dir.path() + QStringLiteral("/feed")) {}

    QJsonObject state() { return ScoreDocument::build(match, QStringLiteral("Graf"), QStringLiteral("Seles"), 0); }
    QString read(const QString &name)
    {
        QFile file(files.folder() + u'/' + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
    }
    // Dates a file back, so that a rewrite shows as a new modification time.
    void age(const QString &name)
    {
        QFile file(files.folder() + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(kPast, QFileDevice::FileModificationTime));
    }
    QDateTime modified(const QString &name)
    {
        return QFileInfo(files.folder() + u'/' + name).lastModified();
    }

    const QDateTime kPast = QDateTime::fromSecsSinceEpoch(1'000'000'000);
    QTemporaryDir dir;
    ScoreFiles files;
};

TEST_F(ScoreFilesTest, WritesOneFilePerFigure)
{
    start();
    winGames(1, 6);
    winGames(2, 2);
    winGame(1);
    play("12");
    ASSERT_TRUE(files.write(state())) << files.errorText().toStdString();
    EXPECT_EQ(read(QStringLiteral("name1.txt")), QStringLiteral("Graf"));
    EXPECT_EQ(read(QStringLiteral("name2.txt")), QStringLiteral("Seles"));
    EXPECT_EQ(read(QStringLiteral("points1.txt")), QStringLiteral("15"));
    EXPECT_EQ(read(QStringLiteral("points2.txt")), QStringLiteral("15"));
    EXPECT_EQ(read(QStringLiteral("games1.txt")), QStringLiteral("1"));
    EXPECT_EQ(read(QStringLiteral("games2.txt")), QStringLiteral("2"));
    EXPECT_EQ(read(QStringLiteral("sets.txt")), QStringLiteral("6:0 1:2"));
    // Nine games: side 2 serves.
    EXPECT_EQ(read(QStringLiteral("server.txt")), QStringLiteral("2"));
    EXPECT_EQ(read(QStringLiteral("time.txt")), QStringLiteral("00:00:00"));
    EXPECT_EQ(read(QStringLiteral("tiebreak.txt")), QString());
    // QSaveFile leaves no temporary files behind.
    EXPECT_EQ(QDir(files.folder()).entryList(QDir::Files).size(), 10);
}

TEST_F(ScoreFilesTest, RewritesOnlyTheFilesWhoseTextChanged)
{
    start();
    ASSERT_TRUE(files.write(state()));
    age(QStringLiteral("points1.txt"));
    age(QStringLiteral("name1.txt"));
    ASSERT_TRUE(files.write(state()));
    EXPECT_EQ(modified(QStringLiteral("points1.txt")), kPast);
    score().mSchet1Click();
    ASSERT_TRUE(files.write(state()));
    EXPECT_NE(modified(QStringLiteral("points1.txt")), kPast);
    EXPECT_EQ(read(QStringLiteral("points1.txt")), QStringLiteral("15"));
    EXPECT_EQ(modified(QStringLiteral("name1.txt")), kPast);
}

TEST_F(ScoreFilesTest, AFileFromAnEarlierRunWithTheSameTextIsLeftAlone)
{
    ASSERT_TRUE(files.write(state()));
    age(QStringLiteral("name2.txt"));
    ScoreFiles again(files.folder());
    ASSERT_TRUE(again.write(state()));
    EXPECT_EQ(modified(QStringLiteral("name2.txt")), kPast);
}

TEST_F(ScoreFilesTest, AnUnwritableFolderIsReported)
{
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ScoreFiles bad(blocker.fileName() + QStringLiteral("/feed"));
    EXPECT_FALSE(bad.write(state()));
    EXPECT_FALSE(bad.errorText().isEmpty());
}

TEST_F(ScoreFilesTest, ALinkInPlaceOfAFileIsRefusedAndWhatItPointsAtIsLeft)
{
    ASSERT_TRUE(files.write(state()));
    QFile victim(dir.path() + QStringLiteral("/victim"));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("keep me");
    victim.close();
    const QString link = files.folder() + QStringLiteral("/name1.txt");
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(QFile::link(victim.fileName(), link));

    EXPECT_FALSE(files.write(ScoreDocument::build(match, QStringLiteral("Navratilova"), QStringLiteral("Seles"), 0)));
    EXPECT_NE(files.errorText().indexOf(QStringLiteral("name1.txt ist ein Verweis")), -1) << files.errorText().toStdString();
    ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
    EXPECT_EQ(victim.readAll(), "keep me");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(read(QStringLiteral("name2.txt")), QStringLiteral("Seles")) << "the others are written";
}

TEST_F(ScoreFilesTest, ADeletedFolderIsMadeAgainWithEveryFile)
{
    start();
    ASSERT_TRUE(files.write(state()));
    ASSERT_TRUE(QDir(files.folder()).removeRecursively());
    ASSERT_TRUE(files.write(state()));
    EXPECT_EQ(QDir(files.folder()).entryList(QDir::Files).size(), 10);
    EXPECT_EQ(read(QStringLiteral("name1.txt")), QStringLiteral("Graf"));
    EXPECT_EQ(read(QStringLiteral("server.txt")), QStringLiteral("1"));
}

TEST_F(ScoreFilesTest, NamesGoIntoTheirFilesOnOneLine)
{
    const QString typed = QStringLiteral("Graf\nSteffi\r\t\u0007\u2028 (GER)\u0085");
    ASSERT_TRUE(files.write(ScoreDocument::build(match, typed, QStringLiteral("Seles"), 0)));
    EXPECT_EQ(read(QStringLiteral("name1.txt")), QStringLiteral("GrafSteffi (GER)"));
}

} // namespace
