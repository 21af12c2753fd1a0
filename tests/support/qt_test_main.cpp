// main() for tests that need a Qt application. The application and its screen are made when the
// tests run, not when they are only listed at build time (a private X server takes a while to
// start), and go before main returns: Qt's own clean-up still uses statics that the C++ run time
// tears down after that. Built with VELMORA_QT_TESTS_ON_VIRTUAL_DISPLAY, the tests get real X11
// windows on a private Xvfb of 1024 x 768; otherwise Qt draws off screen.

#include "support/qt_test_screen.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

#ifdef VELMORA_QT_TESTS_ON_VIRTUAL_DISPLAY
constexpr auto kScreenKind = velmora::test::QtScreenKind::VirtualDisplay;
#else
constexpr auto kScreenKind = velmora::test::QtScreenKind::Offscreen;
#endif

class QtApplicationEnvironment final : public ::testing::Environment {
public:
    QtApplicationEnvironment(int& argc, char** argv) : argc_(argc), argv_(argv) {}

    void SetUp() override
    {
        screen_ = std::make_unique<velmora::test::QtTestScreen>(kScreenKind);
        application_ = std::make_unique<QApplication>(argc_, argv_);
        // Windows on a real screen are opened and closed all the time; the last one closing must
        // not end the event loops the tests are waiting in.
        if (kScreenKind == velmora::test::QtScreenKind::VirtualDisplay)
            QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override
    {
        application_.reset();
        screen_.reset();
    }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<velmora::test::QtTestScreen> screen_;
    std::unique_ptr<QApplication> application_;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // GoogleTest takes ownership of the environment.
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
