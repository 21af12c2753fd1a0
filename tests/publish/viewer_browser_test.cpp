// The viewer page in a real browser (headless Chromium), served over HTTP from 127.0.0.1 the way
// the presenter's web server serves the presentation folder.

#include "publish/data_page.h"
#include "support/screenshot_colours.h"
#include "support/viewer_site.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace velmora {
namespace {

using test::Box;
using test::boxOf;
using test::isBlack;
using test::isBlue;
using test::isDark;
using test::isGreen;
using test::isNoteRed;
using test::isRed;
using test::pixelCount;
using test::ViewerSite;

DataPageValues page(int picture, int counter, int x = 0, int y = 0, std::string site = "")
{
    DataPageValues v;
    v.pictureNumber = picture;
    v.uploadTime = "14:05:0" + std::to_string(picture);
    v.uploadCounter = counter;
    v.homepage = std::move(site);
    v.markerX = x;
    v.markerY = y;
    v.refreshMs = 500;
    return v;
}

// The number of the refresh interval the data page was asked for, or -1 when the address is not
// of the form all spectators share.
long long intervalOf(const test::ViewerRequest& request)
{
    static const std::regex shared(R"(/Velmora\.htm\?i=([0-9]{1,15}))");
    std::smatch match;
    return std::regex_match(request.path, match, shared) ? std::stoll(match[1]) : -1;
}

TEST(ViewerInBrowser, ShowsThePictureOfTheNewestDataPage)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(60, 40, 255, 0, 0));
    site.picture(2, test::solidPixels(60, 40, 0, 255, 0));
    site.dataPages({composeDataPage(page(2, 17))});
    const std::string dom = site.dumpDom(3000);
    EXPECT_NE(dom.find("id=\"velmoraPicture\""), std::string::npos) << dom;
    // The address names the content: counter and time of the data page that named it.
    EXPECT_NE(dom.find("src=\"Velmora2.png?c=17-140502\""), std::string::npos) << dom;
    EXPECT_NE(dom.find("data-counter=\"17\""), std::string::npos) << dom;
    EXPECT_FALSE(site.requested("Velmora1.png"));
    // The data page was fetched again and again, each time for a later refresh interval.
    const auto dataRequests = site.requestsFor("Velmora.htm");
    ASSERT_GE(dataRequests.size(), 3u);
    long long previous = -1;
    for (const auto& request : dataRequests) {
        const long long interval = intervalOf(request);
        EXPECT_GT(interval, previous) << request.path;
        previous = interval;
    }
}

TEST(ViewerInBrowser, NewDataPageSwitchesThePictureAndBadOnesAreIgnored)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(60, 40, 255, 0, 0));
    site.picture(2, test::solidPixels(60, 40, 0, 255, 0));
    site.picture(3, test::solidPixels(60, 40, 0, 0, 255));
    const std::string second = composeDataPage(page(2, 2));
    // Cut inside the last value: every variable is there, but the page is not complete.
    const std::string halfWritten = second.substr(0, second.find("iRefresh = ") + 13);
    site.dataPages({composeDataPage(page(1, 1)), halfWritten, "", second.substr(0, 200),
                    composeDataPage(page(3, 3))});
    // Five reloads at 500 ms each fit well into the budget.
    const std::string dom = site.dumpDom(6000);
    EXPECT_NE(dom.find("src=\"Velmora3.png?c=3-140503\""), std::string::npos) << dom;
    EXPECT_TRUE(site.requested("Velmora1.png"));
    EXPECT_FALSE(site.requested("Velmora2.png")) << "a half-written data page was followed";
}

// The style the viewer gave an element of the page, as the DOM dump shows it.
std::string styleOf(const std::string& dom, const std::string& id)
{
    const auto element = dom.find("id=\"" + id + "\"");
    if (element == std::string::npos)
        return "<no " + id + ">";
    const auto tagStart = dom.rfind('<', element);
    const auto tagEnd = dom.find('>', element);
    const std::string tag = dom.substr(tagStart, tagEnd - tagStart);
    const auto style = tag.find("style=\"");
    return style == std::string::npos ? ""
                                      : tag.substr(style + 7, tag.find('"', style + 7) - style - 7);
}

TEST(ViewerInBrowser, PointerMovesWithoutFetchingThePictureAgain)
{
    ViewerSite site;
    site.picture(2, test::solidPixels(200, 150, 0, 0, 255));
    // The same picture with the pointer resting, then moving; after that the server fails for
    // good, so the marker can only have moved on the very data page that moved it.
    site.dataPages({composeDataPage(page(2, 17, 100, 50)), composeDataPage(page(2, 17, 100, 50)),
                    composeDataPage(page(2, 17, 100, 50)), composeDataPage(page(2, 17, 140, 80)),
                    ""});
    const auto shot = site.screenshot(5000);
    EXPECT_EQ(site.requestCount("Velmora2.png"), 1) << "the unchanged picture was fetched again";
    const Box picture = boxOf(shot, isBlue);
    const Box marker = boxOf(shot, isRed);
    ASSERT_FALSE(picture.empty());
    ASSERT_FALSE(marker.empty());
    EXPECT_EQ(marker.left - picture.left, 140);
    EXPECT_EQ(marker.top - picture.top, 80);
    // A few seconds of failed reloads are no lost connection yet.
    EXPECT_TRUE(boxOf(shot, isNoteRed).empty());
}

TEST(ViewerInBrowser, NewPictureIsShownOnTheDataPageThatNamesIt)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(60, 40, 255, 0, 0));
    site.picture(3, test::solidPixels(60, 40, 0, 0, 255));
    site.dataPages({composeDataPage(page(1, 1)), composeDataPage(page(3, 2)), ""});
    const std::string dom = site.dumpDom(4000);
    EXPECT_NE(dom.find("src=\"Velmora3.png?c=2-140503\""), std::string::npos) << dom;
}

TEST(ViewerInBrowser, FailedPictureIsFetchedAgainUnderTheSameAddress)
{
    ViewerSite site;
    // The first fetch of the picture fails; the data page keeps naming it.
    site.pictureVersions(2, {test::PngPixels{}, test::solidPixels(60, 40, 0, 255, 0)});
    site.dataPages({composeDataPage(page(2, 9))});
    const std::string dom = site.dumpDom(3000);
    EXPECT_NE(dom.find("src=\"Velmora2.png?c=9-140502\""), std::string::npos) << dom;
    const auto fetches = site.requestsFor("Velmora2.png");
    ASSERT_EQ(fetches.size(), 2u);
    EXPECT_EQ(fetches[0].status, 404);
    EXPECT_EQ(fetches[1].status, 200);
    EXPECT_EQ(fetches[0].path, fetches[1].path);
}

TEST(ViewerInBrowser, LostConnectionIsToldAfterSeveralIntervalsWithoutDataPage)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(60, 40, 255, 0, 0));
    site.dataPages({composeDataPage(page(1, 4)), ""});
    const auto shot = site.screenshot(14000);
    // The note in the window's top right corner, the last picture still below it.
    const Box note = boxOf(shot, isNoteRed);
    ASSERT_FALSE(note.empty());
    EXPECT_EQ(note.right, shot.width - 1);
    EXPECT_EQ(note.top, 0);
    EXPECT_FALSE(boxOf(shot, isRed).empty());
    EXPECT_EQ(site.requestCount("Velmora1.png"), 1);
}

TEST(ViewerInBrowser, LostConnectionNoteGoesWhenTheDataPageComesBack)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(60, 40, 255, 0, 0));
    // Some fifteen seconds of failed reloads, then the presentation is back, unchanged.
    std::vector<std::string> pages = {composeDataPage(page(1, 4))};
    pages.insert(pages.end(), 30, "");
    pages.push_back(composeDataPage(page(1, 4)));
    site.dataPages(pages);
    const std::string dom = site.dumpDom(22000);
    ASSERT_GE(site.requestCount("Velmora.htm"), 32);
    EXPECT_NE(styleOf(dom, "velmoraConnection").find("display: none;"), std::string::npos) << dom;
    EXPECT_NE(dom.find("Verbindung zur Pr\xc3\xa4sentation unterbrochen"), std::string::npos);
    EXPECT_EQ(site.requestCount("Velmora1.png"), 1);
}

TEST(ViewerInBrowser, PointerMarkerSitsAtThePositionOverThePictureWithTheCaption)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(200, 150, 0, 0, 255));
    site.dataPages({composeDataPage(page(1, 4, 50, 40))});
    const auto shot = site.screenshot(3000);
    ASSERT_GT(shot.width, 0);
    const Box picture = boxOf(shot, isBlue);
    const Box marker = boxOf(shot, isRed);
    ASSERT_FALSE(picture.empty());
    ASSERT_FALSE(marker.empty());
    EXPECT_EQ(marker.left - picture.left, 50);
    EXPECT_EQ(marker.top - picture.top, 40);
    EXPECT_EQ(marker.right - marker.left + 1, 9);
    EXPECT_EQ(marker.bottom - marker.top + 1, 19);
    // The cross runs through the pointer: 4 right and 9 down from the marker's corner.
    EXPECT_TRUE(isRed(shot.at(marker.left + 4, marker.top + 5)));
    EXPECT_TRUE(isRed(shot.at(marker.left + 2, marker.top + 9)));
    EXPECT_TRUE(isBlue(shot.at(marker.left + 2, marker.top + 5)));
    // The caption "[1] 14:05:01 (4)" of the data page is readable above the picture.
    Box caption;
    for (int y = 0; y < picture.top; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (isDark(shot.at(x, y)))
                caption.right = x;
    EXPECT_FALSE(caption.empty());
}

bool isYellow(const std::uint8_t* p)
{
    return p[0] > 200 && p[1] > 200 && p[2] < 60;
}
bool isWhite(const std::uint8_t* p)
{
    return p[0] > 220 && p[1] > 220 && p[2] > 220;
}

// A presenter's full HD screen: blue, a yellow frame along its edges, and a white square around
// the pointer's spot.
test::PngPixels fullHdScreen(int pointerX, int pointerY)
{
    auto screen = test::solidPixels(1920, 1080, 0, 0, 255);
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            auto* p = &screen.rgb[(static_cast<std::size_t>(y) * screen.width + x) * 3];
            const bool edge = x < 12 || y < 12 || x >= 1908 || y >= 1068;
            const bool spot = std::abs(x - pointerX) < 20 && std::abs(y - pointerY) < 20;
            if (edge || spot) {
                p[0] = 255;
                p[1] = 255;
                p[2] = edge ? 0 : 255;
            }
        }
    return screen;
}

TEST(ViewerInBrowser, FullHdScreenFitsASmallWindowWithTheMarkerOnThePointer)
{
    ViewerSite site;
    site.picture(1, fullHdScreen(1500, 700));
    // The capture has taken 4 and 9 off the pointer's position.
    site.dataPages({composeDataPage(page(1, 3, 1496, 691))});
    const auto shot = site.screenshot(3000, 800, 600);
    ASSERT_EQ(shot.width, 800);
    ASSERT_EQ(shot.height, 600);
    // Below the 18 pixel caption the whole screen, frame and all, in its own proportions.
    const Box frame = boxOf(shot, isYellow);
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.right, 799);
    EXPECT_EQ(frame.top, 18);
    EXPECT_EQ(frame.bottom, 18 + 450 - 1);
    EXPECT_TRUE(isYellow(shot.at(400, 18 + 449)));
    EXPECT_TRUE(isBlue(shot.at(400, 18 + 100)));
    // The marker keeps its size, and its cross is on the pointer's spot of the scaled screen.
    const Box marker = boxOf(shot, isRed);
    ASSERT_FALSE(marker.empty());
    EXPECT_EQ(marker.right - marker.left + 1, 9);
    EXPECT_EQ(marker.bottom - marker.top + 1, 19);
    Box spot;
    for (int y = frame.top; y <= frame.bottom; ++y)
        for (int x = frame.left; x <= frame.right; ++x)
            if (isWhite(shot.at(x, y))) {
                spot.left = std::min(spot.left, x);
                spot.top = std::min(spot.top, y);
                spot.right = std::max(spot.right, x);
                spot.bottom = std::max(spot.bottom, y);
            }
    ASSERT_FALSE(spot.empty());
    const int crossX = marker.left + 4;
    const int crossY = marker.top + 9;
    EXPECT_GE(crossX, spot.left + 4);
    EXPECT_LE(crossX, spot.right - 4);
    EXPECT_GE(crossY, spot.top + 4);
    EXPECT_LE(crossY, spot.bottom - 4);
}

TEST(ViewerInBrowser, NoMarkerWhenThePointerIsNotShown)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(200, 150, 0, 0, 255));
    site.dataPages({composeDataPage(page(1, 4, 0, 0))});
    const auto shot = site.screenshot(3000);
    ASSERT_FALSE(boxOf(shot, isBlue).empty());
    EXPECT_TRUE(boxOf(shot, isRed).empty());
}

TEST(ViewerInBrowser, CounterFallingToZeroTakesTheSpectatorToTheHomepage)
{
    ViewerSite site;
    std::ofstream(site.root() + "/home.html") << "<html><body><p id=\"home\">HOMEPAGE OF THE "
                                                 "PRESENTER</p></body></html>";
    site.picture(1, test::solidPixels(60, 40, 255, 0, 0));
    site.picture(2, test::solidPixels(60, 40, 0, 0, 0));
    const std::string home = site.address("home.html");
    site.dataPages({composeDataPage(page(1, 5, 0, 0, home)),
                    composeDataPage(page(2, 6, 0, 0, home)),
                    composeDataPage(page(1, 0, 0, 0, home))});
    const std::string dom = site.dumpDom(6000);
    EXPECT_NE(dom.find("HOMEPAGE OF THE PRESENTER"), std::string::npos) << dom;
}

TEST(ViewerInBrowser, SpectatorArrivingAfterTheEndStaysAndScriptHomepagesAreNotFollowed)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(60, 40, 0, 0, 0));
    site.picture(2, test::solidPixels(60, 40, 0, 0, 0));
    // Already cleared when the spectator comes: nothing ran, so there is no end to signal.
    // Then a presentation runs and ends with a homepage that is a script, not an address.
    const std::string script = "javascript:document.title='HIJACKED'";
    site.dataPages({composeDataPage(page(1, 0, 0, 0, script)),
                    composeDataPage(page(2, 1, 0, 0, script)),
                    composeDataPage(page(1, 0, 0, 0, script))});
    const std::string dom = site.dumpDom(4000);
    EXPECT_NE(dom.find("id=\"velmoraPicture\""), std::string::npos) << dom;
    EXPECT_EQ(dom.find("HIJACKED"), std::string::npos) << dom;
    EXPECT_TRUE(site.requested("Velmora2.png"));
}

// Homepage texts that name no page to go to: an empty homepage field is stored as "http://", and
// an address the browser cannot read leads nowhere either.
struct NoHomepage {
    const char* name;
    const char* text;
};
void PrintTo(const NoHomepage& homepage, std::ostream* out)
{
    *out << "homepage '" << homepage.text << "'";
}

class ViewerWithoutHomepage : public testing::TestWithParam<NoHomepage> {
protected:
    static constexpr int kWidth = 120;
    static constexpr int kHeight = 90;

    test::PngPixels red() const { return test::solidPixels(kWidth, kHeight, 255, 0, 0); }
    test::PngPixels green() const { return test::solidPixels(kWidth, kHeight, 0, 255, 0); }
    test::PngPixels black() const { return test::solidPixels(kWidth, kHeight, 0, 0, 0); }
    std::string dataPage(int picture, int counter) const
    {
        return composeDataPage(page(picture, counter, 0, 0, GetParam().text));
    }
};

TEST_P(ViewerWithoutHomepage, ClearLeavesTheBlackPictureAndTheViewerPolling)
{
    ViewerSite site;
    // Picture 1 is live; the Clear then blackens pictures 2, 3 and 1 in quick succession, and this
    // spectator's reloads miss the first of its data pages, the one whose counter still rises.
    site.pictureVersions(1, {red(), black()});
    site.picture(3, black());
    site.dataPages({dataPage(1, 5), dataPage(3, 0), dataPage(1, 0)});
    const auto shot = site.screenshot(6000);
    ASSERT_GT(shot.width, 0);
    EXPECT_TRUE(boxOf(shot, isRed).empty()) << "the last live picture is still shown";
    EXPECT_GE(pixelCount(shot, isBlack), kWidth * kHeight);
    EXPECT_EQ(site.requestCount("Velmora1.png?"), 2);
    // Still on the viewer and still reloading once the last data page has come round again.
    EXPECT_GE(site.requestCount("Velmora.htm?"), 6);
}

TEST_P(ViewerWithoutHomepage, NextPresentationAfterTheClearIsShown)
{
    ViewerSite site;
    site.pictureVersions(1, {red(), black()});
    site.pictureVersions(2, {black(), green()});
    site.picture(3, black());
    // Live picture, the three data pages of the Clear, then the next presentation begins.
    site.dataPages(
        {dataPage(1, 5), dataPage(2, 6), dataPage(3, 0), dataPage(1, 0), dataPage(2, 1)});
    const auto shot = site.screenshot(7000);
    ASSERT_GT(shot.width, 0);
    const Box picture = boxOf(shot, isGreen);
    ASSERT_FALSE(picture.empty()) << "the next presentation's picture is not shown";
    EXPECT_EQ(picture.right - picture.left + 1, kWidth);
    EXPECT_EQ(picture.bottom - picture.top + 1, kHeight);
}

INSTANTIATE_TEST_SUITE_P(EmptyHomepage, ViewerWithoutHomepage,
                         testing::Values(NoHomepage{"Http", "http://"},
                                         NoHomepage{"Https", "https://"},
                                         NoHomepage{"UpperCaseScheme", "HTTPS://"},
                                         NoHomepage{"SpacesAfterScheme", "http://   "},
                                         NoHomepage{"Unreadable", "http://["}),
                         [](const testing::TestParamInfo<NoHomepage>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace velmora
