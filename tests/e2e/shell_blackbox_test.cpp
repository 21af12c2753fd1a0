// The real program on a virtual display: its window, the single-instance guard and a clean exit.

#include "support/desktop_session.h"
#include "support/file_bytes.h"
#include "support/program_on_screen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

TEST(ShellBlackBox, OpensAtTheStoredPlaceAndExitSavesPlacementAndRemovesWorkingFiles)
{
    DesktopSession session;
    fs::create_directories(fs::path(session.positionStore()).parent_path());
    std::ofstream(session.positionStore()) << "[General]\nPosX=300\nPosY=50\n";
    fs::create_directories(session.tempFolder());
    for (const char* name : {"Velmora.cnt", "Velmora.ind", "Velmora.ht1", "Velmora.ht2",
                             "Velmora.png", "VelmoraPreview.png", "VelmoraPreview.htm"})
        std::ofstream(session.tempFolder() + name) << "left from an earlier run";

    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.open());
    EXPECT_EQ(program.mainWindow().x, 300);
    EXPECT_EQ(program.mainWindow().y, 50);
    session.closeMessageBoxes(10s);
    ASSERT_TRUE(program.process().running());
    // The first start creates the preference file, private because it holds credentials.
    ASSERT_TRUE(fs::exists(session.preferenceFile()));
    EXPECT_EQ(fs::status(session.preferenceFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    ASSERT_NO_FATAL_FAILURE(program.exit());

    const std::string store = fileBytes(session.positionStore());
    EXPECT_NE(store.find("PosX=300"), std::string::npos) << store;
    EXPECT_NE(store.find("PosY=50"), std::string::npos) << store;
    EXPECT_NE(store.find("InstallDir=" + fs::path(VELMORA_BINARY).parent_path().string() + "/"),
              std::string::npos)
        << store;
    for (const char* name : {"Velmora.cnt", "Velmora.ind", "Velmora.ht1", "Velmora.ht2",
                             "Velmora.png", "VelmoraPreview.png"})
        EXPECT_FALSE(fs::exists(session.tempFolder() + name)) << name;
    EXPECT_TRUE(fs::exists(session.tempFolder() + "VelmoraPreview.htm"));
}

TEST(ShellBlackBox, PositionOffTheScreenFallsBackToTheDefault)
{
    DesktopSession session;
    fs::create_directories(fs::path(session.positionStore()).parent_path());
    std::ofstream(session.positionStore()) << "[General]\nPosX=1014\nPosY=0\n";
    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.open());
    EXPECT_EQ(program.mainWindow().x, 200);
    EXPECT_EQ(program.mainWindow().y, 1);
}

TEST(ShellBlackBox, SecondCopyShowsInformationAndEndsWithoutAWindow)
{
    DesktopSession session;
    ProgramOnScreen first(session, "first.log");
    ASSERT_NO_FATAL_FAILURE(first.open());
    session.closeMessageBoxes(10s);

    auto second = session.startProgram("second.log");
    ASSERT_TRUE(session.waitForWindow("Information", 15s)) << session.log("second.log");
    EXPECT_TRUE(second->running());
    session.pressKey("Return");
    const auto code = second->waitFor(10s);
    ASSERT_TRUE(code) << "the second copy did not end";
    EXPECT_EQ(*code, 0);

    EXPECT_TRUE(first.process().running()) << "the first copy must not be affected";
    int mainWindows = 0;
    for (const auto& window : session.windows("Velmora"))
        mainWindows += (window.width == 158 && window.height == 78) ? 1 : 0;
    EXPECT_EQ(mainWindows, 1);
}

} // namespace
} // namespace velmora::test
