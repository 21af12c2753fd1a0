// A whole presentation as presenter and spectator live it, with the real program on a virtual
// screen, a real FTP server, a web server and a spectator's headless browser: Start publishes the
// screen, the spectator sees it and follows its changes, Stop and Clear end the show with black
// pictures and send the spectator to the homepage, Exit tidies up.

#include "support/changing_screen.h"
#include "support/coloured_window.h"
#include "support/desktop_session.h"
#include "support/file_bytes.h"
#include "support/headless_browser.h"
#include "support/png_file.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/viewer_screenshot.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Away from the middle of the screen, where message boxes and the settings window open.
constexpr ScreenArea kShownArea{60, 540, 300, 180};
constexpr Colour kGreen{32, 176, 64};
constexpr Colour kBlue{40, 72, 216};
constexpr Colour kBlack{0, 0, 0};
constexpr int kRefreshMs = 500;

bool isZeroCounterPage(const StoredFile& file)
{
    return file.name == "Velmora.htm" && file.bytes.find("iNr = '0';") != std::string::npos;
}

int zeroCounterPages(const FtpServer& ftp)
{
    int count = 0;
    for (const auto& file : ftp.stored())
        count += isZeroCounterPage(file) ? 1 : 0;
    return count;
}

bool isBlackScreenPicture(const std::string& path)
{
    const auto picture = decodePng(path);
    return picture && picture->width == 1024 && picture->height == 768 && allBlack(*picture);
}

TEST(PresentationBlackBox, SpectatorFollowsTheScreenUntilClearAndExitTidiesUp)
{
    PresentationSite site("show/");
    DesktopSession session;
    session.writePreferences(site.preferences(1, kRefreshMs, 30));
    // Something moves in a corner, as on a presenter's screen: without it a still screen would
    // publish nothing after its first picture, and Stop would have nothing to stop.
    const ChangingScreen moving(session, {900, 700, 60, 40});
    auto shown = std::make_unique<ColouredWindow>(session, kShownArea, kGreen);

    // Start: the start message, and within a few seconds the first cycle's files.
    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    session.closeMessageBoxes(10s);
    ASSERT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 1; }))
        << session.log();
    // The picture arrives under a temporary name and is renamed over its own before the data
    // page names it.
    const auto firstCycle = site.ftp.stored();
    ASSERT_GE(firstCycle.size(), 4u);
    EXPECT_EQ(firstCycle[0].name, "index.htm");
    EXPECT_EQ(firstCycle[1].name, "Velmora1.png.upload");
    EXPECT_EQ(firstCycle[2].name, "Velmora1.png");
    EXPECT_EQ(firstCycle[2].renamedFrom, "Velmora1.png.upload");
    EXPECT_EQ(firstCycle[2].bytes, firstCycle[1].bytes);
    EXPECT_EQ(firstCycle[3].name, "Velmora.htm");
    EXPECT_NE(firstCycle[3].bytes.find("iBild = '1';"), std::string::npos);
    EXPECT_NE(firstCycle[3].bytes.find("iNr = '1';"), std::string::npos);
    EXPECT_TRUE(site.ftp.exists(site.remote("index.htm")));
    EXPECT_TRUE(site.ftp.exists(site.remote("Velmora1.png")));

    // A spectator opens the viewer page over HTTP and sees the presenter's screen, pixel for
    // pixel: the green window exactly where it is on the screen.
    HeadlessBrowser spectator(1100, 820);
    ASSERT_TRUE(spectator.open(site.viewerAddress())) << spectator.output();
    SpectatorView view;
    ASSERT_TRUE(waitUntil(30s,
                          [&] {
                              view = lookAt(spectator);
                              return view.showsArea(kShownArea, kGreen);
                          }))
        << "picture " << view.pictureWidth << "x" << view.pictureHeight << " at " << view.left
        << "," << view.top;
    EXPECT_EQ(view.pictureWidth, 1024);
    EXPECT_EQ(view.pictureHeight, 768);
    EXPECT_TRUE(view.screenPixelIs(kShownArea.left - 20, kShownArea.top + 20, kBlack));
    const int counterSeen = view.counter;
    EXPECT_GE(counterSeen, 1);

    // The screen changes; the same spectator's view follows within a few refreshes and cycles.
    const auto changed = std::chrono::steady_clock::now();
    auto replacement = std::make_unique<ColouredWindow>(session, kShownArea, kBlue);
    shown.reset();
    ASSERT_TRUE(waitUntil(30s, [&] {
        view = lookAt(spectator);
        return view.showsArea(kShownArea, kBlue);
    })) << "the spectator's view did not follow the screen";
    EXPECT_GT(view.counter, counterSeen);
    std::cout << "the spectator saw the change after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - changed)
                     .count()
              << " ms (refresh " << kRefreshMs << " ms, pause 1 s)\n";

    // Stop, then Clear: a black picture in all three files, the counter falls back to 0.
    program.click(kStopX);
    ASSERT_TRUE(session.waitForMessageBox("Velmora", 10s)) << "no stop message";
    const int pagesAtStop = site.uploadsOf("Velmora.htm");
    session.closeMessageBoxes(10s);
    // Stopped: a cycle under way may still finish, but no new one begins (a running
    // presentation would publish a page every second or so).
    std::this_thread::sleep_for(4s);
    EXPECT_LE(site.uploadsOf("Velmora.htm"), pagesAtStop + 1) << "cycles went on after Stop";
    program.click(kClearX);
    ASSERT_TRUE(waitUntil(40s, [&] { return zeroCounterPages(site.ftp) >= 2; }))
        << "Clear did not publish its closing data pages";
    // Each closing cycle: the black picture under its temporary name, the rename over the
    // picture's own name, the data page.
    const auto stored = site.ftp.stored();
    ASSERT_GE(stored.size(), 9u);
    const std::vector<StoredFile> closing(stored.end() - 9, stored.end());
    std::set<std::string> pictures;
    for (int i = 0; i < 3; ++i) {
        const StoredFile& upload = closing[3 * i];
        const StoredFile& picture = closing[3 * i + 1];
        EXPECT_EQ(picture.name.rfind("Velmora", 0), 0u) << picture.name;
        EXPECT_NE(picture.name.find(".png"), std::string::npos) << picture.name;
        EXPECT_EQ(upload.name, picture.name + ".upload");
        EXPECT_EQ(picture.renamedFrom, upload.name);
        EXPECT_EQ(picture.bytes, upload.bytes);
        pictures.insert(picture.name);
        EXPECT_EQ(closing[3 * i + 2].name, "Velmora.htm");
    }
    EXPECT_EQ(pictures, (std::set<std::string>{"Velmora1.png", "Velmora2.png", "Velmora3.png"}));
    EXPECT_FALSE(isZeroCounterPage(closing[2])) << "the first closing page counts on";
    EXPECT_TRUE(isZeroCounterPage(closing[5]));
    EXPECT_TRUE(isZeroCounterPage(closing[8]));
    for (const char* name : {"Velmora1.png", "Velmora2.png", "Velmora3.png"}) {
        EXPECT_TRUE(isBlackScreenPicture(site.ftp.root() + "/" + site.remote(name))) << name;
        EXPECT_FALSE(site.ftp.exists(site.remote(std::string(name) + ".upload"))) << name;
    }

    // The spectator who watched the show is taken to the presenter's homepage.
    std::string address;
    EXPECT_TRUE(waitUntil(30s, [&] {
        address = spectator.evaluate("location.href");
        return address == site.homepage();
    })) << address;
    const PngPixels home = spectator.screenshot();
    ASSERT_GT(home.width, 100);
    const std::uint8_t* pixel = home.at(home.width / 2, home.height / 2);
    EXPECT_EQ(pixel[0], 0xc0);
    EXPECT_EQ(pixel[1], 0x20);
    EXPECT_EQ(pixel[2], 0xc0);

    // Exit: the working files of the run go, the window position is saved, exit code 0.
    for (const char* name : {"Velmora.png", "Velmora.cnt", "Velmora.ind"})
        EXPECT_TRUE(fs::exists(session.tempFolder() + name)) << name;
    ASSERT_NO_FATAL_FAILURE(program.exit());
    const std::string store = fileBytes(session.positionStore());
    EXPECT_NE(store.find("PosX=200"), std::string::npos) << store;
    EXPECT_NE(store.find("PosY=1"), std::string::npos) << store;
    for (const char* name : {"Velmora.png", "Velmora.cnt", "Velmora.ind"})
        EXPECT_FALSE(fs::exists(session.tempFolder() + name)) << name;
}

} // namespace
} // namespace velmora::test
