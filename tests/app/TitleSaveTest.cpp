#include "tests/app/BoardFixture.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextEdit>

namespace {

class TitleSave : public BoardFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programFolder.isValid());
        clearSettings();
    }

    void startWithProgramIn(const QString &folder)
    {
        place = TitleFilePlace(folder + QStringLiteral("/courtlyx"), dataFolder.path());
        startBoard();
    }

    void type(const QString &text)
    {
        ctl<QTextEdit>(QStringLiteral("eTitle"))->setFocus();
        QTest::keyClicks(ctl<QTextEdit>(QStringLiteral("eTitle")), text);
    }

    // Ends the board, answering a warning it shows with OK; its text lands in `warned`.
    void endBoard()
    {
        auto *poll = new QTimer;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [this, poll] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                warned = box->text();
                box->accept();
                poll->deleteLater();
                poll->stop();
            }
        });
        poll->start();
        board.reset();
        delete poll;
    }

    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir programFolder;
    QString warned;
};

TEST_F(TitleSave, UnwritableProgramFolderKeepsTheTitleInTheDataFolder)
{
    // A folder that is not there cannot be written, even by root.
    const QString installed = programFolder.filePath(QStringLiteral("usr/bin"));
    startWithProgramIn(installed);
    const QString inData = QDir(dataFolder.path()).filePath(QStringLiteral("courtlyx.rtf"));
    EXPECT_EQ(board->titleFileName(), inData);
    type(QStringLiteral("Centre Court"));
    endBoard();
    EXPECT_TRUE(warned.isEmpty()) << warned.toStdString();
    EXPECT_TRUE(contents(inData).contains("Centre Court"));

    startWithProgramIn(installed);
    EXPECT_EQ(ctl<QTextEdit>(QStringLiteral("eTitle"))->toPlainText(), "Centre Court")
        << "read from the data folder at start";
}

TEST_F(TitleSave, FailedDefaultSaveIsReportedAndGoesToTheDataFolder)
{
    const QString beside = programFolder.filePath(QStringLiteral("courtlyx.rtf"));
    ASSERT_TRUE(QDir().mkpath(beside)) << "a folder where the file should be: no save can replace it";
    startWithProgramIn(programFolder.path());
    ASSERT_EQ(board->titleFileName(), beside);
    type(QStringLiteral("Halbfinale"));
    endBoard();
    const QString fallback = QDir(dataFolder.path()).filePath(QStringLiteral("courtlyx.rtf"));
    EXPECT_TRUE(warned.contains(beside)) << warned.toStdString();
    EXPECT_TRUE(warned.contains(fallback)) << "says where the text went: " << warned.toStdString();
    EXPECT_TRUE(contents(fallback).contains("Halbfinale"));

    startWithProgramIn(programFolder.path());
    EXPECT_EQ(ctl<QTextEdit>(QStringLiteral("eTitle"))->toPlainText(), "Halbfinale");
}

TEST_F(TitleSave, FailedSaveOfALoadedTitleFileIsReportedWithItsReason)
{
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(programFolder.path());
    QFile three(QStringLiteral("3.rtf"));
    ASSERT_TRUE(three.open(QIODevice::WriteOnly));
    three.write("Finale");
    three.close();
    startWithProgramIn(programFolder.path());
    key(Qt::Key_3, Qt::ControlModifier);
    ASSERT_EQ(board->titleFileName(), "3.rtf");
    // The working folder goes away under the running board.
    ASSERT_TRUE(QDir(programFolder.path()).removeRecursively());
    type(QStringLiteral("Grand "));
    endBoard();
    QDir::setCurrent(oldCwd);
    const QString fallback = QDir(dataFolder.path()).filePath(QStringLiteral("3.rtf"));
    EXPECT_TRUE(warned.contains(QStringLiteral("3.rtf"))) << warned.toStdString();
    EXPECT_TRUE(warned.contains(fallback)) << warned.toStdString();
    EXPECT_GT(warned.size(), 2 * fallback.size()) << "with a reason: " << warned.toStdString();
    EXPECT_TRUE(contents(fallback).contains("Grand"));
}

} // namespace
