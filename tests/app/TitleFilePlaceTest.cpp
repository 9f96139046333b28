#include "app/TitleFilePlace.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TitleFilePlaceTest : public ::testing::Test
{
protected:
    QString path(const QString &relative) const { return tmp.filePath(relative); }
    // A title file, last modified `age` seconds ago.
    void write(const QString &file, int age)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 title}");
        f.flush(); // a later write would stamp the file anew
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-age),
                                  QFileDevice::FileModificationTime));
    }

    QTemporaryDir tmp;
};

TEST_F(TitleFilePlaceTest, BesideAWritableProgramFolder)
{
    QDir().mkpath(path("bin"));
    const TitleFilePlace place(path("bin/courtlyx"), path("data"));
    EXPECT_EQ(place.defaultFile(), path("bin/courtlyx.rtf"));
    EXPECT_EQ(place.startFile(), path("bin/courtlyx.rtf"));
    EXPECT_FALSE(QFileInfo::exists(path("data"))) << "no data folder is made while not needed";
}

TEST_F(TitleFilePlaceTest, InTheDataFolderWhenTheProgramFolderCannotBeWritten)
{
    // A "folder" that is a regular file cannot be written, even by root.
    write(path("bin"), 0);
    const TitleFilePlace place(path("bin/courtlyx"), path("home/data"));
    EXPECT_EQ(place.defaultFile(), path("home/data/courtlyx.rtf"));
    EXPECT_TRUE(QFileInfo(path("home/data")).isDir());
}

TEST_F(TitleFilePlaceTest, InTheDataFolderWhenTheProgramFolderIsReadOnly)
{
    QDir().mkpath(path("bin"));
    ASSERT_TRUE(QFile::setPermissions(path("bin"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QFile probe(path("bin/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(path("bin"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "permission bits do not stop this user's writes (root?)";
    }
    const TitleFilePlace place(path("bin/courtlyx"), path("data"));
    EXPECT_EQ(place.defaultFile(), path("data/courtlyx.rtf"));
    QFile::setPermissions(path("bin"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(TitleFilePlaceTest, StartReadsTheDataFolderCopyUnlessTheOneBesideIsNewer)
{
    const TitleFilePlace place(path("bin/courtlyx"), path("data"));
    write(path("data/courtlyx.rtf"), 100);
    EXPECT_EQ(place.startFile(), path("data/courtlyx.rtf")) << "only in the data folder";
    write(path("bin/courtlyx.rtf"), 200);
    EXPECT_EQ(place.startFile(), path("data/courtlyx.rtf")) << "the data folder's is newer";
    write(path("bin/courtlyx.rtf"), 10);
    EXPECT_EQ(place.startFile(), path("bin/courtlyx.rtf")) << "saved beside the program since";
}

TEST_F(TitleFilePlaceTest, FallbackKeepsTheFileNameInTheDataFolder)
{
    const TitleFilePlace place(path("bin/courtlyx"), path("home/data"));
    EXPECT_EQ(place.fallbackFor(path("usb/final.rtf")), path("home/data/final.rtf"));
    EXPECT_TRUE(QFileInfo(path("home/data")).isDir());
    EXPECT_EQ(place.fallbackFor(place.besideProgram()), place.inDataFolder())
        << "the default title's fallback is the copy read at start";
}

TEST(TitleFilePlace, ThisProgramsTitleIsNamedAfterIt)
{
    const TitleFilePlace place = TitleFilePlace::ofThisProgram();
    EXPECT_EQ(place.besideProgram(),
              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("app_tests.rtf")));
    EXPECT_EQ(QFileInfo(place.inDataFolder()).fileName(), QStringLiteral("app_tests.rtf"));
}

} // namespace
