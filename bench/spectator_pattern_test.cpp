// The benchmark's spectators read the data page the program really writes, and ask for the
// addresses the viewer script would ask for.

#include "sample_data_page.h"
#include "spectator_pattern.h"

#include "publish/data_page.h"

#include <gtest/gtest.h>

namespace velmora::bench {
namespace {

TEST(SpectatorPattern, ReadsTheDataPageTheProgramWrites)
{
    const auto page = parseDataPage(velmora::composeDataPage(sampleDataPage()));
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
    const std::string whole = velmora::composeDataPage(sampleDataPage());
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
    velmora::DataPageValues values = sampleDataPage();
    values.homepage = "it's <mine> \\ here";
    const auto page = parseDataPage(velmora::composeDataPage(values));
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->counter, "17");

    std::string text = velmora::composeDataPage(sampleDataPage());
    text.replace(text.find("iTime = '14:05:09'"), 18, "iTime = '14\\x3A05\\'09'");
    const auto escaped = parseDataPage(text);
    ASSERT_TRUE(escaped.has_value());
    EXPECT_EQ(escaped->time, "14:05'09");
}

TEST(SpectatorPattern, SharedAddressesStayWithinAnIntervalAndNameThePictureContent)
{
    const auto page = parseDataPage(velmora::composeDataPage(sampleDataPage()));
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

} // namespace
} // namespace velmora::bench
