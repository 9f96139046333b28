#include "platform/LongTimeFormat.h"
#include "platform/Monitors.h"
#include "platform/ShortcutCode.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

TEST(ShortcutCode, WindowsCodesBecomeQtKeys)
{
    EXPECT_EQ(keySequenceFromShortcut(112), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(keySequenceFromShortcut(116), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(keySequenceFromShortcut(19), QKeySequence(Qt::Key_Pause));
    EXPECT_EQ(keySequenceFromShortcut(16432), QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_EQ(keySequenceFromShortcut(16441), QKeySequence(Qt::CTRL | Qt::Key_9));
    EXPECT_EQ(keySequenceFromShortcut(16453), QKeySequence(Qt::CTRL | Qt::Key_E));
    EXPECT_EQ(keySequenceFromShortcut(0x2000 | 0x8000 | 'T'),
              QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_T));
    EXPECT_TRUE(keySequenceFromShortcut(0).isEmpty());
    EXPECT_TRUE(keySequenceFromShortcut(0xFF).isEmpty());
}

TEST(LongTimeFormat, MidnightWithoutTimeZone)
{
    for (const char *name : {"en_US", "de_DE", "en_GB", "ru_RU", "C"}) {
        const QLocale locale(QString::fromLatin1(name));
        const QString format = longTimeFormat(locale);
        SCOPED_TRACE(name);
        EXPECT_FALSE(format.contains(u't')) << format.toStdString();
        EXPECT_FALSE(format.endsWith(u' '));
        EXPECT_TRUE(format.contains(u's')) << "seconds stay";
    }
    EXPECT_EQ(formatLongTime(QTime(0, 0, 0), QLocale(QStringLiteral("de_DE"))), "00:00:00");
    EXPECT_EQ(formatLongTime(QTime(0, 0, 0), QLocale(QStringLiteral("en_US"))), "12:00:00 AM")
        << "the locale's 12-hour convention stays";
}

TEST(LongTimeFormat, QuotedTextAndALeadingZoneStay)
{
    // A format the user wrote may quote letters; a quoted 't' is text, not the zone.
    EXPECT_EQ(withoutTimeZone(QStringLiteral("HH:mm:ss 'at' t")), "HH:mm:ss 'at'");
    EXPECT_EQ(withoutTimeZone(QStringLiteral("h 'tt' mm t ss")), "h 'tt' mm ss");
    // Chinese puts the zone first: the blank after it goes too.
    EXPECT_EQ(longTimeFormat(QLocale(QStringLiteral("zh_CN"))), "HH:mm:ss");
    EXPECT_EQ(formatLongTime(QTime(0, 0, 0), QLocale(QStringLiteral("zh_CN"))), "00:00:00");
}

TEST(Monitors, ScreensInOrderWithTheirFullAreas)
{
    const QList<QRect> monitors = ScreenMonitorSource().monitors();
    ASSERT_EQ(monitors.size(), 2);
    EXPECT_EQ(monitors[0], QRect(0, 0, 1920, 1080));
    EXPECT_EQ(monitors[1], QRect(1920, 0, 1280, 720));
}

} // namespace

int main(int argc, char **argv)
{
    // Two screens side by side, as an operator's monitor and a projector.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" COURTLYX_TWO_SCREENS);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
