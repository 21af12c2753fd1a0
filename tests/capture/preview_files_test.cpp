// The preview's page, byte for byte, the files it leaves in the Temp folder, and the window
// sizes it asks for.

#include "capture/preview_layout.h"
#include "capture/preview_page.h"

#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

using test::fileBytes;
using test::writeFileBytes;

TEST(PreviewPage, ElevenLinesWithCrLfAndNothingElse)
{
    const std::string expected =
        "<HTML>\r\n<HEAD>\r\n<TITLE>Desktop Preview</TITLE>\r\n"
        "<META HTTP-EQUIV='expires' CONTENT='0'>\r\n"
        "<META HTTP-EQUIV='pragma' CONTENT='no-cache'>\r\n"
        "<META HTTP-EQUIV='imagetoolbar' CONTENT='no'>\r\n</HEAD>\r\n"
        "<BODY TOPMARGIN=0 LEFTMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0>\r\n"
        "<IMG SRC='VelmoraPreview.png' BORDER='0' ALT=''>\r\n</BODY>\r\n</HTML>\r\n";
    EXPECT_EQ(previewPageText(), expected);

    test::TemporaryFolder temp;
    writeFileBytes(temp.file("VelmoraPreview.htm"),
                   std::string(5000, 'x')); // longer: emptied first
    ASSERT_TRUE(writePreviewPage(temp.folder()));
    EXPECT_EQ(fileBytes(temp.file("VelmoraPreview.htm")), expected);
}

TEST(PreviewPage, PictureFileBecomesThePreviewPicture)
{
    test::TemporaryFolder temp;
    writeFileBytes(temp.file("Velmora.png"), "new picture");
    writeFileBytes(temp.file("VelmoraPreview.png"), "old picture, longer than the new one");

    ASSERT_TRUE(preparePreviewFiles(temp.folder(), "Velmora.png"));
    EXPECT_FALSE(std::filesystem::exists(temp.file("Velmora.png")));
    EXPECT_EQ(fileBytes(temp.file("VelmoraPreview.png")), "new picture");
    EXPECT_EQ(fileBytes(temp.file("VelmoraPreview.htm")), previewPageText());
}

TEST(PreviewPage, NoPictureMeansNoPreviewAndAMissingPageIsNoObstacle)
{
    test::TemporaryFolder temp;
    writeFileBytes(temp.file("VelmoraPreview.png"), "old picture");
    EXPECT_FALSE(preparePreviewFiles(temp.folder(), "Velmora.png"));
    EXPECT_FALSE(std::filesystem::exists(temp.file("VelmoraPreview.png")))
        << "an old picture must not pass for the new one";

    // The page cannot be written (a folder holds its name): the picture is still prepared.
    std::filesystem::remove(temp.file("VelmoraPreview.htm"));
    std::filesystem::create_directory(temp.file("VelmoraPreview.htm"));
    EXPECT_FALSE(writePreviewPage(temp.folder()));
    writeFileBytes(temp.file("Velmora.png"), "picture");
    EXPECT_TRUE(preparePreviewFiles(temp.folder(), "Velmora.png"));
    EXPECT_EQ(fileBytes(temp.file("VelmoraPreview.png")), "picture");
}

TEST(PreviewLayout, ClientAreaKeepsItsMarginUpToTheScreenLimits)
{
    // The three usual pictures are checked on the real window; here the edges of the rules.
    const ScreenBounds screen{0, 0, 1024, 768};
    EXPECT_EQ(previewClientSize(874, 568, screen), (PreviewSize{904, 608}));
    EXPECT_EQ(previewClientSize(875, 569, screen), (PreviewSize{914, 628}));
    EXPECT_EQ(previewClientSize(1, 1, screen), (PreviewSize{31, 41}));
    EXPECT_EQ(previewBrowserSize({100, 10}), (PreviewSize{100, 0}));
}

TEST(PreviewLayout, CentredOverTheOwnerButNeverBeforeTheScreenOrigin)
{
    EXPECT_EQ(previewPlace(165, 143, 694, 482, {231, 241}), (PreviewPlace{396, 263}));
    EXPECT_EQ(previewPlace(165, 143, 694, 482, {914, 628}), (PreviewPlace{55, 70}));
    EXPECT_EQ(previewPlace(0, 0, 694, 482, {914, 628}), (PreviewPlace{0, 0}));
    EXPECT_EQ(previewPlace(-300, 10, 694, 482, {231, 241}), (PreviewPlace{0, 130}));
}

} // namespace
} // namespace velmora
