#include "tests/app/BoardFixture.h"

#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

class BoardInput : public BoardFixture {};

TEST_F(BoardInput, LongNameSurvivesARunAndARestart)
{
    const QString name = QString(40000 - 3, u'x') + QStringLiteral("end");
    BoardSettings stored;
    stored.Comanda1 = name;
    board.reset();
    SettingsStore::write(stored);
    startBoard();
    EXPECT_EQ(ctl<QLineEdit>(QStringLiteral("eName1"))->text().size(), name.size());
    key(Qt::Key_Pause);
    EXPECT_TRUE(ctl<TLabel3D>(QStringLiteral("LName1"))->Caption() == name + u' ');
    key(Qt::Key_Pause);
    board.reset();
    const std::optional<BoardSettings> written = SettingsStore::read(BoardSettings());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->Comanda1.size(), name.size());
    EXPECT_TRUE(written->Comanda1 == name);
    startBoard();
    EXPECT_TRUE(ctl<QLineEdit>(QStringLiteral("eName1"))->text() == name);
}

TEST_F(BoardInput, KeypadDigitsWithCtrlAreNotTheBoardsKeys)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QFile three(QStringLiteral("3.rtf"));
    ASSERT_TRUE(three.open(QIODevice::WriteOnly));
    three.write("Finale");
    three.close();
    const QString before = board->titleFileName();

    whenAsked([](TFDlgYesNo *d) { d->CancelBtn->click(); });
    for (QWidget *focus : {ctl(QStringLiteral("PLNClock1")), ctl(QStringLiteral("eName1"))}) {
        focus->setFocus();
        key(Qt::Key_0, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_TRUE(asked.isEmpty()) << "no reset question";
        key(Qt::Key_3, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_EQ(board->titleFileName(), before) << "no title file";
    }
    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(asked, "Reset?") << "the main-row key asks";
    reactivate();
    key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(board->titleFileName(), "3.rtf");
    QDir::setCurrent(oldCwd);
}

} // namespace
