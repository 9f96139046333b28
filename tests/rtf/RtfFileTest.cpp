#include "rtf/RtfFile.h"
#include "rtf/RtfReader.h"

#include "tests/rtf/RtfTestSupport.h"

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

// A title LibreOffice saved with a table and a list, edited and saved by the program.
TEST_F(RtfFileTest, LibreOfficeTableAndListSurviveEditAndSave)
{
    const QString title = path("7.rtf");
    ASSERT_TRUE(QFile::copy(QStringLiteral(COURTLYX_RTF_FIXTURES "/libreoffice-table-list.rtf"), title));
    ASSERT_TRUE(loadRtfFile(doc, title));
    QTextTable *table = firstTable(doc);
    ASSERT_NE(table, nullptr);
    table->cellAt(1, 1).firstCursorPosition().insertText("Anna ");
    QTextCursor doubles(blockWithText(doc, "Doppel"));
    doubles.movePosition(QTextCursor::EndOfBlock);
    doubles.insertText(" mixed");
    ASSERT_TRUE(saveRtfFile(doc, title));

    QTextDocument again;
    ASSERT_TRUE(loadRtfFile(again, title));
    EXPECT_EQ(blockTexts(again),
              (QStringList{"Finale Herren", "Platz", "Spieler", QString::fromUtf8("Sätze"), "1",
                           QString::fromUtf8("Anna Müller"), "TC Nord", "6:4 7:5", "Heute:", "Einzel", "Herren",
                           "Doppel mixed", "Siegerehrung", "Pressekonferenz", QString::fromUtf8("Viel Spaß!")}));
    const QTextTable *saved = firstTable(again);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->rows(), 2);
    EXPECT_EQ(saved->columns(), 3);
    EXPECT_EQ(cellText(*saved, 1, 1), QString::fromUtf8("Anna Müller\nTC Nord"));
    const QList<QTextLength> widths = saved->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_EQ(widths[0], QTextLength(QTextLength::FixedLength, 2400 / kTwipsPerPixel));
    EXPECT_EQ(widths[1], QTextLength(QTextLength::FixedLength, 3600 / kTwipsPerPixel));
    const QTextTableCellFormat corner = saved->cellAt(0, 2).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(corner.rightBorder(), 1.0);
    EXPECT_EQ(corner.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_DOUBLE_EQ(saved->cellAt(1, 0).format().toTableCellFormat().topBorder(), 0.0);

    const QTextList *bullets = blockWithText(again, "Einzel").textList();
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(bullets->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(blockWithText(again, "Doppel mixed").textList(), bullets);
    const QTextList *inner = blockWithText(again, "Herren").textList();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->format().style(), QTextListFormat::ListCircle);
    EXPECT_EQ(inner->format().indent(), 2);
    const QTextList *numbers = blockWithText(again, "Siegerehrung").textList();
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(numbers->itemText(blockWithText(again, "Pressekonferenz")), "2.");
    EXPECT_EQ(blockWithText(again, "Heute:").textList(), nullptr);
}

} // namespace
