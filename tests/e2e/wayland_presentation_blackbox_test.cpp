// The real program on a (headless) Wayland desktop: sway with Xwayland, PipeWire and the
// ScreenCast portal. With the portal it presents what the desktop shows, the whole output or a
// region with its frame on, and a second start gets the grant back without asking; without a
// portal it stops with the reason and never sends the black pictures Xwayland would give it.

#include "support/file_bytes.h"
#include "support/launched_program.h"
#include "support/png_file.h"
#include "support/presentation_site.h"
#include "support/temporary_folder.h"
#include "support/wait_until.h"
#include "support/wayland_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

constexpr int kOutputWidth = 1280;
constexpr int kOutputHeight = 720;
constexpr int kWindowX = 200;
constexpr int kWindowY = 120;
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 300;
constexpr std::uint8_t kRed = 0xC0, kGreen = 0x30, kBlue = 0x10;

#define REQUIRE_ROOT()                                                                             \
    do {                                                                                           \
        if (!WaylandSession::cannotRunHere().empty())                                              \
            GTEST_SKIP() << WaylandSession::cannotRunHere();                                       \
    } while (false)

// The presenter's account: its own home, settings and temporary folders.
class Presenter {
public:
    std::string configHome() const { return folder_.path() + "/config"; }
    std::string tokenFile() const { return configHome() + "/Velmora/ScreenCast.token"; }
    std::string log() const { return fileBytes(folder_.file("velmora.log")); }

    void writePreferences(const std::vector<std::string>& lines)
    {
        std::filesystem::create_directories(configHome() + "/Velmora");
        std::string text;
        for (const auto& line : lines)
            text += line + "\r\n";
        writeFileBytes(configHome() + "/Velmora/Velmora.prf", text);
        std::filesystem::permissions(configHome() + "/Velmora/Velmora.prf",
                                     std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::replace);
    }

    // The program as the desktop starts it, with the desktop's environment plus overrides.
    std::unique_ptr<LaunchedProgram> start(const WaylandSession& desktop,
                                           const std::map<std::string, std::string>& extra = {})
    {
        for (const char* dir : {"/home", "/tmp"})
            std::filesystem::create_directories(folder_.path() + dir);
        std::map<std::string, std::string> env = desktop.environment();
        env["HOME"] = folder_.path() + "/home";
        env["XDG_CONFIG_HOME"] = configHome();
        env["TMPDIR"] = folder_.path() + "/tmp";
        env["QT_QPA_PLATFORM"] = ""; // the program picks its platform itself
        for (const auto& [name, value] : extra)
            env[name] = value;
        return std::make_unique<LaunchedProgram>(std::vector<std::string>{VELMORA_BINARY}, env,
                                                 folder_.file("velmora.log"));
    }

private:
    TemporaryFolder folder_;
};

std::vector<std::string> autostartPreferences(const PresentationSite& site,
                                              const std::string& region)
{
    std::vector<std::string> lines = site.preferences(1, 1000, 30);
    for (auto& line : lines) {
        if (line.rfind("AutostartPresentation=", 0) == 0)
            line = "AutostartPresentation=1";
        if (line.rfind("ScreenRegion=", 0) == 0)
            line = "ScreenRegion=" + region;
    }
    return lines;
}

// The newest picture the server has received, decoded.
std::optional<PngPixels> newestPicture(const FtpServer& ftp)
{
    const auto stored = ftp.stored();
    for (auto file = stored.rbegin(); file != stored.rend(); ++file) {
        const std::string& name = file->name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) {
            TemporaryFolder scratch;
            writeFileBytes(scratch.file("picture.png"), file->bytes);
            return decodePng(scratch.file("picture.png"));
        }
    }
    return std::nullopt;
}

int pictureUploads(const FtpServer& ftp)
{
    int count = 0;
    for (const auto& file : ftp.stored())
        count += file.name.find(".png") != std::string::npos ? 1 : 0;
    return count;
}

bool isWindowColour(const PngPixels& picture, int x, int y)
{
    const auto pixel = picture.at(x, y);
    return pixel[0] == kRed && pixel[1] == kGreen && pixel[2] == kBlue;
}

// A picture that shows the window once the desktop has drawn it: the very first frame may
// predate it.
std::optional<PngPixels> pictureShowingWindow(const PresentationSite& site, int x, int y)
{
    std::optional<PngPixels> picture;
    waitUntil(30s, [&] {
        picture = newestPicture(site.ftp);
        return picture && x < picture->width && y < picture->height &&
               isWindowColour(*picture, x, y);
    });
    return picture;
}

TEST(WaylandBlackBox, PresentsTheSharedOutputWholeAndARegionAndGetsTheGrantBack)
{
    REQUIRE_ROOT();
    WaylandSession desktop(kOutputWidth, kOutputHeight);
    const auto window =
        desktop.showColourWindow(kWindowX, kWindowY, kWindowWidth, kWindowHeight, "C03010");
    Presenter presenter;

    // First start: the whole output.
    std::string token;
    {
        PresentationSite site("show/");
        presenter.writePreferences(autostartPreferences(site, ""));
        auto program = presenter.start(desktop);
        const auto picture = pictureShowingWindow(site, kWindowX + 10, kWindowY + 150);
        ASSERT_TRUE(picture) << presenter.log() << desktop.log("portal");
        EXPECT_NE(presenter.log().find("screen: ScreenCast portal"), std::string::npos)
            << presenter.log();
        EXPECT_EQ(picture->width, kOutputWidth);
        EXPECT_EQ(picture->height, kOutputHeight);
        EXPECT_TRUE(
            isWindowColour(*picture, kWindowX + kWindowWidth - 1, kWindowY + kWindowHeight - 1));
        EXPECT_FALSE(isWindowColour(*picture, kWindowX - 1, kWindowY + 150));
        EXPECT_FALSE(isWindowColour(*picture, kWindowX + 150, kWindowY + kWindowHeight));
        token = fileBytes(presenter.tokenFile());
        EXPECT_FALSE(token.empty()) << "no restore token in the Work folder";
    }

    // Second start, now with a region inside the window and its frame around it: the picture
    // is the window's colour throughout (the frame never covers what is presented), and the
    // desktop restores the grant under the stored token instead of making a new one.
    {
        PresentationSite site("show/");
        // Columns 241 .. 440 and rows 161 .. 360 counted from 1: the window's inside.
        presenter.writePreferences(autostartPreferences(site, "241,161,440,360"));
        auto program = presenter.start(desktop);
        ASSERT_TRUE(pictureShowingWindow(site, 199, 199)) << presenter.log();
        // Pictures taken while the frame is on the screen: a frame that covered the region
        // would change them, and a changed picture goes up within a cycle or two.
        const std::string display = desktop.environment().at("DISPLAY");
        ASSERT_TRUE(waitUntil(20s, [&] {
            return !commandOutput("DISPLAY=" + display +
                                  " xdotool search --onlyvisible --name '^Bildschirmbereich$'")
                        .empty();
        })) << "no region frame on the screen";
        std::this_thread::sleep_for(4s);
        const auto picture = newestPicture(site.ftp);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->width, 200);
        EXPECT_EQ(picture->height, 200);
        int other = 0;
        // Below the caption line, every pixel.
        for (int y = 20; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                other += isWindowColour(*picture, x, y) ? 0 : 1;
        EXPECT_EQ(other, 0) << "pixels of the region that are not the window's";
        EXPECT_EQ(fileBytes(presenter.tokenFile()), token);
    }
}

TEST(WaylandBlackBox, XwaylandWithoutPortalStopsWithTheReasonAndUploadsNothing)
{
    REQUIRE_ROOT();
    WaylandSession desktop(kOutputWidth, kOutputHeight);
    const auto window =
        desktop.showColourWindow(kWindowX, kWindowY, kWindowWidth, kWindowHeight, "C03010");
    Presenter presenter;
    PresentationSite site("show/");
    presenter.writePreferences(autostartPreferences(site, ""));
    // A session bus without any portal on it: Xwayland alone would hand out black pictures.
    auto program = presenter.start(
        desktop, {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmora-no-bus"}});

    const std::string display = desktop.environment().at("DISPLAY");
    const auto errorBoxes = [&] {
        return commandOutput("DISPLAY=" + display +
                             " xdotool search --onlyvisible --name '^Fehler$'");
    };
    ASSERT_TRUE(waitUntil(30s, [&] { return !errorBoxes().empty(); }))
        << "no message about the unreadable screen\n"
        << presenter.log();
    EXPECT_NE(presenter.log().find("Wayland session without a ScreenCast portal"),
              std::string::npos)
        << presenter.log();
    // The autostarted presentation had its first cycle due at once; by now any upload would
    // have begun.
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(pictureUploads(site.ftp), 0);
    EXPECT_EQ(site.uploadsOf("Velmora.htm"), 0);
    EXPECT_TRUE(program->running()) << "only the presentation stops, not the program";
}

} // namespace
} // namespace velmora::test
