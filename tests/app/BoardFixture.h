#pragma once

#include "core/MatchJournal.h"
#include "app/Court.h"
#include "app/DlgYesNo.h"
#include "app/Main.h"
#include "controls/Shape.h"
#include "app/TitleFilePlace.h"
#include "controls/Label3D.h"
#include "controls/OvalBtn.h"
#include "controls/PLNClock.h"
#include "controls/oClrBox.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"
#include "tests/core/FakeTicks.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class FakeMonitors final : public MonitorSource
{
public:
    QList<QRect> monitors() const override { return list; }
    QList<QRect> list{QRect(0, 0, 1920, 1080)};
};

class FakeShell final : public Shell
{
public:
    bool open(const QString &target, ShowCommand show) override
    {
        opened.append({target, show});
        return answers;
    }
    QList<std::pair<QString, ShowCommand>> opened;
    bool answers = true; // false: as a desktop without a program for it
};

// The real window, shown and active, with a fake tick counter, monitors and shell.
class BoardFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearSettings();
        startBoard();
    }

    void startBoard()
    {
        board = std::make_unique<TFormMain>(ticks, monitors, shell, place, court);
        dialog = new TFDlgYesNo(board.get());
        board->setConfirmationDialog(dialog);
        board->show();
        board->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(board.get()));
    }

    // main() points the store at a temporary folder; each test starts from no settings
    // and no journal, as on a first start.
    static void clearSettings()
    {
        clearJournal();
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                  QStringLiteral("Courtlyx"))
            .clear();
    }

    static void clearJournal() { QDir(MatchJournal::defaultFolder()).removeRecursively(); }

    // A window manager gives the keyboard back to the board when a dialog closes; the
    // offscreen platform has none.
    void reactivate() { QApplication::setActiveWindow(board.get()); }

    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, QWidget *to = nullptr)
    {
        QTest::keyClick(to ? to : QApplication::focusWidget() ? QApplication::focusWidget()
                                                               : board.get(),
                        Qt::Key(k), mods);
    }

    // Answers the next modal question by what `answer` does to the open dialog, once it
    // is open: events processed before it opens must not use the answer up.
    void whenAsked(std::function<void(TFDlgYesNo *)> answer)
    {
        asked.clear();
        auto *poll = new QTimer(board.get());
        poll->setInterval(5);
        auto tries = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, [this, poll, answer, tries] {
            auto *open = qobject_cast<TFDlgYesNo *>(QApplication::activeModalWidget());
            if (!open && ++*tries < 400)
                return;
            poll->deleteLater();
            poll->stop();
            if (open) {
                asked = open->Label1->text();
                answer(open);
            }
        });
        poll->start();
    }

    // An oval button clicks only where the pointer was last seen inside its ellipse, and
    // a second click soon after the first is a double click.
    static void click(TOvalButton *button)
    {
        QTest::mouseMove(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(),
                          QApplication::doubleClickInterval() + 1);
    }

    QString text(int entry) { return board->fieldLabel(entry)->Caption(); }

    // A control of the board by the name the board gives it.
    template <class T = QWidget>
    T *ctl(const QString &name) const
    {
        T *found = board->findChild<T *>(name);
        if (!found)
            ADD_FAILURE() << "no control " << name.toStdString();
        return found;
    }
    ToColorCombo *picker(int slot) const { return ctl<ToColorCombo>(QStringLiteral("cbColor%1").arg(slot)); }
    // The set count's items: 0 plays five sets, 1 three.
    QRadioButton *countItem(int index) const
    {
        return ctl<QGroupBox>(QStringLiteral("rgCountSatz"))->findChildren<QRadioButton *>().at(index);
    }

    // Default title files beside the test program, fallbacks in a folder of the test's own.
    QTemporaryDir dataFolder;
    TitleFilePlace place{QCoreApplication::applicationFilePath(), dataFolder.path()};
    Court court;
    FakeTicks ticks;
    FakeMonitors monitors;
    FakeShell shell;
    std::unique_ptr<TFormMain> board;
    TFDlgYesNo *dialog = nullptr;
    QString asked;
};
