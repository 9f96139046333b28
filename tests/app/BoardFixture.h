#pragma once

#include "app/DlgYesNo.h"
#include "app/Main.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"
#include "tests/scoring/FakeTicks.h"

#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QTest>
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
    void open(const QString &target, ShowCommand show) override { opened.append({target, show}); }
    QList<std::pair<QString, ShowCommand>> opened;
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
        board = std::make_unique<TFormMain>(ticks, monitors, shell);
        dialog = new TFDlgYesNo(board.get());
        board->setConfirmationDialog(dialog);
        board->show();
        board->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(board.get()));
    }

    // main() points the store at a temporary folder; each test starts from no settings.
    static void clearSettings()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorbel"),
                  QStringLiteral("Courtlyx"))
            .clear();
    }

    // A window manager gives the keyboard back to the board when a dialog closes; the
    // offscreen platform has none.
    void reactivate() { QApplication::setActiveWindow(board.get()); }

    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, QWidget *to = nullptr)
    {
        QTest::keyClick(to ? to : QApplication::focusWidget() ? QApplication::focusWidget()
                                                               : board.get(),
                        Qt::Key(k), mods);
    }

    // Answers the next modal question by what `answer` does to the open dialog.
    void whenAsked(std::function<void(TFDlgYesNo *)> answer)
    {
        QTimer::singleShot(0, [this, answer] {
            auto *open = qobject_cast<TFDlgYesNo *>(QApplication::activeModalWidget());
            asked = open ? open->Label1->text() : QString();
            if (open)
                answer(open);
        });
    }

    QString text(int entry) { return board->fieldLabel(entry)->text(); }

    FakeTicks ticks;
    FakeMonitors monitors;
    FakeShell shell;
    std::unique_ptr<TFormMain> board;
    TFDlgYesNo *dialog = nullptr;
    QString asked;
};
