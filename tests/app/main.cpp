#include "core/MatchJournal.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // A full-HD screen rather than the offscreen platform's 800 x 800, so that the window
    // has room to grow.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" COURTLYX_TEST_SCREEN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Courtlyx"));
    // The window reads and writes its settings; never the real user's.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    // Nor the real user's match journal.
    MatchJournal::setDefaultFolder(settingsDir.filePath(QStringLiteral("data")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
