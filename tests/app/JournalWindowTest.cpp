#include "tests/app/BoardFixture.h"

#include "core/MatchJournal.h"
#include "core/JournalFormat.h"
#include "core/JournalRecovery.h"
#include "app/NoticeLine.h"
#include "tests/core/MatchRecordsCsv.h"

#include <QDir>
#include <QFile>

namespace {

constexpr int kPoints1 = MatchScore::pointsEntry(1);
constexpr int kPoints2 = MatchScore::pointsEntry(2);

class Journal : public BoardFixture
{
protected:
    void undo() { key(Qt::Key_Z, Qt::ControlModifier); }
    void redo() { key(Qt::Key_Y, Qt::ControlModifier); }
    bool tieBreakShown() const { return ctl<QLabel>("LabelTieBreak")->isVisible(); }
    QString shownTexts()
    {
        QString out;
        for (int entry = kPoints1; entry < MatchScore::kTableSize; ++entry)
            out += text(entry) + u'|';
        return out + QString::number(board->model().score().boldHeader()) + u'|'
               + QString::number(board->model().score().server());
    }
    // The window goes away as after a crash: no question, no end record.
    void crashAndRestart()
    {
        board.reset();
        startBoard();
    }
    void closeWithJa()
    {
        whenAsked([](TFDlgYesNo *d) { d->OKBtn->click(); });
        ASSERT_TRUE(board->close());
    }
    void resetWithJa()
    {
        whenAsked([](TFDlgYesNo *d) { d->OKBtn->click(); });
        key(Qt::Key_0, Qt::ControlModifier);
        reactivate();
    }
};

TEST_F(Journal, UndoAndRedoBringBackServerTieBreakModeAndOptions)
{
    ctl<QCheckBox>("cbAutoSchet")->click(); // a manual tie-break needs counting by hand
    key(Qt::Key_Pause);
    key(Qt::Key_F5);
    ASSERT_EQ(board->model().score().server(), 1);
    key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(tieBreakShown());

    undo();
    EXPECT_FALSE(tieBreakShown());
    EXPECT_EQ(board->model().score().server(), 1);
    EXPECT_TRUE(ctl("LabelUndone")->isVisible()) << "the board tells it undid";
    undo();
    EXPECT_EQ(board->model().score().server(), 0);
    redo();
    EXPECT_EQ(board->model().score().server(), 1);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(tieBreakShown());

    // An option is undone like a score step, and the strip follows.
    ctl<QCheckBox>("cbTieBreak")->click();
    ASSERT_FALSE(ctl<QLabel>("LabelTbOn")->isVisible());
    undo();
    EXPECT_TRUE(ctl<QCheckBox>("cbTieBreak")->isChecked());
    EXPECT_TRUE(ctl<QLabel>("LabelTbOn")->isVisible());
    EXPECT_TRUE(board->model().score().tieBreakOption());
}

TEST_F(Journal, UndoMarkShowsForAMomentOnlyAfterAnUndo)
{
    auto *mark = ctl("LabelUndone");
    EXPECT_FALSE(mark->isVisible()) << "nothing at the start";
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    EXPECT_FALSE(mark->isVisible());
    undo();
    EXPECT_TRUE(mark->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mark->isVisible(); }, 3000));
    undo(); // nothing left to undo: no mark
    EXPECT_FALSE(mark->isVisible());
}

TEST_F(Journal, UndoKeysInANameEditOrTheTitleEditTheTextNotTheMatch)
{
    key(Qt::Key_F5);
    ASSERT_EQ(board->model().score().server(), 1);
    auto *name = ctl<QLineEdit>("eName1");
    name->setFocus();
    name->end(false);
    QTest::keyClicks(name, "xy");
    ASSERT_EQ(name->text(), "Name 1xy");
    undo();
    EXPECT_EQ(name->text(), "Name 1") << "the edit's own undo";
    EXPECT_EQ(board->model().score().server(), 1) << "the match is not undone";
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(board->model().score().server(), 1);

    auto *title = ctl<QTextEdit>("eTitle");
    title->setFocus();
    const QString loaded = title->toPlainText();
    QTest::keyClicks(title, "Final");
    ASSERT_NE(title->toPlainText(), loaded);
    undo();
    EXPECT_EQ(title->toPlainText(), loaded);
    EXPECT_EQ(board->model().score().server(), 1);

    // Elsewhere the same key undoes the match.
    ctl<QWidget>("PLNClock1")->setFocus();
    undo();
    EXPECT_EQ(board->model().score().server(), 0);
}

TEST_F(Journal, UndoOfAConfirmedResetBringsTheMatchBack)
{
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    key(Qt::Key_F1);
    key(Qt::Key_F2);
    ticks.advance(65'000);
    const QString before = shownTexts();
    resetWithJa();
    ASSERT_EQ(text(kPoints1), "");
    undo();
    EXPECT_EQ(shownTexts(), before);
    EXPECT_EQ(board->model().match().timer().MatchPhase(), MatchTimer::Paused);
    EXPECT_EQ(ctl<TLabel3D>("eTime")->Caption(), MatchTimer::ElapsedText(65));
    redo();
    EXPECT_EQ(text(kPoints1), "");
}

TEST_F(Journal, RestoreAfterACrashShowsTheMatchPaused)
{
    QFile title(QStringLiteral("7.rtf"));
    ASSERT_TRUE(title.open(QIODevice::WriteOnly));
    title.write("Semifinal");
    title.close();
    ctl<QLineEdit>("eName1")->setText(QStringLiteral("Graf"));
    ctl<QLineEdit>("eName2")->setText(QStringLiteral("Seles"));
    key(Qt::Key_7, Qt::ControlModifier);
    key(Qt::Key_Pause);
    for (int k : {Qt::Key_F1, Qt::Key_F1, Qt::Key_F2, Qt::Key_F1, Qt::Key_F1, Qt::Key_F2})
        key(k);
    ticks.advance(125'000);
    key(Qt::Key_F5);
    const QString shown = shownTexts();
    ASSERT_EQ(board->model().score().server(), 0) << "the game passed the serve, F5 took it back";

    crashAndRestart();
    QFile::remove(QStringLiteral("7.rtf"));
    EXPECT_EQ(shownTexts(), shown);
    EXPECT_EQ(text(kPoints2), "15");
    EXPECT_EQ(ctl<QLineEdit>("eName1")->text(), "Graf");
    EXPECT_EQ(ctl<QLineEdit>("eName2")->text(), "Seles");
    EXPECT_EQ(board->model().match().timer().MatchPhase(), MatchTimer::Paused);
    EXPECT_FALSE(board->model().match().timer().isRunning());
    EXPECT_EQ(ctl<TLabel3D>("eTime")->Caption(), MatchTimer::ElapsedText(125));
    EXPECT_EQ(board->titleFileName(), "7.rtf");
    EXPECT_EQ(ctl<QTextEdit>("eTitle")->toPlainText(), "Semifinal");
    EXPECT_TRUE(board->windowTitle().contains("restored"));

    // It goes on from there, and undo reaches back into the run before.
    key(Qt::Key_Pause);
    key(Qt::Key_F2);
    EXPECT_EQ(text(kPoints2), "30");
    undo();
    undo();
    EXPECT_EQ(board->model().score().server(), 1);
}

TEST_F(Journal, NormalEndStartsAsAFirstStart)
{
    board.reset();
    startBoard();
    const QString fresh = shownTexts();
    const QString caption = board->windowTitle();
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    key(Qt::Key_F5);
    closeWithJa();
    startBoard();
    EXPECT_EQ(shownTexts(), fresh);
    EXPECT_EQ(board->windowTitle(), caption);
    EXPECT_EQ(board->model().match().timer().MatchPhase(), MatchTimer::NotStarted);
    const auto read = JournalFormat::readFile(JournalRecovery::journalPath(MatchJournal::defaultFolder()));
    EXPECT_EQ(read.status, JournalFormat::ReadResult::Status::Ok);
    for (const JournalRecord &r : read.records)
        EXPECT_NE(r.command.kind, MatchCommand::Kind::Point) << "a fresh journal";
}

TEST_F(Journal, DamagedJournalIsKeptAsideAndItsValidPartRestored)
{
    board.reset();
    QList<JournalRecord> records;
    for (const MatchCommand &c : {MatchCommand::of(MatchCommand::Kind::Play), MatchCommand::point(2)}) {
        JournalRecord r;
        r.command = c;
        r.elapsedMs = 3000;
        records.append(r);
    }
    QFile file(JournalRecovery::journalPath(MatchJournal::defaultFolder()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(JournalFormat::write(records) + "3 4000 point 1 key *00000000\n4 50");
    file.close();

    startBoard();
    EXPECT_EQ(text(kPoints2), "15");
    EXPECT_EQ(text(kPoints1), "0");
    const QStringList kept = QDir(MatchJournal::defaultFolder()).entryList({QStringLiteral("journal-damaged-*")});
    EXPECT_EQ(kept.size(), 1);
    EXPECT_EQ(JournalFormat::readFile(JournalRecovery::journalPath(MatchJournal::defaultFolder())).status,
              JournalFormat::ReadResult::Status::Ok)
        << "the new journal is clean";
}

TEST_F(Journal, PlayedMatchBecomesARecordOnCloseAndReadsBack)
{
    countItem(1)->click(); // three sets
    key(Qt::Key_Pause);
    // 6:0 6:1, every game to love.
    for (int game = 0; game < 13; ++game) {
        for (int p = 0; p < 4; ++p)
            key(game == 6 ? Qt::Key_F2 : Qt::Key_F1);
    }
    ticks.advance(61 * 60'000);
    const MatchRecordsCsv::Sets shown = {{board->model().score().games(1, 1), board->model().score().games(2, 1)},
                                         {board->model().score().games(1, 2), board->model().score().games(2, 2)}};
    ASSERT_EQ(shown, (MatchRecordsCsv::Sets{{6, 0}, {6, 1}}));
    closeWithJa();

    QFile table(board->model().journal().recordsTable());
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QList<QByteArray> header = table.readLine().trimmed().split(',');
    const QByteArray line = table.readLine().trimmed();
    EXPECT_TRUE(table.atEnd()) << "one match, one line";
    MatchRecordsCsv::Record record;
    ASSERT_TRUE(MatchRecordsCsv::parseRecord(header, line, record)) << line.toStdString();
    EXPECT_EQ(record.sets, shown);
    EXPECT_EQ(MatchRecordsCsv::countedGames(record.pbp), shown);
    const QStringList files = QDir(board->model().journal().recordsFolder()).entryList({QStringLiteral("*.journal")});
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.front(), record.id + ".journal");
}

TEST_F(Journal, FirstCommandAfterAResetKeepsTheMatchBeforeIt)
{
    key(Qt::Key_Pause);
    for (int p = 0; p < 4; ++p)
        key(Qt::Key_F2);
    resetWithJa();
    EXPECT_FALSE(QFile::exists(board->model().journal().recordsTable())) << "undo could still bring it back";
    undo();
    redo();
    key(Qt::Key_Pause);
    ASSERT_TRUE(QFile::exists(board->model().journal().recordsTable()));
    QFile table(board->model().journal().recordsTable());
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.readAll().count('\n'), 2) << "header and the one match";

    key(Qt::Key_F1);
    closeWithJa();
    // The table is replaced whole, not appended to: read the new file.
    table.close();
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.readAll().count('\n'), 3) << "and the second on close";
}

TEST_F(Journal, RecordsKeyOpensTheRecordsFolder)
{
    key(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened.front().first, board->model().journal().recordsFolder());
    EXPECT_TRUE(QDir(board->model().journal().recordsFolder()).exists());
}

} // namespace

// "Ja" whose record cannot be written: the board stays open and says why, and closes once
// the record can be written.
TEST_F(Journal, JaThatCannotKeepTheRecordLeavesTheBoardOpenWithTheNotice)
{
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    const QString records = board->model().journal().recordsFolder();
    QDir(records).removeRecursively();
    {
        QFile blocker(records); // a file where the folder should be
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    whenAsked([](TFDlgYesNo *d) { d->OKBtn->click(); });
    EXPECT_FALSE(board->close());
    EXPECT_TRUE(board->isVisible());
    EXPECT_TRUE(board->notice().label()->isVisible());
    EXPECT_TRUE(board->notice().text().contains(QStringLiteral("nicht gespeichert")))
        << board->notice().text().toStdString();

    ASSERT_TRUE(QFile::remove(records));
    whenAsked([](TFDlgYesNo *d) { d->OKBtn->click(); });
    EXPECT_TRUE(board->close());
}
