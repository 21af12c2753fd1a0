// Where the window opens, which files shut-down removes, and the folders the program trusts.

#include "app/instance_guard.h"
#include "app/program_folders.h"
#include "app/window_position.h"
#include "app/working_files.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(WindowPosition, AcceptsOnlyCoordinatesWellInsideTheScreen)
{
    const ScreenBounds screen{0, 0, 1024, 768};
    EXPECT_EQ(acceptedWindowPosition(1013, 757, screen).x, 1013);
    EXPECT_EQ(acceptedWindowPosition(1013, 757, screen).y, 757);
    EXPECT_EQ(acceptedWindowPosition(1014, 758, screen).x, 200);
    EXPECT_EQ(acceptedWindowPosition(1014, 758, screen).y, 1);
    EXPECT_EQ(acceptedWindowPosition(0, 0, screen).x, 200);
    EXPECT_EQ(acceptedWindowPosition(-5, -5, screen).y, 1);
    EXPECT_EQ(acceptedWindowPosition(std::nullopt, 300, screen).x, 200);
    EXPECT_EQ(acceptedWindowPosition(std::nullopt, 300, screen).y, 300);
    EXPECT_EQ(acceptedWindowPosition(1LL << 33, 5, screen).x, 200); // wider than 32 bits
}

TEST(WorkingFiles, ShutDownRemovesTheWorkingFilesAndKeepsThePreviewPage)
{
    test::TemporaryFolder folder;
    const std::string temp = folder.path() + "/";
    const std::vector<std::string> all = {
        "Velmora.cnt", "Velmora.ind",        "Velmora.ht1",        "Velmora.ht2",
        "Velmora.png", "VelmoraPreview.png", "VelmoraPreview.htm", "Velmora.lock",
        "other.txt",   "VelmoraUpload.png"};
    for (const auto& name : all)
        std::ofstream(temp + name) << "x";
    deleteWorkingFiles(temp);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Velmora.lock", "VelmoraPreview.htm", "other.txt"}));
    deleteWorkingFiles(temp); // missing files are skipped silently
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ProgramFolders, WorkFolderFollowsXdgConfigHomeAndFallsBackToHome)
{
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/somewhere/config");
        EXPECT_EQ(workFolderPath(), "/somewhere/config/Velmora/");
    }
    ScopedEnvironment config("XDG_CONFIG_HOME", "relative/not/allowed");
    ScopedEnvironment home("HOME", "/home/presenter");
    EXPECT_EQ(workFolderPath(), "/home/presenter/.config/Velmora/");
}

TEST(ProgramFolders, WorkFolderIsCreatedWithItsParent)
{
    test::TemporaryFolder folder;
    const std::string work = folder.path() + "/config/Velmora/";
    EXPECT_TRUE(createWorkFolder(work));
    EXPECT_TRUE(fs::is_directory(work));
    EXPECT_TRUE(createWorkFolder(work)) << "an existing folder is fine";
}

TEST(ProgramFolders, TempFolderIsPrivateAndRefusesPlantedOnes)
{
    test::TemporaryFolder folder;
    ScopedEnvironment tmpdir("TMPDIR", folder.path());
    const std::string expected = folder.path() + "/velmora-" + std::to_string(::getuid()) + "/";

    std::string error;
    EXPECT_EQ(privateTempFolder(error), expected);
    struct stat info {};
    ASSERT_EQ(::stat(expected.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ::chmod(expected.c_str(), 0777); // loosened by someone: made private again
    EXPECT_EQ(privateTempFolder(error), expected);
    ASSERT_EQ(::stat(expected.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    fs::remove_all(expected);
    fs::create_directory(folder.path() + "/elsewhere");
    fs::create_directory_symlink(folder.path() + "/elsewhere",
                                 expected.substr(0, expected.size() - 1));
    EXPECT_EQ(privateTempFolder(error), "");
    EXPECT_NE(error.find("not a plain folder"), std::string::npos);

    if (::getuid() == 0) { // only root can hand a folder to another user
        fs::remove(expected.substr(0, expected.size() - 1));
        fs::create_directory(expected);
        ASSERT_EQ(::chown(expected.c_str(), 65534, 65534), 0);
        EXPECT_EQ(privateTempFolder(error), "");
        EXPECT_NE(error.find("another user"), std::string::npos);
    }
}

TEST(InstanceGuard, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    test::TemporaryFolder folder;
    const std::string temp = folder.path() + "/";
    {
        InstanceGuard first(temp);
        ASSERT_TRUE(first.acquired());
        InstanceGuard second(temp);
        EXPECT_FALSE(second.acquired());
    }
    InstanceGuard again(temp);
    EXPECT_TRUE(again.acquired());
}

} // namespace
} // namespace velmora
