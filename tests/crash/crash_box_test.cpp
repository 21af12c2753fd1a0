// The real crash box on a private X display: the report in the "ERROR" box, its first part on
// the clipboard, the answer given with a key press, and the clipboard still there after the
// faulting program has ended.

#include "support/file_bytes.h"
#include "support/launched_program.h"
#include "support/temporary_folder.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;
using test::commandOutput;
using test::fileBytes;
using test::LaunchedProgram;
using test::TemporaryFolder;
using test::VirtualDisplay;

class CrashBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        runtime_ = folder_.path() + "/runtime";
        std::filesystem::create_directory(runtime_);
        ::chmod(runtime_.c_str(), 0700);
        record_ = folder_.path() + "/record";
        std::filesystem::create_directory(record_);
    }

    std::string onDisplay(const std::string& command)
    {
        return commandOutput("DISPLAY=" + display_.name() + " XDG_RUNTIME_DIR=" + runtime_ + " " +
                             command + " 2>/dev/null");
    }

    std::unique_ptr<LaunchedProgram> faultingChild()
    {
        return std::make_unique<LaunchedProgram>(
            std::vector<std::string>{CRASH_CHILD, "null-write", CRASH_BOX, FAULT_LOCATOR, record_},
            std::map<std::string, std::string>{{"DISPLAY", display_.name()},
                                               {"XDG_RUNTIME_DIR", runtime_},
                                               {"QT_QPA_PLATFORM", "xcb"}},
            folder_.path() + "/child.log");
    }

    // The box's window, once it shows; empty if it never does.
    std::string waitForBox()
    {
        for (int attempt = 0; attempt < 300; ++attempt) {
            const std::string ids = onDisplay("xdotool search --onlyvisible --name '^ERROR$'");
            if (!ids.empty())
                return ids.substr(0, ids.find('\n'));
            std::this_thread::sleep_for(100ms);
        }
        return {};
    }

    std::string clipboard() { return onDisplay(CLIPBOARD_READER); }

    std::string childLog() { return fileBytes(folder_.path() + "/child.log"); }

    void answerWith(const std::string& window, const std::string& key)
    {
        onDisplay("xdotool windowfocus --sync " + window);
        onDisplay("xdotool key " + key);
    }

    // The box that went on serving the clipboard after answering.
    std::vector<pid_t> boxesStillRunning()
    {
        std::vector<pid_t> found;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::error_code error;
            const auto exe = std::filesystem::read_symlink(entry.path() / "exe", error);
            if (!error && exe == std::filesystem::path(CRASH_BOX)) {
                const std::string all = fileBytes(entry.path() / "environ");
                if (all.find("DISPLAY=" + display_.name() + '\0') != std::string::npos)
                    found.push_back(std::stoi(entry.path().filename().string()));
            }
        }
        return found;
    }

    void TearDown() override
    {
        for (pid_t box : boxesStillRunning())
            ::kill(box, SIGKILL);
    }

    TemporaryFolder folder_;
    VirtualDisplay display_;
    std::string runtime_;
    std::string record_;
};

const std::regex kClipboardLayout("A program error occurred!\r\n\r\n"
                                  "Error message:\tInvalid memory access\r\n"
                                  "Error code:\t-1073741819\r\n\r\n"
                                  "Error address:\t[0-9]+\r\n"
                                  "Program name:\tVelmora\r\n"
                                  "Program version:\tVersion 1.9.1306\r\n"
                                  "Program module:\tcrash_child.cpp\r\n"
                                  "Program line:\t[0-9]+\r\n\r\n");

TEST_F(CrashBoxTest, NoAnswerKeepsTheReportOnTheClipboardAfterTheProgramEnded)
{
    auto child = faultingChild();
    const std::string box = waitForBox();
    ASSERT_FALSE(box.empty()) << "no ERROR box; child: " << childLog();
    const std::string copied = clipboard();
    EXPECT_TRUE(std::regex_match(copied, kClipboardLayout)) << copied;

    answerWith(box, "Escape");
    EXPECT_EQ(child->waitFor(60s), 0);
    EXPECT_TRUE(std::filesystem::exists(record_ + "/cleanup-ran")) << "No leaves through cleanup";
    EXPECT_EQ(clipboard(), copied) << "the clipboard outlives the faulting program";
}

TEST_F(CrashBoxTest, YesAnswerEndsAtOnce)
{
    auto child = faultingChild();
    const std::string box = waitForBox();
    ASSERT_FALSE(box.empty()) << "no ERROR box; child: " << childLog();
    answerWith(box, "Return");
    EXPECT_EQ(child->waitFor(60s), 0);
    EXPECT_FALSE(std::filesystem::exists(record_ + "/cleanup-ran"));
}

TEST_F(CrashBoxTest, BoxEndsWhenAnotherProgramTakesTheClipboard)
{
    auto child = faultingChild();
    const std::string box = waitForBox();
    ASSERT_FALSE(box.empty()) << "no ERROR box; child: " << childLog();
    answerWith(box, "Return");
    ASSERT_EQ(child->waitFor(60s), 0);
    ASSERT_EQ(boxesStillRunning().size(), 1u);

    EXPECT_EQ(onDisplay(std::string(CLIPBOARD_READER) + " --take other; echo $?"), "0\n");
    for (int attempt = 0; attempt < 300 && !boxesStillRunning().empty(); ++attempt)
        std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(boxesStillRunning().empty()) << childLog();
}

} // namespace
} // namespace velmora
