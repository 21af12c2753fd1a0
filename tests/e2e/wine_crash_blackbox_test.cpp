// A real fault inside the running Windows program under Wine, in the middle of a presentation: a
// thread of the program starts at an address where nothing is mapped (the scenario probe does
// that from outside, as a faulty driver or add-in would). The program's own report shows in the
// "ERROR" box of a second copy, with its first part on the clipboard; either answer ends the
// program with exit code 0, and neither saves the window's place or tidies the working files away.

#include "support/changing_screen.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/wait_until.h"
#include "support/wine_desktop_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct CrashAnswer {
    const char* name;
    const char* key; // the button's mnemonic
};

void PrintTo(const CrashAnswer& answer, std::ostream* out)
{
    *out << answer.name;
}

// What the report says of a fault at address 0x10, outside every module of the program.
const char* const kReportHead[] = {
    "A program error occurred!\r\n\r\n", "Error message:\tInvalid memory access\r\n",
    "Error code:\t-1073741819\r\n\r\n",  "Error address:\t16\r\n",
    "Program name:\tVelmora\r\n",        "Program version:\tVersion ",
};
const char* const kReportTail[] = {
    "Program module:\tOnError line support disabled\r\n",
    "Program line:\t-1\r\n\r\n",
    "Please send this information which is now in the clipboard to\r\n",
};
constexpr const char* kQuestion = "Continue program execution?    (not recommended)";

class WineCrashBlackBox : public ::testing::TestWithParam<CrashAnswer> {
protected:
    void SetUp() override
    {
        std::string reason;
        if (WinePrefix::windowsBuild(reason).empty())
            GTEST_SKIP() << reason;
        if (WineDesktopSession::probeProgram(*scenarioPrefix()).empty())
            GTEST_SKIP() << "the Windows build has no test programs (build-windows.sh --tests)";
        session = std::make_unique<WineDesktopSession>(*scenarioPrefix());
    }

    std::unique_ptr<WineDesktopSession> session;
};

TEST_P(WineCrashBlackBox, AFaultInsideTheRunningProgramIsReportedAndEndsIt)
{
    // A presenter who ran the program before: the window's place is in the registry.
    session->prefix().setRegistryNumber(WineDesktopSession::kProgramKey, "PosX", 300);
    session->prefix().setRegistryNumber(WineDesktopSession::kProgramKey, "PosY", 50);
    PresentationSite site("show/");
    session->writePreferences(site.preferences(1, 500, 30));
    const ChangingScreen moving(*session, {900, 700, 60, 40});

    ProgramOnScreen program(*session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    // The window opened at the kept place (its inner area, that is: the frame is Wine's).
    EXPECT_GE(program.mainWindow().x, 300);
    EXPECT_LE(program.mainWindow().x, 310);
    EXPECT_GE(program.mainWindow().y, 50);
    EXPECT_LE(program.mainWindow().y, 80);
    session->closeMessageBoxes(10s);
    ASSERT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 1; }))
        << session->describeWindows();

    ASSERT_TRUE(session->causeFaultInProgram()) << "no fault could be caused in velmora.exe";
    const auto box = session->waitForMessageBox("ERROR", 15s);
    ASSERT_TRUE(box) << "no crash report\n" << session->describeWindows();
    const std::string report = session->boxTexts("ERROR");
    std::size_t at = 0;
    for (const char* part : kReportHead) {
        const std::size_t found = report.find(part, at);
        EXPECT_EQ(found, at) << part << "in\n" << report;
        at = found == std::string::npos ? at : found + std::string(part).size();
    }
    at = report.find("\r\n", at) + 2; // the version
    for (const char* part : kReportTail) {
        const std::size_t found = report.find(part, at);
        EXPECT_EQ(found, at) << part << "in\n" << report;
        at = found == std::string::npos ? at : found + std::string(part).size();
    }
    EXPECT_NE(report.find(std::string("\r\n\r\n") + kQuestion + "\n", at), std::string::npos)
        << report;
    // The clipboard holds the report up to the line, for the maker.
    const std::string clipboard = session->clipboardText();
    EXPECT_EQ(clipboard, report.substr(0, report.find("Please send"))) << clipboard;

    session->pressKeyIn(*box, GetParam().key);
    const auto code = program.process().waitFor(15s);
    ASSERT_TRUE(code) << "the program did not end after the report\n" << session->describeWindows();
    EXPECT_EQ(*code, 0);
    EXPECT_TRUE(waitUntil(10s, [&] { return session->windows("ERROR").empty(); }));
    // Nothing of the shut-down ran: the place as it was, no program folder, the working files left.
    EXPECT_EQ(session->registryValue("PosX"), "0x12c");
    EXPECT_EQ(session->registryValue("PosY"), "0x32");
    EXPECT_FALSE(session->registryValue("InstallDir"));
    EXPECT_TRUE(fs::exists(session->tempFolder() + "Velmora.cnt"));
}

INSTANTIATE_TEST_SUITE_P(BothAnswers, WineCrashBlackBox,
                         ::testing::Values(CrashAnswer{"No", "n"}, CrashAnswer{"Yes", "y"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora::test
