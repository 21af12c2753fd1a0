// The spectators benchmark is only as good as its spectators: they must ask for what the viewer
// script really asks for, read the data page the program really writes, and the proxy in front
// of the origin must cache what a presenter's proxy would.

#include "caching_proxy.h"
#include "marked_screen.h"
#include "origin_server.h"
#include "scrolling_document.h"
#include "spectator_crowd.h"
#include "spectator_pattern.h"

#include "png/png_writer.h"
#include "screen/x11_screen_source.h"
#include "publish/data_page.h"
#include "publish/viewer_page.h"
#include "support/file_bytes.h"        // tests/support
#include "support/headless_chromium.h" // tests/support
#include "support/png_file.h"          // tests/support
#include "support/temporary_folder.h"  // tests/support
#include "support/virtual_display.h"   // tests/support

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

namespace velmora::bench {
namespace {

velmora::DataPageValues sample()
{
    velmora::DataPageValues v;
    v.pictureNumber = 2;
    v.uploadTime = "14:05:09";
    v.uploadCounter = 17;
    v.homepage = "http://example.org/";
    v.markerX = -4;
    v.markerY = 140;
    v.refreshMs = 500;
    return v;
}

TEST(SpectatorPattern, ReadsTheDataPageTheProgramWrites)
{
    const auto page = parseDataPage(velmora::composeDataPage(sample()));
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->picture, "2");
    EXPECT_EQ(page->counter, "17");
    EXPECT_EQ(page->time, "14:05:09");
    EXPECT_EQ(page->mouseX, -4);
    EXPECT_EQ(page->mouseY, 140);
    EXPECT_EQ(page->refreshMs, 500);
    EXPECT_EQ(page->pictureKey(), "2|17|14:05:09");
}

TEST(SpectatorPattern, TakesNoHalfPageOrErrorPageForData)
{
    const std::string whole = velmora::composeDataPage(sample());
    // Cut before the caption line, after all the values: the viewer waits for the caption.
    const std::string cut = whole.substr(0, whole.find("document.write"));
    EXPECT_FALSE(parseDataPage(cut).has_value());
    EXPECT_FALSE(parseDataPage("<html><body><h1>Not Found</h1></body></html>").has_value());
    EXPECT_FALSE(parseDataPage("").has_value());
    std::string letters = whole;
    letters.replace(letters.find("iNr = '17'"), 10, "iNr = 'x7'");
    EXPECT_FALSE(parseDataPage(letters).has_value());
    // A bare quote inside a value breaks the page's script: the browser reads no values from it.
    std::string quote = whole;
    quote.replace(quote.find("iTime = '14:05:09'"), 18, "iTime = '14:0'5:09'");
    EXPECT_FALSE(parseDataPage(quote).has_value());
}

TEST(SpectatorPattern, ReadsEscapedTextsAsTheBrowserDoes)
{
    velmora::DataPageValues values = sample();
    values.homepage = "it's <mine> \\ here";
    const auto page = parseDataPage(velmora::composeDataPage(values));
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->counter, "17");

    std::string text = velmora::composeDataPage(sample());
    text.replace(text.find("iTime = '14:05:09'"), 18, "iTime = '14\\x3A05\\'09'");
    const auto escaped = parseDataPage(text);
    ASSERT_TRUE(escaped.has_value());
    EXPECT_EQ(escaped->time, "14:05'09");
}

TEST(SpectatorPattern, SharedAddressesStayWithinAnIntervalAndNameThePictureContent)
{
    const auto page = parseDataPage(velmora::composeDataPage(sample()));
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(dataPageAddress(ViewerPattern::Shared, 1'000'000, 1000, 1), "Velmora.htm?i=1000");
    EXPECT_EQ(dataPageAddress(ViewerPattern::Shared, 1'000'999, 1000, 7), "Velmora.htm?i=1000");
    EXPECT_EQ(dataPageAddress(ViewerPattern::Shared, 1'001'000, 1000, 7), "Velmora.htm?i=1001");
    EXPECT_EQ(pictureAddress(ViewerPattern::Shared, *page, 5, 1), "Velmora2.png?c=17-140509");
    EXPECT_EQ(pictureAddress(ViewerPattern::Shared, *page, 9'999, 8), "Velmora2.png?c=17-140509");

    EXPECT_EQ(dataPageAddress(ViewerPattern::Unique, 1'000'000, 1000, 1),
              "Velmora.htm?t=1000000-1");
    EXPECT_NE(dataPageAddress(ViewerPattern::Unique, 1'000'000, 1000, 1),
              dataPageAddress(ViewerPattern::Unique, 1'000'000, 1000, 2));
    EXPECT_EQ(pictureAddress(ViewerPattern::Unique, *page, 1'000'000, 3),
              "Velmora2.png?t=1000000-3");
    EXPECT_EQ(viewerRefreshMs(10), 250);
    EXPECT_EQ(viewerRefreshMs(2000), 2000);
}

// A presentation folder served by the origin, with a data page naming picture 2.
class ServedPresentation : public ::testing::Test {
protected:
    void SetUp() override
    {
        site_ = folder_.path() + "/site";
        std::filesystem::create_directory(site_);
        std::filesystem::permissions(folder_.path(), std::filesystem::perms::others_exec,
                                     std::filesystem::perm_options::add);
        test::writeFileBytes(site_ + "/index.htm", velmora::viewerPageText());
        test::writeFileBytes(site_ + "/Velmora.htm", velmora::composeDataPage(sample()));
        ASSERT_TRUE(
            test::writePngFile(site_ + "/Velmora2.png", test::solidPixels(64, 48, 0, 90, 0)));
        origin_ = std::make_unique<OriginServer>(site_, 120);
        ASSERT_TRUE(origin_->running()) << origin_->errorLog();
    }

    // The addresses the origin answered between two marks, path with query.
    // Apache logs an answer just after it went out: wait until the log has caught up.
    std::uintmax_t settledMark() const
    {
        auto mark = origin_->logMark();
        for (int i = 0; i < 50; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const auto now = origin_->logMark();
            if (now == mark)
                break;
            mark = now;
        }
        return mark;
    }

    std::vector<std::string> addresses(std::uintmax_t from, std::uintmax_t to) const
    {
        std::vector<std::string> all;
        std::istringstream lines(test::fileBytes(origin_->accessLog()).substr(from, to - from));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::string status, bytes, address;
            if (fields >> status >> bytes >> address)
                all.push_back(address);
        }
        return all;
    }
    test::TemporaryFolder folder_;
    std::string site_;
    std::unique_ptr<OriginServer> origin_;
};

long get(const std::string& url)
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(ready ? curl_easy_init() : nullptr,
                                                             &curl_easy_cleanup);
    if (!easy)
        return 0;
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_NOPROXY, "*");
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(
        easy.get(), CURLOPT_WRITEFUNCTION,
        +[](char*, size_t size, size_t count, void*) { return size * count; });
    if (curl_easy_perform(easy.get()) != CURLE_OK)
        return 0;
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

TEST_F(ServedPresentation, ProxyKeepsEachAddressForItsTimeAndTheQueryApart)
{
    const CachingProxy proxy(origin_->port(), 120);
    ASSERT_TRUE(proxy.running()) << proxy.errorLog();
    const auto start = origin_->logMark();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(get(proxy.url("/Velmora.htm?i=1")), 200);
        EXPECT_EQ(get(proxy.url("/Velmora2.png?c=17-140509")), 200);
    }
    EXPECT_EQ(get(proxy.url("/Velmora.htm?i=2")), 200);
    EXPECT_EQ(get(proxy.url("/Velmora2.png?c=18-140510")), 200);
    const OriginTally first = origin_->tally(start, settledMark());
    EXPECT_EQ(first.pageRequests, 2);
    EXPECT_EQ(first.pictureRequests, 2);
    EXPECT_EQ(first.bytes, 2 * velmora::composeDataPage(sample()).size() +
                               2 * std::filesystem::file_size(site_ + "/Velmora2.png"));

    // The data page is news again after a second (nginx counts whole seconds, so up to two); a
    // picture's address keeps its content.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const auto later = origin_->logMark();
    EXPECT_EQ(get(proxy.url("/Velmora.htm?i=1")), 200);
    EXPECT_EQ(get(proxy.url("/Velmora2.png?c=17-140509")), 200);
    const OriginTally second = origin_->tally(later, settledMark());
    EXPECT_EQ(second.pageRequests, 1);
    EXPECT_EQ(second.pictureRequests, 0);
}

// The data page replaced whole, as the program's upload leaves it.
void replaceDataPage(const std::string& site, const velmora::DataPageValues& values)
{
    test::writeFileBytes(site + "/Velmora.htm.upload", velmora::composeDataPage(values));
    std::filesystem::rename(site + "/Velmora.htm.upload", site + "/Velmora.htm");
}

// A picture is fetched once when a data page names new content, never for a moved pointer
// alone, in both generations of the viewer; only the addresses differ.
TEST_F(ServedPresentation, SpectatorFetchesAPictureOnlyForNewContent)
{
    ASSERT_TRUE(test::writePngFile(site_ + "/Velmora3.png", test::solidPixels(64, 48, 90, 0, 0)));
    for (const auto pattern : {ViewerPattern::Shared, ViewerPattern::Unique}) {
        velmora::DataPageValues values = sample();
        values.refreshMs = 250;
        replaceDataPage(site_, values);
        const auto mark = settledMark();
        SpectatorCrowd crowd(origin_->url("/"), 1, pattern, 250, 7);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        values.markerX = 500;
        values.markerY = 300;
        replaceDataPage(site_, values);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        values.pictureNumber = 3;
        values.uploadCounter = 18;
        values.uploadTime = "14:05:10";
        replaceDataPage(site_, values);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        crowd.stop();

        std::vector<std::string> pictures;
        int pages = 0;
        for (const auto& address : addresses(mark, settledMark()))
            if (address.rfind("/Velmora.htm?", 0) == 0)
                ++pages;
            else
                pictures.push_back(address);
        EXPECT_GE(pages, 8);
        ASSERT_EQ(pictures.size(), 2u);
        if (pattern == ViewerPattern::Shared) {
            EXPECT_EQ(pictures[0], "/Velmora2.png?c=17-140509");
            EXPECT_EQ(pictures[1], "/Velmora3.png?c=18-140510");
        } else {
            EXPECT_TRUE(
                std::regex_match(pictures[0], std::regex("/Velmora2\\.png\\?t=[0-9]+-[0-9]+")))
                << pictures[0];
            EXPECT_TRUE(
                std::regex_match(pictures[1], std::regex("/Velmora3\\.png\\?t=[0-9]+-[0-9]+")))
                << pictures[1];
        }
        const auto arrivals = crowd.arrivals();
        ASSERT_EQ(arrivals.size(), 2u);
        EXPECT_EQ(arrivals[0].key, "2|17|14:05:09");
        EXPECT_EQ(arrivals[1].key, "3|18|14:05:10");
        EXPECT_EQ(crowd.pictures().size(), 2u);
        EXPECT_EQ(crowd.failures(), 0);
    }
}

// What the viewer page asks for, in a real browser, and what a simulated spectator asks for,
// against the same folder: the same kinds of address, and the same picture address exactly.
TEST_F(ServedPresentation, SpectatorAsksWhatTheViewerScriptAsks)
{
    const std::regex page("/Velmora\\.htm\\?i=([0-9]+)");
    // The interval's number is the clock over the refresh interval (500 ms from the data page,
    // 2000 ms before the first one); the browser runs on virtual time, whose clock is its own.
    const auto within = [](long long interval, long long now) {
        return std::llabs(interval * 500 - now) < 60'000 ||
               std::llabs(interval * 2000 - now) < 60'000;
    };
    const auto nowMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const auto split = [&](const std::vector<std::string>& seen, bool realClock,
                           std::set<std::string>& pictures, int& pages, int& pictureLoads,
                           std::vector<std::string>& other) {
        for (const auto& address : seen) {
            std::smatch match;
            if (std::regex_match(address, match, page)) {
                ++pages;
                if (realClock) {
                    EXPECT_TRUE(within(std::stoll(match[1].str()), nowMs())) << address;
                }
            } else if (address.rfind("/Velmora2.png", 0) == 0) {
                pictures.insert(address);
                ++pictureLoads;
            } else {
                other.push_back(address);
            }
        }
    };

    auto mark = origin_->logMark();
    {
        test::HeadlessChromium browser(
            800, 600, {"--virtual-time-budget=3000", "--dump-dom", origin_->url("/index.htm")});
        ASSERT_TRUE(browser.process().waitFor(std::chrono::seconds(50)).has_value());
    }
    std::set<std::string> browserPictures;
    int browserPages = 0, browserPictureLoads = 0;
    std::vector<std::string> browserOther;
    split(addresses(mark, settledMark()), false, browserPictures, browserPages, browserPictureLoads,
          browserOther);

    mark = origin_->logMark();
    {
        SpectatorCrowd crowd(origin_->url("/"), 1, ViewerPattern::Shared, 2000, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(3500));
        crowd.stop();
        EXPECT_EQ(crowd.failures(), 0);
        ASSERT_EQ(crowd.arrivals().size(), 1u);
        EXPECT_EQ(crowd.arrivals()[0].key, "2|17|14:05:09");
    }
    std::set<std::string> crowdPictures;
    int crowdPages = 0, crowdPictureLoads = 0;
    std::vector<std::string> crowdOther;
    split(addresses(mark, settledMark()), true, crowdPictures, crowdPages, crowdPictureLoads,
          crowdOther);

    // Both reload the data page at the data page's own interval, and fetch the picture once.
    EXPECT_GE(browserPages, 3);
    EXPECT_GE(crowdPages, 3);
    EXPECT_EQ(browserPictureLoads, 1);
    EXPECT_EQ(crowdPictureLoads, 1);
    EXPECT_EQ(browserPictures, std::set<std::string>{"/Velmora2.png?c=17-140509"});
    EXPECT_EQ(crowdPictures, browserPictures);
    EXPECT_TRUE(crowdOther.empty());
    for (const auto& address : browserOther)
        EXPECT_TRUE(address == "/index.htm" || address == "/favicon.ico") << address;
}

// The screen as the program sees it: its own capture of the display and its own PNG writer.
std::string capturedPng(const test::VirtualDisplay& display, const std::string& path)
{
    velmora::X11ScreenSource source(display.name());
    const auto bounds = source.bounds();
    RgbPicture picture(bounds.right - bounds.left, bounds.bottom - bounds.top);
    if (!source.copyRgb(bounds.left, bounds.top, picture.width(), picture.height(), picture.data(),
                        picture.stride()) ||
        !velmora::writePng(path, picture))
        return {};
    return test::fileBytes(path);
}

TEST(MarkedScreen, APictureOfTheScreenTellsWhichChangeItShows)
{
    test::TemporaryFolder folder;
    test::VirtualDisplay display(800, 600);
    const ScrollingDocument document(800, 600);
    MarkedScreen screen(display, document);
    using Clock = std::chrono::steady_clock;

    EXPECT_EQ(screen.changeStill().number, 0);
    const std::string first = capturedPng(display, folder.file("first.png"));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(screen.changeShown(first, Clock::now()), 0);

    EXPECT_EQ(screen.changeStill().number, 1);
    const std::string second = capturedPng(display, folder.file("second.png"));
    EXPECT_EQ(screen.changeShown(second, Clock::now()), 1);
    // The older picture still says the older change, however late it arrives.
    EXPECT_EQ(screen.changeShown(first, Clock::now()), 0);
    // A picture cannot show a change made after it arrived.
    EXPECT_EQ(screen.changeShown(second, screen.changes()[0].at), -1);

    // Nine changes later the colours come round again: a picture shows the latest change of
    // its colour made by the time it arrived.
    for (int i = 2; i <= 9; ++i)
        screen.changeStill();
    const std::string ninth = capturedPng(display, folder.file("ninth.png"));
    EXPECT_EQ(screen.changeShown(ninth, Clock::now()), 9);
    EXPECT_EQ(screen.changeShown(second, Clock::now()), 9);

    EXPECT_EQ(screen.changeShown("not a picture", Clock::now()), -1);
    // The document without any mark.
    display.showOnRoot(document.screen(0));
    EXPECT_EQ(screen.changeShown(capturedPng(display, folder.file("plain.png")), Clock::now()), -1);
}

TEST(MarkedScreen, ScrollingScreenChangesItsMarkOnTime)
{
    test::TemporaryFolder folder;
    test::VirtualDisplay display(800, 600);
    const ScrollingDocument document(800, 600);
    MarkedScreen screen(display, document);
    screen.changeStill();
    screen.startScrolling(std::chrono::milliseconds(200));
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const std::string png = capturedPng(display, folder.file("scrolled.png"));
    const auto changes = screen.changes();
    ASSERT_GE(changes.size(), 5u);
    // The capture may have caught the screen just before the latest change.
    const int shown = screen.changeShown(png, std::chrono::steady_clock::now());
    EXPECT_TRUE(shown == changes.back().number || shown == changes.back().number - 1) << shown;
    // A still screen stops the scroll: no change comes after it.
    const ScreenChange still = screen.changeStill();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(screen.changes().back().number, still.number);
    EXPECT_EQ(still.number, static_cast<int>(screen.changes().size()) - 1);
}

} // namespace
} // namespace velmora::bench
