// Spectators and the presenter's web server over time: when the server stops answering, the
// viewer says so after a while and takes the note back once it answers again; spectators ask for
// the same data page addresses, so a cache in front of the server can answer them all.

#include "publish/data_page.h"
#include "support/headless_browser.h"
#include "support/viewer_site.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

std::string dataPage(int refreshMs)
{
    DataPageValues values;
    values.pictureNumber = 2;
    values.uploadTime = "09:30:15";
    values.uploadCounter = 41;
    values.markerX = 20;
    values.markerY = 10;
    values.refreshMs = refreshMs;
    return composeDataPage(values);
}

bool showsPicture(HeadlessBrowser& browser)
{
    return browser.evaluate("document.getElementById('velmoraPicture') ? 'yes' : ''") == "yes";
}

bool showsLostConnection(HeadlessBrowser& browser)
{
    return browser.evaluate("(function () {"
                            "  var n = document.getElementById('velmoraConnection');"
                            "  return n && n.style.display === 'block' ? n.textContent : '';"
                            "})()") ==
           "Verbindung zur Pr\xc3\xa4sentation unterbrochen \xe2\x80\xa6";
}

TEST(ViewerConnection, NoteWhileTheServerDoesNotAnswerGoneWhenItAnswersAgain)
{
    ViewerSite site;
    site.picture(2, solidPixels(60, 40, 0, 0, 255));
    site.dataPage(dataPage(500));
    HeadlessBrowser spectator(400, 300);
    ASSERT_TRUE(spectator.open(site.address("index.htm"))) << spectator.output();
    ASSERT_TRUE(waitUntil(15s, [&] { return showsPicture(spectator); }));
    // A still screen: the same data page again and again is no lost connection.
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(showsLostConnection(spectator));

    // The server takes the requests and never answers; the viewer's reload never completes.
    site.hang(true);
    const int before = site.requestCount("Velmora.htm");
    EXPECT_TRUE(waitUntil(30s, [&] { return showsLostConnection(spectator); }))
        << "no note about the lost connection";
    EXPECT_TRUE(showsPicture(spectator)) << "the last picture went away";
    EXPECT_EQ(site.requestCount("Velmora.htm"), before) << "a data page got through";

    site.hang(false);
    EXPECT_TRUE(waitUntil(20s, [&] { return !showsLostConnection(spectator); }))
        << "the note stayed after the server answered again";
    EXPECT_EQ(site.requestCount("Velmora2.png"), 1);
}

TEST(ViewerConnection, SpectatorsAskForTheSameAddresses)
{
    constexpr int kRefreshMs = 1000;
    ViewerSite site;
    site.picture(2, solidPixels(60, 40, 0, 0, 255));
    site.dataPage(dataPage(kRefreshMs));
    // Each spectator's viewer page has an address of its own, so that the requests it causes
    // can be told apart by their referer.
    HeadlessBrowser first(400, 300);
    HeadlessBrowser second(400, 300);
    const std::string firstPage = site.address("index.htm?spectator=1");
    const std::string secondPage = site.address("index.htm?spectator=2");
    ASSERT_TRUE(first.open(firstPage)) << first.output();
    ASSERT_TRUE(second.open(secondPage)) << second.output();

    const std::regex shared(R"(/Velmora\.htm\?i=([0-9]{1,15}))");
    std::map<std::string, std::vector<ViewerRequest>> bySpectator;
    const auto pagesOf = [&](const std::string& page) {
        bySpectator.clear();
        for (const auto& request : site.requestsFor("Velmora.htm"))
            bySpectator[request.referer].push_back(request);
        return bySpectator[page].size();
    };
    ASSERT_TRUE(waitUntil(30s, [&] { return pagesOf(firstPage) >= 7 && pagesOf(secondPage) >= 7; }))
        << "too few data page requests";
    EXPECT_EQ(bySpectator.size(), 2u) << "requests without a spectator's page as referer";

    std::map<std::string, std::set<long long>> intervals;
    for (const auto& [page, requests] : bySpectator)
        for (std::size_t i = 0; i < requests.size(); ++i) {
            std::smatch match;
            ASSERT_TRUE(std::regex_match(requests[i].path, match, shared)) << requests[i].path;
            const long long interval = std::stoll(match[1]);
            // Before its first data page the viewer knows no interval of the presenter's.
            if (i == 0)
                continue;
            // Asked for in the interval it names, by the same clock as the server's; a loaded
            // machine may delay the request, but not by many intervals.
            EXPECT_LE(interval * kRefreshMs, requests[i].arrivalMs) << requests[i].path;
            EXPECT_GT((interval + 10) * kRefreshMs, requests[i].arrivalMs) << requests[i].path;
            intervals[page].insert(interval);
        }
    std::vector<long long> common;
    for (const long long interval : intervals[firstPage])
        if (intervals[secondPage].count(interval))
            common.push_back(interval);
    EXPECT_GE(common.size(), 3u) << "the spectators rarely share a data page address";

    // The picture: one fetch each, under one address.
    const auto pictures = site.requestsFor("Velmora2.png");
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].path, "/Velmora2.png?c=41-093015");
    EXPECT_EQ(pictures[1].path, pictures[0].path);
}

} // namespace
} // namespace velmora::test
