// The viewer page in a real browser (headless Chromium), served over HTTP from 127.0.0.1 the way
// the presenter's web server serves the presentation folder.

#include "publish/data_page.h"
#include "publish/viewer_page.h"

#include "support/announced_port.h"
#include "support/file_bytes.h"
#include "support/headless_chromium.h"
#include "support/launched_program.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace velmora {
namespace {

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

class ViewerSite {
public:
    ViewerSite()
    {
        std::filesystem::create_directories(root());
        std::filesystem::create_directories(sequence());
        std::ofstream(root() + "/index.htm", std::ios::binary) << viewerPageText();
        const std::string output = folder_.path() + "/http.out";
        server_ = std::make_unique<test::LaunchedProgram>(
            std::vector<std::string>{
                "/usr/bin/python3",
                std::string(VELMORA_PUBLISH_TEST_DIR) + "/viewer_http_server.py", "--root", root(),
                "--sequence", sequence(), "--log", folder_.path() + "/requests.log"},
            std::map<std::string, std::string>{}, output);
        port_ = test::waitForAnnouncedPort(*server_, output);
    }

    std::string address(const std::string& name) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
    }
    std::string root() const { return folder_.path() + "/root"; }

    void picture(int number, const test::PngPixels& picture) const
    {
        ASSERT_TRUE(
            test::writePngFile(root() + "/Velmora" + std::to_string(number) + ".png", picture));
    }
    // Each reload of the data page gets the next version; an empty one answers 404.
    void dataPages(const std::vector<std::string>& versions) const
    {
        for (std::size_t i = 0; i < versions.size(); ++i)
            std::ofstream(sequence() + "/Velmora.htm." + std::to_string(i + 1), std::ios::binary)
                << versions[i];
    }
    // Each fetch of the picture gets the next version, the way each upload replaces the file on
    // the server; the viewer fetches a picture once for every data page that names it.
    void pictureVersions(int number, const std::vector<test::PngPixels>& versions) const
    {
        for (std::size_t i = 0; i < versions.size(); ++i)
            ASSERT_TRUE(test::writePngFile(sequence() + "/Velmora" + std::to_string(number) +
                                               ".png." + std::to_string(i + 1),
                                           versions[i]));
    }
    std::vector<std::string> requests() const
    {
        std::vector<std::string> lines;
        std::istringstream in(test::fileBytes(folder_.path() + "/requests.log"));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool requested(const std::string& prefix) const { return requestCount(prefix) > 0; }
    int requestCount(const std::string& prefix) const
    {
        int count = 0;
        for (const auto& line : requests())
            if (line.rfind("/" + prefix, 0) == 0)
                ++count;
        return count;
    }

    // The DOM of the page once the browser has run for budgetMs of virtual time.
    std::string dumpDom(int budgetMs) const
    {
        const std::string out = runBrowser(budgetMs, {"--dump-dom"});
        const auto start = out.find("<html");
        const auto end = out.rfind("</html>");
        if (start == std::string::npos || end == std::string::npos)
            return "<no DOM in browser output>\n" + out;
        return out.substr(start, end + 7 - start);
    }
    test::PngPixels screenshot(int budgetMs) const
    {
        const std::string shot = folder_.path() + "/shot.png";
        std::filesystem::remove(shot);
        runBrowser(budgetMs, {"--screenshot=" + shot});
        return test::decodePng(shot).value_or(test::PngPixels{});
    }

private:
    std::string sequence() const { return folder_.path() + "/sequence"; }

    std::string runBrowser(int budgetMs, const std::vector<std::string>& what) const
    {
        std::vector<std::string> arguments = {"--virtual-time-budget=" + std::to_string(budgetMs)};
        arguments.insert(arguments.end(), what.begin(), what.end());
        arguments.push_back(address("index.htm"));
        test::HeadlessChromium browser(400, 300, arguments);
        EXPECT_TRUE(browser.process().waitFor(std::chrono::seconds(50)).has_value())
            << "the browser did not finish";
        return browser.output();
    }

    test::TemporaryFolder folder_;
    std::unique_ptr<test::LaunchedProgram> server_;
    int port_ = 0;
};

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

Box boxOf(const test::PngPixels& shot, bool (*match)(const std::uint8_t*))
{
    Box box;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (match(shot.at(x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

bool isBlue(const std::uint8_t* p)
{
    return p[0] < 40 && p[1] < 40 && p[2] > 200;
}
bool isRed(const std::uint8_t* p)
{
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
}
bool isDark(const std::uint8_t* p)
{
    return p[0] < 128 && p[1] < 128 && p[2] < 128;
}
bool isGreen(const std::uint8_t* p)
{
    return p[0] < 60 && p[1] > 200 && p[2] < 60;
}
bool isBlack(const std::uint8_t* p)
{
    return p[0] < 16 && p[1] < 16 && p[2] < 16;
}

int pixelCount(const test::PngPixels& shot, bool (*match)(const std::uint8_t*))
{
    int count = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            count += match(shot.at(x, y)) ? 1 : 0;
    return count;
}

TEST(ViewerInBrowser, ShowsThePictureOfTheNewestDataPage)
{
    ViewerSite site;
    site.picture(1, test::solidPixels(60, 40, 255, 0, 0));
    site.picture(2, test::solidPixels(60, 40, 0, 255, 0));
    site.dataPages({composeDataPage(page(2, 17))});
    const std::string dom = site.dumpDom(3000);
    EXPECT_NE(dom.find("id=\"velmoraPicture\""), std::string::npos) << dom;
    EXPECT_NE(dom.find("src=\"Velmora2.png?t="), std::string::npos) << dom;
    EXPECT_NE(dom.find("data-counter=\"17\""), std::string::npos) << dom;
    EXPECT_FALSE(site.requested("Velmora1.png"));
    // The data page was fetched again and again, each time under a new address.
    std::vector<std::string> dataRequests;
    for (const auto& line : site.requests())
        if (line.rfind("/Velmora.htm?", 0) == 0)
            dataRequests.push_back(line);
    ASSERT_GE(dataRequests.size(), 3u);
    EXPECT_NE(dataRequests[0], dataRequests[1]);
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
    EXPECT_NE(dom.find("src=\"Velmora3.png?t="), std::string::npos) << dom;
    EXPECT_TRUE(site.requested("Velmora1.png"));
    EXPECT_FALSE(site.requested("Velmora2.png")) << "a half-written data page was followed";
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
