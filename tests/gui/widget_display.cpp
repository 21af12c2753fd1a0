// One private Xvfb and one QApplication for the window tests, started only when tests run (not
// when they are merely listed).

#include "widget_display.h"

#include "support/virtual_display.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace velmora::test {
namespace {

std::string displayName;

class WidgetDisplayEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        display_ = std::make_unique<VirtualDisplay>(1024, 768);
        displayName = display_->name();
        setenv("DISPLAY", displayName.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("WAYLAND_DISPLAY");
        runtimeDir_ = std::filesystem::temp_directory_path() /
                      ("velmora-region-xdg-" + std::to_string(getpid()));
        std::filesystem::create_directories(runtimeDir_);
        std::filesystem::permissions(runtimeDir_, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtimeDir_.c_str(), 1);
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override
    {
        app_.reset();
        display_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(runtimeDir_, ignored);
    }

private:
    int argc_ = 1;
    char name_[24] = "region_window_tests";
    char* argv_[2] = {name_, nullptr};
    std::filesystem::path runtimeDir_;
    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<QApplication> app_;
};

// GoogleTest takes ownership of the environment.
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(std::make_unique<WidgetDisplayEnvironment>().release());

} // namespace

const std::string& widgetDisplayName()
{
    return displayName;
}

} // namespace velmora::test
