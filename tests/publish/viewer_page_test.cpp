#include "publish/viewer_page.h"

#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size());
    return lines;
}

TEST(ViewerPage, SixteenLinesWithThePlainLinesAsListed)
{
    const std::string& page = viewerPageText();
    const auto lines = crlfLines(page);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "<HTML>");
    EXPECT_EQ(lines[1], "<HEAD>");
    EXPECT_EQ(lines[2], "<TITLE>Remote Desktop</TITLE>");
    EXPECT_EQ(lines[3], "<META HTTP-EQUIV='Content-Type' CONTENT='text/html;charset=iso-8859-1'>");
    EXPECT_EQ(lines[4], "<META HTTP-EQUIV='expires' CONTENT='0'>");
    EXPECT_EQ(lines[5], "<META HTTP-EQUIV='pragma' CONTENT='no-cache'>");
    EXPECT_EQ(lines[6], "<META HTTP-EQUIV='imagetoolbar' CONTENT='no'>");
    EXPECT_EQ(lines[8], "</SCRIPT></A>");
    EXPECT_EQ(lines[9], "</HEAD>");
    EXPECT_EQ(lines[10], "<BODY TOPMARGIN=0 LEFTMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0>");
    EXPECT_EQ(lines[12], "</SCRIPT></A>");
    EXPECT_EQ(lines[13], "</BODY>");
    EXPECT_EQ(lines[14], "</HTML>");
    EXPECT_EQ(lines[15], "");
    EXPECT_EQ(page.substr(page.size() - 11), "</HTML>\r\n\r\n");
}

TEST(ViewerPage, ScriptLinesAreSingleScriptElementsInSevenBitAscii)
{
    const std::string& page = viewerPageText();
    for (const unsigned char c : page) {
        EXPECT_LT(c, 0x80);
        EXPECT_NE(c, 0);
    }
    const auto lines = crlfLines(page);
    const std::string tag = "<SCRIPT LANGUAGE=\"JavaScript\">";
    for (const int i : {7, 11}) {
        ASSERT_EQ(lines[i].rfind(tag, 0), 0u) << "line " << i + 1;
        const std::string script = lines[i].substr(tag.size());
        EXPECT_FALSE(script.empty());
        // Nothing inside may end the element early or hide the rest as an HTML comment.
        EXPECT_EQ(script.find("</"), std::string::npos);
        EXPECT_EQ(script.find("<!--"), std::string::npos);
        for (const unsigned char c : script)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "line " << i + 1;
    }
    // The data page calls parent.imgLoad(): the head script must define it.
    EXPECT_NE(lines[7].find("function imgLoad()"), std::string::npos);
}

TEST(ViewerPage, SameBytesEveryTimeAndFailsWhereNoFileCanBeMade)
{
    test::TemporaryFolder folder;
    const std::string path = folder.path() + "/Velmora.ind";
    ASSERT_TRUE(writeViewerPage(path));
    const std::string first = test::fileBytes(path);
    ASSERT_TRUE(writeViewerPage(path));
    EXPECT_EQ(test::fileBytes(path), first);
    EXPECT_EQ(first, viewerPageText());
    EXPECT_FALSE(writeViewerPage(folder.path() + "/missing/Velmora.ind"));
}

} // namespace
} // namespace velmora
