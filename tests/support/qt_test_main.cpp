// main() for tests of Qt windows: the application object lives on main's stack, so it goes
// before the C++ run time tears down the statics that Qt's own clean-up still uses.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // These tests need no real screen; the test discovery at build time has none either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
