#include <QCoreApplication>

#include <gtest/gtest.h>

// Timers need an event loop object even when the tests drive them by hand.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
