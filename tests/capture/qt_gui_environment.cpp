// The caption line is drawn with QtGui, which needs the application object the program has.
// Tests get one on the offscreen platform: no display is read through Qt.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

class QtGuiEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        runtimeDir_ = std::filesystem::temp_directory_path() /
                      ("velmora-capture-xdg-" + std::to_string(getpid()));
        std::filesystem::create_directories(runtimeDir_);
        std::filesystem::permissions(runtimeDir_, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtimeDir_.c_str(), 1);
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override
    {
        app_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(runtimeDir_, ignored);
    }

private:
    int argc_ = 1;
    char name_[16] = "capture_tests";
    char* argv_[2] = {name_, nullptr};
    std::filesystem::path runtimeDir_;
    std::unique_ptr<QGuiApplication> app_;
};

// GoogleTest takes ownership of the environment.
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(std::make_unique<QtGuiEnvironment>().release());

} // namespace
