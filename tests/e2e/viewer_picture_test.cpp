// A new picture that takes its time to arrive: the spectator keeps the old one until the new one
// is complete, and the new one comes with the pointer of the newest data page.

#include "publish/data_page.h"
#include "support/headless_browser.h"
#include "support/viewer_site.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

std::string dataPage(int picture, int counter, int x, int y)
{
    DataPageValues values;
    values.pictureNumber = picture;
    values.uploadTime = "11:22:3" + std::to_string(counter);
    values.uploadCounter = counter;
    values.markerX = x;
    values.markerY = y;
    values.refreshMs = 500;
    return composeDataPage(values);
}

// "<counter of the shown picture> <marker left> <marker top>", the marker relative to the picture.
std::string shown(HeadlessBrowser& browser)
{
    return browser.evaluate("(function () {"
                            "  var p = document.getElementById('velmoraPicture');"
                            "  var m = document.getElementById('velmoraPointer');"
                            "  if (!p) return '';"
                            "  var r = p.getBoundingClientRect();"
                            "  var k = m.getBoundingClientRect();"
                            "  return [p.getAttribute('data-counter'), k.left - r.left,"
                            "          k.top - r.top].join(' ');"
                            "})()");
}

TEST(ViewerPicture, SlowPictureIsSwappedInWholeWithTheNewestPointer)
{
    ViewerSite site;
    site.picture(1, solidPixels(200, 150, 255, 0, 0));
    site.picture(3, solidPixels(200, 150, 0, 0, 255));
    site.dataPage(dataPage(1, 1, 20, 10));
    HeadlessBrowser spectator(400, 300);
    ASSERT_TRUE(spectator.open(site.address("index.htm"))) << spectator.output();
    ASSERT_TRUE(waitUntil(15s, [&] { return shown(spectator) == "1 20 10"; })) << shown(spectator);

    // A new picture goes up, and the server is slow to hand it out.
    site.holdBack("Velmora3.png");
    site.dataPage(dataPage(3, 2, 60, 40));
    ASSERT_TRUE(waitUntil(15s, [&] { return site.heldBack("Velmora3.png"); }));
    // Meanwhile the pointer moves on the new screen; the viewer reads that data page at least
    // once (two reloads answered after it went up) and still shows the old picture whole.
    site.dataPage(dataPage(3, 2, 100, 70));
    const int pagesBefore = site.requestCount("Velmora.htm");
    ASSERT_TRUE(
        waitUntil(15s, [&] { return site.requestCount("Velmora.htm") >= pagesBefore + 2; }));
    EXPECT_EQ(shown(spectator), "1 20 10");

    // The picture arrives while no good data page comes any more: shown with the newest pointer
    // the viewer knows, without being asked for again.
    site.dataPage("");
    site.answer();
    EXPECT_TRUE(waitUntil(15s, [&] { return shown(spectator) == "2 100 70"; })) << shown(spectator);
    EXPECT_EQ(site.requestCount("Velmora3.png"), 1);
    EXPECT_EQ(site.requestCount("Velmora1.png"), 1);
}

} // namespace
} // namespace velmora::test
