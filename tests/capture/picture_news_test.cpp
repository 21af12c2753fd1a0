// What counts as news for the spectators: pixels outside the program's own windows that differ
// from the picture the server has, and final picture files that differ byte for byte.

#include "capture/desktop_capture.h"
#include "capture/picture_news.h"
#include "gui/qt_caption_renderer.h"

#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/fake_screen.h"
#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace velmora {
namespace {

using test::FakeScreen;

class FixedWindows final : public OwnWindows {
public:
    std::vector<ScreenRectangle> onScreen() const override { return rectangles; }
    std::vector<ScreenRectangle> rectangles;
};

bool inside(const ScreenRectangle& r, int x, int y)
{
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

TEST(PictureNews, OnlyPixelsOutsideTheMaskCount)
{
    RgbPicture shown(40, 30);
    RgbPicture captured(40, 30);
    EXPECT_FALSE(differsOutside(shown, captured, {}));
    captured.row(10)[3 * 20 + 1] = 7; // green of pixel (20, 10)
    EXPECT_TRUE(differsOutside(shown, captured, {}));
    EXPECT_FALSE(differsOutside(shown, captured, {{20, 10, 1, 1}}));
    EXPECT_TRUE(differsOutside(shown, captured, {{21, 10, 5, 5}})) << "one column short";
    EXPECT_TRUE(differsOutside(shown, captured, {{0, 11, 40, 5}})) << "one row short";
    // Overlapping and unsorted masks, one of them reaching beyond the picture.
    EXPECT_FALSE(differsOutside(shown, captured, {{30, 0, 50, 30}, {15, 8, 10, 4}, {18, 9, 3, 2}}));
    captured.row(29)[3 * 39 + 2] = 1; // the last byte of the picture
    EXPECT_TRUE(differsOutside(shown, captured, {{15, 8, 10, 4}}));
    EXPECT_FALSE(differsOutside(shown, captured, {{15, 8, 10, 4}, {39, 29, 1, 1}}));
    EXPECT_TRUE(differsOutside(RgbPicture(40, 30), RgbPicture(30, 40), {{0, 0, 40, 40}}))
        << "another size is always news";
}

// What the screen reported reaches a capture of (100, 100, 400, 300) with the panel at
// (150, 150, 100, 50) only where it can show.
TEST(PictureNews, ReportedChangesCountOutsideThePanelAndInsideTheRegion)
{
    const std::vector<ScreenRectangle> panel{{150, 150, 100, 50}};
    const auto reaches = [&](ScreenChanges changes, bool marker = true) {
        return changesReachCapture(changes, panel, 100, 100, 400, 300, marker);
    };
    EXPECT_FALSE(reaches({}));
    EXPECT_FALSE(reaches({{{160, 160, 20, 10}}})) << "the Status line inside the panel";
    EXPECT_FALSE(reaches({{{0, 0, 100, 100}, {500, 400, 10, 10}}})) << "outside the region";
    EXPECT_TRUE(reaches({{{160, 160, 20, 10}, {240, 190, 20, 20}}})) << "reaching out of it";
    EXPECT_TRUE(reaches({{{90, 90, 11, 11}}})) << "one pixel in the region";
    EXPECT_TRUE(reaches({{}, true}));
    EXPECT_TRUE(reaches({{}, false, true}));
    EXPECT_FALSE(reaches({{}, false, true}, false)) << "no marker, no news in the pointer";
}

TEST(PictureNews, ScreenRectanglesArePlacedOnTheCapture)
{
    const std::vector<ScreenRectangle> screen{
        {50, 60, 158, 78},                       // partly left of and above the capture
        {300, 300, 10, 10},                      // right of it
        {150, 150, 20, 20},                      // inside
        {0, 0, 0, 40},                           // empty
        {-2'147'483'000, 120, 2'147'483'600, 5}, // huge: must not wrap around
    };
    const auto placed = rectanglesInCapture(screen, 99, 99, 201, 101);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(placed[0].x, 0);
    EXPECT_EQ(placed[0].y, 0);
    EXPECT_EQ(placed[0].width, 208 - 99);
    EXPECT_EQ(placed[0].height, 138 - 99);
    EXPECT_EQ(placed[1].x, 51);
    EXPECT_EQ(placed[1].width, 20);
    EXPECT_EQ(placed[2].x, 0);
    EXPECT_EQ(placed[2].y, 21);
    EXPECT_EQ(placed[2].width, 201);
    EXPECT_EQ(placed[2].height, 5);
}

class CaptureNewsTest : public ::testing::Test {
protected:
    CaptureNewsTest() { desktop.setOwnWindows(&own); }

    CaptureResult capture(std::uint32_t onServer)
    {
        std::filesystem::remove(picture());
        return desktop.capture(settings, onServer);
    }
    bool fileWritten() const { return std::filesystem::exists(picture()); }
    std::string picture() const { return temp.file("Velmora.png"); }

    // The panel (and any other own window): its own colour, and a "status line" that changes
    // with every upload.
    void showWindows(std::vector<ScreenRectangle> at)
    {
        own.rectangles = at;
        screen.paint = [this, at](int x, int y, std::uint8_t* rgb) {
            for (const ScreenRectangle& r : at) {
                if (inside(r, x, y)) {
                    rgb[0] = 200;
                    rgb[1] = static_cast<std::uint8_t>(y == r.y + 40 ? statusLine : 200);
                    rgb[2] = 200;
                }
            }
            if (x == 500 && y == 400)
                rgb[0] = document;
        };
    }
    void showPanel(ScreenRectangle at) { showWindows({at}); }

    test::TemporaryFolder temp;
    FakeScreen screen{640, 480};
    ImageLibrary noLibrary;
    test::FakeMessageBoxes boxes;
    test::FakeClock clock{0};
    DesktopCapture desktop{screen, temp.folder(), noLibrary, boxes, clock, {}, qtCaptionRenderer()};
    FixedWindows own;
    SettingsRecord settings;
    int statusLine = 0;
    std::uint8_t document = 0;
};

TEST_F(CaptureNewsTest, StillScreenWithTheChangingPanelNamesThePictureOnTheServer)
{
    showPanel({400, 20, 158, 78});
    const CaptureResult first = capture(0);
    EXPECT_NE(first.picture, 0u);
    EXPECT_TRUE(fileWritten());
    for (int upload = 1; upload <= 3; ++upload) {
        statusLine = upload * 10;
        const CaptureResult again = capture(first.picture);
        EXPECT_EQ(again.picture, first.picture) << upload;
        EXPECT_FALSE(fileWritten()) << "an unchanged screen is not compressed again";
        EXPECT_EQ(again.pictureWidth, 640);
    }
    // The server's picture is not known (a failure, Start): everything is news again.
    const CaptureResult unknown = capture(0);
    EXPECT_NE(unknown.picture, first.picture);
    EXPECT_TRUE(fileWritten());

    // A change of the screen outside the panel is news.
    document = 99;
    const CaptureResult changed = capture(unknown.picture);
    EXPECT_NE(changed.picture, unknown.picture);
    EXPECT_TRUE(fileWritten());
    EXPECT_EQ(test::fileBytes(picture()).empty(), false);
}

TEST_F(CaptureNewsTest, WithoutOwnWindowsEveryPixelCounts)
{
    showPanel({400, 20, 158, 78});
    desktop.setOwnWindows(nullptr);
    const CaptureResult first = capture(0);
    statusLine = 1;
    EXPECT_NE(capture(first.picture).picture, first.picture);
}

TEST_F(CaptureNewsTest, WhereAWindowLeftIsNewsWhereOneCameIsNot)
{
    const ScreenRectangle panel{400, 20, 158, 78};
    const ScreenRectangle aboutBox{100, 100, 290, 224};
    showWindows({panel});
    const CaptureResult first = capture(0);
    // A box opens over the document: the spectators' picture is good enough there.
    showWindows({panel, aboutBox});
    EXPECT_EQ(capture(first.picture).picture, first.picture);
    // The panel goes elsewhere: the screen it uncovered is not what the spectators have.
    showWindows({{10, 300, 158, 78}, aboutBox});
    const CaptureResult moved = capture(first.picture);
    EXPECT_NE(moved.picture, first.picture);
    EXPECT_TRUE(fileWritten());
    // Once that picture is on the server, a still screen is quiet again.
    statusLine = 77;
    EXPECT_EQ(capture(moved.picture).picture, moved.picture);
    // The box closes: what it covered is news.
    showWindows({{10, 300, 158, 78}});
    EXPECT_NE(capture(moved.picture).picture, moved.picture);
}

TEST_F(CaptureNewsTest, NewestPictureIsComparedWithOnlyOnceTheServerHasIt)
{
    showPanel({400, 20, 158, 78});
    const CaptureResult first = capture(0);
    document = 1;
    const CaptureResult second = capture(first.picture); // news; its upload fails
    ASSERT_NE(second.picture, first.picture);
    // The server still has the first picture: the screen is news against it even though it
    // equals the newest capture.
    EXPECT_NE(capture(first.picture).picture, first.picture);
    const CaptureResult fourth = capture(0);
    EXPECT_EQ(capture(fourth.picture).picture, fourth.picture);
}

TEST_F(CaptureNewsTest, AnotherRegionOrReductionIsAlwaysNews)
{
    // An even grey screen: another region of the same size holds the very same pixels.
    screen.paint = [](int, int, std::uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = 128; };
    settings.ScreenRegion = "1,1,600,400";
    const CaptureResult first = capture(0);
    EXPECT_EQ(capture(first.picture).picture, first.picture);
    settings.ScreenRegion = "2,1,601,400";
    const CaptureResult shifted = capture(first.picture);
    EXPECT_NE(shifted.picture, first.picture);
    EXPECT_TRUE(fileWritten());
    settings.Force256 = 1;
    const CaptureResult reduced = capture(shifted.picture);
    EXPECT_NE(reduced.picture, shifted.picture);
    EXPECT_TRUE(fileWritten());
}

TEST_F(CaptureNewsTest, ResultHandsOverTheBytesOfThePictureItNamesWhateverBecameOfTheFile)
{
    showPanel({400, 20, 158, 78});
    const CaptureResult first = capture(0);
    const std::string bytes = test::fileBytes(picture());
    ASSERT_NE(first.png, nullptr);
    EXPECT_EQ(*first.png, bytes) << "the picture file as written";

    // The file goes (the preview takes it) or is overwritten (Clear's black picture): what the
    // result hands over for the picture on the server stays that picture.
    test::writeFileBytes(picture(), "another picture");
    const CaptureResult again = capture(first.picture);
    EXPECT_EQ(again.picture, first.picture);
    ASSERT_NE(again.png, nullptr);
    EXPECT_EQ(*again.png, bytes) << "the bytes handed over are what the result names";

    statusLine = 5; // only the panel changed: still the spectators' picture, still its bytes
    const CaptureResult panel = capture(first.picture);
    EXPECT_EQ(panel.picture, first.picture);
    ASSERT_NE(panel.png, nullptr);
    EXPECT_EQ(*panel.png, bytes);

    document = 99; // news: a new picture with the new file's bytes
    const CaptureResult changed = capture(first.picture);
    EXPECT_NE(changed.picture, first.picture);
    ASSERT_NE(changed.png, nullptr);
    EXPECT_EQ(*changed.png, test::fileBytes(picture()));
    EXPECT_NE(*changed.png, bytes);
}

// The reductions of the real image library can take a small change away again: the picture file
// then has the very bytes of the one on the server, and that is no news either.
class ReducedCaptureNewsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        test::FakeMessageBoxes boxes;
        // Loaded once: FreeImage is not made to be initialised and freed over and over.
        library_ = LoadImageLibrary("", boxes);
    }
    static void TearDownTestSuite()
    {
        if (library_)
            UnloadImageLibrary(*library_);
        library_.reset();
    }

    ReducedCaptureNewsTest()
    {
        settings.Force256 = 1;
        screen.paint = [this](int x, int y, std::uint8_t* rgb) {
            rgb[0] = rgb[1] = rgb[2] = 128;
            if (x == 30 && y == 30)
                rgb[1] = dot;
        };
    }

    static inline std::unique_ptr<ImageLibrary> library_;
    test::TemporaryFolder temp;
    FakeScreen screen{64, 48};
    test::FakeMessageBoxes boxes;
    test::FakeClock clock{0};
    SettingsRecord settings;
    std::uint8_t dot = 128;
};

TEST_F(ReducedCaptureNewsTest, ChangeThatThe256ColoursTakeAwayIsNoNews)
{
    ASSERT_NE(library_, nullptr);
    DesktopCapture desktop{screen, temp.folder(), *library_, boxes, clock, {}, qtCaptionRenderer()};
    const CaptureResult first = desktop.capture(settings, 0);
    ASSERT_NE(first.png, nullptr);
    dot = 129; // other pixels, yet the same palette picture
    const CaptureResult again = desktop.capture(settings, first.picture);
    ASSERT_NE(again.png, nullptr);
    ASSERT_EQ(*again.png, *first.png) << "the reduction kept the change: nothing to test here";
    EXPECT_EQ(again.picture, first.picture) << "byte for byte the picture on the server";

    dot = 0; // a change the palette keeps
    const CaptureResult changed = desktop.capture(settings, first.picture);
    EXPECT_NE(changed.picture, first.picture);
    ASSERT_NE(changed.png, nullptr);
    EXPECT_NE(*changed.png, *first.png);
}

} // namespace
} // namespace velmora
