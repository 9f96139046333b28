#include <QGuiApplication>

#include <gtest/gtest.h>

// Text documents lay out with fonts and decode pictures, which need the GUI application object.
int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
