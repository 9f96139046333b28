#include "tests/app/BoardFixture.h"

#include "app/SettingsStore.h"

#include <QLineEdit>

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

} // namespace
