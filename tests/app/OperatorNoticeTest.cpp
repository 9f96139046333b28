#include "tests/app/BoardFixture.h"

#include "app/DataFolderLock.h"
#include "app/NoticeLine.h"
#include "app/PacedSender.h"
#include "core/SettingsStore.h"
#include "feed/FeedPublisher.h"
#include "rtf/RtfWriter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTextDocument>

#include <csignal>

namespace {

class Notice : public BoardFixture
{
protected:
    QLabel *line() const { return ctl<QLabel>(QStringLiteral("LNotice")); }
};

TEST_F(Notice, SaysWhatIsNotKeptUntilItIsKeptAgainAndARestoreUntilTheNextCommand)
{
    EXPECT_FALSE(line()->isVisible()) << "nothing to say: the board as it always was";
    const QString full = QStringLiteral("Das Journal wird nicht geschrieben: Datenträger voll.");
    emit board->model().journalProblem(full);
    ASSERT_TRUE(line()->isVisible());
    EXPECT_EQ(line()->text(), full);
    // Below the names, clear of the score and the logo.
    EXPECT_GE(line()->geometry().top(), ctl(QStringLiteral("eName2"))->geometry().bottom());
    EXPECT_TRUE(board->rect().contains(line()->geometry()));

    const QString partial = QStringLiteral("60 von 120 Befehlen wiederhergestellt.");
    emit board->model().restoreNotice(partial);
    EXPECT_EQ(line()->text(), full + u'\n' + partial);
    key(Qt::Key_F5, Qt::NoModifier, board.get());
    EXPECT_EQ(line()->text(), full) << "the restore is old news once the operator goes on";
    EXPECT_TRUE(line()->isVisible());

    emit board->model().restoreNotice(partial);
    QTest::mouseClick(line(), Qt::LeftButton);
    EXPECT_EQ(line()->text(), full) << "a click takes the restore's notice away, not the failure";
    emit board->model().journalProblem({});
    EXPECT_FALSE(line()->isVisible()) << "kept again";
}

TEST_F(Notice, NamesTypedInAPauseReachTheModelAtMostOnceASecondAndBeforeTheNextCommand)
{
    key(Qt::Key_Pause, Qt::NoModifier, board.get());
    key(Qt::Key_Pause, Qt::NoModifier, board.get());
    auto *name = ctl<QLineEdit>(QStringLiteral("eName1"));
    ASSERT_TRUE(name->isVisible()) << "a pause";
    name->setFocus();
    name->end(false);
    QSignalSpy sent(&board->model(), &BoardModel::namesChanged);
    QTest::keyClicks(name, "abc");
    EXPECT_EQ(sent.count(), 1) << "the first key at once, not every key";
    EXPECT_EQ(board->model().name(1), "Name 1a");
    EXPECT_TRUE(QTest::qWaitFor([&] { return board->model().name(1) == "Name 1abc"; }, 2000));
    EXPECT_EQ(sent.count(), 2);
    // The second is not up yet: leaving the edit, or the next command, sends at once.
    QTest::keyClicks(name, "de");
    ctl(QStringLiteral("eName2"))->setFocus();
    EXPECT_EQ(board->model().name(1), "Name 1abcde") << "left";
    auto *other = ctl<QLineEdit>(QStringLiteral("eName2"));
    QTest::keyClicks(other, "xy");
    key(Qt::Key_Pause, Qt::NoModifier, other);
    EXPECT_EQ(board->model().name(2), "Name 2xy") << "before the resume";
    EXPECT_TRUE(board->model().timer().isRunning());
}

TEST_F(Notice, TitleTextGoesToTheModelAndARestoredTextShowsWithoutComingBack)
{
    auto *title = ctl<QTextEdit>(QStringLiteral("eTitle"));
    title->setFocus();
    QSignalSpy changes(&board->model(), &BoardModel::titleTextChanged);
    QTest::keyClicks(title, "Finale");
    EXPECT_EQ(changes.count(), 1);
    ctl(QStringLiteral("eName1"))->setFocus();
    EXPECT_EQ(changes.count(), 2) << "the rest when the area is left";
    EXPECT_TRUE(board->model().titleText().contains(QStringLiteral("Finale")));

    QTextDocument restored;
    restored.setPlainText(QStringLiteral("Halbfinale Herren"));
    const QString rtf = QString::fromLatin1(writeRtf(restored));
    board->model().execute(MatchCommand::titleText(rtf));
    EXPECT_EQ(title->toPlainText(), "Halbfinale Herren");
    QTest::qWait(PacedSender::kPaceMs + 100);
    EXPECT_EQ(board->model().titleText(), rtf) << "not sent back in the area's own writing";
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(Notice, CtrlZAfterEnterInTheFormatFieldUndoesTheFormatOnTheBoard)
{
    const QString before = board->model().score().format().code();
    board->ObCFGClick();
    auto *code = ctl<QLineEdit>(QStringLiteral("eFormatCode"));
    code->setFocus();
    code->selectAll();
    QTest::keyClicks(code, "SET5-S:4/TB7@4");
    key(Qt::Key_Return, Qt::NoModifier, code);
    ASSERT_NE(board->model().score().format().code(), before);
    ASSERT_TRUE(code->hasFocus());
    key(Qt::Key_Z, Qt::ControlModifier, code);
    EXPECT_EQ(board->model().score().format().code(), before);
    EXPECT_EQ(code->text(), before);
    // Typing not yet confirmed is still the field's own to take back.
    QTest::keyClicks(code, "X");
    key(Qt::Key_Z, Qt::ControlModifier, code);
    EXPECT_EQ(code->text(), before);
    EXPECT_EQ(board->model().score().format().code(), before);
}

class SecondCourt : public BoardFixture
{
protected:
    void SetUp() override
    {
        court = Court(2);
        BoardFixture::SetUp();
    }
};

TEST_F(SecondCourt, HasItsOwnCaptionAndFeedPort)
{
    EXPECT_EQ(board->windowTitle(), "Courtlyx 0.94 – Platz 2");
    EXPECT_EQ(board->feed().port(), SettingsStore::kDefaultPort + 1);
}

TEST(CourtOption, ReadsTheCourtFromTheArguments)
{
    struct Case
    {
        QStringList arguments;
        int court;
        bool error;
    };
    const Case cases[] = {
        {{"courtlyx"}, 1, false},
        {{"courtlyx", "--court", "2"}, 2, false},
        {{"courtlyx", "--court=12"}, 12, false},
        {{"courtlyx", "-style", "fusion", "--court", "99"}, 99, false},
        {{"courtlyx", "--court", "0"}, 1, true},
        {{"courtlyx", "--court", "100"}, 1, true},
        {{"courtlyx", "--court"}, 1, true},
        {{"courtlyx", "--court=zwei"}, 1, true},
    };
    for (const Case &c : cases) {
        QString error;
        const Court court = Court::fromArguments(c.arguments, &error);
        EXPECT_EQ(court.number(), c.court) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(!error.isEmpty(), c.error) << c.arguments.join(u' ').toStdString();
    }
    EXPECT_EQ(Court().applicationName(QStringLiteral("Courtlyx")), "Courtlyx") << "court 1 keeps today's files";
    EXPECT_EQ(Court(3).applicationName(QStringLiteral("Courtlyx")), "Courtlyx-Platz-3");
    EXPECT_EQ(Court(3).defaultFeedPort(8765), 8767);
}

// The real program on a data folder of its own: a second one on the same folder must not
// touch it, and a killed one must not keep the folder locked.
TEST(DataFolder, ASecondBoardLeavesTheFirstOnesFilesAndAKilledBoardsLockIsTakenOver)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("share")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    const QString folder = home.filePath(QStringLiteral("share/Courtlyx"));
    const auto board = [&] {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(QStringLiteral(COURTLYX_PROGRAM), {});
        return p;
    };
    const auto snapshot = [&] {
        QStringList files;
        for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot))
            files << f.fileName() + u' ' + QString::number(f.size()) + u' ' + f.lastModified().toString(Qt::ISODateWithMs);
        return files;
    };
    auto first = board();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(folder + QStringLiteral("/journal.txt")); }, 10000));
    QTest::qWait(300);
    const QStringList before = snapshot();

    auto second = board();
    ASSERT_TRUE(second->waitForStarted());
    QByteArray said;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        second->waitForReadyRead(50);
        said += second->readAllStandardError();
        return said.contains("Platz 1");
    }, 10000));
    EXPECT_TRUE(said.contains("--court 2")) << said.toStdString();
    second->kill();
    second->waitForFinished();
    EXPECT_EQ(snapshot(), before) << "the second board wrote nothing";

    // 0 once it has ended, and kill(0, …) would hit the whole process group.
    ASSERT_GT(first->processId(), 0) << "the first board ended by itself";
    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished();
    DataFolderLock lock(folder);
    EXPECT_TRUE(lock.take()) << "the killed board's lock is stale";
    EXPECT_FALSE(DataFolderLock(folder).take()) << "and is held again";
}

} // namespace
