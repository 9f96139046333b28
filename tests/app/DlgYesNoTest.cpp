#include "app/DlgYesNo.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Asks once and returns the centre of the dialog's frame as it stood while open, after a
// window manager has had time to frame and place it.
QPoint centreWhileAsking(TFDlgYesNo &dialog)
{
    QPoint centre;
    int polls = 0;
    int settled = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++polls;
        if (dialog.isVisible() && dialog.windowHandle() && dialog.windowHandle()->isExposed())
            ++settled;
        if (settled == 10 || polls == 250) {
            centre = dialog.frameGeometry().center();
            dialog.CancelBtn->click();
        }
    });
    poll.start(20);
    EXPECT_EQ(dialog.ask(QStringLiteral("Reset?")), TFDlgYesNo::mrCancel);
    EXPECT_GE(settled, 10) << "the dialog was not shown";
    return centre;
}

TEST(DlgYesNo, OpensCentredOnItsOwnerFromTheFirstTime)
{
    QWidget owner;
    owner.setGeometry(300, 200, 640, 480);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QTest::qWait(200); // a window manager frames the owner after exposing it
    auto *dialog = new TFDlgYesNo(&owner);

    const QPoint expected = owner.frameGeometry().center();
    const QPoint first = centreWhileAsking(*dialog);
    const QPoint second = centreWhileAsking(*dialog);
    const auto near = [](QPoint a, QPoint b) { return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1; };
    EXPECT_PRED2(near, first, expected) << "the first time";
    EXPECT_PRED2(near, second, expected) << "the second time";
    EXPECT_PRED2(near, first, second);
}

} // namespace
