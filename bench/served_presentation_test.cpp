// The benchmark's spectators and proxy against a presentation folder the origin serves: the
// proxy caches what a presenter's proxy would, and a simulated spectator asks for what the viewer
// script asks for in a real browser.

#include "caching_proxy.h"
#include "origin_server.h"
#include "sample_data_page.h"
#include "spectator_crowd.h"
#include "spectator_pattern.h"

#include "publish/data_page.h"
#include "publish/viewer_page.h"
#include "support/file_bytes.h"        // tests/support
#include "support/headless_chromium.h" // tests/support
#include "support/png_file.h"          // tests/support
#include "support/temporary_folder.h"  // tests/support

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
        test::writeFileBytes(site_ + "/Velmora.htm", velmora::composeDataPage(sampleDataPage()));
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
    EXPECT_EQ(first.bytes, 2 * velmora::composeDataPage(sampleDataPage()).size() +
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
        velmora::DataPageValues values = sampleDataPage();
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

} // namespace
} // namespace velmora::bench
