// Capture from a real X server: a private Xvfb whose root window shows the test pattern.

#include "capture/desktop_capture.h"
#include "gui/qt_caption_renderer.h"
#include "screen/x11_screen_source.h"

#include "support/caption_check.h"
#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"
#include "support/test_pictures.h"
#include "support/virtual_display.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace velmora {
namespace {

using test::TemporaryFolder;

class X11Capture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        xvfb_ = std::make_unique<test::VirtualDisplay>(std::nothrow, 1024, 768);
        if (xvfb_->running())
            xvfb_->showOnRoot(test::patternPicture(1024, 768));
    }
    static void TearDownTestSuite() { xvfb_.reset(); }
    void SetUp() override { ASSERT_TRUE(xvfb_->running()) << "Xvfb did not start"; }

    // Pixels of the screen rectangle that differ from the pattern.
    static int wrongPixels(const RgbPicture& picture, int x0, int y0)
    {
        int wrong = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                std::uint8_t want[3];
                test::patternPixel(x0 + x, y0 + y, want);
                const std::uint8_t* p = picture.row(y) + 3 * x;
                wrong += (p[0] == want[0] && p[1] == want[1] && p[2] == want[2]) ? 0 : 1;
            }
        return wrong;
    }

    static inline std::unique_ptr<test::VirtualDisplay> xvfb_;
};

TEST_F(X11Capture, SharedMemoryAndPlainCopiesBothGiveTheScreenUnchanged)
{
    for (bool shared : {true, false}) {
        X11ScreenSource source(xvfb_->name(), shared);
        ASSERT_TRUE(source.connected());
        EXPECT_EQ(source.bounds().right, 1024);
        EXPECT_EQ(source.bounds().bottom, 768);
        // Sizes change between calls: the shared segment serves every rectangle inside it.
        struct Rect {
            int x, y, w, h;
        };
        for (Rect r : {Rect{0, 0, 1024, 768}, Rect{99, 99, 201, 201}, Rect{1000, 700, 24, 68},
                       Rect{0, 767, 1024, 1}, Rect{1023, 0, 1, 768}}) {
            RgbPicture picture(r.w, r.h);
            ASSERT_TRUE(source.copyRgb(r.x, r.y, r.w, r.h, picture.data(), picture.stride()));
            EXPECT_EQ(source.transfer(), shared ? X11Transfer::SharedMemory : X11Transfer::Plain);
            EXPECT_EQ(wrongPixels(picture, r.x, r.y), 0)
                << (shared ? "shared " : "plain ") << r.x << "," << r.y << " " << r.w << "x" << r.h;
        }
    }
}

TEST_F(X11Capture, RectangleOutsideTheScreenIsRefusedWithoutEndingTheProgram)
{
    X11ScreenSource source(xvfb_->name());
    RgbPicture picture(100, 100);
    EXPECT_FALSE(source.copyRgb(1000, 0, 100, 100, picture.data(), picture.stride()));
    EXPECT_EQ(source.transfer(), X11Transfer::NoCopy);
    EXPECT_TRUE(source.copyRgb(0, 0, 100, 100, picture.data(), picture.stride()));
}

TEST_F(X11Capture, RegionsAndClampingOnA1024x768Screen)
{
    X11ScreenSource source(xvfb_->name());
    TemporaryFolder temp;
    ImageLibrary noLibrary;
    test::FakeMessageBoxes boxes;
    test::FakeClock clock;
    DesktopCapture desktop(source, temp.folder(), noLibrary, boxes, clock, {}, qtCaptionRenderer());

    struct Case {
        const char* region;
        int x, y, w, h;
    };
    for (Case c : {Case{"", 0, 0, 1024, 768}, Case{"100,100,300,300", 99, 99, 201, 201},
                   Case{"0,0,800,600", 0, 0, 800, 600}, Case{"1,1,1280,1024", 0, 0, 1024, 768}}) {
        SettingsRecord settings;
        settings.ScreenRegion = c.region;
        const CaptureResult result = desktop.capture(settings);
        EXPECT_EQ(result.pictureWidth, c.w) << c.region;
        EXPECT_EQ(result.pictureHeight, c.h) << c.region;
        const auto png = test::decodePng(temp.file("Velmora.png"));
        ASSERT_TRUE(png.has_value()) << c.region;
        ASSERT_EQ(png->width, c.w);
        ASSERT_EQ(png->height, c.h);
        EXPECT_EQ(test::countPixelsOffCaptionedPicture(*png,
                                                       [&](int x, int y, std::uint8_t* p) {
                                                           test::patternPixel(x + c.x, y + c.y, p);
                                                       }),
                  0)
            << c.region;
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// The server's own reports: where something was drawn, once per burst, and pointer input.
TEST_F(X11Capture, DrawingAndPointerInputAreReportedWhereTheyHappen)
{
    using namespace std::chrono_literals;
    X11ScreenSource source(xvfb_->name());
    std::atomic<int> wakes{0};
    const auto watch = source.watchChanges([&] { ++wakes; });
    ASSERT_NE(watch, nullptr) << "Xvfb has DAMAGE";
    watch->take();
    const int before = wakes;

    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(xvfb_->fillOnRoot(200 + i, 300, 50, 40, 0x102030u * (i + 1)));
    ASSERT_TRUE(test::waitUntil(5s, [&] { return wakes > before; }));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(wakes, before + 1) << "a burst wakes once until it is taken";
    ScreenChanges changes = watch->take();
    ASSERT_FALSE(changes.rectangles.empty());
    int left = 1024, top = 768, right = 0, bottom = 0;
    for (const ScreenRectangle& r : changes.rectangles) {
        left = std::min(left, r.x);
        top = std::min(top, r.y);
        right = std::max(right, r.x + r.width);
        bottom = std::max(bottom, r.y + r.height);
    }
    EXPECT_EQ(left, 200);
    EXPECT_EQ(top, 300);
    EXPECT_EQ(right, 269);
    EXPECT_EQ(bottom, 340);
    EXPECT_FALSE(changes.pointerMoved);

    // Pointer input, as a device makes it (here XTest; an absolute "mousemove" warps the pointer,
    // which is no input: the capture asks where the pointer is for that).
    const std::string move = "DISPLAY=" + xvfb_->name() + " xdotool mousemove_relative 7 5";
    ASSERT_EQ(std::system(move.c_str()), 0);
    ASSERT_TRUE(test::waitUntil(5s, [&] { return wakes > before + 1; }));
    changes = watch->take();
    EXPECT_TRUE(changes.pointerMoved);
}

TEST_F(X11Capture, MarkerFollowsTheRealPointer)
{
    X11ScreenSource source(xvfb_->name());
    TemporaryFolder temp;
    ImageLibrary noLibrary;
    test::FakeMessageBoxes boxes;
    test::FakeClock clock;
    DesktopCapture desktop(source, temp.folder(), noLibrary, boxes, clock, {}, qtCaptionRenderer());
    SettingsRecord settings;
    settings.ScreenRegion = "100,100,300,300";

    xvfb_->movePointer(150, 120);
    CaptureResult r = desktop.capture(settings);
    EXPECT_EQ(r.markerX, 47);
    EXPECT_EQ(r.markerY, 12);
    settings.ForceDownscale = 1;
    r = desktop.capture(settings);
    EXPECT_EQ(r.markerX, 34);
    EXPECT_EQ(r.markerY, 6);

    xvfb_->movePointer(50, 50);
    r = desktop.capture(settings);
    EXPECT_EQ(r.markerX, -40) << "-36.75 truncates toward zero";
    EXPECT_EQ(r.markerY, -45);
    settings.ForceDownscale = 0;
    r = desktop.capture(settings);
    EXPECT_EQ(r.markerX, -53);
    EXPECT_EQ(r.markerY, -58);

    settings.RemoteMousePointer = 0;
    r = desktop.capture(settings);
    EXPECT_EQ(r.markerX, 0);
    EXPECT_EQ(r.markerY, 0);
}

TEST(X11ScreenSourceWithoutDisplay, GivesNothingAndDoesNotFail)
{
    X11ScreenSource source("/nonexistent/velmora:0");
    EXPECT_FALSE(source.connected());
    EXPECT_EQ(source.bounds().right, 0);
    RgbPicture picture(4, 4);
    EXPECT_FALSE(source.copyRgb(0, 0, 4, 4, picture.data(), picture.stride()));
    EXPECT_FALSE(source.pointerPosition().has_value());
}

} // namespace
} // namespace velmora
