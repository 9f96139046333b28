#include "platform/RtfFile.h"

#include "tests/platform/RtfTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

class RtfFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString &name) const { return dir.filePath(name); }

    static void writeFile(const QString &fileName, const QByteArray &content)
    {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    static QByteArray contentOf(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void fillTitle(int lines)
    {
        QTextCursor cursor(&doc);
        for (int i = 0; i < lines; ++i)
            cursor.insertText(QString::fromUtf8("Neuer Titel Привет %1\n").arg(i));
    }

    QTemporaryDir dir;
    QTextDocument doc;
};

TEST_F(RtfFileTest, LoadsRtfOrPlainTextAndKeepsTheDocumentWhenTheFileIsMissing)
{
    writeFile(path("3.rtf"), "{\\rtf1\\ansi\\ansicpg1251 {\\b \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}\\par}");
    ASSERT_TRUE(loadRtfFile(doc, path("3.rtf")));
    EXPECT_EQ(blockTexts(doc), QStringList{QString::fromUtf8("Привет")});

    EXPECT_FALSE(loadRtfFile(doc, path("4.rtf")));
    EXPECT_FALSE(loadRtfFile(doc, dir.path())); // a folder is no title file
    EXPECT_EQ(blockTexts(doc), QStringList{QString::fromUtf8("Привет")});

    writeFile(path("5.rtf"), "nur Text");
    ASSERT_TRUE(loadRtfFile(doc, path("5.rtf")));
    EXPECT_EQ(blockTexts(doc), QStringList{"nur Text"});
}

TEST_F(RtfFileTest, SavedFileLoadsBackTheSameText)
{
    fillTitle(3);
    ASSERT_TRUE(saveRtfFile(doc, path("1.rtf")));
    QTextDocument loaded;
    ASSERT_TRUE(loadRtfFile(loaded, path("1.rtf")));
    EXPECT_EQ(blockTexts(loaded), blockTexts(doc));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"1.rtf"}); // no temporary file left
}

TEST_F(RtfFileTest, FailedSaveKeepsTheOldFile)
{
    fillTitle(200);
    EXPECT_FALSE(saveRtfFile(doc, path("missing/1.rtf")));
    EXPECT_FALSE(QFile::exists(path("missing")));

    // The disk filling up halfway: the writing process may not grow files past 1 KB.
    const QByteArray old = "{\\rtf1 alter Titel\\par}";
    writeFile(path("2.rtf"), old);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = saveRtfFile(doc, path("2.rtf"));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(contentOf(path("2.rtf")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"2.rtf"});
}

TEST_F(RtfFileTest, FailedSaveIntoReadOnlyFolderKeepsTheOldFile)
{
    const QByteArray old = "{\\rtf1 alter Titel\\par}";
    writeFile(path("2.rtf"), old);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFile(path("probe")).open(QIODevice::WriteOnly);
    if (writable) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    fillTitle(2);
    const bool saved = saveRtfFile(doc, path("2.rtf"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(saved);
    EXPECT_EQ(contentOf(path("2.rtf")), old);
}

// The reason is what the operator would read; the old title must stay whatever the cause.
TEST_F(RtfFileTest, FailedSaveSaysWhy)
{
    fillTitle(200);
    QString reason;
    EXPECT_FALSE(saveRtfFile(doc, path("missing/1.rtf"), &reason));
    EXPECT_FALSE(reason.isEmpty());

    // A folder nobody may write to: a read-only one, or for a process whose rights ignore
    // folder permissions, a folder of the kernel's.
    QString target = path("2.rtf");
    writeFile(target, "{\\rtf1 alter Titel\\par}");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (QFile(path("probe")).open(QIODevice::WriteOnly))
        target = QStringLiteral("/proc/version");
    const QByteArray old = contentOf(target);
    ASSERT_FALSE(old.isEmpty());
    reason.clear();
    const bool saved = saveRtfFile(doc, target, &reason);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(contentOf(target), old);

    // The disk filling up halfway.
    writeFile(path("3.rtf"), "{\\rtf1 alter Titel\\par}");
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    reason.clear();
    const bool savedFull = saveRtfFile(doc, path("3.rtf"), &reason);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(savedFull);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(contentOf(path("3.rtf")), "{\\rtf1 alter Titel\\par}");
}

} // namespace
