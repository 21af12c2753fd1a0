// The acceptance of "no upload without news" with real parts: the program's main window on a
// real X11 screen, the real capture and a real FTP server. The Status line changes after every
// upload; left out as the program's own window, it no longer makes each picture news for the
// next, and a still screen goes quiet after its first picture.

#include "capture/desktop_capture.h"
#include "gui/qt_caption_renderer.h"
#include "gui/qt_main_window.h"
#include "gui/qt_own_windows.h"
#include "publish/presentation_cycle.h"
#include "screen/x11_screen_source.h"

#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/ftp_server_fixture.h"
#include "support/qt_serve_events_until.h"
#include "support/qt_test_screen.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <QIcon>

#include <algorithm>
#include <filesystem>

namespace velmora {
namespace {

constexpr FtpTimeouts kTimeouts{5, 3, 3};

class StillScreenTest : public ::testing::Test {
protected:
    StillScreenTest()
    {
        std::filesystem::create_directories(server.root() + "/show");
        settings.FTPServerName = server.serverName();
        settings.FTPSubDir = "show/";
        settings.BrowserRefresh = 500;
        settings.InternetRetryTime = 30;
        settings.RemoteMousePointer = 1;
        settings.PauseSeconds = 0;
        shared.start();
        capture.setOwnWindows(&own);
        window.show();
    }

    // The main window's pixels as the screen shows them now.
    std::vector<std::uint8_t> panelOnScreen()
    {
        const QRect r = window.frameGeometry();
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(r.width()) * 3 * r.height());
        screen.copyRgb(r.x(), r.y(), r.width(), r.height(), rgb.data(),
                       static_cast<std::size_t>(r.width()) * 3);
        return rgb;
    }

    // The panel is on the screen, not only mapped: the bare screen is black.
    bool panelPainted()
    {
        const auto rgb = panelOnScreen();
        return window.isVisible() &&
               std::count(rgb.begin(), rgb.end(), 0) < static_cast<long>(rgb.size() / 2);
    }

    // One pass of the presentation: capture, cycle, then the Status line as the event loop
    // writes it, waited for until the screen shows it.
    void cycleAndShowStatus(int pass)
    {
        const CaptureResult picture = capture.capture(settings, shared.spectators().picture());
        cycle.run(settings,
                  CyclePicture{{picture.markerX, picture.markerY}, picture.picture, picture.png});
        const auto before = panelOnScreen();
        // The time text would change every second; the pass number changes it every time.
        panel.setStatusLine("L\xE4uft 14:05:" + std::to_string(10 + pass) + " (" +
                            std::to_string(shared.uploadCounter()) + ")");
        ASSERT_TRUE(test::serveEventsUntil([&] { return panelOnScreen() != before; }))
            << "the Status line did not reach the screen";
    }

    int uploadsOf(const std::string& name) const
    {
        int count = 0;
        for (const auto& file : server.stored())
            count += file.name == name ? 1 : 0;
        return count;
    }
    int pictureUploads() const
    {
        return uploadsOf("Velmora1.png") + uploadsOf("Velmora2.png") + uploadsOf("Velmora3.png");
    }

    test::FtpServer server;
    test::TemporaryFolder temp;
    test::FakeMessageBoxes boxes;
    test::FakeClock clock;
    SettingsRecord settings;
    SharedPresentation shared;
    X11ScreenSource screen{test::qtTestDisplayName()};
    ImageLibrary noLibrary;
    DesktopCapture capture{screen, temp.folder(), noLibrary, boxes, clock, {}, qtCaptionRenderer()};
    PresentationCycle cycle{shared, boxes, clock, temp.folder(), kTimeouts};
    QtOwnWindows own;
    QtMainWindow panel{{600, 420}, QIcon(), {}};
    QWidget& window = panel.widget();
};

TEST_F(StillScreenTest, PanelOnTheCapturedScreenLeavesAStillScreenQuiet)
{
    ASSERT_TRUE(screen.connected());
    ASSERT_TRUE(test::serveEventsUntil([&] { return panelPainted(); }));
    for (int pass = 0; pass < 12; ++pass)
        cycleAndShowStatus(pass);
    EXPECT_EQ(pictureUploads(), 1) << "a still screen went on uploading pictures";
    EXPECT_EQ(uploadsOf("Velmora.htm"), 1);
    EXPECT_EQ(shared.uploadCounter(), 1);
    EXPECT_TRUE(boxes.shown().empty());

    // The screen changes beside the panel: one more picture, then quiet again.
    window.move(100, 100);
    ASSERT_TRUE(test::serveEventsUntil(
        [&] { return window.frameGeometry().topLeft() == QPoint(100, 100); }));
    for (int pass = 12; pass < 18; ++pass)
        cycleAndShowStatus(pass);
    EXPECT_GE(pictureUploads(), 2) << "the area the panel left is news";
    EXPECT_LE(pictureUploads(), 3);
}

TEST_F(StillScreenTest, WithoutLeavingThePanelOutEveryStatusLineIsNews)
{
    capture.setOwnWindows(nullptr);
    ASSERT_TRUE(test::serveEventsUntil([&] { return panelPainted(); }));
    for (int pass = 0; pass < 4; ++pass)
        cycleAndShowStatus(pass);
    EXPECT_EQ(pictureUploads(), 4);
}

} // namespace
} // namespace velmora
