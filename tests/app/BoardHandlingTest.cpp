#include "tests/app/BoardFixture.h"

#include "controls/UndoMark.h"

#include <QImage>
#include <QMessageBox>

namespace {

// What the operator meets on a first match day: the title area, the names, the undo mark
// and the records key, driven through the window as the platform delivers events.
class BoardHandling : public BoardFixture
{
protected:
    QPoint centreOf(const QString &name) { return ctl(name)->geometry().center(); }
    void clickAt(QPoint at)
    {
        QTest::mouseClick(board->windowHandle(), Qt::LeftButton, {}, at, QApplication::doubleClickInterval() + 1);
    }
    void doubleClickAt(QPoint at)
    {
        QTest::mouseDClick(board->windowHandle(), Qt::LeftButton, {}, at, QApplication::doubleClickInterval() + 1);
    }
    QTextEdit *title() { return ctl<QTextEdit>(QStringLiteral("eTitle")); }
    // F1 and a letter, as the operator types them next.
    void scoreAndType(QChar letter)
    {
        const int before = board->model().score().points(1);
        key(Qt::Key_F1);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : board.get(), letter.toLatin1());
        EXPECT_NE(board->model().score().points(1), before) << "the board scored";
        EXPECT_FALSE(title()->toPlainText().contains(letter)) << "no " << letter.toLatin1() << " in the title";
    }
};

TEST_F(BoardHandling, TheKeyboardLeavesTheTitleByAClickElsewhereOrEscape)
{
    key(Qt::Key_Pause);
    title()->setPlainText(QStringLiteral("Finale"));
    // A single click into the title takes no keys.
    clickAt(centreOf(QStringLiteral("eTitle")));
    clickAt(centreOf(QStringLiteral("PLNClock1")));
    EXPECT_FALSE(title()->hasFocus());
    scoreAndType(u'q');
    // Nor does Tab, however often it is pressed.
    for (int n = 0; n < 8; ++n) {
        key(Qt::Key_Tab);
        EXPECT_FALSE(title()->hasFocus()) << n;
    }
    clickAt(centreOf(QStringLiteral("PLNClock1")));

    const std::pair<const char *, std::function<void()>> waysOut[] = {
        {"clock", [&] { clickAt(centreOf(QStringLiteral("PLNClock1"))); }},
        {"ground", [&] { clickAt({300, 335}); }},
        {"score", [&] { clickAt(board->fieldLabel(MatchScore::pointsEntry(2))->geometry().center()); }},
        {"escape", [&] { key(Qt::Key_Escape); }},
    };
    for (const auto &[how, leave] : waysOut) {
        SCOPED_TRACE(how);
        doubleClickAt(centreOf(QStringLiteral("eTitle")));
        ASSERT_TRUE(title()->hasFocus()) << "a double click types into the title";
        EXPECT_NE(title()->frameStyle(), int(QFrame::NoFrame)) << "and shows it";
        key(Qt::Key_Y);
        EXPECT_TRUE(title()->toPlainText().contains(u'y'));
        leave();
        EXPECT_FALSE(title()->hasFocus());
        EXPECT_EQ(title()->frameStyle(), int(QFrame::NoFrame));
        scoreAndType(u'x');
        title()->setPlainText(QStringLiteral("Finale"));
    }
    EXPECT_EQ(board->fullScreenShown(), false) << "Escape in the title is the title's";
}

TEST_F(BoardHandling, DoubleClickSelectsTheWholeName)
{
    auto *name = ctl<QLineEdit>(QStringLiteral("eName2"));
    name->setText(QStringLiteral("Max M\u00fcller"));
    doubleClickAt(centreOf(QStringLiteral("eName2")));
    EXPECT_EQ(name->selectedText(), name->text());
    key(Qt::Key_A);
    EXPECT_EQ(name->text(), "a") << "typing replaces the name";
    clickAt(centreOf(QStringLiteral("PLNClock1")));
    key(Qt::Key_B);
    EXPECT_EQ(name->text(), "a") << "a click on the clock takes the keys from the name";
}

TEST_F(BoardHandling, UndoMarkIsDrawnWithoutAFontGlyph)
{
    UndoMark mark;
    mark.resize(24, 20);
    QPalette pal;
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    mark.setPalette(pal);
    mark.setFont(QFont(QStringLiteral("a font that is not there"), 1));
    QImage picture(mark.size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    mark.render(&picture, {}, {}, QWidget::DrawChildren);
    // Ink in the upper middle (the arc) and left below it (the head), none in the right
    // lower corner, inside the arc.
    auto inkIn = [&picture](QRect r) {
        int ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ink += qGray(picture.pixel(x, y)) > 128;
        return ink;
    };
    EXPECT_GT(inkIn({9, 2, 6, 6}), 3) << "the arc's top";
    EXPECT_GT(inkIn({2, 14, 8, 3}), 2) << "the head, left below the arc's end";
    EXPECT_EQ(inkIn({15, 15, 8, 4}), 0) << "open below on the right";
}

TEST_F(BoardHandling, RecordsKeyWithoutAFileManagerSaysWhereTheFolderIs)
{
    shell.answers = false;
    key(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    auto *message = board->findChild<QMessageBox *>(QStringLiteral("BoardMessage"));
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->isVisible());
    EXPECT_TRUE(message->text().contains(QDir::toNativeSeparators(board->model().journal().recordsFolder())))
        << message->text().toStdString();
    message->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    reactivate();
    key(Qt::Key_Pause);
    key(Qt::Key_F1);
    EXPECT_EQ(board->model().score().points(1), 1) << "the board plays on";

    shell.answers = true;
    key(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(board->findChild<QMessageBox *>(QStringLiteral("BoardMessage")), nullptr) << "opened: nothing said";
}

} // namespace
