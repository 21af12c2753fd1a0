// The screen of a real (headless) Wayland desktop read through its ScreenCast portal and
// PipeWire: the desktop, the portal and the window on it are real; only the GPU is missing.
// One desktop serves every test of this executable: the program's D-Bus connection, like the
// program's, is made once per process.

#include "screen/portal_restore_token.h"
#include "screen/portal_screen_source.h"
#include "png/rgb_picture.h"
#include "screen/screen_source_choice.h"
#include "support/file_bytes.h"
#include "support/temporary_folder.h"
#include "support/wayland_session.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>

namespace velmora {
namespace {

using test::WaylandSession;

constexpr int kOutputWidth = 1280;
constexpr int kOutputHeight = 720;
// The window the tests look for, in a colour nothing else on the desktop has.
constexpr int kWindowX = 200;
constexpr int kWindowY = 120;
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 300;
constexpr std::uint8_t kRed = 0xC0, kGreen = 0x30, kBlue = 0x10;

struct Desktop {
    std::unique_ptr<WaylandSession> session;
    std::unique_ptr<test::LaunchedProgram> window;
    std::string failure;
};

Desktop& desktop()
{
    static Desktop shared;
    return shared;
}

#define REQUIRE_DESKTOP()                                                                          \
    do {                                                                                           \
        if (!WaylandSession::cannotRunHere().empty())                                              \
            GTEST_SKIP() << WaylandSession::cannotRunHere();                                       \
        ASSERT_TRUE(desktop().session) << desktop().failure;                                       \
    } while (false)

bool isWindowColour(const RgbPicture& picture, int x, int y)
{
    const std::uint8_t* pixel = picture.data() + y * picture.stride() + x * 3;
    return pixel[0] == kRed && pixel[1] == kGreen && pixel[2] == kBlue;
}

// The copy once the window shows in it: the desktop may have shared its first frame before the
// window was drawn, and shares the next one only once something is drawn again.
RgbPicture copyShowingWindow(PortalScreenSource& screen, int x, int y, int width, int height,
                             int probeX, int probeY)
{
    RgbPicture picture(width, height);
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (screen.copyRgb(x, y, width, height, picture.data(), picture.stride()) &&
            isWindowColour(picture, probeX, probeY))
            break;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return picture;
}

PortalScreenSource::Opening openPortal(const std::string& tokenFile)
{
    PortalRequestOptions options;
    options.startLimit = std::chrono::seconds(20);
    return PortalScreenSource::open(tokenFile, options);
}

TEST(PortalCapture, WholeOutputShowsTheWindowAndTheDesktopAroundIt)
{
    REQUIRE_DESKTOP();
    test::TemporaryFolder work;
    PortalScreenSource::Opening opening = openPortal(work.file(kRestoreTokenFile));
    ASSERT_EQ(opening.outcome, PortalOutcome::Granted)
        << opening.detail << desktop().session->log("portal")
        << desktop().session->log("portal-wlr");
    PortalScreenSource& screen = *opening.source;
    EXPECT_EQ(screen.bounds().right, kOutputWidth);
    EXPECT_EQ(screen.bounds().bottom, kOutputHeight);
    EXPECT_EQ(screen.unreadableReason(), "");

    const RgbPicture whole =
        copyShowingWindow(screen, 0, 0, kOutputWidth, kOutputHeight, kWindowX + kWindowWidth / 2,
                          kWindowY + kWindowHeight / 2);
    // Every corner of the window, and nothing of it one pixel outside.
    EXPECT_TRUE(isWindowColour(whole, kWindowX, kWindowY));
    EXPECT_TRUE(isWindowColour(whole, kWindowX + kWindowWidth - 1, kWindowY + kWindowHeight - 1));
    EXPECT_FALSE(isWindowColour(whole, kWindowX - 1, kWindowY));
    EXPECT_FALSE(isWindowColour(whole, kWindowX + kWindowWidth, kWindowY + kWindowHeight - 1));
    EXPECT_FALSE(isWindowColour(whole, 5, 5));
    // The desktop is shared, not invented: not a black picture.
    const std::uint8_t* corner = whole.data() + 5 * whole.stride() + 5 * 3;
    EXPECT_NE(corner[0] + corner[1] + corner[2], 0);
}

TEST(PortalCapture, RegionStraddlingTheWindowEdgeIsCutFromTheSameFrame)
{
    REQUIRE_DESKTOP();
    test::TemporaryFolder work;
    PortalScreenSource::Opening opening = openPortal(work.file(kRestoreTokenFile));
    ASSERT_EQ(opening.outcome, PortalOutcome::Granted) << opening.detail;

    // 60 x 40 pixels, its left 20 columns left of the window.
    const int x = kWindowX - 20;
    const int y = kWindowY + 50;
    const RgbPicture region = copyShowingWindow(*opening.source, x, y, 60, 40, 30, 20);
    for (int row = 0; row < 40; ++row) {
        EXPECT_FALSE(isWindowColour(region, 19, row)) << "row " << row;
        EXPECT_TRUE(isWindowColour(region, 20, row)) << "row " << row;
        EXPECT_TRUE(isWindowColour(region, 59, row)) << "row " << row;
    }
}

TEST(PortalCapture, PointerInsideTheFramesGivesNoMarkerPosition)
{
    REQUIRE_DESKTOP();
    test::TemporaryFolder work;
    PortalScreenSource::Opening opening = openPortal(work.file(kRestoreTokenFile));
    ASSERT_EQ(opening.outcome, PortalOutcome::Granted) << opening.detail;
    // This portal offers no cursor metadata: the pointer is drawn into the frames, and a
    // position of its own would put a second pointer beside it.
    ASSERT_FALSE(opening.source->pointerBesideFrames());
    EXPECT_FALSE(opening.source->pointerPosition().has_value());
}

TEST(PortalCapture, RestoreTokenIsKeptOwnerOnlyAndHandedBackOnTheNextStart)
{
    REQUIRE_DESKTOP();
    test::TemporaryFolder work;
    const std::string tokenFile = work.file(kRestoreTokenFile);

    std::string first;
    {
        PortalScreenSource::Opening opening = openPortal(tokenFile);
        ASSERT_EQ(opening.outcome, PortalOutcome::Granted) << opening.detail;
        first = readRestoreToken(tokenFile);
        ASSERT_FALSE(first.empty()) << "no restore token stored";
        struct stat status {};
        ASSERT_EQ(::stat(tokenFile.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0600u);
    }

    // The second start sends the stored token, and the desktop restores that very grant: it
    // keeps the token. A start without it is a new grant under a token of its own.
    PortalScreenSource::Opening again = openPortal(tokenFile);
    ASSERT_EQ(again.outcome, PortalOutcome::Granted) << again.detail;
    EXPECT_EQ(readRestoreToken(tokenFile), first);

    test::TemporaryFolder elsewhere;
    PortalScreenSource::Opening fresh = openPortal(elsewhere.file(kRestoreTokenFile));
    ASSERT_EQ(fresh.outcome, PortalOutcome::Granted) << fresh.detail;
    EXPECT_NE(readRestoreToken(elsewhere.file(kRestoreTokenFile)), first);
}

TEST(PortalCapture, WaylandSessionWithThePortalChoosesTheSharedScreen)
{
    REQUIRE_DESKTOP();
    test::TemporaryFolder work;
    const ScreenChoice choice = chooseScreenSource(work.folder());
    ASSERT_TRUE(choice.source);
    EXPECT_NE(dynamic_cast<PortalScreenSource*>(choice.source.get()), nullptr) << choice.note;
    EXPECT_EQ(choice.source->unreadableReason(), "");
}

// Last: the desktop shares no screen any more afterwards.
TEST(PortalCapture, SharingEndedByTheDesktopMakesTheScreenUnreadable)
{
    REQUIRE_DESKTOP();
    test::TemporaryFolder work;
    PortalScreenSource::Opening opening = openPortal(work.file(kRestoreTokenFile));
    ASSERT_EQ(opening.outcome, PortalOutcome::Granted) << opening.detail;
    ASSERT_EQ(opening.source->unreadableReason(), "");

    desktop().session->endScreenSharing();
    std::string reason;
    for (int attempt = 0; attempt < 200 && reason.empty(); ++attempt) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        reason = opening.source->unreadableReason();
    }
    EXPECT_NE(reason.find("Freigabe des Bildschirms wurde beendet"), std::string::npos) << reason;
}

} // namespace
} // namespace velmora

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The desktop comes before the application: the D-Bus connection is made in the desktop's
    // environment. Listing the tests starts nothing.
    velmora::Desktop& shared = velmora::desktop();
    const bool listing = ::testing::GTEST_FLAG(list_tests);
    if (!listing && velmora::test::WaylandSession::cannotRunHere().empty()) {
        try {
            shared.session = std::make_unique<velmora::test::WaylandSession>(
                velmora::kOutputWidth, velmora::kOutputHeight);
            shared.session->enterThisProcess();
            shared.window = shared.session->showColourWindow(velmora::kWindowX, velmora::kWindowY,
                                                             velmora::kWindowWidth,
                                                             velmora::kWindowHeight, "C03010");
        } catch (const std::exception& error) {
            shared.failure = error.what();
        }
    }
    int result = 0;
    {
        QCoreApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    shared.window.reset();
    shared.session.reset();
    return result;
}
