// The program as the package installs it, started from where dpkg put it, presents the screen to
// a real FTP server. Run by package_check.sh with VELMORA_INSTALLED_PROGRAM set to that program.

#include "support/ftp_server_fixture.h"
#include "support/launched_program.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"
#include "support/virtual_display.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The presented screen's colour, which no blank or broken picture has.
constexpr std::uint8_t kColour[] = {0x30, 0xA0, 0x60};

std::string installedProgram()
{
    const char* program = std::getenv("VELMORA_INSTALLED_PROGRAM");
    return program != nullptr ? program : "";
}

TEST(InstalledProgram, PresentsTheScreenToAnFtpServer)
{
    const std::string program = installedProgram();
    ASSERT_FALSE(program.empty()) << "VELMORA_INSTALLED_PROGRAM names no program";
    ASSERT_TRUE(fs::is_regular_file(program)) << program;

    FtpServer ftp;
    fs::create_directories(ftp.root() + "/show");
    VirtualDisplay display(kWidth, kHeight);
    RgbPicture screen(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            std::copy(std::begin(kColour), std::end(kColour), screen.row(y) + 3 * x);
    ASSERT_TRUE(display.showOnRoot(screen));
    display.movePointer(0, 0);

    // A presenter's account as an earlier run left it: the server set, presenting at start.
    TemporaryFolder account;
    for (const char* dir : {"home", "config/Velmora", "tmp", "runtime"})
        fs::create_directories(account.file(dir));
    fs::permissions(account.file("runtime"), fs::perms::owner_all, fs::perm_options::replace);
    std::ofstream(account.file("config/Velmora/Velmora.prf"), std::ios::binary)
        << "SettingVersion=2\r\nFTPServerName=" << ftp.serverName()
        << "\r\nFTPWebDir=\r\nFTPSubDir=show/\r\nPauseSeconds=1\r\nRemoteMousePointer=1\r\n"
           "AutostartPresentation=1\r\nScreenRegion=\r\n";

    LaunchedProgram velmora({program},
                            {{"DISPLAY", display.name()},
                             {"HOME", account.file("home")},
                             {"XDG_CONFIG_HOME", account.file("config")},
                             {"TMPDIR", account.file("tmp")},
                             {"XDG_RUNTIME_DIR", account.file("runtime")},
                             {"QT_QPA_PLATFORM", ""},
                             {"WAYLAND_DISPLAY", ""},
                             {"XDG_SESSION_TYPE", ""},
                             {"LD_LIBRARY_PATH", ""}},
                            account.file("velmora.log"));

    // One whole cycle: a picture, then the data page that announces it.
    StoredFile picture;
    bool announced = false;
    waitUntil(30s, [&] {
        for (const auto& file : ftp.stored()) {
            // Uploaded under its name, or under another one and renamed into place.
            if (std::regex_match(file.name, std::regex("Velmora[1-3]\\.png")))
                picture = file;
            announced = announced || (!picture.name.empty() && file.name == "Velmora.htm");
        }
        return announced || !velmora.running();
    });
    ASSERT_TRUE(announced) << "no picture and data page on the server; the program said:\n"
                           << [&] {
                                  std::ifstream log(account.file("velmora.log"));
                                  return std::string(std::istreambuf_iterator<char>(log), {});
                              }();
    EXPECT_TRUE(velmora.running()) << "the program ended after its first cycle";
    EXPECT_TRUE(ftp.exists("show/index.htm")) << "no viewer page for the spectators";

    // The picture as it arrived: by now the server may hold a later one under its name.
    std::ofstream(account.file("picture.png"), std::ios::binary) << picture.bytes;
    const auto pixels = decodePng(account.file("picture.png"));
    ASSERT_TRUE(pixels) << picture.name << " is no PNG";
    EXPECT_EQ(pixels->width, kWidth);
    EXPECT_EQ(pixels->height, kHeight);
    const std::uint8_t* middle = pixels->at(kWidth / 2, kHeight / 2);
    EXPECT_EQ(std::vector<std::uint8_t>(middle, middle + 3),
              std::vector<std::uint8_t>(std::begin(kColour), std::end(kColour)))
        << "the picture does not show the screen";

    velmora.kill(SIGTERM);
    velmora.waitFor(5s);
}

} // namespace
} // namespace velmora::test
