#include "capture/desktop_capture.h"
#include "gui/qt_caption_renderer.h"

#include "support/caption_check.h"
#include "support/fake_message_boxes.h"
#include "support/fake_screen.h"
#include "support/file_bytes.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace velmora {
namespace {

using test::FakeScreen;
using test::TemporaryFolder;

// A clock whose sleeps return at once and may change the world, as five seconds would.
class HookClock final : public Clock {
public:
    std::int64_t localSeconds() override { return 0; }
    std::int64_t steadySeconds() override { return 1; }
    void sleepMs(int ms) override
    {
        sleeps.push_back(ms);
        if (onSleep)
            onSleep();
    }
    std::vector<int> sleeps;
    std::function<void()> onSleep;
};

class DesktopCaptureTest : public ::testing::Test {
protected:
    CaptureResult capture(const std::string& region, int downscale = 0, int pointer = 1)
    {
        SettingsRecord settings;
        settings.ScreenRegion = region;
        settings.ForceDownscale = downscale;
        settings.RemoteMousePointer = pointer;
        return desktop.capture(settings);
    }

    TemporaryFolder temp;
    FakeScreen screen{1024, 768};
    ImageLibrary noLibrary; // reductions are tested with the real library elsewhere
    test::FakeMessageBoxes boxes;
    HookClock clock;
    int stops = 0;
    std::vector<std::size_t> boxesAtCleanup;
    DesktopCapture desktop{screen,
                           temp.folder(),
                           noLibrary,
                           boxes,
                           clock,
                           {[this] {
                                ++stops;
                                EXPECT_TRUE(boxes.shown().empty()) << "stopped before the box";
                            },
                            [this] { boxesAtCleanup.push_back(boxes.shown().size()); }},
                           qtCaptionRenderer()};
};

TEST(CaptionLine, ArialEightPointBoldBoxAtTheTopLeft)
{
    const CaptionBox box = test::captionBoxOf();
    EXPECT_GE(box.height, 11) << "8 pt at 96 dpi is an 11-pixel face";
    EXPECT_LE(box.height, 16);
    EXPECT_GT(box.width, 80);
    EXPECT_LT(box.width, 140);
    RgbPicture tiny(3, 2);
    EXPECT_EQ(qtCaptionRenderer().draw(tiny, " x ").height, box.height) << "clipped, not refused";
    EXPECT_EQ(tiny.data()[0], 224);
}

TEST_F(DesktopCaptureTest, PictureSizeIsTruncatedByTheScaleFactor)
{
    CaptureResult r = capture("", 1);
    EXPECT_EQ(r.pictureWidth, 768);
    EXPECT_EQ(r.pictureHeight, 576);
    r = capture("100,100,300,300", 1);
    EXPECT_EQ(r.pictureWidth, 150);
    EXPECT_EQ(r.pictureHeight, 150);
    r = capture("1,1,1023,768", 1);
    EXPECT_EQ(r.pictureWidth, 767);
    r = capture("5,5,5,400", 1);
    EXPECT_EQ(r.pictureWidth, 1) << "a one-pixel column still gives a picture to rescale to";
    EXPECT_EQ(desktop.lastResult().pictureHeight, 297);
}

TEST_F(DesktopCaptureTest, MarkerIsZeroWhenOffOrUnknown)
{
    screen.pointer = PointerPosition{500, 400};
    CaptureResult r = capture("", 0, 0);
    EXPECT_EQ(r.markerX, 0);
    EXPECT_EQ(r.markerY, 0);
    screen.pointer.reset();
    r = capture("", 0, 1);
    EXPECT_EQ(r.markerX, 0);
    EXPECT_EQ(r.markerY, 0);
}

TEST_F(DesktopCaptureTest, RegionNamingNoPixelsGivesAOnePixelPictureWithoutScreenContent)
{
    for (const char* region : {"300,300,100,100", "0,0,0,0", "2000,1,2100,100"}) {
        screen.copies.clear();
        const CaptureResult r = capture(region, 1);
        EXPECT_TRUE(screen.copies.empty()) << region;
        EXPECT_EQ(r.pictureWidth, 1) << region;
        EXPECT_EQ(r.pictureHeight, 1) << region;
        const auto png = test::decodePng(temp.file("Velmora.png"));
        ASSERT_TRUE(png.has_value()) << region;
        EXPECT_EQ(png->width, 1);
    }
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(stops, 0);
}

// A failed screen read would publish a black picture as news: the spectators keep the last real
// one, and a screen that stays unreadable stops the presentation with a message.
TEST_F(DesktopCaptureTest, FailedScreenReadsKeepTheLastPictureAndRepeatedOnesStop)
{
    screen.readable = false;
    EXPECT_EQ(capture("").picture, 0u) << "nothing was ever read";
    EXPECT_FALSE(std::filesystem::exists(temp.file("Velmora.png")));

    screen.readable = true;
    const CaptureResult read = capture("");
    ASSERT_NE(read.png, nullptr);
    const std::string written = test::fileBytes(temp.file("Velmora.png"));
    screen.readable = false;
    screen.paint = [](int, int, std::uint8_t* p) { p[0] = 1; }; // what a read would show now
    for (int failure = 1; failure < kFailedReadsBeforeStop; ++failure) {
        const CaptureResult kept = desktop.capture({}, read.picture);
        EXPECT_EQ(kept.picture, read.picture);
        EXPECT_EQ(kept.png, read.png);
    }
    EXPECT_EQ(test::fileBytes(temp.file("Velmora.png")), written);
    EXPECT_EQ(stops, 0);
    EXPECT_TRUE(boxes.shown().empty());

    // One good read starts the count afresh; then enough failures in a row stop.
    screen.readable = true;
    const CaptureResult changed = capture("");
    EXPECT_NE(changed.picture, read.picture);
    screen.readable = false;
    for (int failure = 0; failure < kFailedReadsBeforeStop; ++failure)
        EXPECT_EQ(capture("").picture, changed.picture);
    EXPECT_EQ(stops, 1);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Fehler");
    EXPECT_NE(boxes.shown()[0].text.find("nicht gelesen"), std::string::npos);
}

TEST_F(DesktopCaptureTest, SaveRetriesAfterFiveSecondsAndGoesOn)
{
    const std::string path = temp.file("Velmora.png");
    std::filesystem::create_directory(path); // the file cannot be written for now
    clock.onSleep = [&] {
        if (clock.sleeps.size() == 1)
            std::filesystem::remove(path);
    };
    screen.pointer = PointerPosition{10, 20};
    const CaptureResult r = capture("");
    EXPECT_EQ(clock.sleeps, std::vector<int>{5000});
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(test::decodePng(path).has_value());
    EXPECT_EQ(r.markerX, 6);
}

TEST_F(DesktopCaptureTest, ThirdFailedSaveStopsShowsTheFatalBoxAndCleansUp)
{
    screen.pointer = PointerPosition{150, 120};
    capture("100,100,300,300");
    const CaptureResult before = desktop.lastResult();

    const std::string path = temp.file("Velmora.png");
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    const CaptureResult after = capture("", 1);

    EXPECT_EQ(clock.sleeps, (std::vector<int>{5000, 5000}));
    EXPECT_EQ(stops, 1);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Fehler");
    EXPECT_EQ(shown[0].text, "Die Abbildung des Desktops kann nicht gespeichert werden.");
    EXPECT_EQ(shown[0].modality, BoxModality::SystemModal);
    EXPECT_EQ(boxesAtCleanup, std::vector<std::size_t>{1}) << "cleanup after the box is closed";
    EXPECT_EQ(after.pictureWidth, before.pictureWidth) << "no result from a failed capture";
    EXPECT_EQ(after.markerX, before.markerX);
}

// The file of every capture is the one the PNG writer without memory of earlier pictures writes
// for the same picture, also while a small part of the screen changes between captures.
TEST_F(DesktopCaptureTest, RepeatedCapturesWriteWhatTheWriterWithoutMemoryWrites)
{
    int tick = 0;
    screen.paint = [&](int x, int y, std::uint8_t* rgb) {
        if (x >= 900 && x < 980 && y >= 740 && y < 760 && ((x * 7 + y + tick) % 4 != 0 || x == 903))
            rgb[0] = rgb[1] = rgb[2] = static_cast<std::uint8_t>(tick * 40);
    };
    const std::string path = temp.file("Velmora.png");
    const std::string plain = temp.file("plain.png");
    for (const char* region : {"", "", "", "", "100,100,700,500", "100,100,700,500", ""}) {
        ++tick;
        SCOPED_TRACE("capture " + std::to_string(tick) + ", region \"" + region + "\"");
        const CaptureResult result = capture(region);
        ASSERT_NE(result.png, nullptr);
        EXPECT_TRUE(*result.png == test::fileBytes(path)) << "the upload gets what the file holds";
        const auto png = test::decodePng(path);
        ASSERT_TRUE(png.has_value());
        RgbPicture picture(png->width, png->height);
        std::copy(png->rgb.begin(), png->rgb.end(), picture.data());
        if (picture.width() == 1024) {
            EXPECT_EQ(picture.row(750)[3 * 903], static_cast<std::uint8_t>(tick * 40))
                << "this capture's change is in the file";
        }
        ASSERT_TRUE(writePng(plain, picture, kCaptureWriteOptions)); // the program's options
        EXPECT_TRUE(test::fileBytes(path) == test::fileBytes(plain));
    }
}

} // namespace
} // namespace velmora
