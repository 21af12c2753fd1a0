#include "publish/data_page.h"
#include "publish/upload_time_text.h"

#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

namespace velmora {
namespace {

const char kExpectedPage[] =
    "<HTML>\r\n"
    "<TITLE>Data</TITLE>\r\n"
    "<META HTTP-EQUIV='expires' CONTENT='0'>\r\n"
    "<META HTTP-EQUIV='pragma' CONTENT='no-cache'>\r\n"
    "<SCRIPT TYPE='text/javascript' LANGUAGE='JavaScript'>\r\n"
    "<!--\r\n"
    "var ErrMsg = '';\r\n"
    "function clickIE() {\r\n"
    "  if (document.all) {\r\n"
    "    (ErrMsg);\r\n"
    "    return false;\r\n"
    "  }\r\n"
    "}\r\n"
    "function clickNS(e) {\r\n"
    "  if (document.layers || (document.getElementById && !document.all)) {\r\n"
    "    if (e.which==2 || e.which==3) {\r\n"
    "      (ErrMsg);\r\n"
    "      return false;\r\n"
    "    }\r\n"
    "  }\r\n"
    "}\r\n"
    "if (document.layers)\t{\r\n"
    "  document.captureEvents(Event.MOUSEDOWN);\r\n"
    "  document.onmousedown = clickNS;\r\n"
    "} else {\r\n"
    "  document.onmouseup = clickNS;\r\n"
    "  document.oncontextmenu = clickIE;\r\n"
    "}\r\n"
    "document.oncontextmenu = new Function('return false');\r\n"
    "// -->\r\n"
    "</SCRIPT>\r\n"
    "</HEAD>\r\n"
    "<BODY onLoad='parent.imgLoad()' TOPMARGIN=0 LEFTMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0>\r\n"
    "<SCRIPT TYPE='text/javascript' LANGUAGE='JavaScript'>\r\n"
    "<!--\r\n"
    "iBild = '2';\r\n"
    "iTime = '14:05:09';\r\n"
    "iNr = '17';\r\n"
    "iLic = '';\r\n"
    "iSite = 'http://www.example.com/';\r\n"
    "iMouseX = 312;\r\n"
    "iMouseY = 140;\r\n"
    "iRefresh = 2000;\r\n"
    "document.write('<SPAN STYLE=\\'font-family:Arial,Helvetica,sans-serif; font-size:12px;\\'>"
    "['+iBild+'] '+iTime+' ('+iNr+')</SPAN>');\r\n"
    "// -->\r\n"
    "</SCRIPT>\r\n"
    "</BODY>\r\n"
    "</HTML>\r\n";

DataPageValues example()
{
    DataPageValues v;
    v.pictureNumber = 2;
    v.uploadTime = "14:05:09";
    v.uploadCounter = 17;
    v.homepage = "http://www.example.com/";
    v.markerX = 312;
    v.markerY = 140;
    v.refreshMs = 2000;
    return v;
}

std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(DataPage, ExampleValuesGiveTheExactBytes)
{
    const std::string page = composeDataPage(example());
    EXPECT_EQ(page, kExpectedPage);
    const auto lines = crlfLines(page);
    ASSERT_EQ(lines.size(), 48u);
    EXPECT_EQ(lines[21], "if (document.layers)\t{");
    EXPECT_EQ(page.find('\n'), page.find("\r\n") + 1); // no bare LF anywhere
    for (const auto& line : lines)
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
}

TEST(DataPage, NumbersAndTextsAsTheyAre)
{
    DataPageValues v = example();
    v.markerX = -4;
    v.markerY = -58;
    v.uploadCounter = 0;
    v.homepage = "http://www.m\xFC"
                 "ller.de/";
    v.refreshMs = 0;
    const auto lines = crlfLines(composeDataPage(v));
    EXPECT_EQ(lines[37], "iNr = '0';");
    EXPECT_EQ(lines[39], "iSite = 'http://www.m\xFC"
                         "ller.de/';"); // a single Windows-1252 byte
    EXPECT_EQ(lines[40], "iMouseX = -4;");
    EXPECT_EQ(lines[41], "iMouseY = -58;");
    EXPECT_EQ(lines[42], "iRefresh = 0;");
    v.homepage.clear();
    EXPECT_EQ(crlfLines(composeDataPage(v))[39], "iSite = '';");
}

TEST(DataPage, HomepageTextCannotBreakOrInjectScript)
{
    DataPageValues v = example();
    v.homepage = "http://x.de/?a='b'\\c</SCRIPT><SCRIPT>alert(1)</SCRIPT>\r\nd\te";
    const auto lines = crlfLines(composeDataPage(v));
    ASSERT_EQ(lines.size(), 48u); // the line break stayed inside line 40
    EXPECT_EQ(lines[39], "iSite = 'http://x.de/?a=\\'b\\'\\\\c\\x3C/SCRIPT>\\x3CSCRIPT>alert(1)"
                         "\\x3C/SCRIPT>\\r\\nd\\x09e';");
    EXPECT_EQ(escapeForScriptString("https://www.example.com/a-b_c.html?x=1&y=2#top"),
              "https://www.example.com/a-b_c.html?x=1&y=2#top");
}

TEST(DataPage, WrittenFileHoldsThePageAndFailsWhereNoFileCanBeMade)
{
    test::TemporaryFolder folder;
    const std::string path = folder.path() + "/Velmora.cnt";
    ASSERT_TRUE(writeDataPage(path, example()));
    EXPECT_EQ(test::fileBytes(path), kExpectedPage);
    DataPageValues shorter = example();
    shorter.homepage.clear();
    ASSERT_TRUE(writeDataPage(path, shorter)); // truncates the longer page
    EXPECT_EQ(test::fileBytes(path), composeDataPage(shorter));
    EXPECT_FALSE(writeDataPage(folder.path() + "/missing/Velmora.cnt", example()));
    EXPECT_FALSE(writeDataPage(folder.path(), example())); // a folder, not a file
}

TEST(DataPage, FullDiskIsAFailureNotAHalfPage)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    EXPECT_FALSE(writeDataPage("/dev/full", example()));
}

TEST(UploadTimeText, TwoDigitTwentyFourHourClock)
{
    EXPECT_EQ(uploadTimeText(0), "00:00:00");
    EXPECT_EQ(uploadTimeText(14 * 3600 + 5 * 60 + 9), "14:05:09");
    EXPECT_EQ(uploadTimeText(1'700'000'000), "22:13:20");
    EXPECT_EQ(uploadTimeText(86'399), "23:59:59");
    EXPECT_EQ(uploadTimeText(-1), "23:59:59");
}

} // namespace
} // namespace velmora
