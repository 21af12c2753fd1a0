// A screen that would give only black pictures (a Wayland desktop that shares it with nobody)
// stops the presentation with its reason and writes no picture; a screen that is black is
// captured as it is.

#include "capture/desktop_capture.h"
#include "gui/qt_caption_renderer.h"
#include "screen/wayland_blind_screen.h"
#include "core/message_titles.h"
#include "support/fake_message_boxes.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

// What Xwayland gives an X11 client that reads the screen: success, and black pixels.
class XwaylandScreen final : public ScreenSource {
public:
    ScreenBounds bounds() const override { return {0, 0, 320, 200}; }
    bool copyRgb(int, int, int width, int height, std::uint8_t* rgb, std::size_t stride) override
    {
        for (int row = 0; row < height; ++row)
            std::fill(rgb + row * stride, rgb + row * stride + width * 3, 0);
        ++copies;
        return true;
    }
    std::optional<PointerPosition> pointerPosition() override { return PointerPosition{40, 50}; }
    int copies = 0;
};

class NoClock final : public Clock {
public:
    std::int64_t localSeconds() override { return 0; }
    std::int64_t steadySeconds() override { return 0; }
    void sleepMs(int) override {}
};

struct CaptureBench {
    test::TemporaryFolder temp;
    ImageLibrary noLibrary;
    test::FakeMessageBoxes boxes;
    NoClock clock;
    int stops = 0;
    int cleanups = 0;

    DesktopCapture captureOf(ScreenSource& screen)
    {
        return DesktopCapture(screen, temp.folder(), noLibrary, boxes, clock,
                              {[this] { ++stops; }, [this] { ++cleanups; }},
                              qtCaptionRenderer());
    }
    bool pictureWritten() const { return std::filesystem::exists(temp.file("Velmora.png")); }
};

SettingsRecord withPointer()
{
    SettingsRecord settings;
    settings.RemoteMousePointer = 1;
    return settings;
}

TEST(WaylandUnreadableScreen, StopsThePresentationWithTheReasonAndWritesNoPicture)
{
    CaptureBench bench;
    auto x11 = std::make_unique<XwaylandScreen>();
    XwaylandScreen& pixels = *x11;
    WaylandBlindScreen screen(std::move(x11), "kein Portal");
    DesktopCapture capture = bench.captureOf(screen);

    const CaptureResult result = capture.capture(withPointer());
    EXPECT_EQ(bench.stops, 1);
    EXPECT_EQ(bench.cleanups, 0) << "the program goes on; only the presentation stops";
    ASSERT_EQ(bench.boxes.shown().size(), 1u);
    EXPECT_EQ(bench.boxes.shown()[0].title, titles::kError);
    EXPECT_EQ(bench.boxes.shown()[0].text, "kein Portal");
    EXPECT_FALSE(bench.pictureWritten());
    EXPECT_EQ(pixels.copies, 0);
    // Nothing new to report: the result of the last picture, none here.
    EXPECT_EQ(result.pictureWidth, 0);
    EXPECT_EQ(result.markerX, 0);

    // Every later attempt (the preview, a new start) says the same again.
    capture.capture(withPointer());
    EXPECT_EQ(bench.stops, 2);
    EXPECT_EQ(bench.boxes.shown().size(), 2u);
    EXPECT_FALSE(bench.pictureWritten());
}

TEST(WaylandUnreadableScreen, BlackScreenThatCanBeReadIsCapturedAsItIs)
{
    CaptureBench bench;
    XwaylandScreen screen; // on a real X server: the screen is simply black
    DesktopCapture capture = bench.captureOf(screen);

    const CaptureResult result = capture.capture(withPointer());
    EXPECT_EQ(bench.stops, 0);
    EXPECT_TRUE(bench.boxes.shown().empty());
    ASSERT_TRUE(bench.pictureWritten());
    EXPECT_EQ(result.pictureWidth, 320);
    EXPECT_EQ(result.markerX, 40 - 4);
    const auto png = test::decodePng(bench.temp.file("Velmora.png"));
    ASSERT_TRUE(png.has_value());
}

} // namespace
} // namespace velmora
