// A presenter's full HD screen in a spectator's small browser window, over time: the viewer fits
// the picture to the window, follows the window's size, and a click shows the picture at its own
// size and back.

#include "publish/data_page.h"
#include "support/headless_browser.h"
#include "support/viewer_site.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
// Where the pointer is on the presenter's screen; the data page carries it less (4, 9).
constexpr int kPointerX = 1500;
constexpr int kPointerY = 700;
constexpr int kCaptionHeight = 18;

std::string dataPage()
{
    DataPageValues values;
    values.pictureNumber = 1;
    values.uploadTime = "10:00:00";
    values.uploadCounter = 7;
    values.markerX = kPointerX - 4;
    values.markerY = kPointerY - 9;
    values.refreshMs = 500;
    return composeDataPage(values);
}

// Where the viewer shows the picture and the marker, in CSS pixels of the window.
struct Layout {
    bool valid = false;
    int naturalWidth = 0, naturalHeight = 0;
    double left = 0, top = 0, width = 0, height = 0;
    double markerLeft = 0, markerTop = 0; // relative to the picture's corner
    int pageWidth = 0, pageHeight = 0;    // the scrollable size of the page
};

Layout layoutIn(HeadlessBrowser& browser)
{
    const std::string facts = browser.evaluate(
        "(function () {"
        "  var p = document.getElementById('velmoraPicture');"
        "  var m = document.getElementById('velmoraPointer');"
        "  if (!p || !m || m.style.display !== 'block') return '';"
        "  var r = p.getBoundingClientRect();"
        "  var k = m.getBoundingClientRect();"
        "  var e = document.documentElement;"
        "  return [p.naturalWidth, p.naturalHeight, r.left, r.top, r.width, r.height,"
        "          k.left - r.left, k.top - r.top, e.scrollWidth, e.scrollHeight].join(' ');"
        "})()");
    Layout layout;
    std::istringstream in(facts);
    layout.valid =
        static_cast<bool>(in >> layout.naturalWidth >> layout.naturalHeight >> layout.left >>
                          layout.top >> layout.width >> layout.height >> layout.markerLeft >>
                          layout.markerTop >> layout.pageWidth >> layout.pageHeight);
    return layout;
}

// Waits for the viewer to settle on the given picture width; false when it does not.
bool settles(HeadlessBrowser& browser, double width, Layout& layout)
{
    return waitUntil(10s, [&] {
        layout = layoutIn(browser);
        return layout.valid && std::abs(layout.width - width) < 0.5;
    });
}

// The whole picture, in its own proportions, as large as the window allows and never larger than
// itself, with the marker's cross on the pointer.
void expectFitted(const Layout& layout, int windowWidth, int windowHeight)
{
    ASSERT_TRUE(layout.valid);
    const double scale = std::min({1.0, double(windowWidth) / kScreenWidth,
                                   double(windowHeight - kCaptionHeight) / kScreenHeight});
    EXPECT_NEAR(layout.width, kScreenWidth * scale, 1.0);
    EXPECT_NEAR(layout.height, kScreenHeight * scale, 1.0);
    EXPECT_EQ(layout.left, 0);
    EXPECT_EQ(layout.top, kCaptionHeight);
    EXPECT_LE(layout.left + layout.width, windowWidth);
    EXPECT_LE(layout.top + layout.height, windowHeight);
    EXPECT_LE(layout.pageWidth, windowWidth) << "the fitted page scrolls";
    EXPECT_LE(layout.pageHeight, windowHeight) << "the fitted page scrolls";
    EXPECT_NEAR(layout.markerLeft + 4, kPointerX * scale, 1.5);
    EXPECT_NEAR(layout.markerTop + 9, kPointerY * scale, 1.5);
}

TEST(ViewerFit, FullHdScreenFitsTheWindowFollowsItsSizeAndClickShowsItAtItsOwnSize)
{
    ViewerSite site;
    site.picture(1, solidPixels(kScreenWidth, kScreenHeight, 0, 0, 255));
    site.dataPage(dataPage());
    HeadlessBrowser spectator(800, 600);
    ASSERT_TRUE(spectator.open(site.address("index.htm"))) << spectator.output();

    Layout layout;
    ASSERT_TRUE(settles(spectator, 800, layout)) << layout.width;
    expectFitted(layout, 800, 600);
    EXPECT_EQ(layout.naturalWidth, kScreenWidth);
    EXPECT_EQ(layout.naturalHeight, kScreenHeight);

    // A click on the picture: its own size, the page scrolls, the marker on the pointer's pixel.
    ASSERT_TRUE(spectator.click(400, 300));
    ASSERT_TRUE(settles(spectator, kScreenWidth, layout)) << layout.width;
    EXPECT_EQ(layout.height, kScreenHeight);
    EXPECT_GE(layout.pageWidth, kScreenWidth);
    EXPECT_GE(layout.pageHeight, kCaptionHeight + kScreenHeight);
    EXPECT_EQ(layout.markerLeft, kPointerX - 4);
    EXPECT_EQ(layout.markerTop, kPointerY - 9);
    // It stays so while the data page keeps coming.
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(layoutIn(spectator).width, kScreenWidth);

    // Another click: fitted again.
    ASSERT_TRUE(spectator.click(400, 300));
    ASSERT_TRUE(settles(spectator, 800, layout)) << layout.width;
    expectFitted(layout, 800, 600);

    // The window changes: wider than high, then low, then larger than the picture.
    struct Window {
        int width, height;
        double pictureWidth;
    };
    for (const Window window : {Window{1200, 900, 1200},
                                Window{1000, 400, std::round(kScreenWidth * 382.0 / kScreenHeight)},
                                Window{2200, 1400, kScreenWidth}}) {
        ASSERT_TRUE(spectator.resize(window.width, window.height));
        ASSERT_TRUE(settles(spectator, window.pictureWidth, layout))
            << window.width << "x" << window.height << ": " << layout.width;
        expectFitted(layout, window.width, window.height);
    }

    // All of it from the one picture fetched at the start.
    EXPECT_EQ(site.requestCount("Velmora1.png"), 1);
}

TEST(ViewerFit, PhoneShowsTheWholeScreenAcrossItsWidth)
{
    ViewerSite site;
    site.picture(1, solidPixels(kScreenWidth, kScreenHeight, 0, 0, 255));
    site.dataPage(dataPage());
    HeadlessBrowser spectator(800, 600);
    // A phone held upright: without the viewer's say, it would lay the page out 980 wide.
    ASSERT_TRUE(spectator.resize(390, 844, true));
    ASSERT_TRUE(spectator.open(site.address("index.htm"))) << spectator.output();
    Layout layout;
    ASSERT_TRUE(settles(spectator, 390, layout)) << layout.width;
    expectFitted(layout, 390, 844);
}

} // namespace
} // namespace velmora::test
