// A capture told which screen rows changed since it last read the screen reads only those rows,
// and still gives, capture for capture, the picture, the news and the file bytes of a capture
// that reads the whole screen every time: whatever picture the spectators have, wherever the
// program's own windows go, whatever the region.

#include "capture/desktop_capture.h"
#include "capture/screen_reader.h"
#include "gui/qt_caption_renderer.h"

#include "support/changing_pictures.h"
#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/fake_screen.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace velmora {
namespace {

using test::CopyRequest;
using test::FakeScreen;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class FixedWindows final : public OwnWindows {
public:
    std::vector<ScreenRectangle> onScreen() const override { return {panel}; }
    ScreenRectangle panel{400, 20, 158, 78};
};

class ToldCaptureTest : public ::testing::Test {
protected:
    ToldCaptureTest()
    {
        // The desktop beneath, and the panel on top with its status line.
        const auto pixel = [this](int x, int y, std::uint8_t* rgb) {
            const ScreenRectangle& p = own.panel;
            if (x >= p.x && x < p.x + p.width && y >= p.y && y < p.y + p.height)
                rgb[0] = rgb[1] = rgb[2] = y == p.y + 40 ? statusLine : 200;
            else
                std::memcpy(rgb, desktop.row(y) + 3 * x, 3);
        };
        toldScreen.paint = fullScreen.paint = pixel;
        told.setOwnWindows(&own);
        full.setOwnWindows(&own);
    }

    // The screen's report of a change there.
    void report(const ScreenRectangle& r) { reported.rectangles.push_back(r); }
    void paintDesktop(const ScreenRectangle& r, std::uint8_t value)
    {
        test::fillRectangle(desktop, r.x, r.y, r.width, r.height, value);
        report(r);
    }
    void movePanel(int x, int y)
    {
        report(own.panel);
        own.panel.x = x;
        own.panel.y = y;
        report(own.panel);
    }
    void setStatusLine(std::uint8_t value)
    {
        statusLine = value;
        report({own.panel.x, own.panel.y + 40, own.panel.width, 1});
    }

    // One capture of each; the told one learns what the screen reported since the last.
    CaptureResult captureBoth(std::uint32_t onServer)
    {
        RowBands rows;
        addChangedRows(rows, std::exchange(reported, {}));
        toldScreen.copies.clear();
        const CaptureResult byRows = told.capture(settings, onServer, rows);
        const CaptureResult whole = full.capture(settings, onServer);
        EXPECT_EQ(byRows.picture, whole.picture) << "news differs";
        EXPECT_TRUE(byRows.png && whole.png && *byRows.png == *whole.png) << "the files differ";
        return whole;
    }

    test::TemporaryFolder toldFolder, fullFolder;
    FakeScreen toldScreen{kWidth, kHeight};
    FakeScreen fullScreen{kWidth, kHeight};
    ImageLibrary noLibrary;
    test::FakeMessageBoxes boxes;
    test::FakeClock clock{0};
    DesktopCapture told{toldScreen, toldFolder.folder(), noLibrary, boxes, clock,
                        {},         qtCaptionRenderer()};
    DesktopCapture full{fullScreen, fullFolder.folder(), noLibrary, boxes, clock,
                        {},         qtCaptionRenderer()};
    FixedWindows own;
    SettingsRecord settings;
    RgbPicture desktop = test::screenLikePicture(kWidth, kHeight);
    ScreenChanges reported;
    std::uint8_t statusLine = 0;
};

TEST_F(ToldCaptureTest, ReadsOnlyTheChangedRowsAndComparesWithWhatTheSpectatorsHave)
{
    const CaptureResult first = captureBoth(0);
    EXPECT_EQ(toldScreen.copies, (std::vector<CopyRequest>{{0, 0, kWidth, kHeight}}));

    paintDesktop({600, 450, 30, 12}, 40); // the clock ticks
    const CaptureResult ticked = captureBoth(first.picture);
    EXPECT_NE(ticked.picture, first.picture);
    EXPECT_EQ(toldScreen.copies, (std::vector<CopyRequest>{{0, 450, kWidth, 12}}));

    // The ticked picture never reached the spectators, and the rows now reported were drawn
    // again with the very same pixels: what they have is still older than the screen.
    report({0, 100, 50, 10});
    const CaptureResult again = captureBoth(first.picture);
    EXPECT_NE(again.picture, first.picture);
    EXPECT_EQ(toldScreen.copies, (std::vector<CopyRequest>{{0, 100, kWidth, 10}}));

    // Nothing reported: nothing read, no news.
    EXPECT_EQ(captureBoth(again.picture).picture, again.picture);
    EXPECT_TRUE(toldScreen.copies.empty());

    // Changes near each other are read in one go, under the own panel as well.
    paintDesktop({10, 200, 5, 5}, 1);
    paintDesktop({10, 220, 5, 5}, 2);
    setStatusLine(9);
    const CaptureResult two = captureBoth(again.picture);
    EXPECT_EQ(toldScreen.copies,
              (std::vector<CopyRequest>{{0, 60, kWidth, 1}, {0, 200, kWidth, 25}}));

    // Another region is read whole, and so is the screen after a failed read.
    settings.ScreenRegion = "41,31,640,480";
    const CaptureResult region = captureBoth(two.picture);
    EXPECT_EQ(toldScreen.copies, (std::vector<CopyRequest>{{40, 30, 600, 450}}));
    toldScreen.readable = fullScreen.readable = false;
    paintDesktop({100, 300, 20, 20}, 3);
    captureBoth(region.picture);
    toldScreen.readable = fullScreen.readable = true;
    const CaptureResult read = captureBoth(region.picture);
    EXPECT_EQ(toldScreen.copies, (std::vector<CopyRequest>{{40, 30, 600, 450}}));

    // Drawing that was never reported shows once the reports have been trusted long enough.
    test::fillRectangle(desktop, 300, 300, 10, 10, 5);
    clock.advance(2);
    toldScreen.copies.clear();
    EXPECT_NE(told.capture(settings, read.picture, RowBands()).picture, read.picture);
    EXPECT_EQ(toldScreen.copies, (std::vector<CopyRequest>{{40, 30, 600, 450}}));
}

// Random series of what a desktop does between two captures, with uploads that go up, fail or
// leave the spectators' picture unknown.
TEST_F(ToldCaptureTest, RandomSeriesGivesThePicturesOfWholeReads)
{
    test::Random random(24);
    std::uint32_t spectators = 0; // the picture they have
    std::uint32_t newest = 0;
    int news = 0;
    int partReads = 0;
    for (int step = 0; step < 150 && !HasFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const auto below = [&](int limit) { return test::randomBelow(random, limit); };
        switch (below(12)) {
        case 0:
            movePanel(below(kWidth - 100), below(kHeight - 100));
            break;
        case 1:
            setStatusLine(static_cast<std::uint8_t>(random()));
            break;
        case 2:
            report({below(kWidth), below(kHeight), 1 + below(100), 1 + below(60)});
            break;
        case 3:
            settings.ScreenRegion = below(2) ? "" : "21,11,600,470";
            break;
        case 4:
            break; // nothing happens
        default:
            paintDesktop({below(kWidth), below(kHeight), 1 + below(60), 1 + below(30)},
                         static_cast<std::uint8_t>(random()));
        }
        const CaptureResult result = captureBoth(spectators);
        news += result.picture != newest;
        newest = result.picture;
        // The upload goes up, fails (they keep what they had) or leaves it unknown.
        const int upload = below(10);
        spectators = upload < 6 ? result.picture : upload < 9 ? spectators : 0;
        partReads += !toldScreen.copies.empty() && toldScreen.copies[0].height < kHeight - 20;
    }
    EXPECT_GT(news, 50);
    EXPECT_GT(partReads, 50) << "the told capture read the whole screen too often";
}

} // namespace
} // namespace velmora
